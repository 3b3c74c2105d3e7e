#include "core/files/inputfile.h"
#include "core/text/textfile.h"
#include "gui/files/filecommands.h"
#include "gui/prompts/filedialogs.h"
#include "gui/windowdriver.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>

using lv::SaveAnswer;
using lv::files::InputDocument;

namespace {

InputDocument readBack(const QString &path)
{
    const auto bytes = lv::text::readWholeFile(path);
    const auto document = bytes ? lv::files::readInputFile(*bytes) : InputDocument{};
    return document ? *document : InputDocument{"<unreadable>", {}, {}, {}, {}};
}

void write(const QString &path, const InputDocument &document)
{
    if (!lv::text::saveFile(path, lv::files::writeInputFile(document, {})))
        qFatal("cannot write %s", qPrintable(path));
}

// The small tunnel "Södra länken": 400 m at 0 %, 600 m at 3 %, 2005, SPS 10, share 0.
const InputDocument kSmall = readBack(LUFTVAKA_TEST_DATA "/gui/files/input_small.dat");

// The window on the small test workbooks with the small tunnel opened from tunnel.dat.
struct Fixture : WindowFixture
{
    QTemporaryDir dir;
    QString path = dir.filePath("tunnel.dat");

    Fixture() : WindowFixture(LUFTVAKA_TEST_DATA "/calc")
    {
        write(path, kSmall);
        if (!window.openInputPath(path))
            qFatal("cannot open the small tunnel");
    }
    void trigger(const QString &action) { get<QAction>(action)->trigger(); }
    QString title()
    {
        return window.windowTitle() + u' ' + QString::number(window.isWindowModified());
    }
};

// An answer to "Spara ändringar i indata?" and what follows: whether the command goes on and
// whether the input was saved (to the open file, without a dialog) first.
struct LosingCase
{
    const char *name;
    bool dirty;
    SaveAnswer answer;
    bool done, saved;
};
const LosingCase kLosing[] = {
    {"unchanged", false, SaveAnswer::Cancel, true, false},
    {"Spara inte", true, SaveAnswer::Discard, true, false},
    {"Avbryt", true, SaveAnswer::Cancel, false, false},
    {"Spara", true, SaveAnswer::Save, true, true},
};

// A faulty value typed into a field, and the field that has the focus after the message.
struct FaultCase
{
    const char *name, *field, *text;
};
const FaultCase kFaults[] = {
    {"SPS", "spsEdit", "tio"},          {"share", "studdedShareEdit", "1,5"},
    {"year", "yearCombo", ""},          {"start", "startEdit", "a"},
    {"stop", "stopEdit", "b"},          {"number", "numberEdit", "x"},
    {"slope", "slopeEdit", "brant"},    {"Lb flow", "lbFlowEdit", "-1"},
    {"Lbs speed", "lbsSpeedEdit", "0"},
};

} // namespace

Q_DECLARE_METATYPE(LosingCase)
Q_DECLARE_METATYPE(FaultCase)

class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() { QLocale::setDefault(QLocale(QStringLiteral("sv_SE"))); }

    void askBeforeLosingInput_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<LosingCase>("c");
        for (const char *command : {"exitAction", "close box", "openAction", "clearButton"}) {
            for (const LosingCase &c : kLosing)
                QTest::addRow("%s, %s", command, c.name) << QString(command) << c;
        }
    }
    void askBeforeLosingInput()
    {
        QFETCH(QString, command);
        QFETCH(LosingCase, c);
        Fixture f;
        // Changed and changed back is no change.
        f.setText("scenarioEdit", "X");
        f.setText("scenarioEdit", kSmall.scenario);
        if (c.dirty)
            f.setText("scenarioEdit", "Ändrad");
        const InputDocument typed = f.window.inputDocument();
        f.prompts.saveChangesAnswers = {c.answer};
        f.prompts.openAnswers = {f.path};
        if (command == "close box")
            f.window.close();
        else if (command == "clearButton")
            f.click(command);
        else
            f.trigger(command);

        QCOMPARE(f.prompts.questions,
                 c.dirty ? QStringList("Luftvaka | Spara ändringar i indata?") : QStringList());
        const InputDocument after = command == "openAction"    ? readBack(f.path)
                                    : command == "clearButton" ? InputDocument{}
                                                               : typed;
        QCOMPARE(f.window.inputDocument(), c.done ? after : typed);
        const bool closes = command == "exitAction" || command == "close box";
        QCOMPARE(f.window.isVisible(), !(c.done && closes));
        QCOMPARE(readBack(f.path), c.saved ? typed : kSmall);
    }

    // Input never saved: "Spara" asks for a name, and a cancelled dialog cancels the command.
    // The title names the file, marked while unsaved; the files saved are the recent ones.
    void titleAndSaving()
    {
        Fixture f;
        QStringList seen = {f.title()};
        f.click("clearButton");
        f.setText("spsEdit", "12");
        seen << f.title();
        f.prompts.saveChangesAnswers = {SaveAnswer::Save, SaveAnswer::Save};
        f.click("clearButton");
        f.prompts.saveAnswers = {f.dir.filePath("ny.dat")};
        f.click("clearButton");
        QCOMPARE(readBack(f.dir.filePath("ny.dat")).sps + f.text("spsEdit"), u"12"_qs);
        f.prompts.openAnswers = {f.path};
        f.trigger("openAction");
        f.setText("spsEdit", "13");
        seen << f.title();
        f.trigger("saveInputAgainAction");
        seen << f.title();
        f.prompts.saveAnswers = {f.dir.filePath("kopia.dat")};
        f.trigger("saveInputAsAction");
        seen << f.title();
        QCOMPARE(seen, QStringList({"Effektberäkning: Luftvaka – tunnel.dat[*] 0",
                                    "Effektberäkning: Luftvaka[*] 1",
                                    "Effektberäkning: Luftvaka – tunnel.dat[*] 1",
                                    "Effektberäkning: Luftvaka – tunnel.dat[*] 0",
                                    "Effektberäkning: Luftvaka – kopia.dat[*] 0"}));
        QCOMPARE(readBack(f.path).sps, u"13"_qs);
        QCOMPARE(f.window.recentFiles().join(u' ').remove(f.dir.path() + '/'),
                 u"kopia.dat tunnel.dat ny.dat"_qs);
    }

    // "Ta bort" removes at once and "Ångra" puts the row back in its place: a segment, then a
    // result row; "Gör om" removes it again. Switching the result mode forgets the steps, as a
    // kept row would hold the other mode's values.
    void undoRemoval()
    {
        Fixture f;
        QVERIFY(f.run());
        f.setText("startEdit", "100");
        f.setText("stopEdit", "500");
        f.click("addStretchButton");
        f.results()->setCurrentIndex(f.results()->model()->index(1, 0));
        f.click("removeRowButton");
        f.tabs()->setCurrentIndex(0);
        f.segments()->setCurrentIndex(f.segments()->model()->index(0, 0));
        f.click("removeButton");
        QCOMPARE(f.segments()->model()->rowCount(), 1);
        QCOMPARE(f.get<QAction>("undoAction")->text(), u"Ångra ta bort segment 1"_qs);
        f.trigger("undoAction");
        QCOMPARE(f.window.inputDocument().rows, kSmall.rows);
        QVERIFY(!f.window.isWindowModified());
        f.trigger("undoAction");
        QCOMPARE(f.resultCount(), 2);
        QCOMPARE(f.result(1, 0), u"100 - 500"_qs);
        f.trigger("redoAction");
        QCOMPARE(f.resultCount(), 1);
        f.trigger("undoAction");
        f.click("totalsButton");
        QVERIFY(!f.enabled("undoAction") && !f.enabled("redoAction"));
        QCOMPARE(f.prompts.questions, QStringList());
    }

    // The result tab says what the run came from, and that the input changed after it, until
    // the next run; saving or printing such results asks first, "Nej" doing neither.
    void staleResults_data()
    {
        QTest::addColumn<QString>("change");
        for (const char *change : {"scenarioEdit", "yearCombo", "spsEdit", "studdedShareEdit",
                                   "addButton", "removeButton"})
            QTest::newRow(change) << QString(change);
    }
    void staleResults()
    {
        QFETCH(QString, change);
        Fixture f;
        QVERIFY(f.run());
        QCOMPARE(f.get<QLabel>("inputSummary")->text().section(u'\n', 0, 0),
                 u"Indata: tunnel.dat  ·  Scenario: Södra länken  ·  Beräkningsår: 2005  ·  "
                 "SPS-tal: 10  ·  Andel dubbade: 0  ·  2 segment  ·  Tunnellängd: 1000 m"_qs);
        QVERIFY(f.get("staleNote")->isHidden());
        f.tabs()->setCurrentIndex(0);
        f.segments()->setCurrentIndex(f.segments()->model()->index(0, 0));
        if (change == "yearCombo")
            f.get<QComboBox>(change)->setCurrentText("2020");
        else if (change == "addButton")
            f.add(segment("3"));
        else if (change == "removeButton")
            f.click(change);
        else
            f.setText(change, "0,5");
        QCOMPARE(f.prompts.questions.size(), 0);
        QVERIFY(!f.get("staleNote")->isHidden());
        f.prompts.yesNoAnswers = {false, false};
        f.trigger("saveResultsAction");
        f.trigger("printAction");
        QCOMPARE(f.prompts.questions.size(), 2);
        QCOMPARE(f.prompts.fileDialogs.size() + f.prompts.printerRequests, 0);
        QVERIFY(f.run());
        QVERIFY(f.get("staleNote")->isHidden());
    }

    // The save dialog adds the filter's extension to a bare name; the open dialog also offers
    // every file; both start in the folder last used, else not in the working folder.
    void fileDialogs()
    {
        IsolatedSettings isolated;
        QTemporaryDir dir;
        QFileDialog save, open;
        save.setOption(QFileDialog::DontUseNativeDialog);
        lv::gui::setUpFileDialog(save, lv::gui::FileDialogMode::Save, lv::gui::kInputFilter);
        QVERIFY(save.directory() != QDir::current());
        save.setDirectory(dir.path());
        save.selectFile("tunnel");
        QCOMPARE(save.selectedFiles(), QStringList(dir.filePath("tunnel.dat")));
        lv::gui::rememberDialogFolder(dir.filePath("x.eff"));
        lv::gui::setUpFileDialog(open, lv::gui::FileDialogMode::Open, lv::gui::kResultFilter);
        QCOMPARE(open.nameFilters() << open.directory().absolutePath(),
                 QStringList({"Emissions effekter (*.eff)", "Alla filer (*)", dir.path()}));
    }

    void focusOnFaultyField_data() { addCases(kFaults); }
    void focusOnFaultyField()
    {
        QFETCH(FaultCase, c);
        const QString field = c.field;
        Fixture f;
        const auto focusIn = [](const QWidget &window) {
            auto *edit = qobject_cast<QLineEdit *>(window.focusWidget());
            return window.focusWidget()->objectName() + u' ' +
                   (edit ? edit->selectedText() : QString());
        };
        QString focused;
        if (const int cell = kSegmentFields.indexOf(field); cell >= 0) {
            f.prompts.onDialog = [&](QDialog &dialog) {
                lv::input::SegmentRow row = segment("3");
                (cell ? row.cells[std::size_t(cell - 1)] : row.number) = c.text;
                dialogRow(dialog, &row);
                focused = focusIn(dialog);
            };
            f.click("addButton");
        } else if (field == "startEdit" || field == "stopEdit") {
            QVERIFY(f.run());
            f.setText("startEdit", field == "startEdit" ? c.text : "0");
            f.setText("stopEdit", field == "stopEdit" ? c.text : "100");
            f.click("addStretchButton");
        } else {
            if (field == "yearCombo")
                f.get<QComboBox>("yearCombo")->setCurrentIndex(-1);
            else
                f.setText(field, c.text);
            f.click("calculateButton");
        }
        QCOMPARE(focused.isEmpty() ? focusIn(f.window) : focused, field + u' ' + c.text);
        QCOMPARE(f.prompts.messages.size(), 1);
    }

    // A file saved under one locale opens under the other, its numbers in the reader's form.
    void otherLocaleFile()
    {
        const QLocale en(QStringLiteral("en_US")), sv(QStringLiteral("sv_SE"));
        const auto example =
            lv::text::readWholeFile(LUFTVAKA_SOURCE_DIR "/examples/exempeltunnel.dat");
        QCOMPARE(lv::files::readInputFile(*example, en)->studdedShare, u"0.4"_qs);
        InputDocument english = kSmall;
        english.rows[0].cells[1] = "-2.5";
        english.studdedShare = "0.25";
        const auto read = lv::files::readInputFile(*lv::files::writeInputFile(english, {}, en), sv);
        QCOMPARE(read->rows[0].cells[1] + u' ' + read->studdedShare, u"-2,5 0,25"_qs);
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
