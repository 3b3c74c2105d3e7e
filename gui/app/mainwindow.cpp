#include "gui/app/mainwindow.h"

#include "core/calc/calculationrun.h"
#include "core/results/alongtunnel.h"
#include "core/results/runsummary.h"
#include "gui/air/airtab.h"
#include "gui/along/alongtab.h"
#include "gui/app/aboutdialog.h"
#include "gui/app/appicon.h"
#include "gui/app/guardedtabwidget.h"
#include "gui/app/helpbrowser.h"
#include "gui/compare/comparisondialog.h"
#include "gui/files/filecommands.h"
#include "gui/input/segmentlist.h"
#include "gui/input/segmenttablemodel.h"
#include "gui/prompts/prompts.h"
#include "gui/results/resulttab.h"
#include "gui/results/resulttablemodel.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTreeView>
#include <QUndoStack>
#include <QVBoxLayout>

#include <optional>

namespace lv::gui {

namespace {

const QString kReady = QStringLiteral("Klar");
const QString kWait = QStringLiteral("Vänta...");
constexpr int kInputTab = 0;
constexpr int kResultTab = 1;
constexpr int kAlongTab = 2;

// The labels of the result list: the stretches the air tab and a comparison cover.
QStringList stretchLabels(const std::vector<results::ResultRow> &rows)
{
    QStringList labels;
    labels.reserve(qsizetype(rows.size()));
    for (const auto &row : rows)
        labels << row.label;
    return labels;
}

const QString kGeometryKey = QStringLiteral("window/geometry");
const QString kSegmentColumnsKey = QStringLiteral("window/segmentColumns");
const QString kResultColumnsKey = QStringLiteral("window/resultColumns");
const QString kRecentFilesKey = QStringLiteral("recentFiles");
constexpr int kRecentFileCount = 5;

// Equal texts; a text shared with the other side (both copies of the same rows) is equal without
// reading it, so that comparing a tunnel of 32767 rows with its saved copy stays cheap.
bool sameText(const QString &a, const QString &b)
{
    return (a.constData() == b.constData() && a.size() == b.size()) || a == b;
}

bool sameRows(const std::vector<input::SegmentRow> &a, const std::vector<input::SegmentRow> &b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!sameText(a[i].number, b[i].number))
            return false;
        for (std::size_t c = 0; c < a[i].cells.size(); ++c) {
            if (!sameText(a[i].cells[c], b[i].cells[c]))
                return false;
        }
    }
    return true;
}

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
    setWindowIcon(appIcon());

    m_undoStack = new QUndoStack(this);
    auto *central = new QWidget(this);
    // The result tab stays disabled until a run: no path may make it current before.
    m_tabs = new GuardedTabWidget(central);
    m_tabs->setObjectName(QStringLiteral("tabs"));
    auto *inputTab = new QWidget(m_tabs);
    buildInputTab(inputTab);
    m_resultTab = new ResultTab(m_prompts, m_tabs);
    m_resultTab->setUndoStack(m_undoStack);
    m_segments->setUndoStack(m_undoStack);
    m_tabs->addTab(inputTab, QStringLiteral("Indata"));
    m_tabs->addTab(m_resultTab, QStringLiteral("Resultat"));
    // Enabled and closed off together with the result tab.
    m_alongTab = new AlongTab(m_prompts, m_tabs);
    m_tabs->addTab(m_alongTab, QStringLiteral("Längs tunneln"));
    m_airTab = new AirTab(m_prompts, m_tabs);
    m_tabs->addTab(m_airTab, QStringLiteral("Luftbehov"));

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
    // The chart shades the result list's sub-stretches as they are when it is shown.
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == kAlongTab)
            m_alongTab->setSubStretches(results::subStretchSpans(m_resultTab->rows()));
    });
    // The air tab follows the result list's stretches while it shows, and catches up when shown.
    const ResultTableModel *resultModel = m_resultTab->model();
    connect(resultModel, &QAbstractItemModel::modelReset, this, &MainWindow::refreshAirTab);
    connect(resultModel, &QAbstractItemModel::rowsInserted, this, &MainWindow::refreshAirTab);
    connect(resultModel, &QAbstractItemModel::rowsRemoved, this, &MainWindow::refreshAirTab);
    connect(resultModel, &QAbstractItemModel::dataChanged, this, &MainWindow::refreshAirTab);
    connect(m_tabs, &QTabWidget::currentChanged, this, &MainWindow::refreshAirTab);
    for (QLineEdit *field : {m_scenarioEdit, m_spsEdit, m_studdedShareEdit})
        connect(field, &QLineEdit::textChanged, this, &MainWindow::inputChanged);
    connect(m_yearCombo, &QComboBox::currentIndexChanged, this, &MainWindow::inputChanged);
    connect(m_segmentModel, &QAbstractItemModel::dataChanged, this, &MainWindow::inputChanged);
    connect(m_segmentModel, &QAbstractItemModel::rowsInserted, this, &MainWindow::inputChanged);
    connect(m_segmentModel, &QAbstractItemModel::rowsRemoved, this, &MainWindow::inputChanged);
    connect(m_segmentModel, &QAbstractItemModel::modelReset, this, &MainWindow::inputChanged);

    setMinimumSize(720, 480);

    // Start-up: where the window was last time (else centred), only the input tab, ready. The
    // working directory is left alone: the workbooks are read from m_appPath.
    restoreLayout();
    m_tabs->setTabEnabled(kInputTab, true);
    setResultTabsEnabled(false);
    m_tabs->setCurrentIndex(kInputTab);
    m_appPath = appPath.isEmpty() ? QCoreApplication::applicationDirPath() : appPath;
    m_airTab->loadCriteriaFile(QDir(m_appPath).filePath(air::kCriteriaFileName));
    m_savedAir = m_airTab->tunnelAir();
    connect(m_airTab, &AirTab::tunnelAirChanged, this, &MainWindow::inputChanged);
    setStatus(kReady);
    updateTitle();
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
    m_recentMenu = m_fileMenu->addMenu(QStringLiteral("Senaste filer"));
    m_recentMenu->setObjectName(QStringLiteral("recentMenu"));
    updateRecentMenu();
    m_saveInputAgainAction = m_fileMenu->addAction(QStringLiteral("Spara indata"));
    m_saveInputAgainAction->setObjectName(QStringLiteral("saveInputAgainAction"));
    connect(m_saveInputAgainAction, &QAction::triggered, this, &MainWindow::saveInput);
    m_saveInputAction = m_fileMenu->addAction(QStringLiteral("Spara indata..."));
    m_saveInputAction->setObjectName(QStringLiteral("saveInputAction"));
    m_saveInputAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    connect(m_saveInputAction, &QAction::triggered, this, &MainWindow::saveInputAs);
    m_saveInputAsAction = m_fileMenu->addAction(QStringLiteral("Spara indata som..."));
    m_saveInputAsAction->setObjectName(QStringLiteral("saveInputAsAction"));
    connect(m_saveInputAsAction, &QAction::triggered, this, &MainWindow::saveInputAs);
    m_fileMenu->addSeparator();
    m_saveResultsAction =
        addItem(m_fileMenu, "saveResultsAction", QStringLiteral("Spara resultat..."),
                QKeySequence(Qt::CTRL | Qt::Key_S), &MainWindow::saveResultFile);
    m_saveResultsAction->setEnabled(false);
    m_printAction = addItem(m_fileMenu, "printAction", QStringLiteral("Skriv ut resultat..."),
                            QKeySequence(Qt::CTRL | Qt::Key_P), &MainWindow::printResults);
    m_printAction->setEnabled(false);
    m_savePdfAction = addItem(m_fileMenu, "savePdfAction", QStringLiteral("Spara som PDF..."),
                              QKeySequence(), &MainWindow::saveReportPdf);
    m_fileMenu->addSeparator();
    // Closing the window asks first only when the input is unsaved.
    m_exitAction = m_fileMenu->addAction(QStringLiteral("Avsluta"));
    m_exitAction->setObjectName(QStringLiteral("exitAction"));
    m_exitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(m_exitAction, &QAction::triggered, this, &QWidget::close);

    // "Ångra" takes back a removed segment or result row; the stack is emptied whenever the
    // lists are replaced (a file opened, "Rensa", a new run).
    m_editMenu = menuBar()->addMenu(QStringLiteral("&Redigera"));
    m_editMenu->setObjectName(QStringLiteral("editMenu"));
    QAction *undo = m_undoStack->createUndoAction(this, QStringLiteral("Ångra"));
    undo->setObjectName(QStringLiteral("undoAction"));
    undo->setShortcut(QKeySequence::Undo);
    QAction *redo = m_undoStack->createRedoAction(this, QStringLiteral("Gör om"));
    redo->setObjectName(QStringLiteral("redoAction"));
    redo->setShortcut(QKeySequence::Redo);
    m_editMenu->addActions({undo, redo});

    m_compareMenu = menuBar()->addMenu(QStringLiteral("&Jämför"));
    m_compareMenu->setObjectName(QStringLiteral("compareMenu"));
    QAction *compareYears =
        addItem(m_compareMenu, "compareYearsAction", QStringLiteral("Jämför år"), QKeySequence(),
                &MainWindow::compareYears);
    QAction *compareInput =
        addItem(m_compareMenu, "compareInputAction", QStringLiteral("Jämför med indatafil..."),
                QKeySequence(), &MainWindow::compareWithInputFile);
    // The PDF and the comparisons need what printing needs: a run and its result list.
    for (QAction *follower : {m_savePdfAction, compareYears, compareInput}) {
        follower->setEnabled(false);
        connect(m_printAction, &QAction::enabledChanged, follower, &QAction::setEnabled);
    }

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
    // Wide enough that on a 1280 pixel screen both lists show every column.
    const QRect available = screen()->availableGeometry();
    resize(std::min(1260, available.width() * 98 / 100),
           std::min(680, available.height() * 9 / 10));
    move(available.x() + (available.width() - width()) / 2,
         available.y() + (available.height() - height()) / 2);
}

void MainWindow::restoreLayout()
{
    const QSettings settings;
    if (!restoreGeometry(settings.value(kGeometryKey).toByteArray()))
        centreOnScreen();
    m_segments->view()->header()->restoreState(settings.value(kSegmentColumnsKey).toByteArray());
    m_resultTab->restoreColumnState(settings.value(kResultColumnsKey).toByteArray());
}

void MainWindow::saveLayout() const
{
    QSettings settings;
    settings.setValue(kGeometryKey, saveGeometry());
    settings.setValue(kSegmentColumnsKey, m_segments->view()->header()->saveState());
    settings.setValue(kResultColumnsKey, m_resultTab->columnState());
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!maySetInputAside()) {
        event->ignore();
        return;
    }
    saveLayout();
    event->accept();
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
        focusFaultyField(error.field == FaultField::Year  ? static_cast<QWidget *>(m_yearCombo)
                         : error.field == FaultField::Sps ? m_spsEdit
                         : error.field == FaultField::StuddedShare ? m_studdedShareEdit
                                                                   : nullptr);
        setStatus(kReady);
    };

    files::InputDocument document = inputDocument();
    if (const auto empty = calc::checkHasSegments(document.rows)) {
        showError(*empty);
        return;
    }
    m_resultTab->beginRun();
    m_alongTab->clear();
    files::InputDocument shown = document;
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
    m_runDocument = std::move(shown);
    setResultTabsEnabled(true);
    m_tabs->setCurrentIndex(kResultTab);
    m_resultTab->showRun(m_run);
    m_resultTab->setSummary(results::runSummary(
        *m_run, {QFileInfo(m_inputPath).fileName(), m_runDocument.scenario, m_runDocument.year,
                 m_runDocument.sps, m_runDocument.studdedShare}));
    m_resultTab->setStale(false);
    m_undoStack->clear();
    std::vector<QString> numbers;
    numbers.reserve(input.rows.size());
    for (const auto &row : input.rows)
        numbers.push_back(row.number);
    m_alongTab->showRun(*m_run, numbers, m_runDocument.year, m_runDocument.scenario);
    m_printAction->setEnabled(true);
    m_saveResultsAction->setEnabled(true);
    setStatus(kReady);
}

void MainWindow::clearCurrentTab()
{
    if (m_tabs->currentIndex() == kInputTab) {
        if (!maySetInputAside())
            return;
        m_undoStack->clear();
        // Emptied, the input belongs to no file any more.
        m_inputPath.clear();
        m_savedDocument = files::InputDocument{};
        m_savedAir = m_airTab->tunnelAir();
        m_scenarioEdit->clear();
        m_segments->clear();
        m_studdedShareEdit->clear();
        m_spsEdit->clear();
        m_printAction->setEnabled(false);
        m_saveResultsAction->setEnabled(false);
        // The result tab keeps its list and the run's tables; it is only closed off.
        setResultTabsEnabled(false);
        m_yearCombo->setCurrentIndex(-1);
        updateTitle();
    } else if (m_tabs->currentIndex() == kAlongTab) {
        m_alongTab->clear();
    } else {
        m_undoStack->clear();
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
    // One comparison after all fields are set, not one per field: a tunnel may hold 32767 rows.
    m_settingInput = true;
    m_scenarioEdit->setText(document.scenario);
    m_yearCombo->setCurrentIndex(m_yearCombo->findText(document.year)); // "" selects no year
    m_segmentModel->setRows(document.rows);
    m_spsEdit->setText(document.sps);
    m_studdedShareEdit->setText(document.studdedShare);
    m_settingInput = false;
    m_undoStack->clear();
    inputChanged();
}

bool MainWindow::inputEquals(const files::InputDocument &document) const
{
    return m_scenarioEdit->text() == document.scenario &&
           m_yearCombo->currentText() == document.year && m_spsEdit->text() == document.sps &&
           m_studdedShareEdit->text() == document.studdedShare &&
           sameRows(m_segmentModel->rows(), document.rows);
}

bool MainWindow::isInputModified() const
{
    return !inputEquals(m_savedDocument) || m_airTab->tunnelAir() != m_savedAir;
}

void MainWindow::inputChanged()
{
    if (m_settingInput)
        return;
    updateTitle();
    if (m_run)
        m_resultTab->setStale(!inputEquals(m_runDocument));
}

// The caption names the open file, and Qt's modified marker shows while the input is unsaved.
// The marker's placeholder is in the title only then, so that the title of unchanged input reads
// exactly as shown ("Effektberäkning: Luftvaka" before any file).
void MainWindow::updateTitle()
{
    QString title = QStringLiteral("Effektberäkning: Luftvaka");
    if (!m_inputPath.isEmpty())
        title += QStringLiteral(" – ") + QFileInfo(m_inputPath).fileName();
    if (isInputModified()) {
        setWindowTitle(title + QStringLiteral("[*]"));
        setWindowModified(true);
    } else {
        setWindowModified(false);
        setWindowTitle(title);
    }
}

bool MainWindow::maySetInputAside()
{
    if (!isInputModified())
        return true;
    switch (m_prompts.askSave(QStringLiteral("Spara ändringar i indata?"),
                              QStringLiteral("Luftvaka"))) {
    case SaveAnswer::Save:
        return saveInput();
    case SaveAnswer::Discard:
        return true;
    case SaveAnswer::Cancel:
        break;
    }
    return false;
}

bool MainWindow::mayUseStaleResults(const QString &title)
{
    return !m_resultTab->isStale() ||
           m_prompts.askYesNo(QStringLiteral("Indata har ändrats sedan beräkningen, så resultaten "
                                             "gäller inte aktuella indata. Fortsätta ändå?"),
                              title);
}

QStringList MainWindow::recentFiles()
{
    return QSettings().value(kRecentFilesKey).toStringList();
}

void MainWindow::rememberInputFile(const QString &path)
{
    const QStringList before = recentFiles();
    QStringList recent = before;
    recent.removeAll(path);
    recent.prepend(path);
    recent = recent.mid(0, kRecentFileCount);
    // Saving the same file again changes nothing, and writing the settings costs a disk sync.
    if (recent == before)
        return;
    QSettings().setValue(kRecentFilesKey, recent);
    updateRecentMenu();
}

void MainWindow::forgetRecentFile(const QString &path)
{
    QStringList recent = recentFiles();
    recent.removeAll(path);
    QSettings().setValue(kRecentFilesKey, recent);
    updateRecentMenu();
}

void MainWindow::updateRecentMenu()
{
    m_recentMenu->clear();
    const QStringList recent = recentFiles();
    for (const QString &path : recent) {
        QAction *action = m_recentMenu->addAction(QFileInfo(path).fileName());
        action->setToolTip(path);
        action->setStatusTip(path);
        connect(action, &QAction::triggered, this, [this, path] {
            // A file that is gone is named in the message and leaves the list.
            if (maySetInputAside() && !openInputPath(path) && !QFileInfo::exists(path))
                forgetRecentFile(path);
        });
    }
    m_recentMenu->setEnabled(!recent.isEmpty());
}

void MainWindow::takeInput(const QString &path, const files::InputDocument &document)
{
    m_inputPath = QFileInfo(path).absoluteFilePath();
    m_savedDocument = document;
    setInputDocument(document);
    loadTunnelAir(m_inputPath);
    rememberInputFile(m_inputPath);
    updateTitle();
}

// The tunnel's air values from the .luft beside an input file; a faulty one is named and the
// fields keep theirs. What the fields then hold counts as saved.
void MainWindow::loadTunnelAir(const QString &inputPath)
{
    const auto air = files::readAirFileBeside(inputPath);
    if (!air) {
        gui::showError(m_prompts, air.error());
    } else if (const QString note = m_airTab->setTunnelAir(air->value_or(files::TunnelAir{}));
               !note.isEmpty()) {
        gui::showError(m_prompts, Error{ErrorKind::InputFile, note});
    }
    m_savedAir = m_airTab->tunnelAir();
}

bool MainWindow::openInputPath(const QString &path)
{
    const auto document = gui::readInputFileAt(m_prompts, path);
    if (!document)
        return false;
    takeInput(path, *document);
    return true;
}

// Opening replaces the input and the tunnel's air values only; the result tab and its menu items
// stay as they are.
void MainWindow::openInputFile()
{
    if (!maySetInputAside())
        return;
    if (const auto opened = gui::openInputFile(m_prompts, this))
        takeInput(opened->path, opened->document);
}

bool MainWindow::saveInput()
{
    if (m_inputPath.isEmpty())
        return saveInputAs();
    const files::InputDocument document = inputDocument();
    const files::TunnelAir air = m_airTab->tunnelAir();
    if (!gui::saveInputFileTo(m_prompts, m_inputPath, document, &air))
        return false;
    markSaved(m_inputPath, document, air);
    return true;
}

bool MainWindow::saveInputAs()
{
    const files::InputDocument document = inputDocument();
    const files::TunnelAir air = m_airTab->tunnelAir();
    const QString path =
        gui::saveInputFileAs(m_prompts, this, document, &air, QFileInfo(m_inputPath).fileName());
    if (path.isEmpty())
        return false;
    markSaved(path, document, air);
    return true;
}

// The input as just written to `path` is the saved state from now on.
void MainWindow::markSaved(const QString &path, const files::InputDocument &document,
                           const files::TunnelAir &air)
{
    m_inputPath = QFileInfo(path).absoluteFilePath();
    m_savedDocument = document;
    m_savedAir = air;
    rememberInputFile(m_inputPath);
    updateTitle();
}

void MainWindow::saveResultFile()
{
    if (!mayUseStaleResults(kSaveResultTitle))
        return;
    gui::saveResultFile(m_prompts, this, m_scenarioEdit->text(), m_resultTab->mode(),
                        m_resultTab->rows());
}

void MainWindow::printResults()
{
    if (!mayUseStaleResults(kPrintTitle))
        return;
    const QString pdfName = reportPdfName();
    m_airTab->setStretches(m_resultTab->runState(), stretchLabels(m_resultTab->rows()));
    const auto air = m_airTab->report();
    gui::printResults(m_prompts, this, m_scenarioEdit->text(), m_resultTab->mode(),
                      m_resultTab->rows(), m_resultTab->slopeNotice(), m_run.get(),
                      air ? &*air : nullptr, pdfName);
}

void MainWindow::saveReportPdf()
{
    if (!mayUseStaleResults(kSavePdfTitle))
        return;
    m_airTab->setStretches(m_resultTab->runState(), stretchLabels(m_resultTab->rows()));
    const auto air = m_airTab->report();
    gui::saveReportPdf(m_prompts, this, m_scenarioEdit->text(), m_resultTab->mode(),
                       m_resultTab->rows(), m_resultTab->slopeNotice(), m_run.get(),
                       air ? &*air : nullptr, reportPdfName());
}

// A report printed to a file is named after the input file ("tunnel.pdf"), if one is open.
QString MainWindow::reportPdfName() const
{
    return m_inputPath.isEmpty()
               ? QString()
               : QFileInfo(m_inputPath).completeBaseName() + QStringLiteral(".pdf");
}

void MainWindow::compareYears()
{
    if (m_run) {
        // The input of the run shown, not the input tab's, which may have changed since.
        const calc::RunInput input{m_runDocument.rows, m_runDocument.year, m_runDocument.sps,
                                   m_runDocument.studdedShare};
        gui::compareYears(m_prompts, this, input, *m_run, stretchLabels(m_resultTab->rows()),
                          m_resultTab->mode(), m_appPath);
    }
}

void MainWindow::compareWithInputFile()
{
    if (m_run) {
        gui::compareWithInputFile(m_prompts, this, *m_run, stretchLabels(m_resultTab->rows()),
                                  m_resultTab->mode(), m_appPath);
    }
}

void MainWindow::refreshAirTab()
{
    if (m_tabs->currentWidget() == m_airTab)
        m_airTab->setStretches(m_resultTab->runState(), stretchLabels(m_resultTab->rows()));
}

// The along and air tabs are open exactly when the result tab is.
void MainWindow::setResultTabsEnabled(bool enabled)
{
    m_tabs->setTabEnabled(kResultTab, enabled);
    m_tabs->setTabEnabled(kAlongTab, enabled);
    m_tabs->setTabEnabled(m_tabs->indexOf(m_airTab), enabled);
}

void MainWindow::showAbout()
{
    AboutDialog about(QStringLiteral(LUFTVAKA_VERSION), this);
    m_prompts.runDialog(about);
}

} // namespace lv::gui
