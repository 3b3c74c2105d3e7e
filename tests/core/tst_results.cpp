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
    // Nothing past the last segment (the spare position) ever counts.
    void subStretch()
    {
        const std::array<float, 4> cases[] = {
            {300, 700, 0.07f, 0.175f}, // start, stop, total, per km
            {100, 300, 0.02f, 0.1f},
            {500, 900, 0.08f, 0.2f},
            {400, 1000, 0.12f, 0.2f},
            {0, 400, 0.04f, 0.1f},
            {0, 1000, 0.16f, 0.16f},
            {0, 1000.0001f, 0.16f, 0.16f}, // a stop beyond T is limited to T
            {500, 500, 0, 0.2f}};
        auto run = makeRun({400, 600}, {0.1, 0.2});
        run.segmentRates(1, 2) = 1e30;
        for (const auto &[start, stop, total, perKm] : cases) {
            const auto totals = sumSubStretch(run, start, stop, false);
            QCOMPARE(totals[1], total);
            QCOMPARE(totals[11], 11 * total);
            QCOMPARE(sumSubStretch(run, start, stop, true)[1], perKm);
        }
        for (float stop : {1001.0f, 1e9f})
            QVERIFY(sumSubStretch(run, 0.0f, stop, false)[1] < 1.0f);
        QVERIFY(std::isfinite(sumSubStretch(run, 1500.0f, 1900.0f, true)[1]));
    }

    void headersAndColumns()
    {
        const QString perKm = u"Delsträcka:|Bränsle: [l/km]|NOx: [g/km]|Avgaspartiklar: [g/km]|"
                              "Varav PM10: [g/km]|Däckspartiklar: [g/km]|Varav PM10: [g/km]|"
                              "Bromspartiklar: [g/km]|Varav PM10: [g/km]|"
                              "Beläggningspartiklar: [g/km]|Varav PM10: [g/km]|CO2"_qs;
        QCOMPARE(resultHeaders(Mode::PerKm, false).join(u'|'), perKm + u" [kg/km]"_qs);
        QCOMPARE(resultHeaders(Mode::PerKm, true).join(u'|'), perKm + u": [kg/km]"_qs);
        QCOMPARE(resultHeaders(Mode::Totals).join(u'|'),
                 u"Delsträcka:|Bränsle: [l]|NOx: [g]|Avgaspartiklar: [g]|Varav PM10: [g]|"
                 "Däckspartiklar: [g]|Varav PM10: [g]|Bromspartiklar: [g]|Varav PM10: [g]|"
                 "Beläggningspartiklar: [g]|Varav PM10: [g]|CO2: [kg]"_qs);
        calc::ResultValues v{};
        for (std::size_t q = 1; q <= 11; ++q)
            v[q] = float(q);
        const auto values = makeRow(kTotalLabel, v, kSv).values;
        QCOMPARE(QStringList(values.begin(), values.end()).join(u' '),
                 u"1, 2, 3, 8, 4, 9, 5, 10, 6, 11, 7,"_qs);
    }

    // "Lägg till" in a tunnel of 1000,5 m: the label, or the message.
    void addSubStretchChecks()
    {
        const QString range = u"Start- och slutkoordinaterna måste upfylla: 0 <= start < slut <= "
                              "1000,5 (total tunnellängd)"_qs;
        const std::array<QString, 3> cases[] = {{"0", "1.5", "Ogiltig slutkoordinat: 1.5"},
                                                {"100", "100", range},
                                                {"-1", "100", range},
                                                {"200", "100", range},
                                                {"0100", "300,0", "100 - 300"}};
        const auto run = makeRun({400, 600.5f}, {0.1, 0.2});
        for (const auto &[start, stop, result] : cases) {
            const auto row = addSubStretch(run, start, stop, Mode::PerKm, kSv);
            QCOMPARE(row ? row->label : row.error().message, result);
            QVERIFY(row || row.error().kind == ErrorKind::InputCheck);
        }
    }

    // T = 1/3 km written with seven digits reads back a hair above T, and is still within.
    void labelReadBackAtTheEnd()
    {
        const auto third = makeRun({333.33334f, 0.0000001f}, {1, 2});
        const QString label = addSubStretch(third, "0", "333,3333", Mode::Totals, kSv)->label;
        QVERIFY(recalcRow(third, label, Mode::PerKm, kSv));
        QCOMPARE(recalcRow(third, u"0 - 333,33338"_qs, Mode::PerKm, kSv)->values[0], u"1,"_qs);
    }
};

QTEST_GUILESS_MAIN(TestResults)
#include "tst_results.moc"
