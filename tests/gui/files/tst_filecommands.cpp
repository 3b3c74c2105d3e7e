#include "core/files/inputfile.h"
#include "core/files/report.h"
#include "core/text/textfile.h"
#include "gui/app/mainwindow.h"
#include "gui/files/pdflines.h"
#include "gui/results/resulttab.h"
#include "gui/windowdriver.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
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
using lv::results::Mode;
using Message = RecordingPrompts::Message;

namespace {

const QString kBadFile = QStringLiteral("Ogiltig indatafil");

// The main window on the small test workbooks after a run on a two-segment tunnel, with the
// stretch 300 - 700 added; the run's label warnings are cleared away.
struct Fixture
{
    RecordingPrompts prompts;
    lv::gui::MainWindow window{prompts, QStringLiteral(LUFTVAKA_TEST_DATA "/calc")};
    QTemporaryDir dir;

    Fixture()
    {
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qFatal("main window not exposed");
        type({"Södra länken",
              "2005",
              {segment("1", "400", "0", "50", "100", "50", "10", "50", "1"),
               segment("2", "600", "3", "80", "100", "80", "10", "80", "1")},
              "10",
              "0"});
        if (!run())
            qFatal("the test run failed");
        get<QLineEdit>("startEdit")->setText("300");
        get<QLineEdit>("stopEdit")->setText("700");
        get<QAbstractButton>("addStretchButton")->click();
    }

    template <class T>
    T *get(const QString &name)
    {
        return named<T>(window, name);
    }
    void trigger(const QString &item) { get<QAction>(item)->trigger(); }
    QAbstractItemView *results() { return get<QAbstractItemView>("resultView"); }

    // The input typed into a cleared input tab.
    void type(const InputDocument &input)
    {
        get<QTabWidget>("tabs")->setCurrentIndex(0);
        get<QAbstractButton>("clearButton")->click();
        get<QLineEdit>("scenarioEdit")->setText(input.scenario);
        for (const lv::input::SegmentRow &row : input.rows)
            addSegment(window, prompts, row);
        auto *years = get<QComboBox>("yearCombo");
        years->setCurrentIndex(years->findText(input.year));
        get<QLineEdit>("spsEdit")->setText(input.sps);
        get<QLineEdit>("studdedShareEdit")->setText(input.studdedShare);
    }

    // "Beräkna"; the test workbooks carry a label the run warns about and then reads past.
    bool run()
    {
        get<QAbstractButton>("calculateButton")->click();
        for (const Message &message : prompts.messages) {
            if (message.title != "Luftvaka")
                return false;
        }
        prompts.messages.clear();
        return window.runState() != nullptr;
    }

    // Everything a file command might touch: the input and the result side.
    struct State
    {
        InputDocument input;
        QStringList results;
        Mode mode;
        bool resultTab, saveResults, printResults;
        bool operator==(const State &) const = default;
    };
    State state()
    {
        QStringList rows;
        for (int r = 0; r < rowCount(*results()); ++r)
            rows += rowTexts(*results(), r);
        return State{window.inputDocument(),
                     rows,
                     window.findChild<lv::gui::ResultTab *>()->mode(),
                     get<QTabWidget>("tabs")->isTabEnabled(1),
                     get<QAction>("saveResultsAction")->isEnabled(),
                     get<QAction>("printAction")->isEnabled()};
    }
};

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Runs a command as root would, to make a directory refuse new files.
bool runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

} // namespace

class TestFileCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QFAIL("pdftotext is missing (Debian poppler-utils; tools/install-deps.sh --test)");
    }
    void init() { QLocale::setDefault(QLocale(QStringLiteral("sv_SE"))); }

    void cancelledCommandsDoNothing();
    void savedFiles_data();
    void savedFiles();
    void roundTrip_data();
    void roundTrip();
    void open_data();
    void open();
    void failedSaveKeepsTheOldFile_data();
    void failedSaveKeepsTheOldFile();
    void printedReport_data();
    void printedReport();
    void printerFailureIsReported();
};

void TestFileCommands::cancelledCommandsDoNothing()
{
    Fixture f;
    const Fixture::State before = f.state();
    for (const char *item : {"openAction", "saveInputAction", "saveResultsAction", "printAction"})
        f.trigger(item);
    QCOMPARE(f.prompts.fileDialogTitles.size(), 3);
    QCOMPARE(f.prompts.printerRequests, 1);
    QVERIFY(f.prompts.messages.isEmpty());
    QVERIFY(f.state() == before);
}

void TestFileCommands::savedFiles_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("setUp");
    QTest::addColumn<QString>("expectedFile");
    QTest::newRow("input") << "saveInputAction"
                           << ""
                           << "input_small.dat";
    QTest::newRow("input, empty list") << "saveInputAction"
                                       << "empty list"
                                       << "input_empty.dat";
    QTest::newRow("results per km") << "saveResultsAction"
                                    << ""
                                    << "result_perkm.eff";
    QTest::newRow("results, totals") << "saveResultsAction"
                                     << "totals"
                                     << "result_totals.eff";
    QTest::newRow("results, none left") << "saveResultsAction"
                                        << "no rows"
                                        << "result_empty.eff";
}

// The files byte for byte, the date line (line 2) aside: Windows-1252, CR LF, TABs, the count
// line, the header lines; the result file for the list as shown, in its mode.
void TestFileCommands::savedFiles()
{
    QFETCH(QString, item);
    QFETCH(QString, setUp);
    QFETCH(QString, expectedFile);
    Fixture f;
    if (setUp == "empty list")
        f.window.setInputDocument(InputDocument{"Södra länken", "", {}, "", "0"});
    if (setUp == "totals")
        f.get<QRadioButton>("totalsButton")->click();
    for (int i = 0; setUp == "no rows" && i < 2; ++i) {
        f.results()->setCurrentIndex(f.results()->model()->index(0, 0));
        f.get<QAbstractButton>("removeRowButton")->click();
    }
    f.prompts.saveAnswers = {f.dir.filePath(expectedFile)};
    f.trigger(item);
    QVERIFY(f.prompts.messages.isEmpty());

    const QByteArray expected = fileBytes(LUFTVAKA_TEST_DATA "/gui/files/" + expectedFile);
    QList<QByteArray> lines = fileBytes(f.dir.filePath(expectedFile)).split('\n');
    QVERIFY(lines.size() > 2 && !lines[1].trimmed().isEmpty());
    lines[1] = expected.split('\n').value(1);
    QCOMPARE(lines.join('\n'), expected);
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), QStringList{expectedFile});
}

void TestFileCommands::roundTrip_data()
{
    QTest::addColumn<InputDocument>("typed");
    QTest::addColumn<InputDocument>("opened");
    QTest::newRow("numbers normalised")
        << InputDocument{"Tunnel Ängö",
                         "2010",
                         {segment("07", "12,50", "-2", "70,0", "1000", "60", "100,25", "55", "10"),
                          segment("8", "0,125", "3", "80", "0", "80", "1,0", "80", "0,50")},
                         "10,50",
                         "0,30"}
        << InputDocument{"Tunnel Ängö",
                         "2010",
                         {segment("7", "12,5", "-2", "70", "1000", "60", "100,25", "55", "10"),
                          segment("8", "0,125", "3", "80", "0", "80", "1", "80", "0,5")},
                         "10,5",
                         "0,3"};
    const InputDocument tabs{"\tNorra\tlänken ", "", {segment("1")}, "10", "0,5"};
    QTest::newRow("scenario with TABs, no year") << tabs << tabs;
    QTest::newRow("empty list, empty fields") << InputDocument{} << InputDocument{};
    const InputDocument run{"Södra länken",
                            "2005",
                            {segment("1", "400", "0", "50", "100", "50", "10", "50", "1"),
                             segment("2", "600", "3", "80", "100", "80", "10", "80", "1")},
                            "10",
                            "0"};
    QTest::newRow("the run's input computes the same") << run << run;
}

// "Spara indata...", "Rensa", "Öppna indata...": the input comes back, numbers in their
// normalised form, texts as they were; computed again, it gives the same result.
void TestFileCommands::roundTrip()
{
    QFETCH(InputDocument, typed);
    QFETCH(InputDocument, opened);
    Fixture f;
    const QStringList computed = rowTexts(*f.results(), 0);
    f.type(typed);
    QCOMPARE(f.window.inputDocument(), typed);
    f.prompts.saveAnswers = {f.dir.filePath("tunnel.dat")};
    f.trigger("saveInputAction");
    f.get<QAbstractButton>("clearButton")->click();
    QCOMPARE(f.window.inputDocument(), InputDocument{});
    f.prompts.openAnswers = {f.dir.filePath("tunnel.dat")};
    f.trigger("openAction");

    QVERIFY(f.prompts.messages.isEmpty());
    QCOMPARE(f.window.inputDocument(), opened);
    auto *years = f.get<QComboBox>("yearCombo");
    QCOMPARE(years->currentIndex(), years->findText(opened.year));
    QCOMPARE(rowCount(*f.get<QAbstractItemView>("segmentView")), int(opened.rows.size()));
    if (opened.year == "2005") {
        QVERIFY(f.run());
        QCOMPARE(rowCount(*f.results()), 1);
        QCOMPARE(rowTexts(*f.results(), 0), computed);
    }
}

void TestFileCommands::open_data()
{
    QTest::addColumn<QString>("name"); // in.dat holds the lines; empty: the dialog cancelled
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("faultLine"); // -1: no message; 0: the first line, just kBadFile
    QTest::addColumn<InputDocument>("opened");

    const QStringList tooLarge = {lv::files::kInputFileHeading,
                                  "",
                                  "",
                                  "S",
                                  "2020",
                                  " 2 ",
                                  "",
                                  "",
                                  "2,5\t1\t0\t70\t1\t70\t1\t70\t1",
                                  "3,5\t2\t0\t70\t1\t70\t1\t70\t1",
                                  "",
                                  "SPS-tal:",
                                  "10\t1e39"};
    QStringList valid = tooLarge;
    valid[12] = "10\t0,5";
    QTest::newRow("segment numbers round half to even")
        << "in.dat" << valid << -1
        << InputDocument{"S",
                         "2020",
                         {segment("2", "1", "0", "70", "1", "70", "1", "70", "1"),
                          segment("4", "2", "0", "70", "1", "70", "1", "70", "1")},
                         "10",
                         "0,5"};
    // One fault of each kind; the reader's own tests go through every one.
    QTest::newRow("empty file") << "in.dat" << QStringList{} << 0 << InputDocument{};
    QTest::newRow("ends after the scenario")
        << "in.dat" << tooLarge.mid(0, 4) << 4 << InputDocument{};
    QTest::newRow("number out of range") << "in.dat" << tooLarge << 13 << InputDocument{};
    QTest::newRow("no such file") << "gone.dat" << QStringList{} << -1 << InputDocument{};
    QTest::newRow("a directory") << "folder.dat" << QStringList{} << -1 << InputDocument{};
    QTest::newRow("cancelled") << "" << QStringList{} << -1 << InputDocument{};
}

// "Öppna indata..." replaces the input only: the result list, its mode and the result menus
// stay. A faulty file is refused whole with a message naming the line, and a file that cannot
// be read at all ends the command without a word; either way nothing changes.
void TestFileCommands::open()
{
    QFETCH(QString, name);
    QFETCH(QStringList, lines);
    QFETCH(int, faultLine);
    QFETCH(InputDocument, opened);
    Fixture f;
    f.get<QRadioButton>("totalsButton")->click();
    Fixture::State expected = f.state();
    QFile file(f.dir.filePath("in.dat"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(*lv::text::encode1252(lv::text::joinLines(lines))) >= 0);
    file.close();
    QVERIFY(QDir(f.dir.path()).mkdir("folder.dat"));
    if (!name.isEmpty())
        f.prompts.openAnswers = {f.dir.filePath(name)};
    f.trigger("openAction");

    if (faultLine < 0) {
        QVERIFY(f.prompts.messages.isEmpty());
        if (name == "in.dat")
            expected.input = opened;
    } else {
        QCOMPARE(f.prompts.messages.size(), 1);
        const Message message = f.prompts.messages.first();
        QCOMPARE(message.title, QStringLiteral("Indata fel"));
        QCOMPARE(message.icon, MessageIcon::Exclamation);
        const QString line = QStringLiteral("rad %1").arg(faultLine);
        QVERIFY2(faultLine == 0
                     ? message.text == kBadFile
                     : message.text.startsWith(kBadFile + u':') && message.text.contains(line),
                 qPrintable(message.text));
    }
    QVERIFY(f.state() == expected);
}

void TestFileCommands::failedSaveKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("fault");
    QTest::newRow("input, no directory to hold it") << "saveInputAction"
                                                    << "under a file";
    QTest::newRow("input, read-only directory") << "saveInputAction"
                                                << "read-only";
    QTest::newRow("results, read-only directory") << "saveResultsAction"
                                                  << "read-only";
    QTest::newRow("input, full disk") << "saveInputAction"
                                      << "full disk";
    QTest::newRow("results, full disk") << "saveResultsAction"
                                        << "full disk";
    QTest::newRow("input, scenario outside the code page") << "saveInputAction"
                                                           << "code page";
}

// A save that cannot be done leaves the old file as it was, leaves no temporary file behind
// and says so; the user's input stays in the window.
void TestFileCommands::failedSaveKeepsTheOldFile()
{
    QFETCH(QString, item);
    QFETCH(QString, fault);
    Fixture f;
    QString folder = f.dir.path();
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
    if (fault == "full disk") {
        if (geteuid() != 0)
            QSKIP("only root can mount a small file system to fill up");
        folder = f.dir.filePath("small");
        QVERIFY(QDir(f.dir.path()).mkdir("small"));
        mounted = runTool("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", folder});
        if (!mounted)
            QSKIP("mounting a small tmpfs is not allowed here");
    }
    QString path = QDir(folder).filePath("out.dat");
    if (fault == "under a file") {
        QVERIFY(QFile(f.dir.filePath("plain")).open(QIODevice::WriteOnly));
        path = f.dir.filePath("plain/out.dat");
    } else {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old\r\n") == 5);
    }
    if (fault == "full disk") {
        QFile fill(QDir(folder).filePath("filler"));
        QVERIFY(fill.open(QIODevice::WriteOnly));
        const QByteArray block(1024, 'x');
        while (fill.write(block) == block.size() && fill.flush()) {
        }
    }
    if (fault == "read-only" && geteuid() == 0) {
        // Root writes into a directory whatever its permissions; an immutable one refuses.
        immutable = runTool("chattr", {"+i", folder});
        if (!immutable)
            QSKIP("chattr +i is not available here, and root ignores permissions");
    } else if (fault == "read-only") {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    }
    if (fault == "code page")
        f.get<QLineEdit>("scenarioEdit")->setText(QStringLiteral("Södra länken → E4"));
    const Fixture::State before = f.state();

    f.prompts.saveAnswers = {path};
    f.trigger(item);

    QCOMPARE(f.prompts.messages.size(), 1);
    const Message message = f.prompts.messages.first();
    QCOMPARE(message.title, item == "saveResultsAction" ? "Spara resultat" : "Spara indata");
    QCOMPARE(message.icon, MessageIcon::Exclamation);
    QVERIFY2(message.text.startsWith("Filen out.dat sparades inte"), qPrintable(message.text));
    QVERIFY2(fault != "code page" || message.text.contains(u'→'), qPrintable(message.text));
    QVERIFY(f.state() == before);
    if (fault == "under a file") {
        QVERIFY(!QFile::exists(path));
    } else {
        QCOMPARE(fileBytes(path), QByteArray("old\r\n"));
        QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        left.removeAll("filler");
        QCOMPARE(left, QStringList{"out.dat"});
    }
}

void TestFileCommands::printedReport_data()
{
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<int>("copies");
    QTest::newRow("per km") << Mode::PerKm << 1;
    QTest::newRow("totals, two copies") << Mode::Totals << 2;
}

// The report of the list as shown and the scenario as it stands now (not as it was at the
// run), printed into a PDF file and read back; each copy starts on a page of its own.
void TestFileCommands::printedReport()
{
    QFETCH(Mode, mode);
    QFETCH(int, copies);
    Fixture f;
    if (mode == Mode::Totals)
        f.get<QRadioButton>("totalsButton")->click();
    f.get<QLineEdit>("scenarioEdit")->setText(QStringLiteral("Norra länken"));
    const QString pdfPath = f.dir.filePath("report.pdf");
    f.prompts.printerAnswer = true;
    f.prompts.onPrinter = [&](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfPath);
        printer.setCopyCount(copies);
    };
    f.trigger("printAction");
    QVERIFY(f.prompts.messages.isEmpty());
    const std::optional<PdfText> pdf = readPdf(pdfPath);
    QVERIFY(pdf);

    QStringList copy;
    const auto lines = lv::files::reportLines("Norra länken", mode,
                                              f.window.findChild<lv::gui::ResultTab *>()->rows(),
                                              QDateTime::currentDateTime());
    for (const lv::files::ReportLine &line : lines) {
        if (!asPrinted(line.text).isEmpty())
            copy.append(asPrinted(line.text));
    }
    const QString unit = mode == Mode::PerKm ? " [l/km]" : " [l]";
    QVERIFY(copy.contains(cellText(*f.results(), 1, 1) + unit));
    QVERIFY(copy.contains(mode == Mode::PerKm ? "Effekter/km" : "Totala Effekter"));
    QVERIFY(copy.contains("Delsträcka: 300 - 700"));
    QCOMPARE(pdf->lines.size(), copy.size() * copies);
    for (int c = 0; c < copies; ++c) {
        const qsizetype first = c * copy.size();
        QVERIFY(c == 0 || pdf->lines[first].page > pdf->lines[first - 1].page);
        copy[1] = pdf->lines[first + 1].text; // the date line
        QCOMPARE(pdf->texts().mid(first, copy.size()), copy);
    }
}

// A printer that cannot start is reported; nothing else changes.
void TestFileCommands::printerFailureIsReported()
{
    Fixture f;
    QVERIFY(QFile(f.dir.filePath("plain")).open(QIODevice::WriteOnly));
    f.prompts.printerAnswer = true;
    f.prompts.onPrinter = [&](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(f.dir.filePath("plain/report.pdf"));
        printer.setCopyCount(2);
    };
    const Fixture::State before = f.state();
    f.trigger("printAction");
    const Message expected{"Rapporten skrevs inte ut: PDF-filen report.pdf kunde inte skapas.",
                           "Skriv ut resultat", MessageIcon::Exclamation};
    QCOMPARE(f.prompts.messages, QList<Message>{expected});
    QVERIFY(f.state() == before);
}

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
