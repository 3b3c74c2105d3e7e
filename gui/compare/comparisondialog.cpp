#include "gui/compare/comparisondialog.h"

#include "core/files/inputfile.h"
#include "core/text/textfile.h"
#include "gui/compare/comparisonmodel.h"
#include "gui/files/filecommands.h"
#include "gui/prompts/prompts.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace lv::gui {

namespace {

// The label warnings of a comparison's runs, each told once after they have all run (the
// runs of one workbook repeat the same).
class LabelWarnings
{
public:
    calc::LabelWarning collector()
    {
        return [this](const QString &label) {
            if (!m_labels.contains(label))
                m_labels << label;
        };
    }
    void show(Prompts &prompts) const
    {
        for (const QString &label : m_labels)
            showError(prompts, calc::labelWarning(label));
    }

private:
    QStringList m_labels;
};

} // namespace

ComparisonDialog::ComparisonDialog(const QString &title, results::Comparison comparison,
                                   QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("comparisonDialog"));
    setWindowTitle(title);
    auto *notes = new QLabel(comparison.notes.join(u'\n'), this);
    notes->setObjectName(QStringLiteral("comparisonNotes"));
    notes->setWordWrap(true);
    notes->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_model = new ComparisonModel(std::move(comparison), this);
    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("comparisonView"));
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    m_view->resizeColumnsToContents();

    // Ctrl+C copies whole rows, not the view's current cell alone.
    m_view->installEventFilter(this);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton *copyButton =
        buttons->addButton(QStringLiteral("Kopiera"), QDialogButtonBox::ActionRole);
    copyButton->setObjectName(QStringLiteral("copyButton"));
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Stäng"));
    connect(copyButton, &QPushButton::clicked, this, &ComparisonDialog::copyRows);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(notes);
    layout->addWidget(m_view, 1);
    layout->addWidget(buttons);
    resize(900, 520);
}

bool ComparisonDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
        copyRows();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void ComparisonDialog::copyRows()
{
    QList<int> rows;
    for (const QModelIndex &index : m_view->selectionModel()->selectedRows())
        rows << index.row();
    if (rows.isEmpty()) {
        for (int row = 0; row < m_model->rowCount(); ++row)
            rows << row;
    }
    QGuiApplication::clipboard()->setText(m_model->rowsAsText(rows));
}

void compareYears(Prompts &prompts, QWidget *parent, const calc::RunInput &input,
                  const calc::RunState &run, const QStringList &labels, results::Mode mode,
                  const QString &workbookDir)
{
    LabelWarnings warnings;
    ComparisonDialog dialog(
        kCompareYearsTitle,
        results::compareYears(input, run, labels, mode, workbookDir, warnings.collector()), parent);
    warnings.show(prompts);
    prompts.runDialog(dialog);
}

void compareWithInputFile(Prompts &prompts, QWidget *parent, const calc::RunState &run,
                          const QStringList &labels, results::Mode mode, const QString &workbookDir)
{
    const QString path = prompts.openFileName(parent, kCompareInputTitle, kInputFilter);
    if (path.isEmpty())
        return;
    const Expected<QByteArray> bytes = text::readWholeFile(path);
    if (!bytes) {
        showError(prompts, bytes.error(), kCompareInputTitle);
        return;
    }
    Expected<files::InputDocument> document = files::readInputFile(*bytes);
    if (!document) {
        showError(prompts, document.error());
        return;
    }
    const calc::RunInput other{std::move(document->rows), document->year, document->sps,
                               document->studdedShare};
    LabelWarnings warnings;
    const auto table = results::compareInputs(run, other, QFileInfo(path).fileName(), labels, mode,
                                              workbookDir, warnings.collector());
    warnings.show(prompts);
    if (!table) {
        showError(prompts, table.error());
        return;
    }
    ComparisonDialog dialog(kCompareInputTitle, *table, parent);
    prompts.runDialog(dialog);
}

} // namespace lv::gui
