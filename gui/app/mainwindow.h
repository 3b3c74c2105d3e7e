#pragma once

#include "core/calc/calculationrun.h"
#include "core/calc/runstate.h"
#include "core/files/airfile.h"
#include "core/files/inputfile.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
class QUndoStack;

namespace lv::gui {

class AlongTab;
class AirTab;
class Prompts;
class ResultTab;
class SegmentList;
class SegmentTableModel;

// The main window and the owner of the program's state: the input document (the segment rows
// in their model, the other values in their fields), the tables of the last successful
// calculation run, and the result tab working on them.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // `appPath` is the program's directory, where the workbooks lie; empty means the
    // directory of the running executable.
    explicit MainWindow(Prompts &prompts, const QString &appPath = QString(),
                        QWidget *parent = nullptr);
    ~MainWindow() override;

    const QString &appPath() const { return m_appPath; }
    // The tables of the last successful run, or nothing before the first.
    std::shared_ptr<const calc::RunState> runState() const { return m_run; }
    QString statusText() const;
    // The input document as it stands (scenario, year, segment rows, the two wear fields), and
    // putting one read from a file in its place.
    files::InputDocument inputDocument() const;
    void setInputDocument(const files::InputDocument &document);

    // The input file open (opened or last saved to), or empty.
    const QString &inputPath() const { return m_inputPath; }
    // Whether the input differs from what was last opened or saved (at start: from no input).
    bool isInputModified() const;
    // Opens the input file at `path` (a recent file, a file named at start), as "Öppna
    // indata..." does once a file is chosen; false when it could not be read (after a message).
    bool openInputPath(const QString &path);
    // The input files last opened or saved, newest first.
    static QStringList recentFiles();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildInputTab(QWidget *tab);
    void buildMenus();
    void centreOnScreen();
    void restoreLayout();
    void saveLayout() const;
    void setStatus(const QString &text);
    void inputChanged();
    bool inputEquals(const files::InputDocument &document) const;
    void updateTitle();
    void updateRecentMenu();
    void forgetRecentFile(const QString &path);
    void takeInput(const QString &path, const files::InputDocument &document);
    void loadTunnelAir(const QString &inputPath);
    QString reportPdfName() const;
    void markSaved(const QString &path, const files::InputDocument &document,
                   const files::TunnelAir &air);
    void rememberInputFile(const QString &path);
    // Asks to save unsaved input before a command that would lose it; false cancels.
    bool maySetInputAside();
    // Asks before saving or printing results of an input that has changed since.
    bool mayUseStaleResults(const QString &title);

    void calculate();
    void clearCurrentTab();
    void openInputFile();
    bool saveInput();
    bool saveInputAs();
    void saveResultFile();
    void printResults();
    void saveReportPdf();
    void compareYears();
    void compareWithInputFile();
    void showAbout();
    void refreshAirTab();
    void setResultTabsEnabled(bool enabled);

    Prompts &m_prompts;
    QString m_appPath;
    std::shared_ptr<const calc::RunState> m_run;
    QString m_inputPath;
    files::InputDocument m_savedDocument; // as last opened or saved
    files::InputDocument m_runDocument;   // the input of the run shown
    bool m_settingInput = false;          // setInputDocument() at work
    files::TunnelAir m_savedAir;          // the air values as last opened or saved

    QTabWidget *m_tabs = nullptr;
    QLineEdit *m_scenarioEdit = nullptr;
    QComboBox *m_yearCombo = nullptr;
    SegmentTableModel *m_segmentModel = nullptr;
    SegmentList *m_segments = nullptr;
    QLineEdit *m_spsEdit = nullptr;
    QLineEdit *m_studdedShareEdit = nullptr;
    ResultTab *m_resultTab = nullptr;
    AlongTab *m_alongTab = nullptr;
    AirTab *m_airTab = nullptr;
    QPushButton *m_calculateButton = nullptr;
    QPushButton *m_clearButton = nullptr;
    QLabel *m_statusText = nullptr;

    QMenu *m_fileMenu = nullptr;
    QAction *m_openAction = nullptr;
    QMenu *m_recentMenu = nullptr;
    QAction *m_saveInputAgainAction = nullptr;
    QAction *m_saveInputAction = nullptr;
    QAction *m_saveInputAsAction = nullptr;
    QAction *m_saveResultsAction = nullptr;
    QAction *m_printAction = nullptr;
    QAction *m_savePdfAction = nullptr;
    QMenu *m_compareMenu = nullptr;
    QAction *m_exitAction = nullptr;
    QMenu *m_editMenu = nullptr;
    QUndoStack *m_undoStack = nullptr;
    QMenu *m_helpMenu = nullptr;
    QAction *m_aboutAction = nullptr;
};

} // namespace lv::gui
