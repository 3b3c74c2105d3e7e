#include "core/results/resulttable.h"
#include "core/results/substretch.h"

#include <QTest>

using namespace lv;
using namespace lv::results;

namespace {

const QLocale kSv(QStringLiteral("sv_SE"));

// A run with these segment lengths (m) and fuel rates (l/km); every other quantity q has q
// times the fuel rate. The tunnel means are the length-weighted means.
calc::RunState makeRun(const std::vector<float> &lengths, const std::vector<double> &fuel)
{
    calc::RunState run;
    run.recreate(int32_t(lengths.size()));
    double total = 0, fuelTimesLength = 0;
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        run.segmentLength[i] = lengths[i];
        for (std::size_t q = 1; q <= 11; ++q)
            run.segmentRates(q, i) = fuel[i] * double(q);
        total += lengths[i];
        fuelTimesLength += lengths[i] * fuel[i];
    }
    for (std::size_t q = 1; q <= 11; ++q)
        run.tunnelMeanRates[q] = float(fuelTimesLength / total * double(q));
    return run;
}

} // namespace

class TestResults : public QObject
{
    Q_OBJECT

private slots:
    // Two segments of 400 m and 600 m with fuel 0,1 and 0,2 l/km: totals and means per km.
    void subStretch()
    {
        const struct
        {
            float start, stop, total, perKm;
        } cases[] = {
            {300, 700, 0.07f, 0.175f},                                // the worked example
            {100, 300, 0.02f, 0.1f},   {500, 900, 0.08f, 0.2f},       // inside one segment
            {400, 1000, 0.12f, 0.2f},  {0, 400, 0.04f, 0.1f},         // start, stop on a border
            {0, 1000, 0.16f, 0.16f},   {0, 1000.0001f, 0.16f, 0.16f}, // stop beyond T: limited
            {500, 500, 0, 0.2f},                                      // an empty stretch
        };
        const auto run = makeRun({400, 600}, {0.1, 0.2});
        for (const auto &c : cases) {
            const auto totals = sumSubStretch(run, c.start, c.stop, false);
            QCOMPARE(totals[1], c.total);
            QCOMPARE(totals[11], 11 * c.total);
            QCOMPARE(sumSubStretch(run, c.start, c.stop, true)[1], c.perKm);
        }
    }

    // Adjacent stretches add up to the stretch they make; the whole tunnel per km is the run's
    // mean; nothing past the last segment (the spare position) ever counts.
    void subStretchInvariants()
    {
        const auto run = makeRun({120.5f, 300, 0, 79.5f, 1000}, {0.3, 0.1, 9.9, 0.4, 0.25});
        for (float b : {50.0f, 120.5f, 200.0f, 420.5f, 500.0f, 1200.0f}) {
            const auto ab = sumSubStretch(run, 10, b, false),
                       bc = sumSubStretch(run, b, 1500, false);
            const auto ac = sumSubStretch(run, 10, 1500, false);
            for (std::size_t q = 1; q <= 11; ++q)
                QCOMPARE(ab[q] + bc[q], ac[q]);
        }
        const auto whole = sumSubStretch(run, 0, tunnelLength(run), true);
        for (std::size_t q = 1; q <= 11; ++q)
            QCOMPARE(whole[q], run.tunnelMeanRates[q]);
        auto small = makeRun({0.1f, 0.2f, 0.3f}, {1, 2, 3});
        small.segmentRates(1, 3) = 1e30;
        for (float stop : {0.6f, 0.6000001f, 1.0f, 1e9f})
            QVERIFY(sumSubStretch(small, 0.0f, stop, false)[1] < 1.0f);
        QVERIFY(std::isfinite(sumSubStretch(small, 5.0f, 9.0f, true)[1]));
    }

    void headersAndColumns()
    {
        const QString perKm = u"Delsträcka:|Bränsle: [l/km]|NOx: [g/km]|Avgaspartiklar: [g/km]|"
                              "Varav PM10: [g/km]|Däckspartiklar: [g/km]|Varav PM10: [g/km]|"
                              "Bromspartiklar: [g/km]|Varav PM10: [g/km]|"
                              "Beläggningspartiklar: [g/km]|Varav PM10: [g/km]|CO2"_qs;
        QCOMPARE(resultHeaders(Mode::PerKm, false), (perKm + u" [kg/km]"_qs).split(u'|'));
        QCOMPARE(resultHeaders(Mode::PerKm, true), (perKm + u": [kg/km]"_qs).split(u'|'));
        QCOMPARE(resultHeaders(Mode::Totals),
                 u"Delsträcka:|Bränsle: [l]|NOx: [g]|Avgaspartiklar: [g]|Varav PM10: [g]|"
                 "Däckspartiklar: [g]|Varav PM10: [g]|Bromspartiklar: [g]|Varav PM10: [g]|"
                 "Beläggningspartiklar: [g]|Varav PM10: [g]|CO2: [kg]"_qs.split(u'|'));
        calc::ResultValues v{};
        for (std::size_t q = 1; q <= 11; ++q)
            v[q] = float(q);
        QCOMPARE(makeRow(kTotalLabel, v, kSv).values,
                 (std::array<QString, 11>{"1,", "2,", "3,", "8,", "4,", "9,", "5,", "10,", "6,",
                                          "11,", "7,"}));
    }

    // "Lägg till" in a tunnel of 1000,5 m: the label, or the message.
    void addSubStretchChecks()
    {
        const QString range = u"Start- och slutkoordinaterna måste upfylla: 0 <= start < slut <= "
                              "1000,5 (total tunnellängd)"_qs;
        const std::array<QString, 3> cases[] = {
            {"abc", "", "Ogiltig startkoordinat: abc"},
            {"0", "1.5", "Ogiltig slutkoordinat: 1.5"},
            {"100", "100", range},
            {"0", "1000,6", range},
            {"-1", "100", range},
            {"200", "100", range},
            {"0", "1000,5", "0 - 1000,5"},
            {"120,5", "300", "120,5 - 300"},
            {"0100", "300,0", "100 - 300"},
        };
        const auto run = makeRun({400, 600.5f}, {0.1, 0.2});
        for (const auto &[start, stop, result] : cases) {
            const auto row = addSubStretch(run, start, stop, Mode::PerKm, kSv);
            QCOMPARE(row ? row->label : row.error().message, result);
            QVERIFY(row || row.error().kind == ErrorKind::InputCheck);
        }
    }

    void recalculationFollowsTheMode()
    {
        const auto run = makeRun({400, 600}, {0.1, 0.2});
        std::vector<ResultRow> rows = {totalRow(run, kSv),
                                       *addSubStretch(run, "300", "700", Mode::PerKm, kSv),
                                       ResultRow{QStringLiteral("egen rad"), {}}};
        const auto perKm = rows;
        recomputeRows(run, rows, Mode::Totals, kSv);
        QCOMPARE(rows[0].values[0], u",16"_qs);
        QCOMPARE(rows[1].label, u"300 - 700"_qs);
        QCOMPARE(rows[1].values[0], u",07"_qs);
        QCOMPARE(rows[2], perKm[2]); // a label of another form is left as it is
        recomputeRows(run, rows, Mode::PerKm, kSv);
        QCOMPARE(rows, perKm);
        // T = 1/3 km written with seven digits reads back a hair above T, and is still within.
        const auto third = makeRun({333.33334f, 0.0000001f}, {1, 2});
        const QString label = addSubStretch(third, "0", "333,3333", Mode::Totals, kSv)->label;
        QVERIFY(recalcRow(third, label, Mode::PerKm, kSv));
        QCOMPARE(recalcRow(third, u"0 - 333,33338"_qs, Mode::PerKm, kSv)->values[0], u"1,"_qs);
    }
};

QTEST_GUILESS_MAIN(TestResults)
#include "tst_results.moc"
