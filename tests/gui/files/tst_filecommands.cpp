#include "core/files/inputfile.h"
#include "core/files/report.h"
#include "core/text/textfile.h"
#include "gui/app/frmmain.h"
#include "gui/files/filecommands.h"
#include "gui/files/pdflines.h"
#include "gui/results/resulttab.h"
#include "gui/windowdriver.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using lv::MessageIcon;
using lv::files::InputDocument;
using lv::gui::FrmMain;
using lv::input::SegmentRow;
using lv::results::Mode;
using Message = RecordingPrompts::Message;

namespace {

const QString kDataDir = QStringLiteral(LUFTVAKA_TEST_DATA "/gui/files");
const QString kBadFile = QStringLiteral("Ogiltig indatafil");

// The main window on the small test workbooks after a run on a two-segment tunnel, with its
// prompts recorded and the run's label warnings cleared away.
struct Fixture
{
    RecordingPrompts prompts;
    FrmMain window;

    Fixture() : window(prompts, QStringLiteral(LUFTVAKA_TEST_DATA "/calc"))
    {
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qFatal("main window not exposed");
        get<QLineEdit>("txtScenario")->setText(QStringLiteral("Södra länken"));
        addSegment(window, prompts, segment("1", "400", "0", "50", "100", "50", "10", "50", "1"));
        addSegment(window, prompts, segment("2", "600", "3", "80", "100", "80", "10", "80", "1"));
        auto *years = get<QComboBox>("cboAr");
        years->setCurrentIndex(years->findText("2005"));
        get<QLineEdit>("txtSPS")->setText(QStringLiteral("10"));
        get<QLineEdit>("txtDubbAndel")->setText(QStringLiteral("0"));
        if (!run())
            qFatal("the test run failed");
    }

    template <class T>
    T *get(const QString &name)
    {
        return named<T>(window, name);
    }
    void click(const QString &button) { get<QAbstractButton>(button)->click(); }
    void trigger(const QString &item) { get<QAction>(item)->trigger(); }
    QTreeWidget *results() { return get<QTreeWidget>("lvwResult"); }
    lv::gui::ResultTab *resultTab() { return window.findChild<lv::gui::ResultTab *>(); }

    // "Beräkna"; the test workbooks carry a label the run warns about and then reads past.
    bool run()
    {
        click("cmdKor");
        for (const Message &message : prompts.messages) {
            if (message.title != "Luftvaka")
                return false;
        }
        prompts.messages.clear();
        return window.runState() != nullptr;
    }

    void addStretch(const QString &start, const QString &stop)
    {
        get<QLineEdit>("txtResultStart")->setText(start);
        get<QLineEdit>("txtResultStop")->setText(stop);
        click("cmdVisaResult");
    }

    // Everything opening a file might touch: the input and the result side.
    struct State
    {
        InputDocument input;
        QStringList results;
        bool resultTab = false;
        bool saveResults = false;
        bool printResults = false;
        bool operator==(const State &) const = default;
    };
    State state()
    {
        QStringList rows;
        for (int r = 0; r < results()->topLevelItemCount(); ++r)
            rows += rowTexts(*results(), r);
        return State{window.inputDocument(), rows, get<QTabWidget>("SSTab1")->isTabEnabled(1),
                     get<QAction>("mnuSpara")->isEnabled(), get<QAction>("mnuSkriv")->isEnabled()};
    }

    // "Öppna indata..." on a file with these lines, written as the program writes files.
    void openLines(const QStringList &lines, const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(*lv::text::encode1252(lv::text::joinLines(lines))) < 0) {
            qFatal("cannot write %s", qPrintable(path));
        }
        file.close();
        prompts.openAnswers = {path};
        trigger("mnuOpen");
    }
};

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The file with its date line (line 2) replaced by the expected file's: tests never depend on
// the clock. The date line must be there and hold something.
QByteArray withDateOf(const QByteArray &actual, const QByteArray &expected)
{
    QList<QByteArray> lines = actual.split('\n');
    const QList<QByteArray> expectedLines = expected.split('\n');
    if (lines.size() < 2 || expectedLines.size() < 2 || lines[1].trimmed().isEmpty())
        return "<no date line>";
    lines[1] = expectedLines[1];
    return lines.join('\n');
}

// The first lines of a valid file with one segment, up to its segment line (line 9).
QStringList fileHead(const QString &year = QStringLiteral("2010"))
{
    return {lv::files::kInputFileHeading,
            "2024-05-17 14:03:09",
            "",
            "Scenario",
            year,
            " 1 ",
            "",
            "Segment nr:"};
}

QStringList validFile()
{
    return fileHead() +
           QStringList{"1\t100\t0\t70\t1000\t70\t100\t70\t50", "", "SPS-tal:", "10\t0,5"};
}

// Runs a command as root would, to make a directory refuse new files.
bool runTool(const QString &program, const QStringList &arguments)
{
    if (QStandardPaths::findExecutable(program).isEmpty())
        return false;
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

enum class SaveFault { UnderRegularFile, ReadOnlyDirectory, FullDisk, CharacterOutsideCodePage };

} // namespace

Q_DECLARE_METATYPE(SaveFault)

class TestFileCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { QLocale::setDefault(QLocale(QStringLiteral("sv_SE"))); }

    void dialogs_data();
    void dialogs();
    void savedFiles_data();
    void savedFiles();
    void roundTrip_data();
    void roundTrip();
    void reopenedInputComputesTheSame();
    void openNormalises_data();
    void openNormalises();
    void openKeepsTheResults();
    void openFaultsChangeNothing_data();
    void openFaultsChangeNothing();
    void unreadableFileChangesNothing_data();
    void unreadableFileChangesNothing();
    void failedSaveKeepsTheOldFile_data();
    void failedSaveKeepsTheOldFile();
    void printedReport_data();
    void printedReport();
    void printerFailureIsReported();
};

void TestFileCommands::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QFAIL("pdftotext is missing (Debian poppler-utils; tools/install-deps.sh --test)");
}

void TestFileCommands::dialogs_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("filter");
    QTest::newRow("open") << "mnuOpen"
                          << "Öppna indata"
                          << "Indata, emissionsberäkning (*.dat)";
    QTest::newRow("save input") << "mnuSparaData"
                                << "Spara indata"
                                << "Indata, emissionsberäkning (*.dat)";
    QTest::newRow("save results") << "mnuSpara"
                                  << "Spara resultat"
                                  << "Emissions effekter (*.eff)";
    QTest::newRow("print") << "mnuSkriv" << QString() << QString();
}

// Each command asks through its dialog; cancelled, it does nothing and says nothing.
void TestFileCommands::dialogs()
{
    QFETCH(QString, item);
    QFETCH(QString, title);
    QFETCH(QString, filter);
    Fixture f;
    const Fixture::State before = f.state();
    f.trigger(item);
    if (title.isEmpty()) {
        QCOMPARE(f.prompts.printerRequests, 1);
        QVERIFY(f.prompts.fileDialogTitles.isEmpty());
    } else {
        QCOMPARE(f.prompts.fileDialogTitles, QStringList{title});
        QCOMPARE(f.prompts.fileDialogFilters, QStringList{filter});
        QCOMPARE(f.prompts.printerRequests, 0);
    }
    QVERIFY(f.prompts.messages.isEmpty());
    QVERIFY(f.state() == before);
}

void TestFileCommands::savedFiles_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("setUp");
    QTest::addColumn<QString>("expectedFile");
    QTest::newRow("input") << "mnuSparaData"
                           << ""
                           << "input_small.dat";
    QTest::newRow("input, empty list") << "mnuSparaData"
                                       << "empty list"
                                       << "input_empty.dat";
    QTest::newRow("results per km") << "mnuSpara"
                                    << ""
                                    << "result_perkm.eff";
    QTest::newRow("results, totals") << "mnuSpara"
                                     << "totals"
                                     << "result_totals.eff";
    QTest::newRow("results, none left") << "mnuSpara"
                                        << "no rows"
                                        << "result_empty.eff";
}

// The files byte for byte: Windows-1252, CR LF, TABs, the count line, the header lines; the
// result file for the list as shown, in its mode.
void TestFileCommands::savedFiles()
{
    QFETCH(QString, item);
    QFETCH(QString, setUp);
    QFETCH(QString, expectedFile);
    Fixture f;
    f.addStretch("300", "700");
    if (setUp == "empty list") {
        InputDocument document = f.window.inputDocument();
        document.rows.clear();
        document.year.clear();
        document.sps.clear();
        f.window.setInputDocument(document);
    } else if (setUp == "totals") {
        f.get<QRadioButton>("optTot")->click();
    } else if (setUp == "no rows") {
        for (int i = 0; i < 2; ++i) {
            f.results()->setCurrentItem(f.results()->topLevelItem(0));
            f.click("Command1");
        }
        QCOMPARE(f.results()->topLevelItemCount(), 0);
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(expectedFile);
    f.prompts.saveAnswers = {path};
    f.trigger(item);
    QVERIFY(f.prompts.messages.isEmpty());

    const QByteArray expected = fileBytes(kDataDir + u'/' + expectedFile);
    QCOMPARE(withDateOf(fileBytes(path), expected), expected);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{expectedFile});
}

void TestFileCommands::roundTrip_data()
{
    QTest::addColumn<InputDocument>("typed");
    QTest::addColumn<InputDocument>("opened");

    const InputDocument typed{
        "Tunnel Ängö",
        "2010",
        {segment("07", "12,50", "-2", "70,0", "1000", "60", "100,25", "55", "10"),
         segment("8", "0,125", "3", "80", "0", "80", "1,0", "80", "0,50")},
        "10,50",
        "0,30"};
    const InputDocument opened{
        "Tunnel Ängö",
        "2010",
        {segment("7", "12,5", "-2", "70", "1000", "60", "100,25", "55", "10"),
         segment("8", "0,125", "3", "80", "0", "80", "1", "80", "0,5")},
        "10,5",
        "0,3"};
    QTest::newRow("numbers normalised") << typed << opened;
    QTest::newRow("scenario with TABs, no year")
        << InputDocument{"\tNorra\tlänken ", "", {segment("1")}, "10", "0,5"}
        << InputDocument{"\tNorra\tlänken ", "", {segment("1")}, "10", "0,5"};
    QTest::newRow("empty list, empty fields") << InputDocument{} << InputDocument{};
}

// "Spara indata...", "Rensa", "Öppna indata...": the input comes back, numbers in their
// normalised form, texts as they were.
void TestFileCommands::roundTrip()
{
    QFETCH(InputDocument, typed);
    QFETCH(InputDocument, opened);
    Fixture f;
    f.get<QTabWidget>("SSTab1")->setCurrentIndex(0);
    f.click("cmdRensa");
    f.get<QLineEdit>("txtScenario")->setText(typed.scenario);
    for (const SegmentRow &row : typed.rows)
        addSegment(f.window, f.prompts, row);
    auto *years = f.get<QComboBox>("cboAr");
    years->setCurrentIndex(years->findText(typed.year));
    f.get<QLineEdit>("txtSPS")->setText(typed.sps);
    f.get<QLineEdit>("txtDubbAndel")->setText(typed.studdedShare);
    QCOMPARE(f.window.inputDocument(), typed);

    QTemporaryDir dir;
    f.prompts.saveAnswers = {dir.filePath("tunnel.dat")};
    f.trigger("mnuSparaData");
    f.click("cmdRensa");
    QCOMPARE(f.window.inputDocument(), InputDocument{});
    f.prompts.openAnswers = {dir.filePath("tunnel.dat")};
    f.trigger("mnuOpen");

    QVERIFY(f.prompts.messages.isEmpty());
    QCOMPARE(f.window.inputDocument(), opened);
    QCOMPARE(years->currentIndex(), years->findText(opened.year));
    QCOMPARE(columnTexts(*f.get<QTreeWidget>("lvwBlock"), 0).size(), qsizetype(opened.rows.size()));
}

// Save, clear, open and compute: the same result.
void TestFileCommands::reopenedInputComputesTheSame()
{
    Fixture f;
    const QStringList computed = rowTexts(*f.results(), 0);
    QTemporaryDir dir;
    f.prompts.saveAnswers = {dir.filePath("tunnel.dat")};
    f.trigger("mnuSparaData");
    f.get<QTabWidget>("SSTab1")->setCurrentIndex(0);
    f.click("cmdRensa");
    f.prompts.openAnswers = {dir.filePath("tunnel.dat")};
    f.trigger("mnuOpen");
    QVERIFY(f.prompts.messages.isEmpty());
    QVERIFY(f.run());
    QCOMPARE(f.results()->topLevelItemCount(), 1);
    QCOMPARE(rowTexts(*f.results(), 0), computed);
}

void TestFileCommands::openNormalises_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<InputDocument>("opened");

    const QStringList tail = {"", "SPS-tal:", "10\t0,5"};
    QTest::newRow("segment numbers round half to even")
        << QStringList{lv::files::kInputFileHeading,
                       "",
                       "",
                       "S",
                       "2020",
                       " 2 ",
                       "",
                       "",
                       "2,5\t1\t0\t70\t1\t70\t1\t70\t1",
                       "3,5\t2\t0\t70\t1\t70\t1\t70\t1"} +
               tail
        << InputDocument{"S",
                         "2020",
                         {segment("2", "1", "0", "70", "1", "70", "1", "70", "1"),
                          segment("4", "2", "0", "70", "1", "70", "1", "70", "1")},
                         "10",
                         "0,5"};
    QTest::newRow("free text where the reader does not look, extra fields")
        << QStringList{lv::files::kInputFileHeading,
                       "igår",
                       "x",
                       "S",
                       "2005",
                       "1",
                       "y",
                       "anything",
                       "01\t+5\t-1,50\t70\t1\t70\t1\t70\t1\textra\t9",
                       "z",
                       "Andel:",
                       "1,250\t0,10\tmore",
                       "trailing line"}
        << InputDocument{"S",
                         "2005",
                         {segment("1", "5", "-1,5", "70", "1", "70", "1", "70", "1")},
                         "1,25",
                         "0,1"};
    QTest::newRow("empty wear fields stay empty")
        << fileHead() + QStringList{"1\t100\t0\t70\t1000\t70\t100\t70\t50", "", "SPS-tal:", "\t"}
        << InputDocument{"Scenario", "2010", {segment("1")}, "", ""};
}

// Files written elsewhere or by hand open with every number in its normalised form.
void TestFileCommands::openNormalises()
{
    QFETCH(QStringList, lines);
    QFETCH(InputDocument, opened);
    Fixture f;
    QTemporaryDir dir;
    f.openLines(lines, dir.filePath("in.dat"));
    QVERIFY(f.prompts.messages.isEmpty());
    QCOMPARE(f.window.inputDocument(), opened);
}

// Opening replaces the input only: the result list, its mode and the result menus stay.
void TestFileCommands::openKeepsTheResults()
{
    Fixture f;
    f.addStretch("300", "700");
    f.get<QRadioButton>("optTot")->click();
    Fixture::State before = f.state();
    QTemporaryDir dir;
    f.openLines(validFile(), dir.filePath("in.dat"));
    QVERIFY(f.prompts.messages.isEmpty());
    before.input = InputDocument{"Scenario", "2010", {segment("1")}, "10", "0,5"};
    QVERIFY(f.state() == before);
    QCOMPARE(f.resultTab()->mode(), Mode::Totals);
}

void TestFileCommands::openFaultsChangeNothing_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("faultLine"); // 0: the first line, exactly "Ogiltig indatafil"

    QStringList lines = validFile();
    const auto with = [&lines](int lineNo, const QString &text) {
        QStringList changed = lines;
        changed[lineNo - 1] = text;
        return changed;
    };
    QTest::newRow("empty file") << QStringList{} << 0;
    QTest::newRow("first line with a trailing blank")
        << with(1, lv::files::kInputFileHeading + u' ') << 0;
    QTest::newRow("ends after the scenario") << lines.mid(0, 4) << 4;
    QTest::newRow("year not in the list") << with(5, "2015") << 5;
    QTest::newRow("more segments than lines") << with(6, " 5 ") << 10;
    QTest::newRow("flow out of range") << with(9, "1\t100\t0\t70\t1\t70\t1\t70\t1e39") << 9;
    QTest::newRow("ends before the wear line") << lines.mid(0, 11) << 11;
    QTest::newRow("wear line too short") << with(12, "10") << 12;
}

// A faulty file is refused whole with a message naming the line; the user's input, the result
// list and the menus stay exactly as they were.
void TestFileCommands::openFaultsChangeNothing()
{
    QFETCH(QStringList, lines);
    QFETCH(int, faultLine);
    Fixture f;
    f.get<QTabWidget>("SSTab1")->setCurrentIndex(0);
    addSegment(f.window, f.prompts, segment("5", "12,50", "1", "70", "1", "70", "1", "70", "1"));
    const Fixture::State before = f.state();

    QTemporaryDir dir;
    f.openLines(lines, dir.filePath("in.dat"));
    QCOMPARE(f.prompts.messages.size(), 1);
    const Message message = f.prompts.messages.first();
    QCOMPARE(message.title, QStringLiteral("Indata fel"));
    QCOMPARE(message.icon, MessageIcon::Exclamation);
    if (faultLine == 0) {
        QCOMPARE(message.text, kBadFile);
    } else {
        QVERIFY2(message.text.startsWith(kBadFile + u':'), qPrintable(message.text));
        QVERIFY2(message.text.contains(QStringLiteral("rad %1").arg(faultLine)),
                 qPrintable(message.text));
    }
    QVERIFY(f.state() == before);
}

void TestFileCommands::unreadableFileChangesNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("no such file") << "gone.dat";
    QTest::newRow("a directory") << "folder.dat";
}

// A file that cannot be opened at all ends the command without a word.
void TestFileCommands::unreadableFileChangesNothing()
{
    QFETCH(QString, name);
    Fixture f;
    const Fixture::State before = f.state();
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("folder.dat"));
    f.prompts.openAnswers = {dir.filePath(name)};
    f.trigger("mnuOpen");
    QVERIFY(f.prompts.messages.isEmpty());
    QVERIFY(f.state() == before);
}

void TestFileCommands::failedSaveKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<SaveFault>("fault");
    const std::pair<const char *, const char *> items[] = {{"input", "mnuSparaData"},
                                                           {"results", "mnuSpara"}};
    for (const auto &[what, item] : items) {
        const auto row = [&](const char *name) -> QTestData & {
            return QTest::addRow("%s, %s", what, name) << QString::fromLatin1(item);
        };
        row("no directory to hold it") << SaveFault::UnderRegularFile;
        row("read-only directory") << SaveFault::ReadOnlyDirectory;
        row("full disk") << SaveFault::FullDisk;
        row("scenario outside the code page") << SaveFault::CharacterOutsideCodePage;
    }
}

// A save that cannot be done leaves the old file as it was, leaves no temporary file behind
// and says so; the user's input stays in the window.
void TestFileCommands::failedSaveKeepsTheOldFile()
{
    QFETCH(QString, item);
    QFETCH(SaveFault, fault);
    Fixture f;
    QTemporaryDir dir;
    QString folder = dir.path();
    QString filler;
    bool immutable = false;
    bool mounted = false;
    // Whatever happens, the directory is given back so that it can be removed.
    const auto restore = qScopeGuard([&] {
        if (immutable)
            runTool("chattr", {"-i", folder});
        if (mounted)
            runTool("umount", {folder});
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });

    QString path = QDir(folder).filePath("out.dat");
    if (fault == SaveFault::FullDisk) {
        if (geteuid() != 0)
            QSKIP("only root can mount a small file system to fill up");
        folder = dir.filePath("small");
        QVERIFY(QDir(dir.path()).mkdir("small"));
        mounted = runTool("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", folder});
        if (!mounted)
            QSKIP("mounting a small tmpfs is not allowed here");
        path = QDir(folder).filePath("out.dat");
    }
    if (fault == SaveFault::UnderRegularFile) {
        QVERIFY(QFile(dir.filePath("plain")).open(QIODevice::WriteOnly));
        path = dir.filePath("plain/out.dat");
    } else {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old\r\n") == 5);
    }
    if (fault == SaveFault::FullDisk) {
        QFile fill(QDir(folder).filePath("filler"));
        QVERIFY(fill.open(QIODevice::WriteOnly));
        const QByteArray block(1024, 'x');
        while (fill.write(block) == block.size() && fill.flush()) {
        }
        filler = "filler";
    }
    if (fault == SaveFault::ReadOnlyDirectory) {
        if (geteuid() == 0) {
            // Root writes into a directory whatever its permissions; an immutable one refuses.
            immutable = runTool("chattr", {"+i", folder});
            if (!immutable)
                QSKIP("chattr +i is not available here, and root ignores permissions");
        } else {
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        }
    }
    if (fault == SaveFault::CharacterOutsideCodePage)
        f.get<QLineEdit>("txtScenario")->setText(QStringLiteral("Södra länken → E4"));
    const Fixture::State before = f.state();

    f.prompts.saveAnswers = {path};
    f.trigger(item);

    QCOMPARE(f.prompts.messages.size(), 1);
    const Message message = f.prompts.messages.first();
    QCOMPARE(message.title, item == "mnuSpara" ? QStringLiteral("Spara resultat")
                                               : QStringLiteral("Spara indata"));
    QCOMPARE(message.icon, MessageIcon::Exclamation);
    QVERIFY2(message.text.startsWith("Filen out.dat sparades inte"), qPrintable(message.text));
    if (fault == SaveFault::CharacterOutsideCodePage)
        QVERIFY2(message.text.contains(u'→'), qPrintable(message.text));
    QVERIFY(f.state() == before);
    if (fault == SaveFault::UnderRegularFile) {
        QVERIFY(!QFile::exists(path));
    } else {
        QCOMPARE(fileBytes(path), QByteArray("old\r\n"));
        QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        left.removeAll(filler);
        QCOMPARE(left, QStringList{"out.dat"});
    }
}

void TestFileCommands::printedReport_data()
{
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<int>("copies");
    QTest::newRow("per km") << Mode::PerKm << 1;
    QTest::newRow("totals") << Mode::Totals << 1;
    QTest::newRow("per km, two copies") << Mode::PerKm << 2;
}

// The report of the list as shown, printed into a PDF file and read back.
void TestFileCommands::printedReport()
{
    QFETCH(Mode, mode);
    QFETCH(int, copies);
    Fixture f;
    f.addStretch("300", "700");
    if (mode == Mode::Totals)
        f.get<QRadioButton>("optTot")->click();
    // The scenario as it stands now, not as it was at the run.
    f.get<QLineEdit>("txtScenario")->setText(QStringLiteral("Norra länken"));

    QTemporaryDir dir;
    const QString pdfPath = dir.filePath("report.pdf");
    f.prompts.printerAnswer = true;
    f.prompts.onPrinter = [&](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfPath);
        printer.setCopyCount(copies);
    };
    f.trigger("mnuSkriv");
    QVERIFY(f.prompts.messages.isEmpty());

    const std::optional<PdfText> pdf = readPdf(pdfPath);
    QVERIFY(pdf);
    // One copy's lines with text, as the list shows its rows; the date line is the second.
    QStringList copy;
    const auto lines = lv::files::reportLines("Norra länken", mode, f.resultTab()->rows(),
                                              QDateTime::currentDateTime());
    for (const lv::files::ReportLine &line : lines) {
        if (!asPrinted(line.text).isEmpty())
            copy.append(asPrinted(line.text));
    }
    const QString unit = mode == Mode::PerKm ? " [l/km]" : " [l]";
    QVERIFY(copy.contains(f.results()->topLevelItem(1)->text(1) + unit));
    QVERIFY(copy.contains(mode == Mode::PerKm ? "Effekter/km" : "Totala Effekter"));
    QVERIFY(copy.contains("Delsträcka: 300 - 700"));

    QStringList printed = pdf->texts();
    QCOMPARE(printed.size(), copy.size() * copies);
    for (int c = 0; c < copies; ++c) {
        // Each copy starts on a page of its own.
        const PdfLine &title = pdf->lines[c * copy.size()];
        QCOMPARE(title.text, QStringLiteral("Emissionsberäkning tunnlar"));
        QVERIFY(c == 0 || title.page > pdf->lines[c * copy.size() - 1].page);
        copy[1] = printed[c * copy.size() + 1];
        QCOMPARE(printed.mid(c * copy.size(), copy.size()), copy);
    }
}

// A printer that cannot start is reported; nothing else changes.
void TestFileCommands::printerFailureIsReported()
{
    Fixture f;
    QTemporaryDir dir;
    QVERIFY(QFile(dir.filePath("plain")).open(QIODevice::WriteOnly));
    f.prompts.printerAnswer = true;
    f.prompts.onPrinter = [&](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("plain/report.pdf"));
    };
    const Fixture::State before = f.state();
    f.trigger("mnuSkriv");
    const Message expected{"Rapporten skrevs inte ut: PDF-filen report.pdf kunde inte skapas.",
                           "Skriv ut resultat", MessageIcon::Exclamation};
    QCOMPARE(f.prompts.messages, QList<Message>{expected});
    QVERIFY(f.state() == before);
}

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
