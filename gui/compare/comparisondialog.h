#pragma once

#include "core/calc/calculationrun.h"
#include "core/results/comparison.h"

#include <QDialog>
#include <QStringList>

class QTableView;

namespace lv::gui {

class ComparisonModel;
class Prompts;

// Shows a comparison: its notes above a table of the values side by side. Selected rows copy
// with Ctrl+C or "Kopiera" (the whole table when none is selected), headers first.
class ComparisonDialog : public QDialog
{
    Q_OBJECT

public:
    ComparisonDialog(const QString &title, results::Comparison comparison,
                     QWidget *parent = nullptr);

    const ComparisonModel &model() const { return *m_model; }
    QTableView *view() const { return m_view; }
    // Puts the selected rows (or all) on the clipboard as TAB-separated text.
    void copyRows();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ComparisonModel *m_model = nullptr;
    QTableView *m_view = nullptr;
};

inline const QString kCompareYearsTitle = QStringLiteral("Jämför år");
inline const QString kCompareInputTitle = QStringLiteral("Jämför med indatafil");

// "Jämför år": the last run's input for the three years, shown in a dialog. `labels` are the
// result list's rows, `mode` its normalisation.
void compareYears(Prompts &prompts, QWidget *parent, const calc::RunInput &input,
                  const calc::RunState &run, const QStringList &labels, results::Mode mode,
                  const QString &workbookDir);

// "Jämför med indatafil...": an input file the user chooses, computed with the last run's year
// beside it. A file that cannot be read or computed is said so, and nothing is shown.
void compareWithInputFile(Prompts &prompts, QWidget *parent, const calc::RunState &run,
                          const QStringList &labels, results::Mode mode,
                          const QString &workbookDir);

} // namespace lv::gui
