#include "gui/results/resulttab.h"

#include "core/calc/calculationrun.h"
#include "core/input/segmentrow.h"
#include "gui/input/removalcommand.h"
#include "gui/prompts/prompts.h"
#include "gui/results/resulttablemodel.h"

#include <QClipboard>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QUndoStack>
#include <QVBoxLayout>

namespace lv::gui {

using results::Mode;
using results::ResultRow;

namespace {

const QString kReady = QStringLiteral("Klar");
const QString kWait = QStringLiteral("Vänta...");

// Pressing on a value also selects its row, whose highlighted text would hide the red: a marked
// cell is therefore drawn as unselected, red on the list's background.
class MarkedValueDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.data(ResultTableModel::MarkedRole).toBool()) {
            option->state &= ~QStyle::State_Selected;
            option->backgroundBrush = option->palette.base();
        }
    }
};

// The unit on a line of its own under the quantity ("Avgaspartiklar:" over "[g/km]"), so that
// the twelve columns fit side by side on a common screen. Only the header breaks the line; the
// model's texts stay as they are.
class TwoLineHeader final : public QHeaderView
{
public:
    using QHeaderView::QHeaderView;

protected:
    void initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const override
    {
        QHeaderView::initStyleOptionForIndex(option, logicalIndex);
        option->text = broken(option->text);
    }
    QSize sectionSizeFromContents(int logicalIndex) const override
    {
        QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
        const QString text =
            model() ? model()->headerData(logicalIndex, orientation()).toString() : QString();
        const QString shown = broken(text);
        if (shown == text)
            return size;
        const QFontMetrics metrics(font());
        int longest = 0;
        for (const QString &line : shown.split(u'\n'))
            longest = std::max(longest, metrics.horizontalAdvance(line));
        size.setWidth(size.width() - metrics.horizontalAdvance(text) + longest);
        size.setHeight(size.height() + metrics.lineSpacing());
        return size;
    }

private:
    static QString broken(QString text)
    {
        const qsizetype unit = text.lastIndexOf(QStringLiteral(" ["));
        if (unit > 0)
            text[unit] = u'\n';
        return text;
    }
};

} // namespace

ResultTab::ResultTab(Prompts &prompts, QWidget *parent) : QWidget(parent), m_prompts(prompts)
{
    createResultView();

    m_slopeNotice = new QLabel(this);
    m_slopeNotice->setObjectName(QStringLiteral("slopeNotice"));
    m_slopeNotice->setWordWrap(true);
    m_slopeNotice->hide();
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("inputSummary"));
    m_summary->setWordWrap(true);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_staleNote = new QLabel(
        QStringLiteral("Indata har ändrats sedan beräkningen. Beräkna igen för aktuella resultat."),
        this);
    m_staleNote->setObjectName(QStringLiteral("staleNote"));
    m_staleNote->setWordWrap(true);
    // As visible as a warning gets without a box: bold, on the palette's highlight.
    m_staleNote->setStyleSheet(
        QStringLiteral("QLabel { font-weight: bold; padding: 4px; color: palette(highlighted-text);"
                       " background: palette(highlight); }"));
    m_staleNote->hide();

    auto *below = new QHBoxLayout;
    below->addWidget(createModeSwitch());
    below->addSpacing(12);
    below->addLayout(createStretchFields());
    below->addStretch(1);
    below->addLayout(createRowButtons());

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_staleNote);
    layout->addWidget(m_resultView, 1);
    layout->addWidget(m_slopeNotice);
    layout->addLayout(below);

    setTabOrder(m_resultView, m_totalsButton);
    setTabOrder(m_totalsButton, m_perKmButton);
    setTabOrder(m_perKmButton, m_startEdit);
    setTabOrder(m_startEdit, m_stopEdit);
    setTabOrder(m_stopEdit, m_addStretchButton);
    setTabOrder(m_addStretchButton, m_removeRowButton);
    setTabOrder(m_removeRowButton, m_copyValueButton);

    connectControls();
}

void ResultTab::createResultView()
{
    m_model = new ResultTableModel(this);
    m_resultView = new QTreeView(this);
    m_resultView->setObjectName(QStringLiteral("resultView"));
    m_resultView->setAccessibleName(QStringLiteral("Resultat"));
    auto *header = new TwoLineHeader(Qt::Horizontal, m_resultView);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_resultView->setHeader(header);
    m_resultView->setModel(m_model);
    m_resultView->setRootIsDecorated(false);
    m_resultView->setItemsExpandable(false);
    m_resultView->setUniformRowHeights(true);
    m_resultView->setAllColumnsShowFocus(true);
    m_resultView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_resultView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_resultView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_resultView->header()->setSectionsMovable(false);
    m_resultView->header()->setStretchLastSection(false);
    m_resultView->setItemDelegate(new MarkedValueDelegate(m_resultView));
    setHeaders(results::resultHeaders(Mode::PerKm, /*co2Colon*/ false));
    // Each column five sixths of an inch wide, or wider where its header needs it: all twelve
    // fit side by side on a screen 1280 pixels wide.
    const int minimum = logicalDpiX() * 5 / 6;
    for (int c = 0; c < m_model->columnCount(); ++c)
        m_resultView->setColumnWidth(c,
                                     std::max(minimum, m_resultView->header()->sectionSizeHint(c)));
    m_resultView->setMinimumHeight(m_resultView->fontMetrics().height() * 8);
}

QGroupBox *ResultTab::createModeSwitch()
{
    auto *normFrame = new QGroupBox(QStringLiteral("Resultatnormering"), this);
    m_totalsButton = new QRadioButton(QStringLiteral("Totala effekter"), normFrame);
    m_totalsButton->setObjectName(QStringLiteral("totalsButton"));
    m_perKmButton = new QRadioButton(QStringLiteral("Effekter/km"), normFrame);
    m_perKmButton->setObjectName(QStringLiteral("perKmButton"));
    m_perKmButton->setChecked(true);
    auto *normLayout = new QVBoxLayout(normFrame);
    normLayout->addWidget(m_totalsButton);
    normLayout->addWidget(m_perKmButton);
    return normFrame;
}

QLayout *ResultTab::createStretchFields()
{
    auto *stretchLabel = new QLabel(QStringLiteral("Resultat för delsträcka: [m] - [m]"), this);
    m_startEdit = new QLineEdit(this);
    m_startEdit->setObjectName(QStringLiteral("startEdit"));
    m_startEdit->setAccessibleName(QStringLiteral("Resultat för delsträcka: start [m]"));
    m_stopEdit = new QLineEdit(this);
    m_stopEdit->setObjectName(QStringLiteral("stopEdit"));
    m_stopEdit->setAccessibleName(QStringLiteral("Resultat för delsträcka: slut [m]"));
    m_addStretchButton = new QPushButton(QStringLiteral("Lägg till"), this);
    m_addStretchButton->setObjectName(QStringLiteral("addStretchButton"));
    const int fieldWidth = fontMetrics().horizontalAdvance(QStringLiteral("00000000"));
    m_startEdit->setMinimumWidth(fieldWidth);
    m_stopEdit->setMinimumWidth(fieldWidth);
    auto *stretchFields = new QGridLayout;
    stretchFields->addWidget(stretchLabel, 0, 0, 1, 4);
    stretchFields->addWidget(m_startEdit, 1, 0);
    stretchFields->addWidget(new QLabel(QStringLiteral(" - "), this), 1, 1);
    stretchFields->addWidget(m_stopEdit, 1, 2);
    stretchFields->addWidget(m_addStretchButton, 1, 3);
    stretchFields->setRowStretch(2, 1);
    return stretchFields;
}

QLayout *ResultTab::createRowButtons()
{
    m_removeRowButton = new QPushButton(QStringLiteral("Ta bort markerat"), this);
    m_removeRowButton->setObjectName(QStringLiteral("removeRowButton"));
    m_removeRowButton->setEnabled(false);
    m_copyValueButton = new QPushButton(QStringLiteral("Kopiera värde"), this);
    m_copyValueButton->setObjectName(QStringLiteral("copyValueButton"));
    auto *rowButtons = new QVBoxLayout;
    rowButtons->addWidget(m_removeRowButton);
    rowButtons->addWidget(m_copyValueButton);
    rowButtons->addStretch(1);
    return rowButtons;
}

void ResultTab::connectControls()
{
    connect(m_addStretchButton, &QPushButton::clicked, this, &ResultTab::addSubStretch);
    connect(m_removeRowButton, &QPushButton::clicked, this, &ResultTab::removeSelectedRow);
    connect(m_copyValueButton, &QPushButton::clicked, this, &ResultTab::copyMarkedValue);
    // The user's choice of an option (mouse, space or arrow keys all click it); setting the
    // buttons from code does not switch.
    connect(m_totalsButton, &QRadioButton::clicked, this, [this] { chooseMode(Mode::Totals); });
    connect(m_perKmButton, &QRadioButton::clicked, this, [this] { chooseMode(Mode::PerKm); });
    connect(m_resultView, &QTreeView::clicked, this, &ResultTab::updateRemoveButton);
    // A row selected from the keyboard can be removed as well as a clicked one.
    connect(m_resultView->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_resultView->selectionModel()->hasSelection())
            m_removeRowButton->setEnabled(true);
    });
    m_resultView->viewport()->installEventFilter(this);
}

void ResultTab::disableCopy()
{
    m_copyValueButton->setEnabled(false);
}

void ResultTab::beginRun()
{
    // The last run's sums would only add to the memory the new run needs.
    m_sums = results::StretchSums();
    m_sumsOfRun = false;
    m_model->clear();
    m_startEdit->clear();
    m_stopEdit->clear();
    m_perKmButton->setChecked(true);
    chooseMode(Mode::PerKm);
    disableCopy();
}

void ResultTab::showRun(std::shared_ptr<const calc::RunState> run)
{
    m_run = std::move(run);
    m_sums = results::StretchSums();
    m_sumsOfRun = false;
    const QString notice = slopeNotice();
    m_slopeNotice->setText(notice);
    m_slopeNotice->setVisible(!notice.isEmpty());
    if (m_run)
        m_model->appendRow(results::totalRow(*m_run));
}

QString ResultTab::slopeNotice() const
{
    return m_run ? calc::offGridSlopeNotice(*m_run) : QString();
}

void ResultTab::clearResults()
{
    m_model->clear();
    m_startEdit->clear();
    m_stopEdit->clear();
}

void ResultTab::setSummary(const QStringList &lines)
{
    m_summary->setText(lines.join(u'\n'));
}

void ResultTab::setStale(bool stale)
{
    m_staleNote->setVisible(stale);
}

bool ResultTab::isStale() const
{
    return !m_staleNote->isHidden();
}

QByteArray ResultTab::columnState() const
{
    return m_resultView->header()->saveState();
}

void ResultTab::restoreColumnState(const QByteArray &state)
{
    m_resultView->header()->restoreState(state);
}

Mode ResultTab::mode() const
{
    return m_totalsButton->isChecked() ? Mode::Totals : Mode::PerKm;
}

const std::vector<ResultRow> &ResultTab::rows() const
{
    return m_model->rows();
}

bool ResultTab::eventFilter(QObject *watched, QEvent *event)
{
    // Every press of any button marks, the second press of a double click included; the list
    // still gets the press for its own selection.
    if (watched == m_resultView->viewport() && (event->type() == QEvent::MouseButtonPress ||
                                                event->type() == QEvent::MouseButtonDblClick)) {
        markCellAt(static_cast<QMouseEvent *>(event)->position().toPoint());
    }
    return QWidget::eventFilter(watched, event);
}

void ResultTab::addSubStretch()
{
    emit statusChanged(kWait);
    const Expected<ResultRow> row =
        results::addSubStretch(stretchSums(), m_startEdit->text(), m_stopEdit->text(), mode());
    if (!row) {
        showError(m_prompts, row.error());
        if (row.error().field == FaultField::StretchStart)
            focusFaultyField(m_startEdit);
        else if (row.error().field == FaultField::StretchStop)
            focusFaultyField(m_stopEdit);
        emit statusChanged(kReady);
        return;
    }
    m_model->appendRow(*row);
    m_startEdit->clear();
    m_stopEdit->clear();
    emit statusChanged(kReady);
}

void ResultTab::removeSelectedRow()
{
    // Without a selected row (after a run or "Rensa") there is nothing to remove.
    const QModelIndexList selected = m_resultView->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return;
    // Removed at once; "Ångra" puts the row back, its values in the list's mode of then.
    const int row = selected.first().row();
    const QString text =
        QStringLiteral("ta bort raden %1").arg(m_model->rows()[std::size_t(row)].label);
    auto *removal = new RemovalCommand<ResultTableModel, results::ResultRow>(text, *m_model, row);
    if (m_undoStack) {
        m_undoStack->push(removal);
    } else {
        removal->redo();
        delete removal;
    }
    // The next row is not chosen for the user: another row must be clicked first.
    m_resultView->clearSelection();
    m_removeRowButton->setEnabled(false);
}

void ResultTab::copyMarkedValue()
{
    const QModelIndex marked = m_model->markedCell();
    if (!marked.isValid())
        return;
    // The value exactly as shown, as plain text only.
    QGuiApplication::clipboard()->setText(marked.data().toString());
    m_model->setMarkedCell(QModelIndex());
    m_copyValueButton->setEnabled(false);
}

void ResultTab::updateRemoveButton()
{
    // The list itself selects the clicked row (a Ctrl click may also deselect it).
    m_removeRowButton->setEnabled(true);
}

void ResultTab::markCellAt(const QPoint &position)
{
    // Only a value cell of a row is marked: not the label, not the space beside or below.
    const QModelIndex cell = m_resultView->indexAt(position);
    if (!cell.isValid() || cell.column() < 1) {
        m_model->setMarkedCell(QModelIndex());
        return;
    }
    m_model->setMarkedCell(cell);
    m_copyValueButton->setEnabled(true);
}

void ResultTab::chooseMode(Mode mode)
{
    // The mode as the user chooses it: the value headers of that mode (with "CO2: [kg/km]"),
    // then every row again from its label.
    setHeaders(results::resultHeaders(mode));
    recomputeRows();
    // A removed row kept for "Ångra" holds the other mode's values.
    if (m_undoStack)
        m_undoStack->clear();
}

const results::StretchSums &ResultTab::stretchSums()
{
    // Built when a row first needs them rather than for every row: a run never changes once
    // shown. Without a run they are empty, and every stretch is refused.
    if (!m_sumsOfRun && m_run) {
        m_sums = results::StretchSums(*m_run);
        m_sumsOfRun = true;
    }
    return m_sums;
}

void ResultTab::recomputeRows()
{
    // An empty list (a run starting) has nothing to recompute.
    if (!m_run || m_model->rowCount() == 0)
        return;
    std::vector<ResultRow> rows = m_model->rows();
    results::recomputeRows(stretchSums(), rows, mode());
    // New texts only: the selection and a marked value stay where they are.
    m_model->setRows(std::move(rows));
}

void ResultTab::setHeaders(const QStringList &headers)
{
    m_model->setHeaders(headers);
    // A longer header of the other mode widens its column; no column is narrowed.
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const int needed = m_resultView->header()->sectionSizeHint(c);
        if (m_resultView->columnWidth(c) < needed)
            m_resultView->setColumnWidth(c, needed);
    }
}

} // namespace lv::gui
