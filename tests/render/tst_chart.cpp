#include "render/chart.h"
#include "render/chartfile.h"

#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace lv;
using namespace lv::render;
using namespace Qt::StringLiterals;

namespace {

// Two segments, 400 m level and 600 m at 3 %, fuel 20733 and 41799 l/(km·h); one stretch.
ChartData twoSegments()
{
    std::vector<lv::results::AlongTunnelRow> rows(2);
    rows[0] = {"1", 0, 400, 400, 0, false, 0, {}};
    rows[1] = {"2", 400, 1000, 600, 3, false, 18, {}};
    rows[0].rates[1] = 20733;
    rows[1].rates[1] = 41799;
    return chartData(rows, 1, "2005", " Bas ", {{300, 700, "300 - 700"}});
}

} // namespace

class TestChart : public QObject
{
    Q_OBJECT

private slots:
    // Round axes: steps of 1, 2 or 5 times a power of ten; a value axis widened to its ticks,
    // the chainage kept to the tunnel; degenerate ranges give a unit axis.
    void axes()
    {
        // Low, high, ticks wanted, widened; the axis's low, high, step and tick count.
        const std::tuple<double, double, int, bool, QList<double>> cases[] = {
            {0, 1000, 8, false, {0, 1000, 200, 6}},
            {0, 750.5, 8, false, {0, 750.5, 100, 8}},
            {0, 41799, 5, true, {0, 50000, 10000, 6}},
            {0, 7.75, 5, true, {0, 8, 2, 5}},
            {-8.04, 18, 3, true, {-10, 20, 10, 4}},
            {0, 0, 5, true, {0, 1, 0.2, 6}},
            {5, 5, 5, true, {5, 6, 0.2, 6}},
            {10, 0, 2, true, {0, 10, 5, 3}},
            {std::nan(""), 3, 5, true, {0, 1, 0.2, 6}},
        };
        for (const auto &[low, high, ticks, widen, expected] : cases) {
            const Axis axis = niceAxis(low, high, ticks, widen);
            const auto values = axisTicks(axis);
            QCOMPARE((QList<double>{axis.low, axis.high, axis.step, double(values.size())}),
                     expected);
            QCOMPARE(values.front(), expected[0]);
        }
    }

    // The title names quantity, year and scenario; the readout names segment, place and value.
    void texts()
    {
        const ChartData data = twoSegments();
        QCOMPARE(data.title, u"Bränsle [l/(km·h)] längs tunneln, år 2005, scenario: Bas"_s);
        QCOMPARE(chartReadout(data, ChartHit{1, 512.26, 41799.4}, QLocale(u"sv_SE"_s)),
                 u"Segment 2 · 512,3 m · Bränsle 41799 l/(km·h)"_s);
        QCOMPARE(chartReadout(data, ChartHit{0, 12, 0.012346}, QLocale::c()),
                 u"Segment 1 · 12.0 m · Bränsle 0.01235 l/(km·h)"_s);
        // No data, no hit (the widget's readout covers hits on a chart).
        QVERIFY(!chartHitAt(ChartData(), QRectF(0, 0, 900, 420), {450, 150}));
    }

    // A suffix other than .pdf, .svg, .png (in any case) is refused, saying which ones go, and
    // writes nothing; luftvaka-batch --chart writes each kind.
    void otherSuffixRefused()
    {
        QTemporaryDir dir;
        const auto saved = saveChart(dir.filePath("d.txt"), twoSegments());
        QVERIFY(!saved && saved.error().message.contains(u".pdf, .svg eller .png"_s));
        QVERIFY(!QFile::exists(dir.filePath("d.txt")));
    }
};

QTEST_MAIN(TestChart)
#include "tst_chart.moc"
