#include "gui/results/resulttab.h"

#include "core/calc/calculationrun.h"
#include "core/input/segmentrow.h"
#include "gui/prompts/prompts.h"

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
#include <QTreeWidget>
#include <QVBoxLayout>

namespace lv::gui {

using results::Mode;
using results::ResultRow;

namespace {

const QString kReady = QStringLiteral("Klar");
const QString kWait = QStringLiteral("Vänta...");

// The text colour of a marked value; unmarked cells have the list's normal (black) text.
const QColor kMarked = Qt::red;

bool isMarkedColour(const QVariant &colour)
{
    return colour.isValid() && colour.value<QBrush>().color() == kMarked;
}

bool isMarked(const QTreeWidgetItem &item, int column)
{
    return isMarkedColour(item.data(column, Qt::ForegroundRole));
}

void setMarked(QTreeWidgetItem &item, int column, bool marked)
{
    item.setData(column, Qt::ForegroundRole, marked ? QVariant(QBrush(kMarked)) : QVariant());
}

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
        if (isMarkedColour(index.data(Qt::ForegroundRole))) {
            option->state &= ~QStyle::State_Selected;
            option->backgroundBrush = option->palette.base();
        }
    }
};

} // namespace

ResultTab::ResultTab(Prompts &prompts, QWidget *parent) : QWidget(parent), m_prompts(prompts)
{
    lvwResult = new QTreeWidget(this);
    lvwResult->setObjectName(QStringLiteral("lvwResult"));
    lvwResult->setAccessibleName(QStringLiteral("Resultat"));
    lvwResult->setRootIsDecorated(false);
    lvwResult->setItemsExpandable(false);
    lvwResult->setUniformRowHeights(true);
    lvwResult->setAllColumnsShowFocus(true);
    lvwResult->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwResult->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwResult->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvwResult->header()->setSectionsMovable(false);
    lvwResult->header()->setStretchLastSection(false);
    lvwResult->setItemDelegate(new MarkedValueDelegate(lvwResult));
    setHeaders(results::resultHeaders(Mode::PerKm, /*co2Colon*/ false));
    // Each column one inch wide, or wider where its header needs it.
    const int inch = logicalDpiX();
    for (int c = 0; c < lvwResult->columnCount(); ++c)
        lvwResult->setColumnWidth(c, std::max(inch, lvwResult->header()->sectionSizeHint(c)));
    lvwResult->setMinimumHeight(lvwResult->fontMetrics().height() * 8);

    lblSlopeNotice = new QLabel(this);
    lblSlopeNotice->setObjectName(QStringLiteral("lblSlopeNotice"));
    lblSlopeNotice->setWordWrap(true);
    lblSlopeNotice->hide();

    auto *normFrame = new QGroupBox(QStringLiteral("Resultatnormering"), this);
    optTot = new QRadioButton(QStringLiteral("Totala effekter"), normFrame);
    optTot->setObjectName(QStringLiteral("optTot"));
    optPerKm = new QRadioButton(QStringLiteral("Effekter/km"), normFrame);
    optPerKm->setObjectName(QStringLiteral("optPerKm"));
    optPerKm->setChecked(true);
    auto *normLayout = new QVBoxLayout(normFrame);
    normLayout->addWidget(optTot);
    normLayout->addWidget(optPerKm);

    auto *stretchLabel = new QLabel(QStringLiteral("Resultat för delsträcka: [m] - [m]"), this);
    txtResultStart = new QLineEdit(this);
    txtResultStart->setObjectName(QStringLiteral("txtResultStart"));
    txtResultStart->setAccessibleName(QStringLiteral("Resultat för delsträcka: start [m]"));
    txtResultStop = new QLineEdit(this);
    txtResultStop->setObjectName(QStringLiteral("txtResultStop"));
    txtResultStop->setAccessibleName(QStringLiteral("Resultat för delsträcka: slut [m]"));
    cmdVisaResult = new QPushButton(QStringLiteral("Lägg till"), this);
    cmdVisaResult->setObjectName(QStringLiteral("cmdVisaResult"));
    const int fieldWidth = fontMetrics().horizontalAdvance(QStringLiteral("00000000"));
    txtResultStart->setMinimumWidth(fieldWidth);
    txtResultStop->setMinimumWidth(fieldWidth);
    auto *stretchFields = new QGridLayout;
    stretchFields->addWidget(stretchLabel, 0, 0, 1, 4);
    stretchFields->addWidget(txtResultStart, 1, 0);
    stretchFields->addWidget(new QLabel(QStringLiteral(" - "), this), 1, 1);
    stretchFields->addWidget(txtResultStop, 1, 2);
    stretchFields->addWidget(cmdVisaResult, 1, 3);
    stretchFields->setRowStretch(2, 1);

    Command1 = new QPushButton(QStringLiteral("Ta bort markerat"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setEnabled(false);
    cmdKopieraVarde = new QPushButton(QStringLiteral("Kopiera värde"), this);
    cmdKopieraVarde->setObjectName(QStringLiteral("cmdKopieraVarde"));
    auto *rowButtons = new QVBoxLayout;
    rowButtons->addWidget(Command1);
    rowButtons->addWidget(cmdKopieraVarde);
    rowButtons->addStretch(1);

    auto *below = new QHBoxLayout;
    below->addWidget(normFrame);
    below->addSpacing(12);
    below->addLayout(stretchFields);
    below->addStretch(1);
    below->addLayout(rowButtons);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lvwResult, 1);
    layout->addWidget(lblSlopeNotice);
    layout->addLayout(below);

    setTabOrder(lvwResult, optTot);
    setTabOrder(optTot, optPerKm);
    setTabOrder(optPerKm, txtResultStart);
    setTabOrder(txtResultStart, txtResultStop);
    setTabOrder(txtResultStop, cmdVisaResult);
    setTabOrder(cmdVisaResult, Command1);
    setTabOrder(Command1, cmdKopieraVarde);

    connect(cmdVisaResult, &QPushButton::clicked, this, &ResultTab::cmdVisaResult_Click);
    connect(Command1, &QPushButton::clicked, this, &ResultTab::Command1_Click);
    connect(cmdKopieraVarde, &QPushButton::clicked, this, &ResultTab::cmdKopieraVarde_Click);
    // The user's choice of an option (mouse, space or arrow keys all click it); setting the
    // buttons from code does not switch.
    connect(optTot, &QRadioButton::clicked, this, [this] { chooseMode(Mode::Totals); });
    connect(optPerKm, &QRadioButton::clicked, this, [this] { chooseMode(Mode::PerKm); });
    connect(lvwResult, &QTreeWidget::itemClicked, this, &ResultTab::lvwResult_ItemClick);
    // A row selected from the keyboard can be removed as well as a clicked one.
    connect(lvwResult, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!lvwResult->selectedItems().isEmpty())
            Command1->setEnabled(true);
    });
    lvwResult->viewport()->installEventFilter(this);
}

void ResultTab::disableCopy()
{
    cmdKopieraVarde->setEnabled(false);
}

void ResultTab::beginRun()
{
    lvwResult->clear();
    txtResultStart->clear();
    txtResultStop->clear();
    optPerKm->setChecked(true);
    chooseMode(Mode::PerKm);
    disableCopy();
}

void ResultTab::showRun(std::shared_ptr<const calc::RunState> run)
{
    m_run = std::move(run);
    const QString notice = slopeNotice();
    lblSlopeNotice->setText(notice);
    lblSlopeNotice->setVisible(!notice.isEmpty());
    if (m_run)
        appendRow(results::totalRow(*m_run));
}

QString ResultTab::slopeNotice() const
{
    return m_run ? calc::offGridSlopeNotice(*m_run) : QString();
}

void ResultTab::clearResults()
{
    lvwResult->clear();
    txtResultStart->clear();
    txtResultStop->clear();
}

Mode ResultTab::mode() const
{
    return optTot->isChecked() ? Mode::Totals : Mode::PerKm;
}

std::vector<ResultRow> ResultTab::rows() const
{
    std::vector<ResultRow> rows;
    rows.reserve(std::size_t(lvwResult->topLevelItemCount()));
    for (int i = 0; i < lvwResult->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = lvwResult->topLevelItem(i);
        ResultRow row;
        row.label = item->text(0);
        for (std::size_t c = 0; c < row.values.size(); ++c)
            row.values[c] = item->text(int(c) + 1);
        rows.push_back(std::move(row));
    }
    return rows;
}

bool ResultTab::eventFilter(QObject *watched, QEvent *event)
{
    // Every press of any button marks, the second press of a double click included; the list
    // still gets the press for its own selection.
    if (watched == lvwResult->viewport() && (event->type() == QEvent::MouseButtonPress ||
                                             event->type() == QEvent::MouseButtonDblClick)) {
        lvwResult_MouseDown(static_cast<QMouseEvent *>(event)->position().toPoint());
    }
    return QWidget::eventFilter(watched, event);
}

void ResultTab::cmdVisaResult_Click()
{
    emit statusChanged(kWait);
    static const calc::RunState noRun; // the tab is out of reach before the first run
    const Expected<ResultRow> row = results::addSubStretch(
        m_run ? *m_run : noRun, txtResultStart->text(), txtResultStop->text(), mode());
    if (!row) {
        const Error &error = row.error();
        m_prompts.message(error.message,
                          error.title.isEmpty() ? input::kInputFaultTitle : error.title,
                          error.icon);
        emit statusChanged(kReady);
        return;
    }
    appendRow(*row);
    txtResultStart->clear();
    txtResultStop->clear();
    emit statusChanged(kReady);
}

void ResultTab::Command1_Click()
{
    // Without a selected row (after a run or "Rensa") there is nothing to remove.
    const QList<QTreeWidgetItem *> selected = lvwResult->selectedItems();
    if (selected.isEmpty())
        return;
    delete lvwResult->takeTopLevelItem(lvwResult->indexOfTopLevelItem(selected.first()));
    // The next row is not chosen for the user: another row must be clicked first.
    lvwResult->clearSelection();
    Command1->setEnabled(false);
}

void ResultTab::cmdKopieraVarde_Click()
{
    for (int i = 0; i < lvwResult->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = lvwResult->topLevelItem(i);
        for (int column = 1; column < item->columnCount(); ++column) {
            if (!isMarked(*item, column))
                continue;
            // The value exactly as shown, as plain text only.
            QGuiApplication::clipboard()->setText(item->text(column));
            setMarked(*item, column, false);
            cmdKopieraVarde->setEnabled(false);
            return;
        }
    }
}

void ResultTab::lvwResult_ItemClick()
{
    // The list itself selects the clicked row (a Ctrl click may also deselect it).
    Command1->setEnabled(true);
}

void ResultTab::lvwResult_MouseDown(const QPoint &position)
{
    unmarkAll();
    // Only a value cell of a row is marked: not the label, not the space beside or below.
    QTreeWidgetItem *item = lvwResult->itemAt(position);
    const int column = lvwResult->columnAt(position.x());
    if (!item || column < 1)
        return;
    setMarked(*item, column, true);
    cmdKopieraVarde->setEnabled(true);
}

void ResultTab::chooseMode(Mode mode)
{
    // The mode as the user chooses it: the value headers of that mode (with "CO2: [kg/km]"),
    // then every row again from its label.
    setHeaders(results::resultHeaders(mode));
    RecalcResultRows();
}

void ResultTab::RecalcResultRows()
{
    if (!m_run)
        return;
    std::vector<ResultRow> rows = this->rows();
    results::RecalcResultRows(*m_run, rows, mode());
    // New texts only: the selection and a marked value stay where they are.
    for (std::size_t i = 0; i < rows.size(); ++i)
        writeRow(*lvwResult->topLevelItem(int(i)), rows[i]);
}

void ResultTab::appendRow(const ResultRow &row)
{
    auto *item = new QTreeWidgetItem;
    for (int column = 1; column < lvwResult->columnCount(); ++column)
        item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    writeRow(*item, row);
    lvwResult->addTopLevelItem(item);
}

void ResultTab::writeRow(QTreeWidgetItem &item, const ResultRow &row)
{
    item.setText(0, row.label);
    for (std::size_t c = 0; c < row.values.size(); ++c)
        item.setText(int(c) + 1, row.values[c]);
}

void ResultTab::setHeaders(const QStringList &headers)
{
    lvwResult->setColumnCount(int(headers.size()));
    lvwResult->setHeaderLabels(headers);
    // A longer header of the other mode widens its column; no column is narrowed.
    for (int c = 0; c < lvwResult->columnCount(); ++c) {
        const int needed = lvwResult->header()->sectionSizeHint(c);
        if (lvwResult->columnWidth(c) < needed)
            lvwResult->setColumnWidth(c, needed);
    }
}

void ResultTab::unmarkAll()
{
    for (int i = 0; i < lvwResult->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = lvwResult->topLevelItem(i);
        for (int column = 1; column < item->columnCount(); ++column) {
            if (isMarked(*item, column))
                setMarked(*item, column, false);
        }
    }
}

} // namespace lv::gui
