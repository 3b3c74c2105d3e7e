#include "core/files/report.h"
#include "gui/files/pdflines.h"
#include "gui/files/reportprinter.h"

#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using lv::files::ReportLine;
using lv::results::Mode;
using lv::results::ResultRow;

namespace {

ResultRow row(const QString &label, const QString &first)
{
    ResultRow result{label, {}};
    result.values.fill(QStringLiteral("1,25"));
    result.values[0] = first;
    return result;
}

// The lines that carry text, as the PDF gives them back.
QStringList printedTexts(const std::vector<ReportLine> &lines)
{
    QStringList texts;
    for (const ReportLine &line : lines) {
        if (!asPrinted(line.text).isEmpty())
            texts.append(asPrinted(line.text));
    }
    return texts;
}

// A printer writing a PDF file into the test's directory.
struct PdfPrinter
{
    QTemporaryDir dir;
    QPrinter printer{QPrinter::HighResolution};

    explicit PdfPrinter(int copies = 1)
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("report.pdf"));
        printer.setCopyCount(copies);
    }

    // The printable area in points from the page's top left corner.
    QRectF area() const { return printer.pageLayout().paintRect(QPageLayout::Point); }

    std::optional<PdfText> print(const std::vector<ReportLine> &lines)
    {
        const lv::Expected<void> printed = lv::gui::printReport(printer, lines);
        if (!printed) {
            qWarning("%s", qPrintable(printed.error().message));
            return std::nullopt;
        }
        return readPdf(printer.outputFileName());
    }
};

const QDateTime kPrintedAt(QDate(2024, 5, 17), QTime(14, 3, 9));

} // namespace

class TestReportPrinter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { QLocale::setDefault(QLocale(QStringLiteral("sv_SE"))); }

    void reportText_data();
    void reportText();
    void copies_data();
    void copies();
    void pageBreaks();
    void fontsAndLineAdvance();
    void pdfThatCannotBeCreated();
};

void TestReportPrinter::initTestCase()
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QFAIL("pdftotext is missing (Debian poppler-utils; tools/install-deps.sh --test)");
}

void TestReportPrinter::reportText_data()
{
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<std::vector<ResultRow>>("rows");
    QTest::addColumn<QStringList>("someLines");

    const std::vector<ResultRow> rows = {row("Totalt", "12,35"), row("300 - 700", "5,")};
    QTest::newRow("per km") << Mode::PerKm << rows
                            << QStringList{"Effekter/km", "Delsträcka: Totalt", "12,35 [l/km]",
                                           "1,25, varav PM10: 1,25 [g/km]", "5, [l/km]"};
    QTest::newRow("totals") << Mode::Totals << rows
                            << QStringList{"Totala Effekter", "Delsträcka: 300 - 700", "5, [l]",
                                           "1,25 [kg]"};
    QTest::newRow("empty list") << Mode::PerKm << std::vector<ResultRow>{}
                                << QStringList{"Emissionsberäkning tunnlar", "2024-05-17 14:03:09",
                                               "Tunnel", "Effekter/km", QString(57, u'-')};
}

// Every line with text comes out, in order, at the left margin.
void TestReportPrinter::reportText()
{
    QFETCH(Mode, mode);
    QFETCH(std::vector<ResultRow>, rows);
    QFETCH(QStringList, someLines);
    const auto lines = lv::files::reportLines("Tunnel", mode, rows, kPrintedAt);
    PdfPrinter out;
    const auto pdf = out.print(lines);
    QVERIFY(pdf);
    QCOMPARE(pdf->texts(), printedTexts(lines));
    for (const QString &line : someLines)
        QVERIFY2(pdf->texts().contains(line), qPrintable(line));
    if (rows.empty())
        QCOMPARE(pdf->texts().last(), QString(57, u'-'));
    for (const PdfLine &line : pdf->lines)
        QVERIFY(qAbs(line.left - out.area().left()) < 0.5);
}

void TestReportPrinter::copies_data()
{
    QTest::addColumn<int>("copies");
    QTest::addColumn<int>("rows");
    QTest::newRow("one") << 1 << 1;
    QTest::newRow("two") << 2 << 1;
    QTest::newRow("three, empty list") << 3 << 0;
    QTest::newRow("two, each over several pages") << 2 << 5;
}

// Into a PDF file the copies follow one another in one document, each from a new page; the
// printer's own copy count is left at 1 so nothing is multiplied again.
void TestReportPrinter::copies()
{
    QFETCH(int, copies);
    QFETCH(int, rows);
    const auto lines = lv::files::reportLines(
        "Tunnel", Mode::PerKm, std::vector<ResultRow>(std::size_t(rows), row("Totalt", "1")),
        kPrintedAt);
    const QStringList one = printedTexts(lines);
    PdfPrinter out(copies);
    const auto pdf = out.print(lines);
    QVERIFY(pdf);
    QCOMPARE(out.printer.copyCount(), 1);
    QCOMPARE(pdf->lines.size(), one.size() * copies);
    int pagesPerCopy = 0;
    for (int c = 0; c < copies; ++c) {
        const qsizetype first = c * one.size();
        QCOMPARE(pdf->texts().mid(first, one.size()), one);
        const int firstPage = pdf->lines[first].page;
        const int lastPage = pdf->lines[first + one.size() - 1].page;
        QVERIFY(c == 0 || firstPage == pdf->lines[first - 1].page + 1);
        if (c == 0)
            pagesPerCopy = lastPage + 1;
        QCOMPARE(lastPage - firstPage + 1, pagesPerCopy);
    }
    QCOMPARE(pdf->pageCount, pagesPerCopy * copies);
}

// A line that would pass the printable area goes to the top of the next page; no page ends
// while another line would still fit.
void TestReportPrinter::pageBreaks()
{
    const std::vector<ResultRow> rows(12, row("Totalt", "1"));
    const auto lines = lv::files::reportLines("Tunnel", Mode::PerKm, rows, kPrintedAt);
    PdfPrinter out;
    const auto pdf = out.print(lines);
    QVERIFY(pdf);
    QCOMPARE(pdf->texts(), printedTexts(lines));
    QVERIFY(pdf->pageCount >= 3);

    const QRectF area = out.area();
    const double lineHeight = pdf->lines.last().bottom - pdf->lines.last().top;
    for (int page = 0; page < pdf->pageCount; ++page) {
        QList<PdfLine> onPage;
        for (const PdfLine &line : pdf->lines) {
            if (line.page == page)
                onPage.append(line);
        }
        QVERIFY(!onPage.isEmpty());
        QVERIFY(onPage.first().top >= area.top() - 0.01);
        QVERIFY(onPage.last().bottom <= area.bottom() + 0.01);
        // Within two lines of the bottom: the next line, or the empty one after it, did not fit.
        if (page < pdf->pageCount - 1)
            QVERIFY(onPage.last().bottom + 2 * lineHeight > area.bottom());
    }
}

// Sizes and weights as the lines ask; each line, empty ones too, advances by its font's height.
void TestReportPrinter::fontsAndLineAdvance()
{
    const std::vector<ReportLine> lines = {{"Delsträcka:", 14, true},
                                           {"Delsträcka:", 10, true},
                                           {"Delsträcka:", 10, false},
                                           {"", 10, false},
                                           {"Delsträcka:", 10, false}};
    PdfPrinter out;
    const auto pdf = out.print(lines);
    QVERIFY(pdf);
    QCOMPARE(pdf->lines.size(), 4);
    const auto height = [&](int i) { return pdf->lines[i].bottom - pdf->lines[i].top; };
    QVERIFY(qAbs(height(0) / height(1) - 1.4) < 0.05);
    QVERIFY(qAbs(height(1) - height(2)) < 0.01);
    // Bold is wider than regular at the same size.
    const auto width = [&](int i) { return pdf->lines[i].right - pdf->lines[i].left; };
    QVERIFY(width(1) > width(2) * 1.05);
    // One line advance between lines 2 and 3, two across the empty line.
    const double advance = pdf->lines[2].top - pdf->lines[1].top;
    QVERIFY(qAbs(advance - height(2)) < 0.01);
    QVERIFY(qAbs(pdf->lines[3].top - pdf->lines[2].top - 2 * advance) < 0.01);
    // The first line starts at the top of the printable area.
    QVERIFY(qAbs(pdf->lines[0].top - out.area().top()) < 0.1);
}

void TestReportPrinter::pdfThatCannotBeCreated()
{
    QTemporaryDir dir;
    QVERIFY(QFile(dir.filePath("plain")).open(QIODevice::WriteOnly));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("plain/report.pdf"));
    printer.setCopyCount(2);
    const auto printed = lv::gui::printReport(printer, {{"x", 10, false}});
    QVERIFY(!printed);
    QCOMPARE(printed.error().message,
             QStringLiteral("Rapporten skrevs inte ut: PDF-filen report.pdf kunde inte skapas."));
}

QTEST_MAIN(TestReportPrinter)
#include "tst_reportprinter.moc"
