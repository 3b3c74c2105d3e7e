#include "core/calc/calculationrun.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace lv::calc;
using lv::input::SegmentRow;

namespace {

const QString kTestBooks = QStringLiteral(LUFTVAKA_TEST_DATA "/calc/");

RunInput tunnel(std::initializer_list<std::pair<const char *, const char *>> slopesAndSpeeds)
{
    RunInput input{{}, "2005", "1", "0"};
    for (const auto &[slope, speed] : slopesAndSpeeds)
        input.rows.push_back(
            SegmentRow{"1", {"100", slope, speed, "100", speed, "10", speed, "1"}});
    return input;
}

} // namespace

// The run's shortcuts (factors of a slope and speed seen before, weights checked once) must
// give the values and the faults of the plain way.
class TestRunShortcuts : public QObject
{
    Q_OBJECT

private slots:
    // A speed seen before gives the factors it gives on its own, on each sheet and for each
    // category. The test workbooks hold y = A(slope) * M * K + V(speed): A 0 % 8, 3 % 16; fuel
    // M 1; K 1 (Pb) and 100 (Lb); V 20 km/h 0, 50 km/h 3, 80 km/h 9.
    void factorsOfRepeatedSpeeds()
    {
        // Slope, speed, fuel factors of Pb and Lb.
        const std::tuple<const char *, const char *, float, float> cases[] = {
            {"0", "50", 11, 803},  {"3", "80", 25, 1609}, {"0", "35", 9.5f, 801.5f},
            {"3", "50", 19, 1603}, {"0", "80", 17, 809},  {"3", "35", 17.5f, 1601.5f},
            {"0", "50", 11, 803},  {"3", "50", 19, 1603}, {"0", "35", 9.5f, 801.5f},
            {"3", "80", 25, 1609},
        };
        RunInput input = tunnel({});
        for (const auto &[slope, speed, pb, lb] : cases)
            input.rows.push_back(
                SegmentRow{"1", {"100", slope, speed, "100", speed, "10", speed, "1"}});
        const auto run = computeRun(input, kTestBooks, {}, QLocale(QStringLiteral("sv_SE")));
        QVERIFY(run);
        for (std::size_t i = 0; i < std::size(cases); ++i) {
            QCOMPARE(run->profileFactors(1, 4, i), std::get<2>(cases[i]));
            QCOMPARE(run->profileFactors(3, 4, i), std::get<3>(cases[i]));
        }
    }

    // A weight cell without a number is a fault only where a segment uses it: P11 weighs NOx of
    // passenger cars at 50 km/h and below, P3 is never read.
    void weightCellsWithoutNumbers()
    {
        // The cell's RK record, turned into an error cell (#N/A) of the same length.
        const std::tuple<const char *, const char *, const char *, bool> cases[] = {
            {"7e020a0002000f00", "0200", "60", true},
            {"7e020a0002000f00", "0200", "50", true},
            {"7e020a000a000f00", "0a00", "60", true},
            {"7e020a000a000f00", "0a00", "50", false},
        };
        for (const auto &[record, row, speed, computes] : cases) {
            QFile source(kTestBooks + "faktorer.xls");
            QVERIFY(source.open(QIODevice::ReadOnly));
            QByteArray book = source.readAll();
            const qsizetype at = book.indexOf(QByteArray::fromHex(record));
            QVERIFY(at > 0);
            book.replace(at, 14,
                         QByteArray::fromHex(QByteArray("05020a00") + row + "0f000f002a010000"));
            QTemporaryDir dir;
            for (const QString name : {"pb_bara_glid_data.xls", "lb_bara_glid_data.xls"})
                QVERIFY(QFile::copy(kTestBooks + name, dir.filePath(name)));
            QFile out(dir.filePath("faktorer.xls"));
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(book) == book.size());
            out.close();
            const auto run = computeRun(tunnel({{"0", "80"}, {"0", speed}}), dir.path(), {},
                                        QLocale(QStringLiteral("sv_SE")));
            QCOMPARE(run.ok(), computes);
            if (!computes)
                QVERIFY2(run.error().message.contains(u"P11"), qPrintable(run.error().message));
        }
    }
};

QTEST_GUILESS_MAIN(TestRunShortcuts)
#include "tst_runshortcuts.moc"
