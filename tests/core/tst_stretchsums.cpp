#include "core/results/substretch.h"

#include <QTest>

#include <cmath>
#include <random>

using namespace lv;
using namespace lv::results;

namespace {

// The sums over start..stop by walking every segment: each counts with the kilometres of it
// inside the stretch (a start on a border belongs to the later segment, a stop on a border to
// the earlier one), added up in extended precision. Per km, divided by those kilometres.
calc::ResultValues walkedSum(const calc::RunState &run, float start, float stop, bool perKm)
{
    const int n = run.segmentCount;
    std::vector<float> ends(std::size_t(n), 0.0f);
    float end = 0;
    for (int i = 0; i < n; ++i)
        ends[std::size_t(i)] = end += run.segmentLength[std::size_t(i)];
    int j = 0;
    while (j < n - 1 && start >= ends[std::size_t(j)])
        ++j;
    int k = 0;
    while (k < n - 1 && stop > ends[std::size_t(k)])
        ++k;
    std::array<long double, 12> sum{};
    long double kilometres = 0;
    for (int i = j; i <= k; ++i) {
        float part = run.segmentLength[std::size_t(i)];
        if (i == j)
            part = (j == k ? stop : ends[std::size_t(j)]) - start;
        else if (i == k)
            part = stop - ends[std::size_t(k) - 1];
        const double km = part / 1000.0f;
        kilometres += km;
        for (std::size_t q = 1; q <= 11; ++q)
            sum[q] += km * run.segmentRates(q, std::size_t(i));
    }
    calc::ResultValues result{};
    for (std::size_t q = 1; q <= 11; ++q)
        result[q] = float(perKm ? sum[q] / kilometres : sum[q]);
    return result;
}

// Compares every quantity within 1e-6 relative; says which one differs.
QString farApart(const calc::ResultValues &got, const calc::ResultValues &want)
{
    for (std::size_t q = 1; q <= 11; ++q) {
        if (!(std::fabs(double(got[q]) - double(want[q])) <= 1e-6 * std::fabs(double(want[q])))) {
            return QStringLiteral("quantity %1: %2, walked %3")
                .arg(q)
                .arg(double(got[q]), 0, 'g', 9)
                .arg(double(want[q]), 0, 'g', 9);
        }
    }
    return {};
}

} // namespace

class TestStretchSums : public QObject
{
    Q_OBJECT

private slots:
    // A maximum tunnel of random segments (some of no length) with rates over six orders of
    // magnitude: random stretches, stretches from and to segment borders, single segments and
    // the whole tunnel all agree with the walk.
    void randomStretchesOfALargeTunnel()
    {
        std::mt19937_64 random(20261206);
        std::uniform_real_distribution<float> length(0.5f, 900.0f);
        std::uniform_real_distribution<double> exponent(-3.0, 3.0);
        calc::RunState run;
        const int n = 32767;
        run.recreate(n);
        std::vector<float> ends;
        float end = 0;
        for (int i = 0; i < n; ++i) {
            run.segmentLength[std::size_t(i)] = i % 997 == 5 ? 0.0f : length(random);
            ends.push_back(end += run.segmentLength[std::size_t(i)]);
            for (std::size_t q = 1; q <= 11; ++q)
                run.segmentRates(q, std::size_t(i)) = std::pow(10.0, exponent(random));
        }
        const StretchSums sums(run);
        QCOMPARE(sums.tunnelLength(), end);

        std::uniform_real_distribution<float> anywhere(0.0f, end);
        std::uniform_int_distribution<std::size_t> border(0, ends.size() - 1);
        for (int trial = 0; trial < 1000; ++trial) {
            float start = anywhere(random);
            float stop = anywhere(random);
            switch (trial % 4) {
            case 1: // from one border to another
                start = ends[border(random)];
                stop = ends[border(random)];
                break;
            case 2: // a short stretch, often inside one segment
                stop = std::min(end, start + float(trial % 50));
                break;
            case 3: // from the entrance or to the exit
                (trial % 8 == 3 ? start : stop) = trial % 8 == 3 ? 0.0f : end;
                break;
            }
            if (start > stop)
                std::swap(start, stop);
            if (!(start < stop))
                continue;
            for (const bool perKm : {false, true}) {
                const QString fault =
                    farApart(sums.sum(start, stop, perKm), walkedSum(run, start, stop, perKm));
                if (!fault.isEmpty()) {
                    QFAIL(qPrintable(QStringLiteral("%1 - %2 %3: %4")
                                         .arg(double(start), 0, 'g', 9)
                                         .arg(double(stop), 0, 'g', 9)
                                         .arg(perKm ? "per km" : "totals", fault)));
                }
            }
        }
        QVERIFY(farApart(sums.sum(0, end, true), walkedSum(run, 0, end, true)).isEmpty());
    }

    // A run built by hand may hold a negative length; its segment ends then go back and forth,
    // and a stretch is still found segment by segment as in the walk, never outside the run.
    void lengthsThatGoBack()
    {
        calc::RunState run;
        run.recreate(5);
        const float lengths[] = {100, -50, 300, 0, 200};
        for (std::size_t i = 0; i < 5; ++i) {
            run.segmentLength[i] = lengths[i];
            for (std::size_t q = 1; q <= 11; ++q)
                run.segmentRates(q, i) = double(i + 1) * double(q);
        }
        const StretchSums sums(run);
        const std::pair<float, float> stretches[] = {{0, 550}, {60, 70}, {20, 400}, {400, 550}};
        for (const auto &[start, stop] : stretches) {
            for (const bool perKm : {false, true}) {
                QVERIFY2(farApart(sums.sum(start, stop, perKm), walkedSum(run, start, stop, perKm))
                             .isEmpty(),
                         qPrintable(QStringLiteral("%1 - %2").arg(start).arg(stop)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestStretchSums)
#include "tst_stretchsums.moc"
