#include "gui/app/aboutdialog.h"
#include "gui/app/helpbrowser.h"
#include "gui/app/translations.h"
#include "gui/input/segmentdialog.h"
#include "gui/prompts/qtprompts.h"
#include "gui/results/resulttab.h"
#include "gui/windowdriver.h"

using lv::MessageIcon;
using lv::files::InputDocument;
using lv::gui::AboutDialog;
using lv::input::SegmentRow;
using Message = RecordingPrompts::Message;

namespace {

// A small tunnel: up, down and level.
const InputDocument kExample = {"Norra röret",
                                "2020",
                                {segment("1", "400", "2", "70", "1500", "70", "150", "70", "60"),
                                 segment("2", "600", "-3", "80", "1500", "80", "150", "80", "60"),
                                 segment("3", "250", "0", "50", "1200", "50", "100", "50", "40")},
                                "10",
                                "0,5"};

struct Fixture : WindowFixture
{
    explicit Fixture(const QString &appPath = LUFTVAKA_BIN_DIR) : WindowFixture(appPath) {}

    void clickRow(int row)
    {
        const QRect rect = segments()->visualRect(segments()->model()->index(row, 0));
        QTest::mouseClick(segments()->viewport(), Qt::LeftButton, {}, rect.center());
    }
    // The default workbooks warn of nothing: a run on the example shows no message.
    bool runExample()
    {
        type(kExample);
        click("calculateButton");
        return prompts.messages.isEmpty() && window.runState();
    }
    // What the result tab shows, as one text.
    QString resultState()
    {
        return texts(*results()).join(u',') + u'|' + text("startEdit") + u'|' + text("stopEdit");
    }
};

// Where a segment lands, typed into "Lägg till..." or into "Ändra..." on one row. The rows before
// are added in the order given (or set as read from a file, which may repeat a number), with
// lengths 10, 20, 30.
struct Placement
{
    const char *name;
    bool fromFile;
    const char *numbers;
    int edited;           // the row "Ändra..." opens; -1: "Lägg till..."
    const char *number;   // typed in the dialog
    const char *expected; // number:length of each row; * the typed one
};
const Placement kPlacements[] = {
    {"3 between 2 and 5", false, "1 2 5", -1, "3", "1:10 2:20 * 5:30"},
    {"5 overwrites 5", false, "1 2 5", -1, "5", "1:10 2:20 *"},
    {"9 appended", false, "1 2 5", -1, "9", "1:10 2:20 5:30 *"},
    {"05 before 5", false, "1 2 5", -1, "05", "1:10 2:20 * 5:30"},
    {"0 first", false, "1 2 5", -1, "0", "* 1:10 2:20 5:30"},
    {"2,5 is 2, another text", false, "1 2 5", -1, "2,5", "1:10 * 2:20 5:30"},
    {"edit, same number overwrites", false, "1 2 5", 1, "2", "1:10 * 5:30"},
    {"edit, new number adds a row", false, "1 2 5", 1, "3", "1:10 2:20 * 5:30"},
    {"edit 5 beside 05, same number", false, "1 5 05", 2, "5", "1:10 05:30 *"},
    {"edit 5 beside 05, new number", false, "1 5 05", 2, "3", "1:10 * 05:30 5:20"},
    {"edit a repeated number", true, "2 5 2", 2, "2", "2:10 5:20 *"},
    {"edit to the number above", true, "2 5 2", 2, "5", "2:10 * 2:30"}};

// "Beräkna" after a successful run, with one fault or none.
struct Calculation
{
    const char *name;
    const char *change; // to the example: "no rows", "no workbook"
    const char *fields; // year, SPS, share
    const char *message;
    const char *title = "Felaktig indata";
    MessageIcon icon = MessageIcon::Exclamation;
};
const Calculation kCalculations[] = {
    {"the same input again", "", "2020 10 0,5", ""},
    {"no segment", "no rows", "2020 10 0,5", "Ange minst ett tunnelsegment", "Ange indata"},
    {"no year", "", " 10 0,5", "Välj beräkningsår!"},
    {"SPS 0.5 under sv_SE", "", "2020 0.5 0,5", "Ogiltigt SPS-tal: 0.5"},
    {"workbook missing", "no workbook", "2020 10 0,5",
     "Arbetsboken pb_bara_glid_data.xls kunde inte öppnas: filen finns inte.", "Luftvaka",
     MessageIcon::Critical}};

} // namespace

Q_DECLARE_METATYPE(Placement)
Q_DECLARE_METATYPE(Calculation)

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
        auto *years = f.get<QComboBox>("yearCombo");
        QStringList shown = {f.window.windowTitle(),
                             f.tabs()->tabText(0),
                             f.tabs()->tabText(1),
                             statusText(f.window),
                             headerText(*f.results(), 11),
                             f.resultState().remove(u'|'),
                             years->itemText(0) + years->itemText(1) + years->itemText(2)};
        for (int c = 0; c < 9; ++c)
            shown << headerText(*f.segments(), c);
        // Menu items: name, caption, shortcut, and "-" when disabled.
        for (const char *menu : {"fileMenu", "helpMenu"}) {
            shown << f.get<QMenu>(menu)->title();
            for (const QAction *a : f.get<QMenu>(menu)->actions()) {
                if (!a->isSeparator())
                    shown << a->objectName() + u' ' + a->text() + u' ' + a->shortcut().toString() +
                                 (a->isEnabled() ? " " : " -");
            }
        }
        // What a screen reader speaks for each field and list.
        for (const char *name : {"scenarioEdit", "yearCombo", "spsEdit", "studdedShareEdit",
                                 "segmentView", "resultView", "startEdit", "stopEdit"})
            shown << QAccessible::queryAccessibleInterface(f.get(name))->text(QAccessible::Name);
        QCOMPARE(shown,
                 u"Effektberäkning: Luftvaka|Indata|Resultat|Klar|CO2 [kg/km]|"
                 "|200520102020|Segment nr:|Längd: [m]|Lutning: [%]|Pb, Medelhastighet: [km/h]|"
                 "Pb, Flöde: [f/h] |Lb, MedelHastighet: [km/h]|Lb, Flöde: [f/h] |"
                 "Lbs, Medelhastighet: [km/h]|Lbs, Flöde: [f/h]|&Arkiv|"
                 "openAction Öppna indata... Ctrl+O | Senaste filer  -|"
                 "saveInputAgainAction Spara indata  |saveInputAction Spara indata... Ctrl+D |"
                 "saveInputAsAction Spara indata som...  |"
                 "saveResultsAction Spara resultat... Ctrl+S -|"
                 "printAction Skriv ut resultat... Ctrl+P -|savePdfAction Spara som PDF...  -|"
                 "exitAction Avsluta Ctrl+Q "
                 "|&Hjälp|userGuideAction Användarhandbok F1 |"
                 "aboutAction Om...  |Scenario:|Beräkningsår:|SPS-tal (75 km/h): [g/fkm]|"
                 "Andel dubbade personbilar:|Segment|Resultat|Resultat för delsträcka: start [m]|"
                 "Resultat för delsträcka: slut [m]"_qs.split(u'|'));
        QVERIFY(years->count() == 3 && !years->isEditable() && !f.tabs()->isTabEnabled(1) &&
                f.segments()->selectionMode() == QAbstractItemView::SingleSelection);
        QVERIFY(
            f.enabled("addButton") && !f.enabled("editButton") && !f.enabled("removeButton") &&
            f.get<QRadioButton>("perKmButton")->isChecked() &&
            !f.get("removeRowButton")->isEnabledTo(f.window.findChild<lv::gui::ResultTab *>()) &&
            f.window.inputDocument() == InputDocument{} && f.prompts.messages.isEmpty());

        // The input tab's controls in reading order.
        const QStringList order = {
            "scenarioEdit", "yearCombo", "segmentView",      "addButton",       "editButton",
            "removeButton", "spsEdit",   "studdedShareEdit", "calculateButton", "clearButton"};
        QStringList chain(order[0]);
        for (QWidget *w = f.get(order[0])->nextInFocusChain(); w != f.get(order[0]);
             w = w->nextInFocusChain())
            chain << (order.contains(w->objectName()) ? QStringList(w->objectName())
                                                      : QStringList());
        QCOMPARE(chain, order);
    }

    // Started from elsewhere, the window finds the workbooks in the program's directory and
    // leaves the working directory where it was.
    void startUpFromAnotherDirectory()
    {
        const QString started = QDir::currentPath();
        QTemporaryDir elsewhere;
        QVERIFY(QDir::setCurrent(elsewhere.path()));
        const QString working = QDir::currentPath();
        RecordingPrompts prompts;
        const QString appPath = lv::gui::MainWindow(prompts).appPath();
        Fixture f;
        const bool computed = f.runExample();
        const QString after = QDir::currentPath();
        QVERIFY(QDir::setCurrent(started));
        QCOMPARE(appPath + '|' + after, QCoreApplication::applicationDirPath() + '|' + working);
        QVERIFY(computed);
    }

    void segmentPlacement_data() { addCases(kPlacements); }
    void segmentPlacement()
    {
        QFETCH(Placement, c);
        Fixture f;
        const auto plain = [](const QString &n, const QString &length) {
            return segment(n, length, "1", "70", "2", "60", "3", "50", "4");
        };
        InputDocument input;
        for (const QString &n : QString(c.numbers).split(u' '))
            input.rows.push_back(plain(n, QString::number(10 * (input.rows.size() + 1))));
        if (c.fromFile)
            f.window.setInputDocument(input);
        for (std::size_t i = 0; !c.fromFile && i < input.rows.size(); ++i)
            f.add(input.rows[i]);
        const SegmentRow typed =
            segment(c.number, "12,50", "-0,5", "070", "1000", "60", "0", "50", "10");
        const auto rows = f.window.inputDocument().rows;
        SegmentRow shown;
        f.prompts.onDialog = [&](QDialog &dialog) {
            shown = static_cast<lv::gui::SegmentDialog &>(dialog).row();
            dialogRow(dialog, &typed);
        };
        if (c.edited >= 0)
            f.clickRow(c.edited);
        f.click(c.edited < 0 ? "addButton" : "editButton");
        QVERIFY(c.edited < 0 || shown == rows[std::size_t(c.edited)]);
        QVERIFY(f.prompts.messages.isEmpty());
        std::vector<SegmentRow> expected;
        for (const QString &row : QString(c.expected).split(u' '))
            expected.push_back(row == u"*" ? typed
                                           : plain(row.section(':', 0, 0), row.section(':', 1)));
        QVERIFY(f.window.inputDocument().rows == expected);
    }

    // "Ändra..." (E) and "Ta bort" (T) after adding, clicking and removing rows; with no row
    // selected, "Ändra..." opens nothing and "Ta bort" removes nothing.
    void rowCommandStates()
    {
        Fixture f;
        QString states;
        const auto note = [&] {
            states += QString(f.enabled("editButton") ? "E" : "-") +
                      (f.enabled("removeButton") ? "T " : "- ");
        };
        for (const char *n : {"1", "2", "3"})
            f.add(segment(n));
        note();
        f.clickRow(1);
        note();
        f.click("removeButton");
        note();
        f.add(segment("2"));
        note();
        f.click("editButton");
        f.get("removeButton")->setEnabled(true);
        f.click("removeButton");
        f.clickRow(0);
        note();
        QCOMPARE(states, u"-- ET E- E- ET "_qs);
        QCOMPARE(f.prompts.dialogsShown, 4);
        QCOMPARE(texts(*f.segments(), -1, 0), QStringList({"1", "2", "3"}));
    }

    // While the result tab is disabled neither a mouse click nor an accessibility "press" (which
    // goes round the tab widget) makes it current, and the tab widget tells no one of a change.
    // Once a run has enabled it, a press selects it; "Rensa" on the input tab disables it again.
    void disabledResultTab()
    {
        for (const QString c : {"|press", "|mouse", "run, Rensa|press", "run|press"}) {
            Fixture f;
            if (!c.startsWith(u'|')) {
                QVERIFY(f.runExample());
                f.tabs()->setCurrentIndex(0);
                if (c.contains(u"Rensa"))
                    f.click("clearButton");
            }
            const bool enabled = f.tabs()->isTabEnabled(1);
            QCOMPARE(enabled, c == u"run|press");
            QTabBar *bar = f.tabs()->tabBar();
            QSignalSpy changes(f.tabs(), &QTabWidget::currentChanged);
            if (c.endsWith(u"press")) {
                QAccessibleInterface *tab = QAccessible::queryAccessibleInterface(bar)->child(1);
                tab->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            } else {
                QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
            }
            QCOMPARE(f.tabs()->currentIndex() + changes.size(), enabled ? 2 : 0);
            QVERIFY(f.results()->isVisible() == enabled && f.segments()->isVisible() == !enabled);
        }
    }

    // "Rensa" empties the tab that is showing and closes off what depends on it; on the input
    // tab it leaves the result list as it is, only out of reach. "Beräkna" on the result tab
    // does nothing.
    void clear()
    {
        for (const int tab : {0, 1}) {
            Fixture f;
            QVERIFY(f.runExample());
            f.setText("startEdit", "0");
            f.setText("stopEdit", "100");
            f.tabs()->setCurrentIndex(0);
            f.clickRow(0);
            f.tabs()->setCurrentIndex(tab);
            const auto run = f.window.runState();
            const QString results = f.resultState();
            f.get("copyValueButton")->setEnabled(true); // as after marking a value
            if (tab == 1)
                f.click("calculateButton"); // does nothing on the result tab
            QVERIFY(f.resultState() == results && f.enabled("copyValueButton"));
            f.click("clearButton");
            QVERIFY(f.window.inputDocument() == (tab == 0 ? InputDocument{} : kExample));
            QCOMPARE(f.resultState(), tab == 1 ? u"||"_qs : results);
            QCOMPARE(f.tabs()->isTabEnabled(1) + f.tabs()->currentIndex(), 2 * tab);
            QCOMPARE(f.enabled("editButton") && f.enabled("removeButton"), tab == 1);
            QVERIFY(f.get<QComboBox>("yearCombo")->count() == 3 && f.window.runState() == run &&
                    f.prompts.messages.isEmpty());
        }
    }

    // The message of the first failing check; after it the last run's tables and results stay
    // in place and usable (a run without segments stops before it empties the result tab).
    void calculate_data() { addCases(kCalculations); }
    void calculate()
    {
        QFETCH(Calculation, c);
        const QString change = c.change;
        const QStringList fields = QString(c.fields).split(u' ');
        const bool ok = !*c.message, emptied = change != "no rows";
        QTemporaryDir dir; // a copy of the default workbooks, for one to go missing
        for (const char *name : {"pb_bara_glid_data.xls", "lb_bara_glid_data.xls", "faktorer.xls"})
            QVERIFY(QFile::copy(QDir(LUFTVAKA_BIN_DIR).filePath(name), dir.filePath(name)));
        Fixture f(dir.path());
        QVERIFY(f.runExample());
        const auto previous = f.window.runState();
        const QString totalRow = texts(*f.results(), 0).join(u',');
        f.setText("startEdit", "0");
        f.get<QRadioButton>("totalsButton")->setChecked(true);
        f.get("copyValueButton")->setEnabled(true); // as after marking a value
        const QString results = f.resultState();

        f.tabs()->setCurrentIndex(0);
        if (!emptied)
            f.window.setInputDocument({});
        if (change == "no workbook")
            QVERIFY(QFile::remove(dir.filePath("pb_bara_glid_data.xls")));
        auto *years = f.get<QComboBox>("yearCombo");
        years->setCurrentIndex(years->findText(fields[0]));
        f.setText("spsEdit", fields[1]);
        f.setText("studdedShareEdit", fields[2]);
        QStringList statusWhileShown;
        f.prompts.onMessage = [&](const Message &) { statusWhileShown << statusText(f.window); };

        f.click("calculateButton");

        const Message expected{c.message, c.title, c.icon};
        QCOMPARE(f.prompts.messages, ok ? QList<Message>() : QList<Message>{expected});
        QCOMPARE(statusWhileShown, ok ? QStringList() : QStringList({"Vänta..."}));
        QCOMPARE(f.window.runState() == previous, !ok);
        QVERIFY(!f.enabled("copyValueButton"));
        QCOMPARE(f.tabs()->currentIndex(), ok ? 1 : 0);
        QCOMPARE(f.resultState(), !emptied ? results : (ok ? totalRow : "") + "||");
        QCOMPARE(f.get<QRadioButton>("perKmButton")->isChecked(), emptied);
        if (emptied)
            QCOMPARE(headerText(*f.results(), 11), u"CO2: [kg/km]"_qs);
    }

    // The label check of the workbooks warns and lets the run go on: at 6 % the test workbooks'
    // "PB  7%" lacks the word "Körprofil" and "LB  5%" holds a number there.
    void labelWarningsLetTheRunGoOn()
    {
        Fixture f(LUFTVAKA_TEST_DATA "/calc");
        f.type(
            {"", "2005", {segment("1", "100", "6", "50", "100", "50", "10", "50", "1")}, "1", "0"});
        f.click("calculateButton");
        const QString check = QStringLiteral("Fel i grundtabellen Rätta! ");
        QCOMPARE(f.prompts.messages,
                 QList<Message>({{check + "Profil utan ordet", "Luftvaka", MessageIcon::None},
                                 {check + "12,5", "Luftvaka", MessageIcon::None}}));
        QCOMPARE(f.tabs()->currentIndex(), 1);
        QCOMPARE(texts(*f.results(), -1, 0), QStringList({"Totalt"}));
    }

    // "Om..." shows the about box with the build's version.
    void about()
    {
        // The program version major.minor.0.revision shows as major.minor.revision.
        QCOMPARE(AboutDialog::versionText("1.2.0.4") + AboutDialog::versionText("3.14.7.250") +
                     AboutDialog::versionText("2.1"),
                 u"Version 1.2.4Version 3.14.250Version 2.1.0"_qs);
        Fixture f;
        QString shown;
        f.prompts.onDialog = [&](QDialog &dialog) {
            shown = dialog.windowTitle() + '|' + named<QLabel>(dialog, "titleLabel")->text() + '|' +
                    named<QLabel>(dialog, "versionLabel")->text();
            QVERIFY(!named<QLabel>(dialog, "iconLabel")->pixmap().isNull());
        };
        f.trigger("aboutAction");
        QCOMPARE(shown, "Om Luftvaka|Luftvaka|" + AboutDialog::versionText(LUFTVAKA_VERSION));
        QVERIFY(f.window.isVisible() && f.prompts.messages.isEmpty());
    }

    // The program's own message box, shown for real and closed by a timer.
    void messageBox()
    {
        for (const MessageIcon icon :
             {MessageIcon::Exclamation, MessageIcon::Critical, MessageIcon::None}) {
            QString seen;
            QTimer closer;
            connect(&closer, &QTimer::timeout, [&] {
                if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                    seen = box->text() + '|' + box->windowTitle() + '|' +
                           QString::number(box->icon()) + '|' +
                           QString::number(box->standardButtons());
                    box->done(0);
                }
            });
            closer.start(10);
            lv::gui::QtPrompts().message(u"Välj beräkningsår!"_qs, "Felaktig indata", icon);
            const int shown = icon == MessageIcon::None       ? QMessageBox::NoIcon
                              : icon == MessageIcon::Critical ? QMessageBox::Critical
                                                              : QMessageBox::Warning;
            QCOMPARE(seen, u"Välj beräkningsår!|Felaktig indata|%1|%2"_qs.arg(shown).arg(
                               QMessageBox::Ok));
        }
    }

    // One or two fields of a valid segment changed ("field=text ..."), then OK: accepted with
    // the row as typed, or refused with one message and the dialog left open as typed.
    void segmentDialogChecks_data()
    {
        QTest::addColumn<QString>("changes");
        QTest::addColumn<QString>("message"); // empty: accepted
        const QString negative =
            u"Ogiltig längd, flöde eller hastighet. Måste vara ett positivt decimaltal."_qs;
        const QString rows[][3] = {
            {"empty number", "numberEdit=", "Ogiltigt Segmentnummer: "},
            {"number 40000", "numberEdit=40000", "Ogiltigt Segmentnummer: 40000"},
            {"number 2,5 under sv_SE", "numberEdit=2,5", ""},
            {"number -3", "numberEdit=-3", ""},
            {"empty slope", "slopeEdit=", "Ogiltig lutning: "},
            {"slope -6", "slopeEdit=-6", ""},
            {"slope 250", "slopeEdit=250", ""},
            {"empty length", "lengthEdit=", negative},
            {"length 0", "lengthEdit=0", ""},
            {"Pb flow -1", "pbFlowEdit=-1", negative},
            {"Pb flow 0", "pbFlowEdit=0", ""},
            {"Lbs flow text", "lbsFlowEdit=x", negative},
            {"Lbs speed 0", "lbsSpeedEdit=0",
             "Medelhastighet = Reshastighet, måste vara större än 0"},
            // The first failing check speaks.
            {"number before slope", "numberEdit=x slopeEdit=", "Ogiltigt Segmentnummer: x"},
            {"slope before length", "slopeEdit=x lengthEdit=", "Ogiltig lutning: x"},
            {"negative before zero speed", "lbSpeedEdit=0 lbFlowEdit=-1", negative}};
        for (const auto &[name, changes, message] : rows)
            QTest::newRow(qPrintable(name)) << changes << message;
    }

    void segmentDialogChecks()
    {
        QFETCH(QString, changes);
        QFETCH(QString, message);
        RecordingPrompts prompts;
        lv::gui::SegmentDialog dialog(prompts);
        dialog.show();
        dialog.setRow(segment("4", "120,50", "-2", "70", "1200", "60", "80", "50", "40"));
        for (const QString &change : changes.split(u' '))
            named<QLineEdit>(dialog, change.section(u'=', 0, 0))->setText(change.section(u'=', 1));
        const lv::input::SegmentRow typed = dialogRow(dialog);
        named<QAbstractButton>(dialog, "okButton")->click();
        QCOMPARE(dialog.result(), int(message.isEmpty() ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(dialog.isVisible(), !message.isEmpty());
        QVERIFY((message.isEmpty() ? dialog.row() : dialogRow(dialog)) == typed);
        const Message expected{message, "Felaktig indata", lv::MessageIcon::Exclamation};
        QCOMPARE(prompts.messages, message.isEmpty() ? QList<Message>() : QList<Message>{expected});
    }

    // Title, fields in tab order, what a screen reader speaks for each field; Enter and Escape
    // leave the dialog open, "Avbryt" closes it without any check.
    void segmentDialogKeys()
    {
        RecordingPrompts prompts;
        lv::gui::SegmentDialog dialog(prompts);
        QStringList chain, spoken;
        QWidget *w = named(dialog, "numberEdit");
        do {
            if (w->focusPolicy() & Qt::TabFocus)
                chain << w->objectName();
            if (w->inherits("QLineEdit"))
                spoken << QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
            w = w->nextInFocusChain();
        } while (w != named(dialog, "numberEdit"));
        QCOMPARE(chain, kSegmentFields + QStringList({"okButton", "cancelButton"}));
        QCOMPARE(dialog.windowTitle() + '|' + spoken.join('|'),
                 u"Lägg till tunnelsegment|Nummer:|Längd: [m]|Lutning: [%]|Personbil: "
                 "Medelhastiget: [km/h]|Personbil: Flöde: [f/h]|Lastbil: Medelhastiget: [km/h]|"
                 "Lastbil: Flöde: [f/h]|Lastbil med släp: Medelhastiget: [km/h]|Lastbil med släp: "
                 "Flöde: [f/h]"_qs);

        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.setRow(segment("x")); // invalid: a check would speak
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
            named(dialog, "lbsFlowEdit")->setFocus();
            QTest::keyClick(named(dialog, "lbsFlowEdit"), key);
            QVERIFY(dialog.isVisible());
        }
        named<QAbstractButton>(dialog, "cancelButton")->click();
        QVERIFY(!dialog.isVisible() && dialog.result() == QDialog::Rejected);
        QVERIFY(prompts.messages.isEmpty());
    }

    // Qt's own texts are Swedish whatever the locale (last: it installs the translators).
    // "Avbryt" comes from the program's own catalogue, "Klipp ut" and "Klistra in" from Qt's.
    void qtTextsAreSwedish()
    {
        for (const char *locale : {"sv_SE", "en_US"}) {
            // Without translators, as a fresh start would be.
            qDeleteAll(qApp->findChildren<QTranslator *>());
            QLocale::setDefault(QLocale(locale));
            lv::gui::installSwedishTranslations(*qApp);
            QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
            QLineEdit edit;
            const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
            QStringList items; // as shown: no mnemonic marker, no shortcut after the TAB
            for (const QAction *action : menu->actions())
                items << action->text().section(u'\t', 0, 0).remove(u'&');
            QCOMPARE(
                buttons.button(QDialogButtonBox::Cancel)->text() + '|' +
                    items.filter(QRegularExpression("^(Klipp ut|Klistra in|Paste|Cut)$")).join('|'),
                "Avbryt|Klipp ut|Klistra in");
        }
    }

    // Asked twice, F1 shows the one guide, not a second window.
    void f1OpensTheGuide()
    {
        RecordingPrompts prompts;
        lv::gui::MainWindow window(prompts);
        auto *guide = window.findChild<QAction *>(QStringLiteral("userGuideAction"));
        guide->trigger();
        guide->trigger();
        const auto guides = window.findChildren<lv::gui::HelpBrowser *>();
        QVERIFY(guides.size() == 1 && guides.front()->isVisible() && prompts.messages.isEmpty());
        const QTextDocument *page = guides.front()->browser()->document();
        QCOMPARE(page->metaInformation(QTextDocument::DocumentTitle) + '|' +
                     page->firstBlock().text().trimmed(),
                 u"Användarhandbok|Luftvaka – användarhandbok"_qs);
        QVERIFY(page->toPlainText().contains(u"en timmes trafik"_qs));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
