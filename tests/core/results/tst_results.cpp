#include "core/results/resulttable.h"
#include "core/results/substretch.h"

#include <QLocale>
#include <QTest>

#include <cmath>

using namespace lv;
using namespace lv::results;

namespace {

// A run with the given segment lengths (m) and fuel rates (l/km); every other quantity q has
// the rate q times the fuel rate.
calc::RunState makeRun(const std::vector<float> &lengths, const std::vector<double> &fuel)
{
    calc::RunState run;
    run.recreate(int32_t(lengths.size()));
    float total = 0;
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        run.segmentLength[i] = lengths[i];
        for (std::size_t q = 1; q <= 11; ++q)
            run.segmentRates(q, i) = fuel[i] * double(q);
    }
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        for (std::size_t q = 1; q <= 11; ++q) {
            run.tunnelMeanRates[q] =
                float(lengths[i] * run.segmentRates(q, i) + double(run.tunnelMeanRates[q]));
        }
        total += lengths[i];
    }
    for (std::size_t q = 1; q <= 11; ++q)
        run.tunnelMeanRates[q] /= total;
    return run;
}

bool near(double a, double b)
{
    return std::fabs(a - b) <= 1e-5 * std::max(1.0, std::fabs(b));
}

} // namespace

class TestResults : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QStringLiteral("sv_SE"))); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // Two segments of 400 m and 600 m with fuel 0,1 and 0,2 l/km.
    void subStretch_data()
    {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("stop");
        QTest::addColumn<double>("total");
        QTest::addColumn<double>("perKm");
        QTest::newRow("worked example") << 300.0 << 700.0 << 0.07 << 0.175;
        QTest::newRow("inside one segment") << 100.0 << 300.0 << 0.02 << 0.1;
        QTest::newRow("inside the last segment") << 500.0 << 900.0 << 0.08 << 0.2;
        QTest::newRow("start on the border") << 400.0 << 1000.0 << 0.12 << 0.2;
        QTest::newRow("stop on the border") << 0.0 << 400.0 << 0.04 << 0.1;
        QTest::newRow("whole tunnel") << 0.0 << 1000.0 << 0.16 << 0.16;
        QTest::newRow("stop beyond T is limited") << 0.0 << 1000.0001 << 0.16 << 0.16;
        QTest::newRow("empty stretch at a point") << 500.0 << 500.0 << 0.0 << 0.2;
    }

    void subStretch()
    {
        QFETCH(double, start);
        QFETCH(double, stop);
        QFETCH(double, total);
        QFETCH(double, perKm);
        const auto run = makeRun({400, 600}, {0.1, 0.2});
        const auto totals = sumSubStretch(run, float(start), float(stop), false);
        const auto means = sumSubStretch(run, float(start), float(stop), true);
        QVERIFY2(near(totals[1], total), qPrintable(QString::number(totals[1])));
        QVERIFY2(near(means[1], perKm), qPrintable(QString::number(means[1])));
        QVERIFY(near(totals[11], 11 * total));
    }

    void adjacentStretchesAddUp()
    {
        const auto run = makeRun({120.5f, 300, 0, 79.5f, 1000}, {0.3, 0.1, 9.9, 0.4, 0.25});
        for (float b : {50.0f, 120.5f, 200.0f, 420.5f, 500.0f, 1200.0f}) {
            const auto ab = sumSubStretch(run, 10, b, false);
            const auto bc = sumSubStretch(run, b, 1500, false);
            const auto ac = sumSubStretch(run, 10, 1500, false);
            for (std::size_t q = 1; q <= 11; ++q)
                QVERIFY(near(ab[q] + bc[q], ac[q]));
        }
    }

    void wholeTunnelEqualsTheRunsMean()
    {
        const auto run = makeRun({123.4f, 56.7f, 890.1f}, {0.11, 0.52, 0.07});
        const auto whole = sumSubStretch(run, 0, tunnelLength(run), true);
        for (std::size_t q = 1; q <= 11; ++q)
            QVERIFY(near(whole[q], run.tunnelMeanRates[q]));
    }

    void neverReadsPastTheLastSegment()
    {
        // Stops at or beyond T, and lengths that do not add up neatly, stay within the tables.
        auto run = makeRun({0.1f, 0.2f, 0.3f}, {1, 2, 3});
        run.segmentRates(1, 3) = 1e30; // the spare position: must never count
        for (float stop : {0.6f, 0.6000001f, 1.0f, 1e9f}) {
            const auto r = sumSubStretch(run, 0.0f, stop, false);
            QVERIFY(r[1] < 1.0f);
        }
        const auto beyond = sumSubStretch(run, 5.0f, 9.0f, true);
        QVERIFY(std::isfinite(beyond[1]));
    }

    void headers_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("co2Colon");
        QTest::addColumn<QString>("headers");
        QTest::newRow("start") << int(Mode::PerKm) << false
                               << u"Delsträcka:|Bränsle: [l/km]|NOx: [g/km]|Avgaspartiklar: [g/km]|"
                                  "Varav PM10: [g/km]|Däckspartiklar: [g/km]|Varav PM10: [g/km]|"
                                  "Bromspartiklar: [g/km]|Varav PM10: [g/km]|"
                                  "Beläggningspartiklar: [g/km]|Varav PM10: [g/km]|CO2 [kg/km]"_qs;
        QTest::newRow("per km chosen")
            << int(Mode::PerKm) << true
            << u"Delsträcka:|Bränsle: [l/km]|NOx: [g/km]|Avgaspartiklar: [g/km]|"
               "Varav PM10: [g/km]|Däckspartiklar: [g/km]|Varav PM10: [g/km]|"
               "Bromspartiklar: [g/km]|Varav PM10: [g/km]|"
               "Beläggningspartiklar: [g/km]|Varav PM10: [g/km]|CO2: [kg/km]"_qs;
        QTest::newRow("totals") << int(Mode::Totals) << true
                                << u"Delsträcka:|Bränsle: [l]|NOx: [g]|Avgaspartiklar: [g]|"
                                   "Varav PM10: [g]|Däckspartiklar: [g]|Varav PM10: [g]|"
                                   "Bromspartiklar: [g]|Varav PM10: [g]|"
                                   "Beläggningspartiklar: [g]|Varav PM10: [g]|CO2: [kg]"_qs;
    }

    void headers()
    {
        QFETCH(int, mode);
        QFETCH(bool, co2Colon);
        QFETCH(QString, headers);
        QCOMPARE(resultHeaders(Mode(mode), co2Colon), headers.split(u'|'));
    }

    void columnOrder()
    {
        calc::ResultValues v{};
        for (std::size_t q = 1; q <= 11; ++q)
            v[q] = float(q);
        const ResultRow row = makeRow(QStringLiteral("Totalt"), v);
        const std::array<QString, 11> expected = {"1,", "2,",  "3,", "8,",  "4,", "9,",
                                                  "5,", "10,", "6,", "11,", "7,"};
        QCOMPARE(row.values, expected);
    }

    void addSubStretchChecks_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("stop");
        QTest::addColumn<QString>("result"); // the label, or the message
        const QString range = QStringLiteral(
            "Start- och slutkoordinaterna måste upfylla: 0 <= start < slut <= 1000,5 (total "
            "tunnellängd)");
        const auto add = [](const char *name, const char *start, const char *stop,
                            const QString &result) {
            QTest::newRow(name) << start << stop << result;
        };
        add("start not a number", "abc", "", "Ogiltig startkoordinat: abc");
        add("point decimal", "0", "1.5", "Ogiltig slutkoordinat: 1.5");
        add("start = stop", "100", "100", range);
        add("stop above T", "0", "1000,6", range);
        add("negative start", "-1", "100", range);
        add("start after stop", "200", "100", range);
        add("whole tunnel", "0", "1000,5", "0 - 1000,5");
        add("decimal label", "120,5", "300", "120,5 - 300");
        add("leading zero", "0100", "300,0", "100 - 300");
    }

    void addSubStretchChecks()
    {
        QFETCH(QString, start);
        QFETCH(QString, stop);
        QFETCH(QString, result);
        const auto run = makeRun({400, 600.5f}, {0.1, 0.2});
        const auto row = addSubStretch(run, start, stop, Mode::PerKm);
        if (row.ok()) {
            QCOMPARE(row->label, result);
        } else {
            QCOMPARE(row.error().message, result);
            QCOMPARE(row.error().kind, ErrorKind::InputCheck);
        }
    }

    void recalculationFollowsTheMode()
    {
        const auto run = makeRun({400, 600}, {0.1, 0.2});
        std::vector<ResultRow> rows = {totalRow(run),
                                       *addSubStretch(run, "300", "700", Mode::PerKm),
                                       ResultRow{QStringLiteral("egen rad"), {}}};
        const auto perKm = rows;
        recomputeRows(run, rows, Mode::Totals);
        QCOMPARE(rows[0].label, QStringLiteral("Totalt"));
        QCOMPARE(rows[0].values[0], QStringLiteral(",16"));
        QCOMPARE(rows[1].label, QStringLiteral("300 - 700"));
        QCOMPARE(rows[1].values[0], QStringLiteral(",07"));
        QCOMPARE(rows[2], perKm[2]); // a label of another form is left as it is
        recomputeRows(run, rows, Mode::Totals);
        recomputeRows(run, rows, Mode::PerKm);
        QCOMPARE(rows, perKm);
    }

    void labelAtTheEndReadsBackWithinTheTunnel()
    {
        // T = 1/3 km written with seven digits reads back a hair above T.
        const auto run = makeRun({333.33334f, 0.0000001f}, {1, 2});
        const QString label = addSubStretch(run, "0", "333,3333", Mode::Totals)->label;
        QVERIFY(recalcRow(run, label, Mode::PerKm).has_value());
        const auto whole = recalcRow(run, QStringLiteral("0 - 333,33338"), Mode::PerKm);
        QVERIFY(whole.has_value());
        QCOMPARE(whole->values[0], QStringLiteral("1,"));
    }
};

QTEST_GUILESS_MAIN(TestResults)
#include "tst_results.moc"
