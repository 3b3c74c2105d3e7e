#include "core/files/report.h"
#include "gui/files/pdflines.h"
#include "gui/files/reportprinter.h"

#include <QFile>
#include <QPrinter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using lv::files::ReportLine;
using lv::results::Mode;
using lv::results::ResultRow;

namespace {

// The report's lines are checked by the core's tests; here they are printed into a PDF file and
// read back with their places.
struct PdfPrinter
{
    QTemporaryDir dir;
    QPrinter printer{QPrinter::HighResolution};
    std::optional<PdfText> pdf;

    PdfPrinter(const std::vector<ReportLine> &lines, int copies = 1)
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("report.pdf"));
        printer.setCopyCount(copies);
        if (lv::gui::printReport(printer, lines))
            pdf = readPdf(printer.outputFileName());
    }

    // The printable area in points from the page's top left corner.
    QRectF area() const { return printer.pageLayout().paintRect(QPageLayout::Point); }
};

} // namespace

class TestReportPrinter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QFAIL("pdftotext is missing (Debian poppler-utils; tools/install-deps.sh --test)");
    }
    void init() { QLocale::setDefault(QLocale(QStringLiteral("sv_SE"))); }

    void printed_data();
    void printed();
    void fontsAndLineAdvance();
};

void TestReportPrinter::printed_data()
{
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("copies");
    QTest::newRow("per km") << Mode::PerKm << 2 << 1;
    QTest::newRow("totals, two copies") << Mode::Totals << 1 << 2;
    QTest::newRow("empty list, three copies") << Mode::PerKm << 0 << 3;
    QTest::newRow("two copies, each over several pages") << Mode::PerKm << 5 << 2;
    QTest::newRow("twelve rows") << Mode::Totals << 12 << 1;
}

// Every line with text comes out in order at the left margin, inside the printable area; each
// copy starts on a new page in the one PDF file, and the printer's own copy count is left at 1
// so nothing is multiplied again. A page ends only when the next line would not fit.
void TestReportPrinter::printed()
{
    QFETCH(Mode, mode);
    QFETCH(int, rows);
    QFETCH(int, copies);
    ResultRow row{QStringLiteral("Totalt"), {}};
    row.values.fill(QStringLiteral("1,25"));
    const auto lines = lv::files::reportLines("Tunnel", mode, std::vector(std::size_t(rows), row),
                                              QDateTime(QDate(2024, 5, 17), QTime(14, 3, 9)));
    QStringList one;
    for (const ReportLine &line : lines) {
        if (!asPrinted(line.text).isEmpty())
            one.append(asPrinted(line.text));
    }
    PdfPrinter out(lines, copies);
    QVERIFY(out.pdf);
    const PdfText &pdf = *out.pdf;
    QCOMPARE(out.printer.copyCount(), 1);
    QCOMPARE(pdf.lines.size(), one.size() * copies);
    const int pagesPerCopy = pdf.lines[one.size() - 1].page + 1;
    QCOMPARE(pdf.pageCount, pagesPerCopy * copies);
    const QRectF area = out.area();
    const double lineHeight = pdf.lines.last().bottom - pdf.lines.last().top;
    for (qsizetype i = 0; i < pdf.lines.size(); ++i) {
        const PdfLine &line = pdf.lines[i];
        QCOMPARE(line.text, one[i % one.size()]);
        QCOMPARE(line.page, int(i / one.size()) * pagesPerCopy + pdf.lines[i % one.size()].page);
        QVERIFY(qAbs(line.left - area.left()) < 0.5);
        QVERIFY(line.top >= area.top() - 0.01 && line.bottom <= area.bottom() + 0.01);
        // The last line of a page within a copy: the next line, or the empty one after it,
        // did not fit.
        const bool pageEnds = i + 1 < pdf.lines.size() && pdf.lines[i + 1].page != line.page;
        if (pageEnds && (i + 1) % one.size() != 0)
            QVERIFY(line.bottom + 2 * lineHeight > area.bottom());
    }
    if (rows == 12)
        QVERIFY(pdf.pageCount >= 3);
}

// Sizes and weights as the lines ask; each line, empty ones too, advances by its font's height.
void TestReportPrinter::fontsAndLineAdvance()
{
    const QString text = QStringLiteral("Delsträcka:");
    PdfPrinter out({{text, 14, true},
                    {text, 10, true},
                    {text, 10, false},
                    {"", 10, false},
                    {text, 10, false}});
    QVERIFY(out.pdf);
    const QList<PdfLine> &lines = out.pdf->lines;
    QCOMPARE(lines.size(), 4);
    const auto height = [&](int i) { return lines[i].bottom - lines[i].top; };
    QVERIFY(qAbs(height(0) / height(1) - 1.4) < 0.05);
    QVERIFY(qAbs(height(1) - height(2)) < 0.01);
    // Bold is wider than regular at the same size.
    QVERIFY(lines[1].right - lines[1].left > (lines[2].right - lines[2].left) * 1.05);
    // One line advance between lines 2 and 3, two across the empty line.
    const double advance = lines[2].top - lines[1].top;
    QVERIFY(qAbs(advance - height(2)) < 0.01);
    QVERIFY(qAbs(lines[3].top - lines[2].top - 2 * advance) < 0.01);
    QVERIFY(qAbs(lines[0].top - out.area().top()) < 0.1);
}

QTEST_MAIN(TestReportPrinter)
#include "tst_reportprinter.moc"
