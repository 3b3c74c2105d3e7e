#include "core/calc/calculationrun.h"
#include "core/results/resulttable.h"
#include "gui/app/frmabout.h"
#include "gui/app/frmmain.h"
#include "gui/results/resulttab.h"
#include "gui/windowdriver.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using lv::MessageIcon;
using lv::gui::FrmMain;
using lv::input::SegmentRow;
using Message = RecordingPrompts::Message;

namespace {

const QString kWorkbooks[] = {"pb_bara_glid_data.xls", "lb_bara_glid_data.xls", "faktorer.xls"};

// A small tunnel: up, down and level.
std::vector<SegmentRow> exampleRows()
{
    return {segment("1", "400", "2", "70", "1500", "70", "150", "70", "60"),
            segment("2", "600", "-3", "80", "1500", "80", "150", "80", "60"),
            segment("3", "250", "0", "50", "1200", "50", "100", "50", "40")};
}

// The main window on a program directory, shown, with its prompts recorded.
struct Fixture
{
    RecordingPrompts prompts;
    FrmMain window;

    explicit Fixture(const QString &appPath = QStringLiteral(LUFTVAKA_BIN_DIR))
        : window(prompts, appPath)
    {
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qFatal("main window not exposed");
    }

    template <class T>
    T *get(const QString &name)
    {
        return named<T>(window, name);
    }
    QTreeWidget *segments() { return get<QTreeWidget>("lvwBlock"); }
    QTreeWidget *results() { return get<QTreeWidget>("lvwResult"); }
    QTabWidget *tabs() { return get<QTabWidget>("SSTab1"); }
    lv::gui::ResultTab *resultTab() { return window.findChild<lv::gui::ResultTab *>(); }

    void fillInput(const std::vector<SegmentRow> &rows, const QString &year, const QString &sps,
                   const QString &share)
    {
        for (const SegmentRow &row : rows)
            addSegment(window, prompts, row);
        auto *years = get<QComboBox>("cboAr");
        years->setCurrentIndex(years->findText(year));
        get<QLineEdit>("txtSPS")->setText(sps);
        get<QLineEdit>("txtDubbAndel")->setText(share);
    }

    void clickRow(QTreeWidget *list, int row)
    {
        const QRect rect = list->visualItemRect(list->topLevelItem(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }

    void click(const QString &button) { get<QAbstractButton>(button)->click(); }

    // A successful run on the example tunnel; the result tab is showing afterwards.
    bool runExample()
    {
        fillInput(exampleRows(), "2020", "10", "0,5");
        click("cmdKor");
        return prompts.messages.isEmpty() && window.runState() != nullptr;
    }
};

bool copyWorkbooks(const QString &toDir)
{
    for (const QString &name : kWorkbooks) {
        if (!QFile::copy(QDir(LUFTVAKA_BIN_DIR).filePath(name), QDir(toDir).filePath(name)))
            return false;
    }
    return true;
}

} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { QLocale::setDefault(QLocale(QStringLiteral("sv_SE"))); }

    void startUp();
    void menuItems_data();
    void menuItems();
    void startUpFromAnotherDirectory_data();
    void startUpFromAnotherDirectory();
    void accessibleNames_data();
    void accessibleNames();
    void inputTabInReadingOrder();

    void insertionRule_data();
    void insertionRule();
    void editRow_data();
    void editRow();
    void rowCommandStates();
    void rowCommandsWithoutSelectedRow();
    void rensa_data();
    void rensa();

    void successfulRun();
    void runChecks_data();
    void runChecks();
    void workbookFaults_data();
    void workbookFaults();
    void labelWarningsLetTheRunGoOn();
    void korOnResultTabDoesNothing();
    void resultsKeepTheRunsTables();

    void aboutBox();
    void exitEndsAtOnce_data();
    void exitEndsAtOnce();
};

void TestFrmMain::initTestCase()
{
    // Closing windows here must not end the test program.
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestFrmMain::startUp()
{
    Fixture f;
    QCOMPARE(f.window.objectName(), QStringLiteral("FrmMain"));
    QCOMPARE(f.window.windowTitle(), QStringLiteral("Effektberäkning: Luftvaka"));
    QCOMPARE(f.tabs()->count(), 2);
    QCOMPARE(f.tabs()->tabText(0), QStringLiteral("Indata"));
    QCOMPARE(f.tabs()->tabText(1), QStringLiteral("Resultat"));
    QVERIFY(f.tabs()->isTabEnabled(0));
    QVERIFY(!f.tabs()->isTabEnabled(1));
    QCOMPARE(f.tabs()->currentIndex(), 0);
    QCOMPARE(statusText(f.window), QStringLiteral("Klar"));

    auto *years = f.get<QComboBox>("cboAr");
    QVERIFY(!years->isEditable());
    QCOMPARE(years->count(), 3);
    QCOMPARE(years->itemText(0), QStringLiteral("2005"));
    QCOMPARE(years->itemText(1), QStringLiteral("2010"));
    QCOMPARE(years->itemText(2), QStringLiteral("2020"));
    QCOMPARE(years->currentIndex(), -1);
    QCOMPARE(years->currentText(), QString());
    for (const char *field : {"txtScenario", "txtSPS", "txtDubbAndel"})
        QCOMPARE(f.get<QLineEdit>(field)->text(), QString());

    QCOMPARE(f.segments()->topLevelItemCount(), 0);
    QCOMPARE(headerTexts(*f.segments()),
             QStringList({"Segment nr:", "Längd: [m]", "Lutning: [%]", "Pb, Medelhastighet: [km/h]",
                          "Pb, Flöde: [f/h] ", "Lb, MedelHastighet: [km/h]", "Lb, Flöde: [f/h] ",
                          "Lbs, Medelhastighet: [km/h]", "Lbs, Flöde: [f/h]"}));
    QCOMPARE(f.segments()->selectionMode(), QAbstractItemView::SingleSelection);

    QVERIFY(f.get<QPushButton>("cmdLaggtill")->isEnabled());
    QVERIFY(!f.get<QPushButton>("cmdAndra")->isEnabled());
    QVERIFY(!f.get<QPushButton>("cmdTaBort")->isEnabled());

    // The result tab's controls in their first state (the tab itself is disabled).
    const auto enabledInTab = [&](const char *name) {
        return f.get<QWidget>(name)->isEnabledTo(f.resultTab());
    };
    QCOMPARE(f.results()->topLevelItemCount(), 0);
    QCOMPARE(headerTexts(*f.results()),
             lv::results::resultHeaders(lv::results::Mode::PerKm, /*co2Colon*/ false));
    QCOMPARE(headerTexts(*f.results()).last(), QStringLiteral("CO2 [kg/km]"));
    QVERIFY(f.get<QRadioButton>("optPerKm")->isChecked());
    QVERIFY(!f.get<QRadioButton>("optTot")->isChecked());
    QVERIFY(enabledInTab("cmdVisaResult"));
    QVERIFY(!enabledInTab("Command1"));
    QVERIFY(enabledInTab("cmdKopieraVarde"));
    QCOMPARE(f.get<QLineEdit>("txtResultStart")->text(), QString());
    QCOMPARE(f.get<QLineEdit>("txtResultStop")->text(), QString());

    // Start-up reads nothing and shows nothing.
    QVERIFY(f.prompts.messages.isEmpty());
    QVERIFY(f.window.runState() == nullptr);
    // The window fits the screen it was centred on.
    const QRect screen = f.window.screen()->availableGeometry();
    QVERIFY(screen.contains(f.window.geometry().center(), true));
}

void TestFrmMain::menuItems_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<bool>("enabled");
    const auto add = [](const char *menu, const char *item, const char *caption,
                        const char *shortcut, bool enabled) {
        QTest::newRow(item) << QString(menu) << QString(item) << QString(caption)
                            << QKeySequence(QString(shortcut)) << enabled;
    };
    add("mnuArkiv", "mnuOpen", "Öppna indata...", "Ctrl+O", true);
    add("mnuArkiv", "mnuSparaData", "Spara indata...", "Ctrl+D", true);
    add("mnuArkiv", "mnuSpara", "Spara resultat...", "Ctrl+S", false);
    add("mnuArkiv", "mnuSkriv", "Skriv ut resultat...", "Ctrl+P", false);
    add("mnuArkiv", "mnuAvsuta", "Avsluta", "Ctrl+Q", true);
    add("mnuHjalp", "mnuOm", "Om...", "", true);
}

void TestFrmMain::menuItems()
{
    QFETCH(QString, menu);
    QFETCH(QString, item);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    QFETCH(bool, enabled);
    Fixture f;
    auto *action = f.get<QAction>(item);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), shortcut);
    QCOMPARE(action->isEnabled(), enabled);
    QVERIFY(f.get<QMenu>(menu)->actions().contains(action));
    QCOMPARE(f.get<QMenu>("mnuArkiv")->title(), QStringLiteral("&Arkiv"));
    QCOMPARE(f.get<QMenu>("mnuHjalp")->title(), QStringLiteral("&Hjälp"));
    // Two separators: open/save input, save/print results, exit.
    int separators = 0;
    for (const QAction *a : f.get<QMenu>("mnuArkiv")->actions())
        separators += a->isSeparator() ? 1 : 0;
    QCOMPARE(separators, 2);
}

void TestFrmMain::startUpFromAnotherDirectory_data()
{
    QTest::addColumn<bool>("givenPath");
    QTest::newRow("program directory") << false;
    QTest::newRow("given directory") << true;
}

void TestFrmMain::startUpFromAnotherDirectory()
{
    QFETCH(bool, givenPath);
    QTemporaryDir elsewhere;
    QVERIFY(elsewhere.isValid());
    QVERIFY(QDir::setCurrent(elsewhere.path()));

    RecordingPrompts prompts;
    const QString expected =
        givenPath ? QStringLiteral(LUFTVAKA_BIN_DIR) : QCoreApplication::applicationDirPath();
    FrmMain window(prompts, givenPath ? expected : QString());
    QCOMPARE(window.appPath(), expected);
    QVERIFY(!window.appPath().endsWith(u'/'));
    QCOMPARE(QDir::current().canonicalPath(), QDir(expected).canonicalPath());
    QCOMPARE(statusText(window), QStringLiteral("Klar"));
    QVERIFY(prompts.messages.isEmpty());
}

void TestFrmMain::accessibleNames_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    // Buttons and option buttons speak their captions by themselves.
    const auto add = [](const char *control, const char *name) {
        QTest::newRow(control) << QString(control) << QString(name);
    };
    add("txtScenario", "Scenario:");
    add("cboAr", "Beräkningsår:");
    add("txtSPS", "SPS-tal (75 km/h): [g/fkm]");
    add("txtDubbAndel", "Andel dubbade personbilar:");
    add("lvwBlock", "Segment");
    add("lvwResult", "Resultat");
    add("txtResultStart", "Resultat för delsträcka: start [m]");
    add("txtResultStop", "Resultat för delsträcka: slut [m]");
}

void TestFrmMain::accessibleNames()
{
    QFETCH(QString, control);
    QFETCH(QString, name);
    Fixture f;
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(f.get<QWidget>(control));
    QVERIFY(iface);
    QCOMPARE(iface->text(QAccessible::Name), name);
}

void TestFrmMain::inputTabInReadingOrder()
{
    Fixture f;
    const QStringList expected = {"txtScenario", "cboAr",     "lvwBlock", "cmdLaggtill",
                                  "cmdAndra",    "cmdTaBort", "txtSPS",   "txtDubbAndel",
                                  "cmdKor",      "cmdRensa"};
    QStringList chain;
    QWidget *start = f.get<QWidget>("txtScenario");
    QWidget *w = start;
    do {
        if (expected.contains(w->objectName()))
            chain.append(w->objectName());
        w = w->nextInFocusChain();
    } while (w != start);
    QCOMPARE(chain, expected);
}

void TestFrmMain::insertionRule_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<QStringList>("lengths");
    const QStringList rows125 = {"1", "2", "5"};
    QTest::newRow("3 between 2 and 5") << rows125 << "3" << QStringList{"1", "2", "3", "5"}
                                       << QStringList{"10", "20", "12,50", "50"};
    QTest::newRow("5 overwrites 5")
        << rows125 << "5" << QStringList{"1", "2", "5"} << QStringList{"10", "20", "12,50"};
    QTest::newRow("9 appended") << rows125 << "9" << QStringList{"1", "2", "5", "9"}
                                << QStringList{"10", "20", "50", "12,50"};
    QTest::newRow("05 before 5") << rows125 << "05" << QStringList{"1", "2", "05", "5"}
                                 << QStringList{"10", "20", "12,50", "50"};
    QTest::newRow("0 first") << rows125 << "0" << QStringList{"0", "1", "2", "5"}
                             << QStringList{"12,50", "10", "20", "50"};
    QTest::newRow("2,5 is 2, another text") << rows125 << "2,5" << QStringList{"1", "2,5", "2", "5"}
                                            << QStringList{"10", "12,50", "20", "50"};
    QTest::newRow("empty list") << QStringList() << "7" << QStringList{"7"} << QStringList{"12,50"};
}

void TestFrmMain::insertionRule()
{
    QFETCH(QStringList, before);
    QFETCH(QString, number);
    QFETCH(QStringList, numbers);
    QFETCH(QStringList, lengths);
    Fixture f;
    for (const QString &n : before)
        addSegment(f.window, f.prompts, segment(n, n + "0", "0", "70", "1", "70", "1", "70", "1"));
    addSegment(f.window, f.prompts,
               segment(number, "12,50", "-0,5", "070", "1000", "60", "0", "50", "10"));
    QVERIFY(f.prompts.messages.isEmpty());
    QCOMPARE(columnTexts(*f.segments(), 0), numbers);
    QCOMPARE(columnTexts(*f.segments(), 1), lengths);
    // The new row's cells as typed.
    const int at = int(numbers.indexOf(number));
    QCOMPARE(rowTexts(*f.segments(), at),
             QStringList({number, "12,50", "-0,5", "070", "1000", "60", "0", "50", "10"}));
}

void TestFrmMain::editRow_data()
{
    QTest::addColumn<QString>("newNumber");
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<QStringList>("lengths");
    QTest::newRow("same number overwrites")
        << "2" << QStringList{"1", "2", "5"} << QStringList{"10", "33", "50"};
    QTest::newRow("new number adds a row")
        << "3" << QStringList{"1", "2", "3", "5"} << QStringList{"10", "20", "33", "50"};
}

void TestFrmMain::editRow()
{
    QFETCH(QString, newNumber);
    QFETCH(QStringList, numbers);
    QFETCH(QStringList, lengths);
    Fixture f;
    for (const QString &n : QStringList{"1", "2", "5"})
        addSegment(f.window, f.prompts, segment(n, n + "0", "1", "70", "2", "60", "3", "50", "4"));
    f.clickRow(f.segments(), 1);
    f.prompts.dialogsShown.clear();

    SegmentRow shown;
    QString title;
    f.prompts.onDialog = [&](QDialog &dialog) {
        shown = segmentDialogRow(dialog);
        title = dialog.windowTitle();
        named<QLineEdit>(dialog, "txtNummer")->setText(newNumber);
        named<QLineEdit>(dialog, "txtLangd")->setText("33");
        named<QAbstractButton>(dialog, "cmdOK")->click();
    };
    f.click("cmdAndra");
    QCOMPARE(f.prompts.dialogsShown, QStringList({"frmDelstracka"}));
    QCOMPARE(shown, segment("2", "20", "1", "70", "2", "60", "3", "50", "4"));
    QCOMPARE(title, QStringLiteral("Lägg till tunnelsegment"));
    QCOMPARE(columnTexts(*f.segments(), 0), numbers);
    QCOMPARE(columnTexts(*f.segments(), 1), lengths);
}

void TestFrmMain::rowCommandStates()
{
    Fixture f;
    auto *edit = f.get<QPushButton>("cmdAndra");
    auto *remove = f.get<QPushButton>("cmdTaBort");
    const auto states = [&] { return std::make_pair(edit->isEnabled(), remove->isEnabled()); };
    using States = std::pair<bool, bool>;

    for (const QString &n : QStringList{"1", "2", "3"})
        addSegment(f.window, f.prompts, segment(n));
    QCOMPARE(states(), States(false, false)); // adding changes nothing

    f.clickRow(f.segments(), 1);
    QCOMPARE(states(), States(true, true));

    f.click("cmdTaBort");
    QCOMPARE(columnTexts(*f.segments(), 0), QStringList({"1", "3"}));
    QCOMPARE(states(), States(true, false));
    QVERIFY(f.segments()->selectedItems().isEmpty());

    addSegment(f.window, f.prompts, segment("2"));
    QCOMPARE(states(), States(true, false));

    f.clickRow(f.segments(), 0);
    QCOMPARE(states(), States(true, true));

    f.click("cmdRensa");
    QCOMPARE(f.segments()->topLevelItemCount(), 0);
    QCOMPARE(states(), States(false, false));
    QVERIFY(f.prompts.messages.isEmpty());
}

void TestFrmMain::rowCommandsWithoutSelectedRow()
{
    Fixture f;
    for (const QString &n : QStringList{"1", "2", "3"})
        addSegment(f.window, f.prompts, segment(n));
    f.clickRow(f.segments(), 0);
    f.click("cmdTaBort"); // leaves "Ändra..." enabled with no row selected
    QVERIFY(f.get<QPushButton>("cmdAndra")->isEnabled());
    f.prompts.dialogsShown.clear();

    f.click("cmdAndra");
    QVERIFY(f.prompts.dialogsShown.isEmpty());
    // "Ta bort" is disabled; even when it is pressed without a selection, no row goes.
    f.get<QPushButton>("cmdTaBort")->setEnabled(true);
    f.click("cmdTaBort");
    QCOMPARE(columnTexts(*f.segments(), 0), QStringList({"2", "3"}));
    QVERIFY(f.prompts.messages.isEmpty());
}

void TestFrmMain::rensa_data()
{
    QTest::addColumn<int>("tab");
    QTest::newRow("input tab") << 0;
    QTest::newRow("result tab") << 1;
}

void TestFrmMain::rensa()
{
    QFETCH(int, tab);
    Fixture f;
    f.get<QLineEdit>("txtScenario")->setText("Norra röret");
    QVERIFY(f.runExample());
    f.get<QLineEdit>("txtResultStart")->setText("0");
    f.get<QLineEdit>("txtResultStop")->setText("100");
    const auto run = f.window.runState();
    const QStringList totalRow = rowTexts(*f.results(), 0);
    f.tabs()->setCurrentIndex(tab);

    f.click("cmdRensa");

    QVERIFY(!f.get<QAction>("mnuSpara")->isEnabled());
    QVERIFY(!f.get<QAction>("mnuSkriv")->isEnabled());
    QCOMPARE(f.window.runState(), run);
    QCOMPARE(f.resultTab()->runState(), run);
    QCOMPARE(f.tabs()->currentIndex(), tab);
    auto *years = f.get<QComboBox>("cboAr");
    QCOMPARE(years->count(), 3);
    if (tab == 0) {
        for (const char *field : {"txtScenario", "txtSPS", "txtDubbAndel"})
            QCOMPARE(f.get<QLineEdit>(field)->text(), QString());
        QCOMPARE(f.segments()->topLevelItemCount(), 0);
        QCOMPARE(years->currentIndex(), -1);
        QVERIFY(!f.tabs()->isTabEnabled(1));
        // The result list is left as it is, only out of reach.
        QCOMPARE(f.results()->topLevelItemCount(), 1);
        QCOMPARE(rowTexts(*f.results(), 0), totalRow);
        QCOMPARE(f.get<QLineEdit>("txtResultStart")->text(), QStringLiteral("0"));
    } else {
        QCOMPARE(f.results()->topLevelItemCount(), 0);
        QCOMPARE(f.get<QLineEdit>("txtResultStart")->text(), QString());
        QCOMPARE(f.get<QLineEdit>("txtResultStop")->text(), QString());
        QVERIFY(f.tabs()->isTabEnabled(1));
        // The input is untouched.
        QCOMPARE(f.get<QLineEdit>("txtScenario")->text(), QStringLiteral("Norra röret"));
        QCOMPARE(f.segments()->topLevelItemCount(), 3);
        QCOMPARE(years->currentText(), QStringLiteral("2020"));
        QCOMPARE(f.get<QLineEdit>("txtSPS")->text(), QStringLiteral("10"));
        QCOMPARE(f.get<QLineEdit>("txtDubbAndel")->text(), QStringLiteral("0,5"));
    }
    QVERIFY(f.prompts.messages.isEmpty());
}

void TestFrmMain::successfulRun()
{
    Fixture f;
    f.get<QRadioButton>("optTot")->setChecked(true);
    f.fillInput(exampleRows(), "2020", "10", "0,5");
    f.click("cmdKor");

    QVERIFY2(f.prompts.messages.isEmpty(),
             qPrintable(f.prompts.messages.value(0).text)); // the default workbooks are sound
    QVERIFY(f.window.runState());
    QCOMPARE(f.resultTab()->runState(), f.window.runState());
    QVERIFY(f.tabs()->isTabEnabled(1));
    QCOMPARE(f.tabs()->currentIndex(), 1);
    QCOMPARE(f.results()->topLevelItemCount(), 1);
    QCOMPARE(f.results()->topLevelItem(0)->text(0), QStringLiteral("Totalt"));
    QVERIFY(f.get<QAction>("mnuSpara")->isEnabled());
    QVERIFY(f.get<QAction>("mnuSkriv")->isEnabled());
    QVERIFY(!f.get<QPushButton>("cmdKopieraVarde")->isEnabled());
    QVERIFY(f.get<QRadioButton>("optPerKm")->isChecked());
    QCOMPARE(headerTexts(*f.results()), lv::results::resultHeaders(lv::results::Mode::PerKm));
    QCOMPARE(statusText(f.window), QStringLiteral("Klar"));

    // The window hands the core its input as shown: the same run computed directly gives the
    // same "Totalt" row.
    const auto direct = lv::calc::computeRun(lv::calc::RunInput{exampleRows(), "2020", "10", "0,5"},
                                             QStringLiteral(LUFTVAKA_BIN_DIR));
    QVERIFY(direct.ok());
    const lv::results::ResultRow expected = lv::results::totalRow(*direct);
    QStringList expectedTexts{expected.label};
    for (const QString &v : expected.values)
        expectedTexts.append(v);
    QCOMPARE(rowTexts(*f.results(), 0), expectedTexts);
    QCOMPARE(f.window.runState()->SegmentCount, 3);
}

void TestFrmMain::runChecks_data()
{
    QTest::addColumn<bool>("noRows");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("sps");
    QTest::addColumn<QString>("share");
    QTest::addColumn<QString>("badSlope"); // slope of segment 1 when set
    QTest::addColumn<QString>("message");  // empty: the core's own message for that input
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("emptied"); // the result list and fields emptied before the check

    const auto add = [](const char *name, bool noRows, const char *year, const char *sps,
                        const char *share, const char *badSlope, const QString &message,
                        const char *title, bool emptied) {
        QTest::newRow(name) << noRows << QString(year) << QString(sps) << QString(share)
                            << QString(badSlope) << message << QString(title) << emptied;
    };
    const QString noSegment = QStringLiteral("Ange minst ett tunnelsegment");
    const QString noYear = QStringLiteral("Välj beräkningsår!");
    const QString sps = QStringLiteral("Ogiltigt SPS-tal: ");
    const QString share = QStringLiteral("Ogiltig andel dubbade personbilar: ");
    const char *input = "Felaktig indata";
    add("no segment", true, "2020", "10", "0,5", "", noSegment, "Ange indata", false);
    add("no segment before no year", true, "", "x", "x", "", noSegment, "Ange indata", false);
    add("no year", false, "", "10", "0,5", "", noYear, input, true);
    add("no year before SPS", false, "", "-1", "2", "", noYear, input, true);
    add("SPS -0,1", false, "2020", "-0,1", "0,5", "", sps + "-0,1", input, true);
    add("SPS empty", false, "2020", "", "0,5", "", sps, input, true);
    add("SPS 0.5 under sv_SE", false, "2020", "0.5", "0,5", "", sps + "0.5", input, true);
    add("SPS before share", false, "2020", "x", "7", "", sps + "x", input, true);
    add("share 1,01", false, "2020", "10", "1,01", "", share + "1,01", input, true);
    add("share -0,01", false, "2020", "10", "-0,01", "", share + "-0,01", input, true);
    add("share empty", false, "2020", "10", "", "", share, input, true);
    add("share as percent", false, "2020", "10", "50", "", share + "50", input, true);
    // Faults the core finds after the input checks; the expected message is the core's.
    add("slope beyond 16 bits", false, "2020", "10", "0,5", "40000", "", "", true);
    add("tunnel of length 0", false, "2020", "10", "0,5", "length0", "", "", true);
}

void TestFrmMain::runChecks()
{
    QFETCH(bool, noRows);
    QFETCH(QString, year);
    QFETCH(QString, sps);
    QFETCH(QString, share);
    QFETCH(QString, badSlope);
    QFETCH(QString, message);
    QFETCH(QString, title);
    QFETCH(bool, emptied);

    Fixture f;
    QVERIFY(f.runExample());
    const auto previous = f.window.runState();
    const QStringList totalRow = rowTexts(*f.results(), 0);
    f.get<QLineEdit>("txtResultStart")->setText("0");
    f.get<QLineEdit>("txtResultStop")->setText("100");
    f.get<QRadioButton>("optTot")->setChecked(true);
    f.get<QPushButton>("cmdKopieraVarde")->setEnabled(true); // as after marking a value
    f.tabs()->setCurrentIndex(0);

    // The input of this case.
    if (noRows) {
        while (f.segments()->topLevelItemCount() > 0) {
            f.clickRow(f.segments(), 0);
            f.click("cmdTaBort");
        }
    }
    std::vector<SegmentRow> rows = exampleRows();
    if (badSlope == "length0") {
        for (SegmentRow &row : rows) {
            row.cells[SegmentRow::Length] = "0";
            addSegment(f.window, f.prompts, row); // overwrites the row with that number
        }
    } else if (!badSlope.isEmpty()) {
        rows[0].cells[SegmentRow::Slope] = badSlope;
        addSegment(f.window, f.prompts, rows[0]);
    }
    QVERIFY(f.prompts.messages.isEmpty());
    auto *years = f.get<QComboBox>("cboAr");
    years->setCurrentIndex(years->findText(year));
    f.get<QLineEdit>("txtSPS")->setText(sps);
    f.get<QLineEdit>("txtDubbAndel")->setText(share);

    if (message.isEmpty()) {
        // A fault the core finds after the input checks: the window shows the core's message.
        const auto direct = lv::calc::computeRun(lv::calc::RunInput{rows, year, sps, share},
                                                 QStringLiteral(LUFTVAKA_BIN_DIR));
        QVERIFY(!direct.ok());
        message = direct.error().message;
        title = direct.error().title.isEmpty() ? QStringLiteral("Felaktig indata")
                                               : direct.error().title;
    }

    QStringList statusWhileShown;
    f.prompts.onMessage = [&](const Message &) { statusWhileShown.append(statusText(f.window)); };
    f.click("cmdKor");

    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].text, message);
    QCOMPARE(f.prompts.messages[0].title, title);
    QCOMPARE(f.prompts.messages[0].icon, MessageIcon::Exclamation);
    QCOMPARE(statusWhileShown, QStringList({"Vänta..."}));
    QCOMPARE(statusText(f.window), QStringLiteral("Klar"));

    // The failed run keeps the last run's tables in place and usable.
    QCOMPARE(f.window.runState(), previous);
    QCOMPARE(f.resultTab()->runState(), previous);
    QVERIFY(f.tabs()->isTabEnabled(1));
    QCOMPARE(f.tabs()->currentIndex(), 0);
    QVERIFY(f.get<QAction>("mnuSpara")->isEnabled());
    QVERIFY(f.get<QAction>("mnuSkriv")->isEnabled());
    QVERIFY(!f.get<QPushButton>("cmdKopieraVarde")->isEnabled());
    if (emptied) {
        QCOMPARE(f.results()->topLevelItemCount(), 0);
        QCOMPARE(f.get<QLineEdit>("txtResultStart")->text(), QString());
        QCOMPARE(f.get<QLineEdit>("txtResultStop")->text(), QString());
        QVERIFY(f.get<QRadioButton>("optPerKm")->isChecked());
        QCOMPARE(headerTexts(*f.results()).last(), QStringLiteral("CO2: [kg/km]"));
    } else {
        QCOMPARE(f.results()->topLevelItemCount(), 1);
        QCOMPARE(rowTexts(*f.results(), 0), totalRow);
        QCOMPARE(f.get<QLineEdit>("txtResultStart")->text(), QStringLiteral("0"));
        QVERIFY(f.get<QRadioButton>("optTot")->isChecked());
    }
    // The kept tables still give the results shown before.
    const lv::results::ResultRow again = lv::results::totalRow(*f.resultTab()->runState());
    QCOMPARE(again.label + u'|' + QStringList(again.values.begin(), again.values.end()).join(u'|'),
             totalRow.join(u'|'));
}

void TestFrmMain::workbookFaults_data()
{
    QTest::addColumn<QString>("workbook");
    QTest::addColumn<QByteArray>("content"); // empty: the file is removed
    QTest::newRow("passenger-car workbook missing") << "pb_bara_glid_data.xls" << QByteArray();
    QTest::newRow("truck workbook empty") << "lb_bara_glid_data.xls" << QByteArray("\0", 1);
    QTest::newRow("factor workbook not a workbook")
        << "faktorer.xls" << QByteArray("Bränsle;NOx\r\n1;2\r\n");
}

void TestFrmMain::workbookFaults()
{
    QFETCH(QString, workbook);
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(copyWorkbooks(dir.path()));
    Fixture f(dir.path());
    QVERIFY(f.runExample());
    const auto previous = f.window.runState();
    f.tabs()->setCurrentIndex(0);

    const QString path = QDir(dir.path()).filePath(workbook);
    QVERIFY(QFile::remove(path));
    if (!content.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    const auto direct =
        lv::calc::computeRun(lv::calc::RunInput{exampleRows(), "2020", "10", "0,5"}, dir.path());
    QVERIFY(!direct.ok());

    f.click("cmdKor");
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages[0].text, direct.error().message);
    QVERIFY(f.prompts.messages[0].text.contains(workbook));
    QVERIFY(!f.prompts.messages[0].title.isEmpty());
    QCOMPARE(f.prompts.messages[0].icon, direct.error().icon);
    QCOMPARE(statusText(f.window), QStringLiteral("Klar"));
    QCOMPARE(f.window.runState(), previous);
    QCOMPARE(f.resultTab()->runState(), previous);
    QCOMPARE(f.tabs()->currentIndex(), 0);
    QCOMPARE(f.results()->topLevelItemCount(), 0);
}

void TestFrmMain::labelWarningsLetTheRunGoOn()
{
    // A passenger-car workbook whose label cells lack "Körprofil" (one letter changed).
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(copyWorkbooks(dir.path()));
    QFile pb(QDir(dir.path()).filePath("pb_bara_glid_data.xls"));
    QVERIFY(pb.open(QIODevice::ReadWrite));
    QByteArray bytes = pb.readAll();
    const QByteArray label = QStringLiteral("Körprofil").toLatin1();
    QVERIFY(bytes.contains(label));
    bytes.replace(label, QStringLiteral("körprofil").toLatin1());
    QVERIFY(pb.seek(0));
    QCOMPARE(pb.write(bytes), bytes.size());
    pb.close();

    Fixture f(dir.path());
    f.fillInput(exampleRows(), "2005", "0", "1");
    f.click("cmdKor");
    QVERIFY(!f.prompts.messages.isEmpty());
    for (const Message &m : std::as_const(f.prompts.messages)) {
        QVERIFY2(m.text.startsWith("Fel i grundtabellen Rätta! "), qPrintable(m.text));
        QVERIFY(m.text.contains("körprofil"));
        QCOMPARE(m.title, QStringLiteral("Luftvaka"));
        QCOMPARE(m.icon, MessageIcon::None);
    }
    QVERIFY(f.window.runState());
    QCOMPARE(f.tabs()->currentIndex(), 1);
    QCOMPARE(columnTexts(*f.results(), 0), QStringList({"Totalt"}));
    QCOMPARE(statusText(f.window), QStringLiteral("Klar"));
}

void TestFrmMain::korOnResultTabDoesNothing()
{
    Fixture f;
    QVERIFY(f.runExample());
    const auto run = f.window.runState();
    const QStringList totalRow = rowTexts(*f.results(), 0);
    f.get<QPushButton>("cmdKopieraVarde")->setEnabled(true);
    f.get<QLineEdit>("txtResultStart")->setText("5");
    QCOMPARE(f.tabs()->currentIndex(), 1);

    f.click("cmdKor");
    QVERIFY(f.prompts.messages.isEmpty());
    QCOMPARE(f.window.runState(), run);
    QCOMPARE(f.results()->topLevelItemCount(), 1);
    QCOMPARE(rowTexts(*f.results(), 0), totalRow);
    QVERIFY(f.get<QPushButton>("cmdKopieraVarde")->isEnabled());
    QCOMPARE(f.get<QLineEdit>("txtResultStart")->text(), QStringLiteral("5"));
    QCOMPARE(statusText(f.window), QStringLiteral("Klar"));
}

void TestFrmMain::resultsKeepTheRunsTables()
{
    Fixture f;
    QVERIFY(f.runExample());
    const auto first = f.window.runState();
    f.tabs()->setCurrentIndex(0);
    addSegment(f.window, f.prompts, segment("4"));
    f.clickRow(f.segments(), 0);
    f.click("cmdTaBort");
    // Editing the input leaves the tables of the run alone.
    QCOMPARE(f.resultTab()->runState(), first);
    QCOMPARE(first->SegmentCount, 3);
    QCOMPARE(first->SegmentLength[0], 400.0f);

    f.click("cmdKor");
    QVERIFY(f.prompts.messages.isEmpty());
    QVERIFY(f.window.runState() != first);
    QCOMPARE(f.resultTab()->runState(), f.window.runState());
    QCOMPARE(f.window.runState()->SegmentCount, 3);
    QCOMPARE(f.window.runState()->SegmentLength[0], 600.0f);
    QCOMPARE(first->SegmentLength[0], 400.0f);
}

void TestFrmMain::aboutBox()
{
    Fixture f;
    QString version;
    QString title;
    f.prompts.onDialog = [&](QDialog &dialog) {
        version = named<QLabel>(dialog, "lblVersion")->text();
        title = dialog.windowTitle();
        named<QAbstractButton>(dialog, "cmdOK")->click();
    };
    f.get<QAction>("mnuOm")->trigger();
    QCOMPARE(f.prompts.dialogsShown, QStringList({"frmAbout"}));
    QCOMPARE(title, QStringLiteral("Om Luftvaka"));
    QCOMPARE(version, lv::gui::FrmAbout::versionText(QStringLiteral(LUFTVAKA_VERSION)));
    QVERIFY(f.window.isVisible());
}

void TestFrmMain::exitEndsAtOnce_data()
{
    QTest::addColumn<bool>("menu");
    QTest::newRow("Avsluta") << true;
    QTest::newRow("close box") << false;
}

void TestFrmMain::exitEndsAtOnce()
{
    QFETCH(bool, menu);
    Fixture f;
    QVERIFY(f.runExample()); // unsaved results: still no question
    f.prompts.dialogsShown.clear();
    if (menu)
        f.get<QAction>("mnuAvsuta")->trigger();
    else
        QVERIFY(f.window.close());
    QVERIFY(!f.window.isVisible());
    QVERIFY(f.prompts.messages.isEmpty());
    QCOMPARE(f.prompts.dialogsShown, QStringList());
}

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
