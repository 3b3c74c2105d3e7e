#include "core/files/csvfile.h"
#include "core/results/alongtunnel.h"
#include "core/text/numbertext.h"

#include <QTest>

using namespace lv;
using namespace lv::results;
using namespace Qt::StringLiterals;

namespace {

const QLocale kSv(QStringLiteral("sv_SE"));
const QLocale kUs(QStringLiteral("en_US"));

// Three segments: 400 m at 3 %, 250,5 m at -8 % (off the grid) and 100 m at 9 % (off the grid);
// quantity q has the rate q * 10 + segment position, the PM10 parts 8..11 therefore 80..110.
calc::RunState makeRun()
{
    calc::RunState run;
    run.recreate(3);
    const float lengths[] = {400, 250.5f, 100};
    const int16_t slopes[] = {3, -8, 9};
    for (std::size_t i = 0; i < 3; ++i) {
        run.segmentLength[i] = lengths[i];
        run.segmentSlope[i] = slopes[i];
        for (std::size_t q = 1; q <= 11; ++q)
            run.segmentRates(q, i) = double(q * 10 + i);
    }
    return run;
}

} // namespace

class TestAlongTunnel : public QObject
{
    Q_OBJECT

private slots:
    // Chainage and height add up segment by segment; total PM10 is the four parts; the marks
    // follow the slope the run holds; a missing number text stays empty.
    void rows()
    {
        const auto rows = alongTunnelRows(makeRun(), {u"10"_s, u"20"_s});
        QCOMPARE(rows.size(), std::size_t(3));
        const std::tuple<QString, float, float, double, bool, double> expected[] = {
            {u"10"_s, 0, 400, 12.0, false, 380},
            {u"20"_s, 400, 650.5f, -8.04, true, 384},
            {QString(), 650.5f, 750.5f, 0.96, true, 388},
        };
        for (std::size_t i = 0; i < 3; ++i) {
            const auto &[number, start, end, height, offGrid, pm10] = expected[i];
            QCOMPARE(rows[i].number, number);
            QCOMPARE(rows[i].start, start);
            QCOMPARE(rows[i].end, end);
            QVERIFY(std::fabs(rows[i].height - height) < 1e-9);
            QCOMPARE(rows[i].offGrid, offGrid);
            QCOMPARE(rows[i].rates[kTotalPm10], pm10);
            QCOMPARE(rows[i].rates[7], 70.0 + double(i));
        }
        QVERIFY(alongTunnelRows(calc::RunState(), {u"1"_s}).empty());
    }

    // The texts of a row in both locales, and the decimals: four significant digits of a
    // column's largest value; headers carry the units.
    void texts()
    {
        auto rows = alongTunnelRows(makeRun(), {u"1"_s, u"2"_s, u"3"_s});
        rows[0].rates[1] = 20733.4;
        rows[1].rates[2] = 0.012345;
        const auto decimals = alongDecimals(rows);
        QCOMPARE(alongTunnelTexts(rows[1], decimals, kSv),
                 (QStringList{"2", "400,0", "650,5", "250,5", "-8", kOffGridMark, "-8,04", "11",
                              "0,01", "31,00", "81,00", "41,00", "91,00", "51,00", "101,0", "61,00",
                              "111,0", "71,00", "384,0"}));
        QCOMPARE(alongTunnelTexts(rows[0], decimals, kUs).mid(6, 3),
                 (QStringList{"12.00", "20733", "20.00"}));
        const QStringList headers = alongTunnelHeaders();
        QCOMPARE(headers.size(), kAlongColumnCount);
        QCOMPARE(headers[1] + u'|' + headers[7] + u'|' + headers[8] + u'|' + headers[17] + u'|' +
                     headers[18],
                 u"Kedjemått start [m]|Bränsle [l/(km·h)]|NOx [g/(km·h)]|CO2 [kg/(km·h)]|"
                 "PM10 totalt [g/(km·h)]"_s);
        QCOMPARE(quantityOfKey(u"brake_pm10"_s), 10);
        QCOMPARE(quantityKey(12) + quantityKey(0) + QString::number(quantityOfKey(u"x"_s)),
                 u"pm100"_s);
    }

    // Fixed decimals: rounding, no minus on a zero, the locale's separator.
    void formatFixed()
    {
        QCOMPARE(text::formatFixed(2.345, 1, kSv), u"2,3"_s);
        QCOMPARE(text::formatFixed(-0.004, 2, kSv), u"0,00"_s);
        QCOMPARE(text::formatFixed(-1.5, 0, kUs), u"-2"_s);
        QCOMPARE(text::formatFixed(1e300, 1, kUs).size(), 303);
    }

    // CSV: byte-order mark, separator and decimal by locale, quoting of separators, quotes and
    // line breaks, CR LF line ends.
    void csv_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("sv") << kSv
                            << "\xEF\xBB\xBF"
                               "a;\"b;c\";\"say \"\"hi\"\"\"\r\n1,5;x,y;\"l1\nl2\"\r\n"_ba;
        QTest::newRow("us") << kUs
                            << "\xEF\xBB\xBF"
                               "a,b;c,\"say \"\"hi\"\"\"\r\n1.5,\"x,y\",\"l1\nl2\"\r\n"_ba;
    }
    void csv()
    {
        QFETCH(QLocale, locale);
        QFETCH(QByteArray, expected);
        const QString decimal = text::formatFixed(1.5, 1, locale);
        QCOMPARE(files::writeCsv({"a", "b;c", "say \"hi\""}, {{decimal, "x,y", "l1\nl2"}}, locale),
                 expected);
    }

    // The whole table as a file: one line per segment, ä written as UTF-8.
    void alongCsv()
    {
        const QByteArray csv =
            files::writeAlongTunnelCsv(alongTunnelRows(makeRun(), {"1", "2", "3"}), kSv);
        const QList<QByteArray> lines = csv.split('\n');
        QCOMPARE(lines.size(), 5);
        QVERIFY(lines[0].startsWith("\xEF\xBB\xBFSegment nr;Kedjem\xC3\xA5tt start [m];"));
        QVERIFY(
            lines[2].startsWith("2;400,0;650,5;250,5;-8;utanf\xC3\xB6r tabell;-8,04;11,00000;"));
    }
};

QTEST_GUILESS_MAIN(TestAlongTunnel)
#include "tst_alongtunnel.moc"
