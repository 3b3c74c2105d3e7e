#include "core/files/report.h"
#include "core/text/textfile.h"
#include "gui/files/filecommands.h"
#include "gui/files/reportprinter.h"
#include "gui/prompts/filedialogs.h"
#include "gui/results/resulttab.h"
#include "gui/windowdriver.h"
#include "render/reportpages.h"

#include <QPrinter>

#include <unistd.h>

using lv::MessageIcon;
using lv::SaveAnswer;
using lv::files::InputDocument;
using Message = RecordingPrompts::Message;
using namespace Qt::StringLiterals;

namespace {

// The main window on the small test workbooks after a run on a two-segment tunnel, with the
// stretch 300 - 700 added.
struct Fixture : WindowFixture
{
    QTemporaryDir dir;

    Fixture() : WindowFixture(LUFTVAKA_TEST_DATA "/calc")
    {
        runTestTunnel("Södra länken");
        addStretch("300:700");
    }
    // Everything a file command might touch: the input, the result list, its mode and the
    // result tab and menus.
    std::pair<InputDocument, QStringList> state()
    {
        return {window.inputDocument(),
                texts(*results()) << QString::number(get<QRadioButton>("perKmButton")->isChecked())
                                  << QString::number(tabs()->isTabEnabled(1))
                                  << QString::number(get<QAction>("saveResultsAction")->isEnabled())
                                  << QString::number(get<QAction>("printAction")->isEnabled())};
    }
};

// A PDF file's text lines as pdftotext -bbox (poppler-utils) reads them back, each with its
// page and, in points, the top, left and bottom and the right of its first word:
// "page|top|left|bottom|right|text".
QStringList pdfLines(const QString &path)
{
    QProcess process;
    process.start("pdftotext", {"-bbox", path, "-"});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {"pdftotext failed"};
    static const QRegularExpression tag("<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" "
                                        "xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>");
    // Ligatures such as "ff" come back as one character; spell them out.
    const QString pdf = QString::fromUtf8(process.readAllStandardOutput())
                            .normalized(QString::NormalizationForm_KC);
    QStringList lines;
    int page = -1;
    double top = -1;
    for (auto it = tag.globalMatch(pdf); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0) == "<page ") {
            ++page;
        } else if (m.captured(2).toDouble() == top && !lines.isEmpty()) {
            lines.last() += ' ' + m.captured(5).replace("&amp;", "&");
        } else {
            top = m.captured(2).toDouble();
            lines << QStringList{QString::number(page), m.captured(2),
                                 m.captured(1),         m.captured(4),
                                 m.captured(3),         m.captured(5).replace("&amp;", "&")}
                         .join('|');
        }
    }
    return lines;
}

// The lines of a report with text, as printed: blanks and TABs run together.
QStringList printedTexts(const std::vector<lv::files::ReportLine> &lines)
{
    QStringList texts;
    for (const lv::files::ReportLine &line : lines) {
        if (!line.text.simplified().isEmpty())
            texts << line.text.simplified();
    }
    return texts;
}

// Runs a command as root would, to make a directory refuse new files.
bool runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(30000) && process.exitCode() == 0;
}

struct Save
{
    const char *name, *item, *setUp, *file;
};
const Save kSaves[] = {{"input", "saveInputAction", "", "input_small.dat"},
                       {"input, empty list", "saveInputAction", "empty list", "input_empty.dat"},
                       {"results per km", "saveResultsAction", "", "result_perkm.eff"},
                       {"results, totals", "saveResultsAction", "totals", "result_totals.eff"},
                       {"results, none left", "saveResultsAction", "no rows", "result_empty.eff"}};

// "Öppna indata..." on in.dat holding these lines (| between them), or on another name.
struct Open
{
    const char *name, *file, *lines;
    const char *message; // empty: opened, or not readable at all and nothing said
};
const char *const kValid =
    "Emissionsberäkning tunnlar: Indata|||S|2020| 2 |||"
    "2,5\t1\t0\t70\t1\t70\t1\t70\t1|3,5\t2\t0\t70\t1\t70\t1\t70\t1||SPS-tal:|";
const Open kOpens[] = {{"segment numbers round half to even", "in.dat", "10\t0,5", ""},
                       {"empty file", "in.dat", nullptr, "Ogiltig indatafil"},
                       {"number out of range", "in.dat", "10\t1e39",
                        "Ogiltig indatafil: fält 2 på rad 13 ligger utanför talområdet: \"1e39\"."},
                       {"no such file", "gone.dat", "", ""},
                       {"a directory", "folder.dat", "", ""},
                       {"cancelled", "", "", ""}};

InputDocument readBack(const QString &path)
{
    const auto bytes = lv::text::readWholeFile(path);
    const auto document = bytes ? lv::files::readInputFile(*bytes) : InputDocument{};
    return document ? *document : InputDocument{"<unreadable>", {}, {}, {}, {}};
}

// The small tunnel "Södra länken": 400 m at 0 %, 600 m at 3 %, 2005, SPS 10, share 0.
const QString kSmallPath = QStringLiteral(LUFTVAKA_TEST_DATA "/gui/files/input_small.dat");
const InputDocument kSmall = readBack(kSmallPath);

// The window on the small test workbooks with the small tunnel opened from tunnel.dat.
struct OpenedFixture : WindowFixture
{
    QTemporaryDir dir;
    QString path = dir.filePath("tunnel.dat");

    OpenedFixture() : WindowFixture(LUFTVAKA_TEST_DATA "/calc")
    {
        if (!QFile::copy(kSmallPath, path) || !window.openInputPath(path))
            qFatal("cannot open the small tunnel");
    }
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

Q_DECLARE_METATYPE(Save)
Q_DECLARE_METATYPE(Open)
Q_DECLARE_METATYPE(LosingCase)
Q_DECLARE_METATYPE(FaultCase)

class TestFiles : public QObject
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

    void cancelledCommandsDoNothing()
    {
        Fixture f;
        const auto before = f.state();
        for (const char *item :
             {"openAction", "saveInputAction", "saveResultsAction", "printAction"})
            f.trigger(item);
        QCOMPARE(f.prompts.fileDialogs,
                 QStringList({"Öppna indata | Indata, emissionsberäkning (*.dat)",
                              "Spara indata | Indata, emissionsberäkning (*.dat)",
                              "Spara resultat | Emissions effekter (*.eff)"}));
        QCOMPARE(f.prompts.printerRequests, 1);
        QVERIFY(f.prompts.messages.isEmpty() && f.state() == before);
    }

    // The files byte for byte, the date line (line 2) aside; the result file for the list as
    // shown, in its mode.
    void savedFiles_data() { addCases(kSaves); }
    void savedFiles()
    {
        QFETCH(Save, c);
        Fixture f;
        const QString setUp = c.setUp;
        if (setUp == "empty list")
            f.window.setInputDocument(InputDocument{"Södra länken", "", {}, "", "0"});
        if (setUp == "totals")
            f.click("totalsButton");
        for (int i = 0; setUp == "no rows" && i < 2; ++i) {
            f.results()->setCurrentIndex(f.results()->model()->index(0, 0));
            f.click("removeRowButton");
        }
        f.prompts.saveAnswers = {f.dir.filePath(c.file)};
        f.trigger(c.item);
        QVERIFY(f.prompts.messages.isEmpty());
        const QByteArray expected = fileBytes(LUFTVAKA_TEST_DATA "/gui/files/" + QString(c.file));
        QList<QByteArray> lines = fileBytes(f.dir.filePath(c.file)).split('\n');
        QVERIFY(lines.size() > 2 && !lines[1].trimmed().isEmpty());
        lines[1] = expected.split('\n').value(1);
        QCOMPARE(lines.join('\n'), expected);
        // The input file's air values go beside it, in its .luft file.
        QStringList written = {c.file};
        if (QString(c.item) == "saveInputAction")
            written << QString(c.file).replace(".dat", ".luft");
        written.sort();
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), written);
    }

    // "Öppna indata..." replaces the input only. A faulty file is refused whole with a message
    // naming the line, and a file that cannot be read at all ends the command without a word;
    // either way nothing changes.
    void open_data() { addCases(kOpens); }
    void open()
    {
        QFETCH(Open, c);
        Fixture f;
        f.click("totalsButton");
        auto expected = f.state();
        QFile file(f.dir.filePath("in.dat"));
        const QString text = c.lines ? QString(kValid + QString(c.lines)).replace('|', "\r\n") : "";
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(*lv::text::encode1252(text)) >= 0);
        file.close();
        QVERIFY(QDir(f.dir.path()).mkdir("folder.dat"));
        if (*c.file)
            f.prompts.openAnswers = {f.dir.filePath(c.file)};
        f.trigger("openAction");
        const QString message = c.message;
        if (message.isEmpty() && QString(c.file) == "in.dat")
            expected.first = {"S",
                              "2020",
                              {segment("2", "1", "0", "70", "1", "70", "1", "70", "1"),
                               segment("4", "2", "0", "70", "1", "70", "1", "70", "1")},
                              "10",
                              "0,5"};
        const Message wanted{message, "Indata fel", MessageIcon::Exclamation};
        QCOMPARE(f.prompts.messages, message.isEmpty() ? QList<Message>() : QList<Message>{wanted});
        QVERIFY(f.state() == expected);
    }

    // A save that cannot be done leaves the old file as it was, leaves no temporary file behind
    // and says so under the command's title; the user's input stays in the window. The input
    // fails on a scenario outside the code page, the results on a full disk.
    void failedSaveKeepsTheOldFile()
    {
        for (const QString item : {"saveInputAction", "saveResultsAction"}) {
            const bool input = item == "saveInputAction";
            Fixture f;
            const QString folder = input ? f.dir.path() : f.dir.filePath("small");
            bool mounted = false;
            const auto unmount = qScopeGuard([&] { mounted &&runTool("umount", {folder}); });
            if (!input) {
                if (geteuid() != 0)
                    QSKIP("only root can mount a small file system to fill up");
                QVERIFY(QDir(f.dir.path()).mkdir("small"));
                mounted = runTool("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", folder});
                if (!mounted)
                    QSKIP("mounting a small tmpfs is not allowed here");
            }
            const QString path = QDir(folder).filePath("out.dat");
            QFile old(path), fill(QDir(folder).filePath("filler"));
            QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old\r\n") == 5 && old.flush());
            while (!input && (fill.isOpen() || fill.open(QIODevice::WriteOnly)) &&
                   fill.write(QByteArray(1024, 'x')) == 1024 && fill.flush()) {
            }
            if (input)
                f.setText("scenarioEdit", u"Södra länken → E4"_qs);
            const auto before = f.state();
            f.prompts.saveAnswers = {path};
            f.trigger(item);
            const Message m = f.prompts.messages.value(0);
            QCOMPARE(f.prompts.messages.size(), 1);
            QCOMPARE(m.title + (m.icon == MessageIcon::Exclamation ? "!" : "?"),
                     input ? "Spara indata!" : "Spara resultat!");
            QVERIFY2(m.text.startsWith("Filen out.dat sparades inte") &&
                         (!input || m.text.contains(u'→')),
                     qPrintable(m.text));
            QVERIFY(f.state() == before && fileBytes(path) == "old\r\n");
            QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                     input ? QStringList{"out.dat"} : QStringList({"filler", "out.dat"}));
        }
    }

    // The report of the list as shown and the scenario as it stands now (not as it was at the
    // run), printed into a PDF file and read back. A printer that cannot start is reported.
    // Either way nothing else changes.
    void printedReport()
    {
        for (const QString pdf : {"report.pdf", "plain/report.pdf"}) {
            Fixture f;
            f.click("totalsButton");
            f.setText("scenarioEdit", "Norra länken");
            QVERIFY(QFile(f.dir.filePath("plain")).open(QIODevice::WriteOnly));
            f.prompts.printerAnswer = true;
            f.prompts.onPrinter = [&](QPrinter &printer) {
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(f.dir.filePath(pdf));
            };
            const auto before = f.state();
            f.trigger("printAction");
            QVERIFY(f.state() == before);
            if (pdf != "report.pdf") {
                const Message expected{
                    "Rapporten skrevs inte ut: PDF-filen report.pdf kunde inte skapas.",
                    "Skriv ut resultat", MessageIcon::Exclamation};
                QCOMPARE(f.prompts.messages, QList<Message>{expected});
                continue;
            }
            QVERIFY(f.prompts.messages.isEmpty());
            std::vector<lv::files::ReportLine> report;
            for (const auto &block : lv::files::reportBlocks(
                     "Norra länken", lv::results::Mode::Totals,
                     f.window.findChild<lv::gui::ResultTab *>()->rows(),
                     QDateTime::currentDateTime(), {}, f.window.runState().get()))
                report.insert(report.end(), block.begin(), block.end());
            QStringList copy = printedTexts(report);
            QVERIFY(copy.contains("Delsträcka: 300 - 700") &&
                    copy.contains(f.result(1, 1) + " [l]"));
            QStringList lines = pdfLines(f.dir.filePath(pdf));
            for (QString &line : lines)
                line = line.section('|', 5);
            copy[1] = lines.value(1); // the date line
            // Each page ends with its number; the second stretch's block goes whole to page 2.
            QCOMPARE(lines.removeIf([](const QString &line) { return line.startsWith("Sida "); }),
                     2);
            QCOMPARE(lines, copy);
        }
    }

    // Long reports: every line with text comes out in order at the left margin, inside the
    // printable area, and a page ends only when the next line would not fit; each copy starts
    // on a new page, and the printer's own copy count is left at 1 so nothing is multiplied
    // again. Sizes and weights as the lines ask; each line, empty ones too, advances by its
    // font's height.
    void reportLayout()
    {
        lv::results::ResultRow row{"Totalt", {}};
        row.values.fill("1,25");
        auto lines =
            lv::files::reportLines("Tunnel", lv::results::Mode::PerKm, std::vector(12, row),
                                   QDateTime(QDate(2024, 5, 17), {}));
        const QString text = "Delsträcka:";
        lines.insert(lines.begin(), {{text, 14, true},
                                     {text, 10, true},
                                     {text, 10, false},
                                     {"", 10, false},
                                     {text, 10, false}});
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("report.pdf"));
        printer.setCopyCount(2);
        lv::render::ReportDocument document;
        for (const auto &line : lines)
            document.blocks.push_back({line});
        QVERIFY(lv::gui::printReport(printer, document));
        QCOMPARE(printer.copyCount(), 1);
        const QRectF area = printer.pageLayout().paintRect(QPageLayout::Point);
        const QStringList one = printedTexts(lines);
        QStringList pdf = pdfLines(printer.outputFileName());
        // Every page ends with its number; the lines are checked without them.
        const qsizetype numbered = pdf.removeIf(
            [](const QString &line) { return line.section('|', 5).startsWith("Sida "); });
        QCOMPARE(pdf.size(), 2 * one.size());
        QCOMPARE(numbered, qsizetype(pdf.last().section('|', 0, 0).toInt() + 1));
        const auto at = [&](qsizetype i, int field) {
            return pdf[i].section('|', field, field).toDouble();
        };
        const qsizetype pagesPerCopy = qsizetype(at(one.size() - 1, 0)) + 1;
        QVERIFY(pagesPerCopy >= 3);
        const double lineHeight = at(6, 3) - at(6, 1);
        for (qsizetype i = 0; i < pdf.size(); ++i) {
            QCOMPARE(pdf[i].section('|', 5), one[i % one.size()]);
            QCOMPARE(at(i, 0), double(i / one.size() * pagesPerCopy + at(i % one.size(), 0)));
            QVERIFY(qAbs(at(i, 2) - area.left()) < 0.5);
            QVERIFY(at(i, 1) >= area.top() - 0.01 && at(i, 3) <= area.bottom() + 0.01);
            const bool pageEnds = i + 1 < pdf.size() && at(i + 1, 0) != at(i, 0);
            if (pageEnds && (i + 1) % one.size() != 0)
                QVERIFY(at(i, 3) + 4 * lineHeight > area.bottom()); // the foot keeps room
        }
        // 14 pt bold, 10 pt bold, 10 pt, an empty line, 10 pt.
        const auto height = [&](int i) { return at(i, 3) - at(i, 1); };
        QVERIFY(qAbs(height(0) / height(1) - 1.4) < 0.05 && qAbs(height(1) - height(2)) < 0.01);
        QVERIFY(qAbs(at(0, 1) - area.top()) < 0.1);
        QVERIFY(at(1, 4) - at(1, 2) > (at(2, 4) - at(2, 2)) * 1.05); // bold is wider
        QVERIFY(qAbs(at(2, 1) - at(1, 1) - height(2)) < 0.01);
        QVERIFY(qAbs(at(3, 1) - at(2, 1) - 2 * height(2)) < 0.01);
    }

    // Forty stretches fill several pages, and a page of its own follows: each page ends with
    // "Sida N av M", and every stretch's block (its heading down to its rule) stands on one page.
    void pagesKeepBlocks()
    {
        std::vector<lv::results::ResultRow> rows;
        for (int i = 0; i < 40; ++i) {
            rows.push_back({QString::number(i) + " - " + QString::number(i + 1), {}});
            rows.back().values.fill("1,5");
        }
        const auto blocks = lv::files::reportBlocks("Tunnel", lv::results::Mode::PerKm, rows,
                                                    QDateTime(QDate(2024, 5, 17), {}), "Not");
        const auto extra = [](QPainter &painter, const QRectF &area) {
            painter.drawText(area.center(), "Extra");
        };
        const auto pdf = lv::render::reportPdf({blocks, {extra}}, "Tunnel");
        QVERIFY(pdf.ok() && pdf->startsWith("%PDF"));
        QTemporaryDir dir;
        QVERIFY(lv::text::saveFile(dir.filePath("r.pdf"), *pdf));
        QStringList lines = pdfLines(dir.filePath("r.pdf"));
        for (QString &line : lines) // page|text
            line = line.section('|', 0, 0) + '|' + line.section('|', 5);

        const int pages = lines.last().section('|', 0, 0).toInt() + 1;
        QVERIFY(pages >= 5);
        QStringList numbers = lines.filter("|Sida ");
        QCOMPARE(numbers.size(), pages);
        for (int page = 0; page < pages; ++page)
            QCOMPARE(numbers[page], u"%1|Sida %2 av %3"_s.arg(page).arg(page + 1).arg(pages));
        int blocksSeen = 0;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (!lines[i].contains("|Delsträcka: "))
                continue;
            ++blocksSeen;
            qsizetype end = i;
            while (!lines[end].endsWith("-----"))
                ++end;
            QCOMPARE(end - i, 15); // heading, 7 titles, 7 values, then the rule
            QCOMPARE(lines[end].section('|', 0, 0), lines[i].section('|', 0, 0));
        }
        QCOMPARE(blocksSeen, 40);
        QCOMPARE(
            lines.mid(lines.size() - 4).join(u'/').section('|', 1),
            u"Not/%1|Sida %2 av %3/%2|Extra/%2|Sida %3 av %3"_s.arg(pages - 2).arg(pages - 1).arg(
                pages));
    }

    // "Spara som PDF..." from the window on the shipped workbooks: the summary of the run with
    // the demonstration line; a folder that does not exist gives a message and no file.
    void savePdf()
    {
        WindowFixture f(LUFTVAKA_BIN_DIR);
        f.runTestTunnel("Norra länken");
        QTemporaryDir dir;
        f.prompts.saveAnswers = QStringList{dir.filePath("rapport.pdf"), dir.filePath("no/r.pdf")};
        f.trigger("savePdfAction");
        QVERIFY(f.prompts.messages.isEmpty());
        QStringList texts;
        for (const QString &line : pdfLines(dir.filePath("rapport.pdf")))
            texts << line.section('|', 5);
        for (const char *expected :
             {"Scenario: Norra länken", "Beräkningsår: 2005", "SPS-tal (75 km/h): 10 [g/fkm]",
              "Antal segment: 2", "Tunnellängd: 1000 [m]",
              "Obs! Faktorerna är demonstrationsvärden ur de medföljande", "Luftbehov"})
            QVERIFY2(texts.contains(expected), expected);
        QCOMPARE(texts.filter(QRegularExpression("^(pb|lb)_bara_glid_data.xls, ändrad \\d")).size(),
                 2);

        f.trigger("savePdfAction");
        QCOMPARE(f.prompts.messages.size(), 1);
        QCOMPARE(f.prompts.messages[0].title, u"Spara som PDF"_s);
        QVERIFY(!QFile::exists(dir.filePath("no/r.pdf")));
    }

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
        OpenedFixture f;
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
        OpenedFixture f;
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
        QCOMPARE(seen, QStringList({"Effektberäkning: Luftvaka – tunnel.dat 0",
                                    "Effektberäkning: Luftvaka[*] 1",
                                    "Effektberäkning: Luftvaka – tunnel.dat[*] 1",
                                    "Effektberäkning: Luftvaka – tunnel.dat 0",
                                    "Effektberäkning: Luftvaka – kopia.dat 0"}));
        QCOMPARE(readBack(f.path).sps, u"13"_qs);
        QCOMPARE(f.window.recentFiles().join(u' ').remove(f.dir.path() + '/'),
                 u"kopia.dat tunnel.dat ny.dat"_qs);
        // A recent file that is gone: its message, and it leaves the list.
        QVERIFY(QFile::remove(f.dir.filePath("ny.dat")));
        f.get<QMenu>("recentMenu")->actions().at(2)->trigger();
        QCOMPARE(f.prompts.messages.size(), 1);
        QCOMPARE(f.window.recentFiles().join(u' ').remove(f.dir.path() + '/'),
                 u"kopia.dat tunnel.dat"_qs);
    }

    // "Ta bort" removes at once and "Ångra" puts the row back in its place: a segment, then a
    // result row; "Gör om" removes it again. Switching the result mode forgets the steps, as a
    // kept row would hold the other mode's values.
    void undoRemoval()
    {
        OpenedFixture f;
        QVERIFY(f.run());
        f.addStretch("100:500");
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
        OpenedFixture f;
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
        OpenedFixture f;
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
};

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
