#include "gui/app/mainwindow.h"

#include "core/calc/calculationrun.h"
#include "gui/app/aboutdialog.h"
#include "gui/app/appicon.h"
#include "gui/app/guardedtabwidget.h"
#include "gui/app/helpbrowser.h"
#include "gui/files/filecommands.h"
#include "gui/input/segmentlist.h"
#include "gui/input/segmenttablemodel.h"
#include "gui/prompts/prompts.h"
#include "gui/results/resulttab.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
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
#include <QTreeView>
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

MainWindow::MainWindow(Prompts &prompts, const QString &appPath, QWidget *parent)
    : QMainWindow(parent), m_prompts(prompts)
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Effektberäkning: Luftvaka"));
    setWindowIcon(appIcon());

    auto *central = new QWidget(this);
    // The result tab stays disabled until a run: no path may make it current before.
    m_tabs = new GuardedTabWidget(central);
    m_tabs->setObjectName(QStringLiteral("tabs"));
    auto *inputTab = new QWidget(m_tabs);
    buildInputTab(inputTab);
    m_resultTab = new ResultTab(m_prompts, m_tabs);
    m_tabs->addTab(inputTab, QStringLiteral("Indata"));
    m_tabs->addTab(m_resultTab, QStringLiteral("Resultat"));

    m_calculateButton = new QPushButton(QStringLiteral("Beräkna"), central);
    m_calculateButton->setObjectName(QStringLiteral("calculateButton"));
    m_clearButton = new QPushButton(QStringLiteral("Rensa"), central);
    m_clearButton->setObjectName(QStringLiteral("clearButton"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_calculateButton);
    buttons->addWidget(m_clearButton);
    buttons->addStretch(1);
    auto *layout = new QVBoxLayout(central);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons);
    setCentralWidget(central);

    // One text in the status bar, in a label so that menu hints do not wipe it.
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    m_statusText = new QLabel(statusBar());
    m_statusText->setObjectName(QStringLiteral("statusText"));
    statusBar()->addWidget(m_statusText, 1);

    buildMenus();

    setTabOrder(m_studdedShareEdit, m_calculateButton);
    setTabOrder(m_calculateButton, m_clearButton);

    connect(m_calculateButton, &QPushButton::clicked, this, &MainWindow::calculate);
    connect(m_clearButton, &QPushButton::clicked, this, &MainWindow::clearCurrentTab);
    connect(m_resultTab, &ResultTab::statusChanged, this, &MainWindow::setStatus);

    setMinimumSize(720, 480);

    // Start-up: centred, only the input tab, ready. The working directory is left alone: the
    // workbooks are read from m_appPath.
    centreOnScreen();
    m_tabs->setTabEnabled(kInputTab, true);
    m_tabs->setTabEnabled(kResultTab, false);
    m_tabs->setCurrentIndex(kInputTab);
    m_appPath = appPath.isEmpty() ? QCoreApplication::applicationDirPath() : appPath;
    setStatus(kReady);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildInputTab(QWidget *tab)
{
    auto *scenarioLabel = new QLabel(QStringLiteral("Scenario:"), tab);
    m_scenarioEdit = new QLineEdit(tab);
    m_scenarioEdit->setObjectName(QStringLiteral("scenarioEdit"));
    m_scenarioEdit->setAccessibleName(QStringLiteral("Scenario:"));
    scenarioLabel->setBuddy(m_scenarioEdit);

    auto *yearLabel = new QLabel(QStringLiteral("Beräkningsår:"), tab);
    m_yearCombo = new QComboBox(tab);
    m_yearCombo->setObjectName(QStringLiteral("yearCombo"));
    m_yearCombo->setAccessibleName(QStringLiteral("Beräkningsår:"));
    m_yearCombo->setEditable(false);
    m_yearCombo->addItems({QStringLiteral("2005"), QStringLiteral("2010"), QStringLiteral("2020")});
    m_yearCombo->setCurrentIndex(-1);
    m_yearCombo->setMinimumContentsLength(6);
    yearLabel->setBuddy(m_yearCombo);

    auto *top = new QHBoxLayout;
    top->addWidget(scenarioLabel);
    top->addWidget(m_scenarioEdit, 1);
    top->addSpacing(18);
    top->addWidget(yearLabel);
    top->addWidget(m_yearCombo);

    m_segmentModel = new SegmentTableModel(this);
    m_segments = new SegmentList(*m_segmentModel, m_prompts, tab);

    auto *wearFrame = new QGroupBox(QStringLiteral("Dubbslitage"), tab);
    auto *spsLabel = new QLabel(QStringLiteral("SPS-tal (75 km/h): [g/fkm] "), wearFrame);
    m_spsEdit = new QLineEdit(wearFrame);
    m_spsEdit->setObjectName(QStringLiteral("spsEdit"));
    m_spsEdit->setAccessibleName(QStringLiteral("SPS-tal (75 km/h): [g/fkm]"));
    spsLabel->setBuddy(m_spsEdit);
    auto *shareLabel = new QLabel(QStringLiteral("Andel dubbade personbilar:"), wearFrame);
    m_studdedShareEdit = new QLineEdit(wearFrame);
    m_studdedShareEdit->setObjectName(QStringLiteral("studdedShareEdit"));
    m_studdedShareEdit->setAccessibleName(QStringLiteral("Andel dubbade personbilar:"));
    shareLabel->setBuddy(m_studdedShareEdit);
    const int fieldWidth = m_spsEdit->fontMetrics().horizontalAdvance(QStringLiteral("0000000000"));
    for (QLineEdit *field : {m_spsEdit, m_studdedShareEdit}) {
        field->setMinimumWidth(fieldWidth);
        field->setMaximumWidth(fieldWidth * 2);
    }
    auto *wear = new QHBoxLayout(wearFrame);
    wear->addWidget(spsLabel);
    wear->addWidget(m_spsEdit, 1);
    wear->addSpacing(18);
    wear->addWidget(shareLabel);
    wear->addWidget(m_studdedShareEdit, 1);
    wear->addStretch(1);

    auto *layout = new QVBoxLayout(tab);
    layout->addLayout(top);
    layout->addWidget(m_segments, 1);
    layout->addWidget(wearFrame);

    setTabOrder(m_scenarioEdit, m_yearCombo);
    setTabOrder(m_yearCombo, m_segments->view());
    setTabOrder(m_segments->lastButton(), m_spsEdit);
    setTabOrder(m_spsEdit, m_studdedShareEdit);
}

void MainWindow::buildMenus()
{
    m_fileMenu = menuBar()->addMenu(QStringLiteral("&Arkiv"));
    m_fileMenu->setObjectName(QStringLiteral("fileMenu"));
    const auto addItem = [this](QMenu *menu, const char *name, const QString &caption,
                                const QKeySequence &shortcut, void (MainWindow::*slot)()) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    m_openAction = addItem(m_fileMenu, "openAction", QStringLiteral("Öppna indata..."),
                           QKeySequence(Qt::CTRL | Qt::Key_O), &MainWindow::openInputFile);
    m_saveInputAction = addItem(m_fileMenu, "saveInputAction", QStringLiteral("Spara indata..."),
                                QKeySequence(Qt::CTRL | Qt::Key_D), &MainWindow::saveInputFile);
    m_fileMenu->addSeparator();
    m_saveResultsAction =
        addItem(m_fileMenu, "saveResultsAction", QStringLiteral("Spara resultat..."),
                QKeySequence(Qt::CTRL | Qt::Key_S), &MainWindow::saveResultFile);
    m_saveResultsAction->setEnabled(false);
    m_printAction = addItem(m_fileMenu, "printAction", QStringLiteral("Skriv ut resultat..."),
                            QKeySequence(Qt::CTRL | Qt::Key_P), &MainWindow::printResults);
    m_printAction->setEnabled(false);
    m_fileMenu->addSeparator();
    // Closing the window ends the program at once; nothing is asked or saved.
    m_exitAction = m_fileMenu->addAction(QStringLiteral("Avsluta"));
    m_exitAction->setObjectName(QStringLiteral("exitAction"));
    m_exitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(m_exitAction, &QAction::triggered, this, &QWidget::close);

    m_helpMenu = menuBar()->addMenu(QStringLiteral("&Hjälp"));
    m_helpMenu->setObjectName(QStringLiteral("helpMenu"));
    QAction *guideAction = m_helpMenu->addAction(QStringLiteral("Användarhandbok"));
    guideAction->setObjectName(QStringLiteral("userGuideAction"));
    guideAction->setShortcut(QKeySequence(Qt::Key_F1));
    connect(guideAction, &QAction::triggered, this, [this] { showUserGuide(this); });
    m_aboutAction = addItem(m_helpMenu, "aboutAction", QStringLiteral("Om..."), QKeySequence(),
                            &MainWindow::showAbout);
}

void MainWindow::centreOnScreen()
{
    const QRect available = screen()->availableGeometry();
    resize(std::min(1040, available.width() * 9 / 10), std::min(640, available.height() * 9 / 10));
    move(available.x() + (available.width() - width()) / 2,
         available.y() + (available.height() - height()) / 2);
}

QString MainWindow::statusText() const
{
    return m_statusText->text();
}

void MainWindow::setStatus(const QString &text)
{
    m_statusText->setText(text);
}

void MainWindow::calculate()
{
    if (m_tabs->currentIndex() != kInputTab)
        return;

    m_resultTab->disableCopy();
    setStatus(kWait);
    m_statusText->repaint();

    const auto showError = [this](const Error &error) {
        gui::showError(m_prompts, error);
        setStatus(kReady);
    };

    files::InputDocument document = inputDocument();
    if (const auto empty = calc::checkHasSegments(document.rows)) {
        showError(*empty);
        return;
    }
    m_resultTab->beginRun();
    const calc::RunInput input{std::move(document.rows), document.year, document.sps,
                               document.studdedShare};

    // The run computes into new tables; the last run's tables stay in place until it succeeds.
    std::optional<WaitCursor> waitCursor(std::in_place);
    const auto warn = [this, &waitCursor](const QString &labelText) {
        waitCursor.reset();
        gui::showError(m_prompts, calc::labelWarning(labelText));
        waitCursor.emplace();
    };
    Expected<calc::RunState> run = calc::computeRun(input, m_appPath, warn);
    waitCursor.reset();
    if (!run) {
        showError(run.error());
        return;
    }

    // The factor tables only served the run's own steps; the results need the rates alone.
    run->releaseFactorTables();
    m_run = std::make_shared<const calc::RunState>(std::move(run).value());
    m_tabs->setTabEnabled(kResultTab, true);
    m_tabs->setCurrentIndex(kResultTab);
    m_resultTab->showRun(m_run);
    m_printAction->setEnabled(true);
    m_saveResultsAction->setEnabled(true);
    setStatus(kReady);
}

void MainWindow::clearCurrentTab()
{
    if (m_tabs->currentIndex() == kInputTab) {
        m_scenarioEdit->clear();
        m_segments->clear();
        m_studdedShareEdit->clear();
        m_spsEdit->clear();
        m_printAction->setEnabled(false);
        m_saveResultsAction->setEnabled(false);
        // The result tab keeps its list and the run's tables; it is only closed off.
        m_tabs->setTabEnabled(kResultTab, false);
        m_yearCombo->setCurrentIndex(-1);
    } else {
        m_resultTab->clearResults();
        m_printAction->setEnabled(false);
        m_saveResultsAction->setEnabled(false);
    }
}

files::InputDocument MainWindow::inputDocument() const
{
    return files::InputDocument{m_scenarioEdit->text(), m_yearCombo->currentText(),
                                m_segmentModel->rows(), m_spsEdit->text(),
                                m_studdedShareEdit->text()};
}

void MainWindow::setInputDocument(const files::InputDocument &document)
{
    m_scenarioEdit->setText(document.scenario);
    m_yearCombo->setCurrentIndex(m_yearCombo->findText(document.year)); // "" selects no year
    m_segmentModel->setRows(document.rows);
    m_spsEdit->setText(document.sps);
    m_studdedShareEdit->setText(document.studdedShare);
}

// Opening replaces the input only; the result tab and its menu items stay as they are.
void MainWindow::openInputFile()
{
    if (const auto document = gui::openInputFile(m_prompts, this))
        setInputDocument(*document);
}

void MainWindow::saveInputFile()
{
    gui::saveInputFile(m_prompts, this, inputDocument());
}

void MainWindow::saveResultFile()
{
    gui::saveResultFile(m_prompts, this, m_scenarioEdit->text(), m_resultTab->mode(),
                        m_resultTab->rows());
}

void MainWindow::printResults()
{
    gui::printResults(m_prompts, this, m_scenarioEdit->text(), m_resultTab->mode(),
                      m_resultTab->rows(), m_resultTab->slopeNotice());
}

void MainWindow::showAbout()
{
    AboutDialog about(QStringLiteral(LUFTVAKA_VERSION), this);
    m_prompts.runDialog(about);
}

} // namespace lv::gui
