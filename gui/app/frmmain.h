#pragma once

#include "core/calc/runstate.h"
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

namespace lv::gui {

class Prompts;
class ResultTab;
class SegmentList;

// The main window and the owner of the program's state: the input as its controls show it,
// the tables of the last successful calculation run, and the result tab working on them.
class FrmMain : public QMainWindow
{
    Q_OBJECT

public:
    // `appPath` is the program's directory, where the workbooks lie; empty means the
    // directory of the running executable. It becomes the current directory.
    explicit FrmMain(Prompts &prompts, const QString &appPath = QString(),
                     QWidget *parent = nullptr);
    ~FrmMain() override;

    const QString &appPath() const { return m_appPath; }
    // The tables of the last successful run, or nothing before the first.
    std::shared_ptr<const calc::RunState> runState() const { return m_run; }
    QString statusText() const;
    // The input as the controls show it (scenario, year, segment rows, the two wear fields),
    // and putting an input read from a file back into them.
    files::InputDocument inputDocument() const;
    void setInputDocument(const files::InputDocument &document);

private:
    void buildInputTab(QWidget *tab);
    void buildMenus();
    void centreOnScreen();
    void setStatus(const QString &text);

    void cmdKor_Click();
    void cmdRensa_Click();
    void mnuOpen_Click();
    void mnuSparaData_Click();
    void mnuSpara_Click();
    void mnuSkriv_Click();
    void mnuOm_Click();

    Prompts &m_prompts;
    QString m_appPath; // AppPath
    std::shared_ptr<const calc::RunState> m_run;

    QTabWidget *SSTab1 = nullptr;
    QLineEdit *txtScenario = nullptr;
    QComboBox *cboAr = nullptr;
    SegmentList *m_segments = nullptr;
    QLineEdit *txtSPS = nullptr;
    QLineEdit *txtDubbAndel = nullptr;
    ResultTab *m_resultTab = nullptr;
    QPushButton *cmdKor = nullptr;
    QPushButton *cmdRensa = nullptr;
    QLabel *m_statusText = nullptr;

    QMenu *mnuArkiv = nullptr;
    QAction *mnuOpen = nullptr;
    QAction *mnuSparaData = nullptr;
    QAction *mnuSpara = nullptr;
    QAction *mnuSkriv = nullptr;
    QAction *mnuAvsuta = nullptr;
    QMenu *mnuHjalp = nullptr;
    QAction *mnuOm = nullptr;
};

} // namespace lv::gui
