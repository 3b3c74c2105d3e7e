#include "core/files/report.h"
#include "gui/compare/comparisondialog.h"
#include "gui/compare/comparisonmodel.h"
#include "gui/windowdriver.h"
#include "render/reportpages.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

// A PDF's text lines as pdftotext -bbox reads them, each as "page|text".
QStringList pdfLines(const QString &path)
{
    QProcess process;
    process.start("pdftotext", {"-bbox", path, "-"});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {"pdftotext failed"};
    static const QRegularExpression tag("<page |<word [^>]*yMin=\"([\\d.]+)\"[^>]*>([^<]*)</word>");
    QStringList lines;
    int page = -1;
    QString top;
    for (auto it = tag.globalMatch(QString::fromUtf8(process.readAllStandardOutput()));
         it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0) == "<page ")
            ++page;
        else if (m.captured(1) == top && !lines.isEmpty())
            lines.last() += ' ' + m.captured(2);
        else
            lines << QString::number(page) + '|' + m.captured(2);
        top = m.captured(0) == "<page " ? QString() : m.captured(1);
    }
    return lines;
}

} // namespace

class TestReport : public QObject
{
    Q_OBJECT

private slots:
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
        QFile file(dir.filePath("r.pdf"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(*pdf) == pdf->size());
        file.close();
        const QStringList lines = pdfLines(file.fileName());

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
            const QString page = lines[i].section('|', 0, 0);
            qsizetype end = i;
            while (!lines[end].endsWith("-----"))
                ++end;
            QCOMPARE(end - i, 15); // heading, 7 titles, 7 values, then the rule
            QCOMPARE(lines[end].section('|', 0, 0), page);
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
        f.get<QAction>("savePdfAction")->trigger();
        QVERIFY(f.prompts.messages.isEmpty());
        QStringList texts;
        for (const QString &line : pdfLines(dir.filePath("rapport.pdf")))
            texts << line.section('|', 1);
        for (const char *expected :
             {"Scenario: Norra länken", "Beräkningsår: 2005", "SPS-tal (75 km/h): 10 [g/fkm]",
              "Antal segment: 2", "Tunnellängd: 1000 [m]",
              "Obs! Faktorerna är demonstrationsvärden ur de medföljande", "Luftbehov"})
            QVERIFY2(texts.contains(expected), expected);
        QCOMPARE(texts.filter(QRegularExpression("^Sida \\d av 2$")).size(), 2);
        QCOMPARE(texts.filter(QRegularExpression("^(pb|lb)_bara_glid_data.xls, ändrad \\d")).size(),
                 2);

        f.get<QAction>("savePdfAction")->trigger();
        QCOMPARE(f.prompts.messages.size(), 1);
        QCOMPARE(f.prompts.messages[0].title, u"Spara som PDF"_s);
        QVERIFY(!QFile::exists(dir.filePath("no/r.pdf")));
    }

    // The comparisons from the menu: years in a dialog whose selected rows copy with their
    // header; another input file beside the run.
    void compareFromMenu()
    {
        WindowFixture f(LUFTVAKA_TEST_DATA "/calc");
        QVERIFY(!f.get<QAction>("compareYearsAction")->isEnabled());
        f.runTestTunnel("S");
        const int dialogsBefore = f.prompts.dialogsShown;
        QStringList seen;
        f.prompts.onDialog = [&](QDialog &dialog) {
            auto *view = named<QTableView>(dialog, "comparisonView");
            seen << dialog.windowTitle() << QString::number(view->model()->rowCount())
                 << headerText(*view, 2) + ";" + headerText(*view, 3);
            view->selectRow(1);
            view->setFocus();
            QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        };
        f.get<QAction>("compareYearsAction")->trigger();
        QCOMPARE(seen, (QStringList{"Jämför år", "11", "2005;2010"}));
        const QStringList copied = QGuiApplication::clipboard()->text().split("\r\n");
        QCOMPARE(copied.size(), 3);
        QVERIFY(copied[0].startsWith("Delsträcka\tStorhet\t2005\t2010\t2020\tÄndring 2010 mot"));
        QVERIFY(copied[1].startsWith("Totalt\tNOx: [g/km]\t"));
        QCOMPARE(copied[1].count('\t'), 6);

        seen.clear();
        f.prompts.openAnswers = QStringList{LUFTVAKA_TEST_DATA "/cli/tunnel.dat"};
        f.get<QAction>("compareInputAction")->trigger();
        QCOMPARE(seen,
                 (QStringList{"Jämför med indatafil", "11", "Senaste beräkningen;tunnel.dat"}));
        f.get<QAction>("compareInputAction")->trigger(); // cancelled: nothing shown
        QCOMPARE(f.prompts.dialogsShown, dialogsBefore + 2);
        // The test workbooks' label warning, once per command however many runs it took.
        QCOMPARE(f.prompts.messages.size(), 2);
        QCOMPARE(f.prompts.messages[0].title, u"Luftvaka"_s);
    }
};

QTEST_MAIN(TestReport)
#include "tst_report.moc"
