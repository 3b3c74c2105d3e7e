#include "core/calc/calculationrun.h"
#include "core/files/inputfile.h"
#include "core/results/resulttable.h"
#include "gui/app/aboutdialog.h"
#include "gui/app/mainwindow.h"
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
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using lv::MessageIcon;
using lv::gui::MainWindow;
using lv::input::SegmentRow;
using Message = RecordingPrompts::Message;

Q_DECLARE_METATYPE(MessageIcon)

namespace {

// A small tunnel: up, down and level.
std::vector<SegmentRow> exampleRows()
{
    return {segment("1", "400", "2", "70", "1500", "70", "150", "70", "60"),
            segment("2", "600", "-3", "80", "1500", "80", "150", "80", "60"),
            segment("3", "250", "0", "50", "1200", "50", "100", "50", "40")};
}

QStringList texts(const lv::results::ResultRow &row)
{
    return QStringList(row.label) + QStringList(row.values.begin(), row.values.end());
}

// The main window on a program directory, shown, with its prompts recorded.
struct Fixture
{
    RecordingPrompts prompts;
    MainWindow window;

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
    QAbstractItemView *segments() { return get<QAbstractItemView>("segmentView"); }
    QAbstractItemView *results() { return get<QAbstractItemView>("resultView"); }
    QTabWidget *tabs() { return get<QTabWidget>("tabs"); }
    lv::gui::ResultTab *resultTab() { return window.findChild<lv::gui::ResultTab *>(); }
    QString text(const QString &field) { return get<QLineEdit>(field)->text(); }
    void setText(const QString &field, const QString &text)
    {
        get<QLineEdit>(field)->setText(text);
    }
    bool enabled(const QString &name) { return get<QWidget>(name)->isEnabled(); }
    bool checked(const QString &name) { return get<QAbstractButton>(name)->isChecked(); }
    void click(const QString &button) { get<QAbstractButton>(button)->click(); }

    void fillInput(const std::vector<SegmentRow> &rows, const QString &year, const QString &sps,
                   const QString &share)
    {
        for (const SegmentRow &row : rows)
            addSegment(window, prompts, row);
        get<QComboBox>("yearCombo")->setCurrentIndex(get<QComboBox>("yearCombo")->findText(year));
        setText("spsEdit", sps);
        setText("studdedShareEdit", share);
    }

    void clickRow(int row)
    {
        const QRect rect = segments()->visualRect(segments()->model()->index(row, 0));
        QTest::mouseClick(segments()->viewport(), Qt::LeftButton, {}, rect.center());
    }

    // A successful run on the example tunnel; the result tab is showing afterwards.
    bool runExample()
    {
        fillInput(exampleRows(), "2020", "10", "0,5");
        click("calculateButton");
        return prompts.messages.isEmpty() && window.runState() != nullptr;
    }

    // What the input tab shows, and what the result tab shows, each as one text.
    QString inputState()
    {
        return QStringList{text("scenarioEdit"), get<QComboBox>("yearCombo")->currentText(),
                           text("spsEdit"), text("studdedShareEdit"),
                           columnTexts(*segments(), 0).join(u' ')}
            .join(u'|');
    }
    QString resultState()
    {
        QStringList rows;
        for (int i = 0; i < rowCount(*results()); ++i)
            rows << rowTexts(*results(), i).join(u',');
        return rows.join(u';') + u'|' + text("startEdit") + u'|' + text("stopEdit");
    }
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    // Closing windows here must not end the test program.
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() { QLocale::setDefault(QLocale(QStringLiteral("sv_SE"))); }

    void startUp()
    {
        Fixture f;
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Effektberäkning: Luftvaka"));
        QCOMPARE(f.tabs()->tabText(0) + u'|' + f.tabs()->tabText(1), u"Indata|Resultat"_qs);
        QVERIFY(!f.tabs()->isTabEnabled(1));
        QCOMPARE(statusText(f.window), QStringLiteral("Klar"));
        auto *years = f.get<QComboBox>("yearCombo");
        QCOMPARE(years->count(), 3);
        QCOMPARE(years->itemText(0) + years->itemText(1) + years->itemText(2), u"200520102020"_qs);
        QVERIFY(!years->isEditable());
        QCOMPARE(f.inputState(), u"||||"_qs);
        QCOMPARE(
            headerTexts(*f.segments()),
            QStringList({"Segment nr:", "Längd: [m]", "Lutning: [%]", "Pb, Medelhastighet: [km/h]",
                         "Pb, Flöde: [f/h] ", "Lb, MedelHastighet: [km/h]", "Lb, Flöde: [f/h] ",
                         "Lbs, Medelhastighet: [km/h]", "Lbs, Flöde: [f/h]"}));
        QCOMPARE(f.segments()->selectionMode(), QAbstractItemView::SingleSelection);
        QVERIFY(f.enabled("addButton") && !f.enabled("editButton") && !f.enabled("removeButton"));
        // The result tab's first state: per km, nothing to remove, CO2 without its colon.
        QCOMPARE(f.resultState(), u"||"_qs);
        QVERIFY(f.checked("perKmButton"));
        QVERIFY(!f.get<QWidget>("removeRowButton")->isEnabledTo(f.resultTab()));
        QCOMPARE(headerTexts(*f.results()).last(), QStringLiteral("CO2 [kg/km]"));
        // Start-up reads nothing and shows nothing.
        QVERIFY(f.prompts.messages.isEmpty());
        QVERIFY(f.window.runState() == nullptr);

        // Menu items: name, caption, shortcut, and "-" when disabled.
        QStringList items;
        for (const char *menu : {"fileMenu", "helpMenu"}) {
            items << f.get<QMenu>(menu)->title();
            for (const QAction *a : f.get<QMenu>(menu)->actions()) {
                if (!a->isSeparator())
                    items << QStringList{a->objectName(), a->text(), a->shortcut().toString(),
                                         a->isEnabled() ? "" : "-"}
                                 .join(u' ');
            }
        }
        QCOMPARE(items,
                 QStringList({"&Arkiv", "openAction Öppna indata... Ctrl+O ",
                              "saveInputAction Spara indata... Ctrl+D ",
                              "saveResultsAction Spara resultat... Ctrl+S -",
                              "printAction Skriv ut resultat... Ctrl+P -",
                              "exitAction Avsluta Ctrl+Q ", "&Hjälp", "aboutAction Om...  "}));

        // What a screen reader speaks for each field and list.
        QStringList spoken;
        for (const char *name : {"scenarioEdit", "yearCombo", "spsEdit", "studdedShareEdit",
                                 "segmentView", "resultView", "startEdit", "stopEdit"}) {
            spoken << QAccessible::queryAccessibleInterface(f.get<QWidget>(name))
                          ->text(QAccessible::Name);
        }
        QCOMPARE(spoken, QStringList({"Scenario:", "Beräkningsår:", "SPS-tal (75 km/h): [g/fkm]",
                                      "Andel dubbade personbilar:", "Segment", "Resultat",
                                      "Resultat för delsträcka: start [m]",
                                      "Resultat för delsträcka: slut [m]"}));

        // The input tab's controls in reading order.
        const QStringList order = {
            "scenarioEdit", "yearCombo", "segmentView",      "addButton",       "editButton",
            "removeButton", "spsEdit",   "studdedShareEdit", "calculateButton", "clearButton"};
        QStringList chain;
        QWidget *w = f.get<QWidget>(order[0]);
        do {
            if (order.contains(w->objectName()))
                chain.append(w->objectName());
            w = w->nextInFocusChain();
        } while (w != f.get<QWidget>(order[0]));
        QCOMPARE(chain, order);
    }

    // Started from elsewhere, the program's directory is the window's, the working directory
    // stays where it was, and the workbooks are read from the program's directory.
    void startUpFromAnotherDirectory()
    {
        const QString started = QDir::currentPath();
        QTemporaryDir elsewhere;
        QVERIFY(QDir::setCurrent(elsewhere.path()));
        const QString working = QDir::current().canonicalPath();
        {
            RecordingPrompts prompts;
            MainWindow window(prompts);
            QCOMPARE(window.appPath(), QCoreApplication::applicationDirPath());
            QCOMPARE(statusText(window), QStringLiteral("Klar"));
            QVERIFY(prompts.messages.isEmpty());
        }
        Fixture f;
        const bool computed = f.runExample();
        const QString after = QDir::current().canonicalPath();
        QVERIFY(QDir::setCurrent(started));
        QCOMPARE(after, working);
        QVERIFY(computed);
    }

    // Rows 1, 2 and 5 (lengths 10, 20, 50); then a row of length 12,50 with this number, added
    // through "Lägg till..." or through "Ändra..." on row 2.
    void insertionRule_data()
    {
        QTest::addColumn<bool>("edit");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("numbers");
        QTest::addColumn<QString>("lengths");
        const auto add = [](const char *name, bool edit, const char *number, const char *numbers,
                            const char *lengths) {
            QTest::newRow(name) << edit << number << numbers << lengths;
        };
        add("3 between 2 and 5", false, "3", "1 2 3 5", "10 20 12,50 50");
        add("5 overwrites 5", false, "5", "1 2 5", "10 20 12,50");
        add("9 appended", false, "9", "1 2 5 9", "10 20 50 12,50");
        add("05 before 5", false, "05", "1 2 05 5", "10 20 12,50 50");
        add("0 first", false, "0", "0 1 2 5", "12,50 10 20 50");
        add("2,5 is 2, another text", false, "2,5", "1 2,5 2 5", "10 12,50 20 50");
        add("edit, same number overwrites", true, "2", "1 2 5", "10 12,50 50");
        add("edit, new number adds a row", true, "3", "1 2 3 5", "10 20 12,50 50");
    }

    void insertionRule()
    {
        QFETCH(bool, edit);
        QFETCH(QString, number);
        QFETCH(QString, numbers);
        QFETCH(QString, lengths);
        Fixture f;
        for (const char *n : {"1", "2", "5"})
            addSegment(f.window, f.prompts,
                       segment(n, QString(n) + "0", "1", "70", "2", "60", "3", "50", "4"));
        const SegmentRow row =
            segment(number, "12,50", "-0,5", "070", "1000", "60", "0", "50", "10");
        if (edit) {
            f.clickRow(1);
            SegmentRow shown;
            f.prompts.onDialog = [&](QDialog &dialog) {
                shown = segmentDialogRow(dialog);
                fillSegmentDialog(dialog, row);
                named<QAbstractButton>(dialog, "okButton")->click();
            };
            f.click("editButton");
            QCOMPARE(shown, segment("2", "20", "1", "70", "2", "60", "3", "50", "4"));
        } else {
            addSegment(f.window, f.prompts, row);
        }
        QVERIFY(f.prompts.messages.isEmpty());
        QCOMPARE(columnTexts(*f.segments(), 0).join(u' '), numbers);
        QCOMPARE(columnTexts(*f.segments(), 1).join(u' '), lengths);
        // The new row's cells as typed.
        QCOMPARE(rowTexts(*f.segments(), int(numbers.split(u' ').indexOf(number))),
                 QStringList(number) + QStringList(row.cells.begin(), row.cells.end()));
    }

    // "Ändra..." on the third row, then OK with this number. The rows come from "Lägg till..."
    // in the given order, or from an input file as listed; each has length 10, 20, 30 in that
    // order. Expected rows: number and length, "*" for the segment as typed in the dialog.
    void editWritesBack_data()
    {
        QTest::addColumn<bool>("fromFile");
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("5 beside 05, same number")
            << false << QStringList{"1", "5", "05"} << "5" << QStringList{"1 10", "05 30", "5 *"};
        QTest::newRow("2 after 5, same number")
            << true << QStringList{"2", "5", "2"} << "2" << QStringList{"2 10", "5 20", "2 *"};
        // A new number places a copy by number; the edited row stays.
        QTest::newRow("new number 3, copy") << false << QStringList{"1", "5", "05"} << "3"
                                            << QStringList{"1 10", "3 *", "05 30", "5 20"};
        QTest::newRow("new number 5, overwrites row 5")
            << true << QStringList{"2", "5", "2"} << "5" << QStringList{"2 10", "5 *", "2 30"};
    }

    void editWritesBack()
    {
        QFETCH(bool, fromFile);
        QFETCH(QStringList, numbers);
        QFETCH(QString, number);
        QFETCH(QStringList, expected);
        Fixture f;
        const auto plain = [](const QString &n, const QString &length) {
            return segment(n, length, "1", "70", "2", "60", "3", "50", "4");
        };
        std::vector<SegmentRow> rows;
        for (qsizetype i = 0; i < numbers.size(); ++i)
            rows.push_back(plain(numbers[i], QString::number(10 * (i + 1))));
        QTemporaryDir dir;
        if (fromFile) {
            QFile file(dir.filePath("tunnel.dat"));
            const auto bytes = lv::files::writeInputFile({"S", "2020", rows, "10", "0,5"}, {});
            QVERIFY(bytes.ok() && file.open(QIODevice::WriteOnly) && file.write(*bytes) > 0);
            file.close();
            f.prompts.openAnswers = {file.fileName()};
            f.get<QAction>("openAction")->trigger();
        } else {
            for (const SegmentRow &row : rows)
                addSegment(f.window, f.prompts, row);
        }
        const SegmentRow typed =
            segment(number, "12,50", "-0,5", "070", "1000", "60", "0", "50", "10");
        f.clickRow(2);
        f.prompts.onDialog = [&](QDialog &dialog) {
            fillSegmentDialog(dialog, typed);
            named<QAbstractButton>(dialog, "okButton")->click();
        };
        f.click("editButton");

        QVERIFY(f.prompts.messages.isEmpty());
        QCOMPARE(rowCount(*f.segments()), expected.size());
        for (int i = 0; i < int(expected.size()); ++i) {
            const QStringList cell = expected[i].split(u' ');
            const SegmentRow want = cell[1] == u"*" ? typed : plain(cell[0], cell[1]);
            QCOMPARE(rowTexts(*f.segments(), i),
                     QStringList(want.number) + QStringList(want.cells.begin(), want.cells.end()));
        }
    }

    // "Ändra..." and "Ta bort" after adding, clicking and removing rows.
    void rowCommandStates()
    {
        Fixture f;
        const auto states = [&f] {
            return QPair(f.enabled("editButton"), f.enabled("removeButton"));
        };
        for (const char *n : {"1", "2", "3"})
            addSegment(f.window, f.prompts, segment(n));
        QCOMPARE(states(), QPair(false, false)); // adding changes nothing
        f.clickRow(1);
        QCOMPARE(states(), QPair(true, true));
        f.click("removeButton");
        QCOMPARE(columnTexts(*f.segments(), 0), QStringList({"1", "3"}));
        QCOMPARE(states(), QPair(true, false));
        addSegment(f.window, f.prompts, segment("2"));
        QCOMPARE(states(), QPair(true, false));
        // With no row selected, "Ändra..." opens nothing and "Ta bort" removes nothing.
        QVERIFY(!f.segments()->selectionModel()->hasSelection());
        f.prompts.dialogsShown.clear();
        f.click("editButton");
        f.get<QPushButton>("removeButton")->setEnabled(true);
        f.click("removeButton");
        QVERIFY(f.prompts.dialogsShown.isEmpty());
        QCOMPARE(columnTexts(*f.segments(), 0), QStringList({"1", "2", "3"}));
        f.clickRow(0);
        QCOMPARE(states(), QPair(true, true));
        QVERIFY(f.prompts.messages.isEmpty());
    }

    // While the result tab is disabled no path makes it current, and the tab widget tells no
    // one of a change. Once a run has enabled it, an accessibility "press" selects it.
    void disabledResultTab_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("before"); // "", "run" or "run, Rensa"
        QTest::newRow("accessible press") << "press"
                                          << "";
        QTest::newRow("tab widget from code") << "widget"
                                              << "";
        QTest::newRow("tab bar from code") << "bar"
                                           << "";
        QTest::newRow("Ctrl+Tab") << "key"
                                  << "";
        QTest::newRow("mouse") << "mouse"
                               << "";
        QTest::newRow("accessible press after Rensa") << "press"
                                                      << "run, Rensa";
        QTest::newRow("accessible press after a run") << "press"
                                                      << "run";
    }

    void disabledResultTab()
    {
        QFETCH(QString, path);
        QFETCH(QString, before);
        Fixture f;
        if (!before.isEmpty()) {
            QVERIFY(f.runExample());
            f.tabs()->setCurrentIndex(0);
            if (before.endsWith(u"Rensa"))
                f.click("clearButton");
        }
        const bool enabled = f.tabs()->isTabEnabled(1);
        QCOMPARE(enabled, before == u"run");
        QTabBar *bar = f.tabs()->tabBar();
        QSignalSpy changes(f.tabs(), &QTabWidget::currentChanged);

        if (path == u"press") {
            QAccessibleInterface *tab = QAccessible::queryAccessibleInterface(bar)->child(1);
            QCOMPARE(tab->text(QAccessible::Name), QStringLiteral("Resultat"));
            QVERIFY(tab->actionInterface());
            tab->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        } else if (path == u"widget") {
            f.tabs()->setCurrentIndex(1);
        } else if (path == u"bar") {
            bar->setCurrentIndex(1);
        } else if (path == u"key") {
            QTest::keyClick(f.tabs(), Qt::Key_Tab, Qt::ControlModifier);
        } else {
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        }

        QCOMPARE(f.tabs()->currentIndex(), enabled ? 1 : 0);
        QCOMPARE(changes.size(), enabled ? 1 : 0);
        QCOMPARE(f.resultTab()->isVisible(), enabled);
        QCOMPARE(f.segments()->isVisible(), !enabled);
    }

    // "Rensa" empties the tab that is showing and closes off what depends on it.
    void rensa_data()
    {
        QTest::addColumn<int>("tab");
        QTest::newRow("input tab") << 0;
        QTest::newRow("result tab") << 1;
    }

    void rensa()
    {
        QFETCH(int, tab);
        Fixture f;
        f.setText("scenarioEdit", "Norra röret");
        QVERIFY(f.runExample());
        f.setText("startEdit", "0");
        f.setText("stopEdit", "100");
        f.tabs()->setCurrentIndex(0);
        f.clickRow(0);
        f.tabs()->setCurrentIndex(tab);
        const auto run = f.window.runState();
        const QString input = f.inputState();
        const QString results = f.resultState();

        f.click("clearButton");

        // The input tab leaves the result list as it is, only out of reach.
        QCOMPARE(f.inputState(), tab == 0 ? u"||||"_qs : input);
        QCOMPARE(f.resultState(), tab == 1 ? u"||"_qs : results);
        QCOMPARE(f.tabs()->isTabEnabled(1), tab == 1);
        QCOMPARE(f.tabs()->currentIndex(), tab);
        QCOMPARE(f.get<QComboBox>("yearCombo")->count(), 3);
        QCOMPARE(f.enabled("editButton") && f.enabled("removeButton"), tab == 1);
        QVERIFY(!f.get<QAction>("saveResultsAction")->isEnabled() &&
                !f.get<QAction>("printAction")->isEnabled());
        QCOMPARE(f.window.runState(), run);
        QCOMPARE(f.resultTab()->runState(), run);
        QVERIFY(f.prompts.messages.isEmpty());
    }

    void successfulRun()
    {
        Fixture f;
        f.get<QRadioButton>("totalsButton")->setChecked(true);
        QVERIFY2(f.runExample(), qPrintable(f.prompts.messages.value(0).text));
        QCOMPARE(f.resultTab()->runState(), f.window.runState());
        QVERIFY(f.tabs()->isTabEnabled(1));
        QCOMPARE(f.tabs()->currentIndex(), 1);
        QVERIFY(f.get<QAction>("saveResultsAction")->isEnabled() &&
                f.get<QAction>("printAction")->isEnabled());
        QVERIFY(!f.enabled("copyValueButton"));
        QVERIFY(f.checked("perKmButton"));
        QCOMPARE(headerTexts(*f.results()), lv::results::resultHeaders(lv::results::Mode::PerKm));
        QCOMPARE(statusText(f.window), QStringLiteral("Klar"));
        // The one row, "Totalt", is what the core computes from the input as shown.
        const auto direct = lv::calc::computeRun({exampleRows(), "2020", "10", "0,5"},
                                                 QStringLiteral(LUFTVAKA_BIN_DIR));
        QVERIFY(direct.ok());
        QCOMPARE(rowCount(*f.results()), 1);
        QCOMPARE(rowTexts(*f.results(), 0), texts(lv::results::totalRow(*direct)));
        QCOMPARE(cellText(*f.results(), 0, 0), QStringLiteral("Totalt"));
    }

    // A run after a successful one, with one fault: its message, and the last run's tables and
    // results still in place and usable.
    void runChecks_data()
    {
        QTest::addColumn<QString>("change");     // to the example: "no rows", "slope", ...
        QTest::addColumn<QStringList>("fields"); // year, SPS, share
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("title");
        QTest::addColumn<MessageIcon>("icon");
        const auto add = [](const char *name, const char *change, const char *fields,
                            const QString &message, const char *title = "Felaktig indata",
                            MessageIcon icon = MessageIcon::Exclamation) {
            QTest::newRow(name) << change << QString(fields).split(u' ') << message << title
                                << icon;
        };
        const QString noSegment = QStringLiteral("Ange minst ett tunnelsegment");
        const QString noYear = QStringLiteral("Välj beräkningsår!");
        const QString sps = QStringLiteral("Ogiltigt SPS-tal: ");
        add("no segment", "no rows", "2020 10 0,5", noSegment, "Ange indata");
        add("no segment before no year", "no rows", " x x", noSegment, "Ange indata");
        add("no year", "", " 10 0,5", noYear);
        add("no year before SPS", "", " -1 2", noYear);
        add("SPS 0.5 under sv_SE", "", "2020 0.5 0,5", sps + "0.5");
        add("SPS before share", "", "2020 x 7", sps + "x");
        add("share 1,01", "", "2020 10 1,01", "Ogiltig andel dubbade personbilar: 1,01");
        add("slope beyond 16 bits", "slope", "2020 10 0,5",
            u"Lutningen i segment 1 kan inte beräknas (högst ±32767 %): 40000"_qs);
        add("tunnel of length 0", "length 0", "2020 10 0,5",
            u"Tunnelns totala längd är 0 m. Summan av segmentens längder "
            "måste vara större än 0."_qs);
        add("workbook missing", "no workbook", "2020 10 0,5",
            "Arbetsboken pb_bara_glid_data.xls kunde inte öppnas: filen finns inte.", "Luftvaka",
            MessageIcon::Critical);
    }

    void runChecks()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, fields);
        QFETCH(QString, message);
        QFETCH(QString, title);
        QFETCH(MessageIcon, icon);
        // Without segments the window stops before it empties the result tab.
        const bool emptied = change != "no rows";
        QTemporaryDir dir; // a copy of the default workbooks, for one to go missing
        for (const char *name : {"pb_bara_glid_data.xls", "lb_bara_glid_data.xls", "faktorer.xls"})
            QVERIFY(QFile::copy(QDir(LUFTVAKA_BIN_DIR).filePath(name), dir.filePath(name)));
        Fixture f(dir.path());
        QVERIFY(f.runExample());
        const auto previous = f.window.runState();
        const QStringList totalRow = rowTexts(*f.results(), 0);
        f.setText("startEdit", "0");
        f.get<QRadioButton>("totalsButton")->setChecked(true);
        f.get<QPushButton>("copyValueButton")->setEnabled(true); // as after marking a value
        const QString results = f.resultState();

        // The input of this case.
        f.tabs()->setCurrentIndex(0);
        while (!emptied && rowCount(*f.segments()) > 0) {
            f.clickRow(0);
            f.click("removeButton");
        }
        for (SegmentRow row : exampleRows()) {
            if (change == "length 0")
                row.cells[SegmentRow::Length] = "0";
            else if (change == "slope" && row.number == "1")
                row.cells[SegmentRow::Slope] = "40000";
            else
                continue;
            addSegment(f.window, f.prompts, row); // overwrites the row with that number
        }
        if (change == "no workbook")
            QVERIFY(QFile::remove(dir.filePath("pb_bara_glid_data.xls")));
        f.fillInput({}, fields[0], fields[1], fields[2]);
        QStringList statusWhileShown;
        f.prompts.onMessage = [&](const Message &) { statusWhileShown << statusText(f.window); };

        f.click("calculateButton");

        QCOMPARE(f.prompts.messages.size(), 1);
        QCOMPARE(f.prompts.messages[0].text, message);
        QCOMPARE(f.prompts.messages[0].title, title);
        QCOMPARE(f.prompts.messages[0].icon, icon);
        QCOMPARE(statusWhileShown, QStringList({"Vänta..."}));
        QCOMPARE(statusText(f.window), QStringLiteral("Klar"));
        QCOMPARE(f.window.runState(), previous);
        QCOMPARE(f.resultTab()->runState(), previous);
        QVERIFY(f.tabs()->isTabEnabled(1));
        QCOMPARE(f.tabs()->currentIndex(), 0);
        QVERIFY(f.get<QAction>("saveResultsAction")->isEnabled() &&
                f.get<QAction>("printAction")->isEnabled());
        QVERIFY(!f.enabled("copyValueButton"));
        QCOMPARE(f.resultState(), emptied ? u"||"_qs : results);
        QCOMPARE(f.checked("perKmButton"), emptied);
        if (emptied)
            QCOMPARE(headerTexts(*f.results()).last(), QStringLiteral("CO2: [kg/km]"));
        // The kept tables still give the results shown before.
        QCOMPARE(texts(lv::results::totalRow(*f.resultTab()->runState())), totalRow);
    }

    // The label check of the workbooks warns and lets the run go on: at 6 % the test workbooks'
    // "PB  7%" lacks the word "Körprofil" and "LB  5%" holds a number there.
    void labelWarningsLetTheRunGoOn()
    {
        Fixture f(QStringLiteral(LUFTVAKA_TEST_DATA "/calc"));
        f.fillInput({segment("1", "100", "6", "50", "100", "50", "10", "50", "1")}, "2005", "1",
                    "0");
        f.click("calculateButton");
        const QString check = QStringLiteral("Fel i grundtabellen Rätta! ");
        QCOMPARE(f.prompts.messages,
                 QList<Message>({{check + "Profil utan ordet", "Luftvaka", MessageIcon::None},
                                 {check + "12,5", "Luftvaka", MessageIcon::None}}));
        QCOMPARE(f.tabs()->currentIndex(), 1);
        QCOMPARE(columnTexts(*f.results(), 0), QStringList({"Totalt"}));
        QCOMPARE(statusText(f.window), QStringLiteral("Klar"));
    }

    // "Beräkna" does nothing on the result tab; on the input tab it puts a new run's tables in
    // place and leaves the earlier run's tables as they were.
    void korAgain()
    {
        Fixture f;
        QVERIFY(f.runExample());
        const auto first = f.window.runState();
        f.get<QPushButton>("copyValueButton")->setEnabled(true);
        f.setText("startEdit", "5");
        const QString results = f.resultState();
        f.click("calculateButton");
        QCOMPARE(f.window.runState(), first);
        QCOMPARE(f.resultState(), results);
        QVERIFY(f.enabled("copyValueButton"));

        f.tabs()->setCurrentIndex(0);
        f.clickRow(0);
        f.click("removeButton");
        f.click("calculateButton");
        QVERIFY(f.prompts.messages.isEmpty());
        QCOMPARE(f.resultTab()->runState(), f.window.runState());
        QCOMPARE(f.window.runState()->segmentLength[0], 600.0f);
        QCOMPARE(first->segmentCount, 3);
        QCOMPARE(first->segmentLength[0], 400.0f);
    }

    // "Om..." shows the about box with the build's version; "Avsluta" and the close box end the
    // program at once, even with unsaved results.
    void menuCommands()
    {
        for (const char *command : {"aboutAction", "exitAction", "close box"}) {
            Fixture f;
            QVERIFY(f.runExample());
            f.prompts.dialogsShown.clear();
            QString shown;
            f.prompts.onDialog = [&](QDialog &dialog) {
                shown = dialog.windowTitle() + u'|' + named<QLabel>(dialog, "versionLabel")->text();
                named<QAbstractButton>(dialog, "okButton")->click();
            };
            if (f.window.findChild<QAction *>(command))
                f.get<QAction>(command)->trigger();
            else
                QVERIFY(f.window.close());
            const bool about = command == QByteArray("aboutAction");
            QCOMPARE(f.window.isVisible(), about);
            QCOMPARE(f.prompts.dialogsShown, about ? QStringList({"AboutDialog"}) : QStringList());
            if (about)
                QCOMPARE(shown,
                         u"Om Luftvaka|"_qs + lv::gui::AboutDialog::versionText(LUFTVAKA_VERSION));
            QVERIFY(f.prompts.messages.isEmpty());
        }
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
