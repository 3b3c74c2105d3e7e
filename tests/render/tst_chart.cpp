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
    std::vector<results::AlongTunnelRow> rows(2);
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
    void axes_data()
    {
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<bool>("widen");
        QTest::addColumn<QList<double>>("expected"); // low, high, step, tick count
        QTest::newRow("tunnel") << 0.0 << 1000.0 << 8 << false << QList<double>{0, 1000, 200, 6};
        QTest::newRow("odd length")
            << 0.0 << 750.5 << 8 << false << QList<double>{0, 750.5, 100, 8};
        QTest::newRow("fuel") << 0.0 << 41799.0 << 5 << true << QList<double>{0, 50000, 10000, 6};
        QTest::newRow("small") << 0.0 << 7.75 << 5 << true << QList<double>{0, 8, 2, 5};
        QTest::newRow("heights") << -8.04 << 18.0 << 3 << true << QList<double>{-10, 20, 10, 4};
        QTest::newRow("flat") << 0.0 << 0.0 << 5 << true << QList<double>{0, 1, 0.2, 6};
        QTest::newRow("one value") << 5.0 << 5.0 << 5 << true << QList<double>{5, 6, 0.2, 6};
        QTest::newRow("reversed") << 10.0 << 0.0 << 2 << true << QList<double>{0, 10, 5, 3};
        QTest::newRow("nan") << std::nan("") << 3.0 << 5 << true << QList<double>{0, 1, 0.2, 6};
    }
    void axes()
    {
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(int, ticks);
        QFETCH(bool, widen);
        QFETCH(QList<double>, expected);
        const Axis axis = niceAxis(low, high, ticks, widen);
        QCOMPARE(axis.low, expected[0]);
        QCOMPARE(axis.high, expected[1]);
        QCOMPARE(axis.step, expected[2]);
        const auto values = axisTicks(axis);
        QCOMPARE(double(values.size()), expected[3]);
        QCOMPARE(values.front(), expected[0]);
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
        // The middle of a chart lies over the second segment, a corner outside every plot.
        const QRectF bounds(0, 0, 900, 420);
        QCOMPARE(chartHitAt(data, bounds, {450, 150}).value_or(ChartHit{}).segment, 1);
        QCOMPARE(chartHitAt(data, bounds, {450, 150}).value_or(ChartHit{}).value, 41799.0);
        QVERIFY(!chartHitAt(data, bounds, {2, 2}));
        QVERIFY(!chartHitAt(ChartData(), bounds, {450, 150}));
    }

    // Each format writes a file of its kind; another suffix is refused and writes nothing.
    void files_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("magic");
        QTest::newRow("pdf") << u"d.pdf"_s << "%PDF"_ba;
        QTest::newRow("svg") << u"d.SVG"_s << "<?xml"_ba;
        QTest::newRow("png") << u"d.png"_s << "\x89PNG"_ba;
        QTest::newRow("txt") << u"d.txt"_s << QByteArray();
    }
    void files()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, magic);
        QTemporaryDir dir;
        const auto saved = saveChart(dir.filePath(name), twoSegments());
        QFile file(dir.filePath(name));
        QCOMPARE(saved.ok(), !magic.isEmpty());
        QCOMPARE(file.exists(), !magic.isEmpty());
        if (magic.isEmpty()) {
            QVERIFY(saved.error().message.contains(u".pdf, .svg eller .png"_s));
            return;
        }
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.size() > 1000 && bytes.startsWith(magic));
        QVERIFY(name != "d.SVG" || bytes.contains("<svg"));
    }
};

QTEST_MAIN(TestChart)
#include "tst_chart.moc"
