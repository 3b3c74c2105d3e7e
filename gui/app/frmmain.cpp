#include "gui/app/frmmain.h"

#include "core/calc/calculationrun.h"
#include "gui/app/appicon.h"
#include "gui/app/frmabout.h"
#include "gui/app/guardedtabwidget.h"
#include "gui/files/filecommands.h"
#include "gui/input/segmentlist.h"
#include "gui/prompts/prompts.h"
#include "gui/results/resulttab.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <optional>

namespace lv::gui {

namespace {

const QString kReady = QStringLiteral("Klar");
const QString kWait = QStringLiteral("Vänta...");
constexpr int kInputTab = 0;
constexpr int kResultTab = 1;

// A wait cursor while a run computes; message boxes shown meanwhile get the normal cursor.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace

FrmMain::FrmMain(Prompts &prompts, const QString &appPath, QWidget *parent)
    : QMainWindow(parent), m_prompts(prompts)
{
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(QStringLiteral("Effektberäkning: Luftvaka"));
    setWindowIcon(appIcon());

    auto *central = new QWidget(this);
    // The result tab stays disabled until a run: no path may make it current before.
    SSTab1 = new GuardedTabWidget(central);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    auto *inputTab = new QWidget(SSTab1);
    buildInputTab(inputTab);
    m_resultTab = new ResultTab(m_prompts, SSTab1);
    SSTab1->addTab(inputTab, QStringLiteral("Indata"));
    SSTab1->addTab(m_resultTab, QStringLiteral("Resultat"));

    cmdKor = new QPushButton(QStringLiteral("Beräkna"), central);
    cmdKor->setObjectName(QStringLiteral("cmdKor"));
    cmdRensa = new QPushButton(QStringLiteral("Rensa"), central);
    cmdRensa->setObjectName(QStringLiteral("cmdRensa"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdKor);
    buttons->addWidget(cmdRensa);
    buttons->addStretch(1);
    auto *layout = new QVBoxLayout(central);
    layout->addWidget(SSTab1, 1);
    layout->addLayout(buttons);
    setCentralWidget(central);

    // One text in the status bar, in a label so that menu hints do not wipe it.
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    m_statusText = new QLabel(statusBar());
    m_statusText->setObjectName(QStringLiteral("lblStatus"));
    statusBar()->addWidget(m_statusText, 1);

    buildMenus();

    setTabOrder(txtDubbAndel, cmdKor);
    setTabOrder(cmdKor, cmdRensa);

    connect(cmdKor, &QPushButton::clicked, this, &FrmMain::cmdKor_Click);
    connect(cmdRensa, &QPushButton::clicked, this, &FrmMain::cmdRensa_Click);
    connect(m_resultTab, &ResultTab::statusChanged, this, &FrmMain::setStatus);

    setMinimumSize(720, 480);

    // Start-up: centred, only the input tab, the program's directory current, ready.
    centreOnScreen();
    SSTab1->setTabEnabled(kInputTab, true);
    SSTab1->setTabEnabled(kResultTab, false);
    SSTab1->setCurrentIndex(kInputTab);
    m_appPath = appPath.isEmpty() ? QCoreApplication::applicationDirPath() : appPath;
    QDir::setCurrent(m_appPath);
    setStatus(kReady);
}

FrmMain::~FrmMain() = default;

void FrmMain::buildInputTab(QWidget *tab)
{
    auto *scenarioLabel = new QLabel(QStringLiteral("Scenario:"), tab);
    txtScenario = new QLineEdit(tab);
    txtScenario->setObjectName(QStringLiteral("txtScenario"));
    txtScenario->setAccessibleName(QStringLiteral("Scenario:"));
    scenarioLabel->setBuddy(txtScenario);

    auto *yearLabel = new QLabel(QStringLiteral("Beräkningsår:"), tab);
    cboAr = new QComboBox(tab);
    cboAr->setObjectName(QStringLiteral("cboAr"));
    cboAr->setAccessibleName(QStringLiteral("Beräkningsår:"));
    cboAr->setEditable(false);
    cboAr->addItems({QStringLiteral("2005"), QStringLiteral("2010"), QStringLiteral("2020")});
    cboAr->setCurrentIndex(-1);
    cboAr->setMinimumContentsLength(6);
    yearLabel->setBuddy(cboAr);

    auto *top = new QHBoxLayout;
    top->addWidget(scenarioLabel);
    top->addWidget(txtScenario, 1);
    top->addSpacing(18);
    top->addWidget(yearLabel);
    top->addWidget(cboAr);

    m_segments = new SegmentList(m_prompts, tab);

    auto *wearFrame = new QGroupBox(QStringLiteral("Dubbslitage"), tab);
    auto *spsLabel = new QLabel(QStringLiteral("SPS-tal (75 km/h): [g/fkm] "), wearFrame);
    txtSPS = new QLineEdit(wearFrame);
    txtSPS->setObjectName(QStringLiteral("txtSPS"));
    txtSPS->setAccessibleName(QStringLiteral("SPS-tal (75 km/h): [g/fkm]"));
    spsLabel->setBuddy(txtSPS);
    auto *shareLabel = new QLabel(QStringLiteral("Andel dubbade personbilar:"), wearFrame);
    txtDubbAndel = new QLineEdit(wearFrame);
    txtDubbAndel->setObjectName(QStringLiteral("txtDubbAndel"));
    txtDubbAndel->setAccessibleName(QStringLiteral("Andel dubbade personbilar:"));
    shareLabel->setBuddy(txtDubbAndel);
    const int fieldWidth = txtSPS->fontMetrics().horizontalAdvance(QStringLiteral("0000000000"));
    for (QLineEdit *field : {txtSPS, txtDubbAndel}) {
        field->setMinimumWidth(fieldWidth);
        field->setMaximumWidth(fieldWidth * 2);
    }
    auto *wear = new QHBoxLayout(wearFrame);
    wear->addWidget(spsLabel);
    wear->addWidget(txtSPS, 1);
    wear->addSpacing(18);
    wear->addWidget(shareLabel);
    wear->addWidget(txtDubbAndel, 1);
    wear->addStretch(1);

    auto *layout = new QVBoxLayout(tab);
    layout->addLayout(top);
    layout->addWidget(m_segments, 1);
    layout->addWidget(wearFrame);

    setTabOrder(txtScenario, cboAr);
    setTabOrder(cboAr, m_segments->list());
    setTabOrder(m_segments->lastButton(), txtSPS);
    setTabOrder(txtSPS, txtDubbAndel);
}

void FrmMain::buildMenus()
{
    mnuArkiv = menuBar()->addMenu(QStringLiteral("&Arkiv"));
    mnuArkiv->setObjectName(QStringLiteral("mnuArkiv"));
    const auto addItem = [this](QMenu *menu, const char *name, const QString &caption,
                                const QKeySequence &shortcut, void (FrmMain::*slot)()) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    mnuOpen = addItem(mnuArkiv, "mnuOpen", QStringLiteral("Öppna indata..."),
                      QKeySequence(Qt::CTRL | Qt::Key_O), &FrmMain::mnuOpen_Click);
    mnuSparaData = addItem(mnuArkiv, "mnuSparaData", QStringLiteral("Spara indata..."),
                           QKeySequence(Qt::CTRL | Qt::Key_D), &FrmMain::mnuSparaData_Click);
    mnuArkiv->addSeparator();
    mnuSpara = addItem(mnuArkiv, "mnuSpara", QStringLiteral("Spara resultat..."),
                       QKeySequence(Qt::CTRL | Qt::Key_S), &FrmMain::mnuSpara_Click);
    mnuSpara->setEnabled(false);
    mnuSkriv = addItem(mnuArkiv, "mnuSkriv", QStringLiteral("Skriv ut resultat..."),
                       QKeySequence(Qt::CTRL | Qt::Key_P), &FrmMain::mnuSkriv_Click);
    mnuSkriv->setEnabled(false);
    mnuArkiv->addSeparator();
    // Closing the window ends the program at once; nothing is asked or saved.
    mnuAvsuta = mnuArkiv->addAction(QStringLiteral("Avsluta"));
    mnuAvsuta->setObjectName(QStringLiteral("mnuAvsuta"));
    mnuAvsuta->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(mnuAvsuta, &QAction::triggered, this, &QWidget::close);

    mnuHjalp = menuBar()->addMenu(QStringLiteral("&Hjälp"));
    mnuHjalp->setObjectName(QStringLiteral("mnuHjalp"));
    mnuOm =
        addItem(mnuHjalp, "mnuOm", QStringLiteral("Om..."), QKeySequence(), &FrmMain::mnuOm_Click);
}

void FrmMain::centreOnScreen()
{
    const QRect available = screen()->availableGeometry();
    resize(std::min(1040, available.width() * 9 / 10), std::min(640, available.height() * 9 / 10));
    move(available.x() + (available.width() - width()) / 2,
         available.y() + (available.height() - height()) / 2);
}

QString FrmMain::statusText() const
{
    return m_statusText->text();
}

void FrmMain::setStatus(const QString &text)
{
    m_statusText->setText(text);
}

void FrmMain::cmdKor_Click()
{
    if (SSTab1->currentIndex() != kInputTab)
        return;

    m_resultTab->disableCopy();
    setStatus(kWait);
    m_statusText->repaint();

    const auto showError = [this](const Error &error) {
        m_prompts.message(error.message,
                          error.title.isEmpty() ? input::kInputFaultTitle : error.title,
                          error.icon);
        setStatus(kReady);
    };

    calc::RunInput input;
    input.rows = m_segments->rows();
    if (input.rows.empty()) {
        showError(calc::noSegmentsError());
        return;
    }
    m_resultTab->beginRun();
    input.yearText = cboAr->currentText();
    input.spsText = txtSPS->text();
    input.shareText = txtDubbAndel->text();

    // The run computes into new tables; the last run's tables stay in place until it succeeds.
    std::optional<WaitCursor> waitCursor(std::in_place);
    const auto warn = [this, &waitCursor](const QString &labelText) {
        waitCursor.reset();
        m_prompts.message(QStringLiteral("Fel i grundtabellen Rätta! ") + labelText,
                          QStringLiteral("Luftvaka"), MessageIcon::None);
        waitCursor.emplace();
    };
    Expected<calc::RunState> run = calc::computeRun(input, m_appPath, warn);
    waitCursor.reset();
    if (!run) {
        showError(run.error());
        return;
    }

    m_run = std::make_shared<const calc::RunState>(std::move(run).value());
    SSTab1->setTabEnabled(kResultTab, true);
    SSTab1->setCurrentIndex(kResultTab);
    m_resultTab->showRun(m_run);
    mnuSkriv->setEnabled(true);
    mnuSpara->setEnabled(true);
    setStatus(kReady);
}

void FrmMain::cmdRensa_Click()
{
    if (SSTab1->currentIndex() == kInputTab) {
        txtScenario->clear();
        m_segments->clear();
        txtDubbAndel->clear();
        txtSPS->clear();
        mnuSkriv->setEnabled(false);
        mnuSpara->setEnabled(false);
        // The result tab keeps its list and the run's tables; it is only closed off.
        SSTab1->setTabEnabled(kResultTab, false);
        cboAr->setCurrentIndex(-1);
    } else {
        m_resultTab->clearResults();
        mnuSkriv->setEnabled(false);
        mnuSpara->setEnabled(false);
    }
}

files::InputDocument FrmMain::inputDocument() const
{
    return files::InputDocument{txtScenario->text(), cboAr->currentText(), m_segments->rows(),
                                txtSPS->text(), txtDubbAndel->text()};
}

void FrmMain::setInputDocument(const files::InputDocument &document)
{
    txtScenario->setText(document.scenario);
    cboAr->setCurrentIndex(cboAr->findText(document.year)); // "" selects no year
    m_segments->setRows(document.rows);
    txtSPS->setText(document.sps);
    txtDubbAndel->setText(document.studdedShare);
}

// Opening replaces the input only; the result tab and its menu items stay as they are.
void FrmMain::mnuOpen_Click()
{
    if (const auto document = openInputFile(m_prompts, this))
        setInputDocument(*document);
}

void FrmMain::mnuSparaData_Click()
{
    saveInputFile(m_prompts, this, inputDocument());
}

void FrmMain::mnuSpara_Click()
{
    saveResultFile(m_prompts, this, txtScenario->text(), m_resultTab->mode(), m_resultTab->rows());
}

void FrmMain::mnuSkriv_Click()
{
    printResults(m_prompts, this, txtScenario->text(), m_resultTab->mode(), m_resultTab->rows(),
                 m_resultTab->slopeNotice());
}

void FrmMain::mnuOm_Click()
{
    FrmAbout about(QStringLiteral(LUFTVAKA_VERSION), this);
    m_prompts.runDialog(about);
}

} // namespace lv::gui
