#pragma once

#include "core/calc/runstate.h"
#include "core/results/resulttable.h"

#include <QWidget>

#include <memory>
#include <vector>

class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeView;
class QUndoStack;

namespace lv::gui {

class Prompts;
class ResultTableModel;

// The result tab: the result list (m_model shown by m_resultView), the normalisation switch and
// the sub-stretch fields. It works on the run state the main window hands it after each
// successful run, so it keeps working on that run while the input is edited. The core computes
// every row; the tab only puts them into the model.
//
// The selected row and the marked value are two different things: a row is selected by
// clicking it (for "Ta bort markerat"); a value is marked by pressing a mouse button over its
// cell (for "Kopiera värde"), and the mark, shown as red text, is on one cell at most.
class ResultTab : public QWidget
{
    Q_OBJECT

public:
    explicit ResultTab(Prompts &prompts, QWidget *parent = nullptr);

    // "Ta bort markerat" becomes a step of this stack, which "Ångra" takes back.
    void setUndoStack(QUndoStack *stack) { m_undoStack = stack; }

    // "Kopiera värde" off: a new run is starting.
    void disableCopy();
    // A run has passed its first check: empty list and fields, per-km mode chosen as by the
    // user, "Kopiera värde" off.
    void beginRun();
    // A run succeeded: keep its state, append its "Totalt" row, and show under the list
    // whether it used slopes outside the tables.
    void showRun(std::shared_ptr<const calc::RunState> run);
    // "Rensa" on the result tab: empty list and sub-stretch fields.
    void clearResults();
    // The lines above the list saying what the run shown came from.
    void setSummary(const QStringList &lines);
    // Whether the input has changed since the run shown: a note above the list says so.
    void setStale(bool stale);
    bool isStale() const;
    // The widths of the list's columns, kept between sessions.
    QByteArray columnState() const;
    void restoreColumnState(const QByteArray &state);

    std::shared_ptr<const calc::RunState> runState() const { return m_run; }
    // The line about slopes outside the tables that the run shown needs, or empty.
    QString slopeNotice() const;
    // The normalisation the option buttons show.
    results::Mode mode() const;
    // The rows as shown, in list order.
    const std::vector<results::ResultRow> &rows() const;
    // The list's model, for those who follow its rows.
    const ResultTableModel *model() const { return m_model; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // Text for the main window's status bar ("Vänta...", "Klar").
    void statusChanged(const QString &text);

private:
    void createResultView();
    QGroupBox *createModeSwitch();
    QLayout *createStretchFields();
    QLayout *createRowButtons();
    void connectControls();

    void addSubStretch();
    void removeSelectedRow();
    void copyMarkedValue();
    void updateRemoveButton();
    void markCellAt(const QPoint &position);

    void chooseMode(results::Mode mode);
    void recomputeRows();
    const results::StretchSums &stretchSums();
    void setHeaders(const QStringList &headers);

    Prompts &m_prompts;
    std::shared_ptr<const calc::RunState> m_run;
    results::StretchSums m_sums; // of m_run once m_sumsOfRun is set
    bool m_sumsOfRun = false;

    ResultTableModel *m_model = nullptr;
    QTreeView *m_resultView = nullptr;
    QLabel *m_slopeNotice = nullptr; // hidden unless the run used slopes outside the tables
    QLabel *m_summary = nullptr;
    QLabel *m_staleNote = nullptr; // hidden unless the input changed after the run
    QRadioButton *m_totalsButton = nullptr;
    QRadioButton *m_perKmButton = nullptr;
    QLineEdit *m_startEdit = nullptr;
    QLineEdit *m_stopEdit = nullptr;
    QPushButton *m_addStretchButton = nullptr;
    QPushButton *m_removeRowButton = nullptr;
    QUndoStack *m_undoStack = nullptr;
    QPushButton *m_copyValueButton = nullptr;
};

} // namespace lv::gui
