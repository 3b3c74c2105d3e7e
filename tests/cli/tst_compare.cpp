#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

// luftvaka-batch --compare-years and --compare on the two-segment test tunnel (year 2005,
// "Totalt" fuel 33372,6 l/km with the test workbooks).
namespace {

const QString kData = QStringLiteral(LUFTVAKA_TEST_DATA);
const QString kTunnel = kData + "/cli/tunnel.dat";

std::pair<int, QList<QList<QByteArray>>> run(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(LUFTVAKA_BIN_DIR "/luftvaka-batch"),
                  QStringList{"--workbooks", kData + "/calc", "--locale", "sv_SE"} + args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {-1, {}};
    QList<QList<QByteArray>> lines;
    for (const QByteArray &line : process.readAllStandardOutput().split('\n'))
        lines << line.split('\t');
    return {process.exitCode(), lines};
}

} // namespace

class TestCompare : public QObject
{
    Q_OBJECT

private slots:
    void years()
    {
        const auto [status, lines] =
            run({"--tsv", "--compare-years", "--stretch", "0:120,5", kTunnel});
        QCOMPARE(status, 0);
        QCOMPARE(lines.size(), 1 + 2 * 11 + 1); // header, two stretches, the final line break
        QCOMPARE(lines[0].join('|'), "Delsträcka|Storhet|2005|2010|2020|"
                                     "Ändring 2010 mot 2005 [%]|Ändring 2020 mot 2005 [%]"_ba);
        QCOMPARE(lines[1].mid(0, 2), (QList<QByteArray>{"Totalt", "Bränsle: [l/km]"}));
        QCOMPARE(qRound(lines[1][2].toDouble() * 10), 333726);
        QCOMPARE(lines[12][0], "0 - 120.5"_ba);
        for (const auto &line : lines.mid(1, 22))
            QCOMPARE(line.size(), 7);
    }

    // The file against itself: no difference, 0 % wherever there is a base, "–" where the
    // value is zero (no studded tyres: no road wear of them).
    void otherFile()
    {
        const auto [status, lines] = run({"--tsv", "--totals", "--compare", kTunnel, kTunnel});
        QCOMPARE(status, 0);
        QCOMPARE(lines[0].join('|'),
                 "Delsträcka|Storhet|Senaste beräkningen|tunnel.dat|Skillnad|Skillnad [%]"_ba);
        QCOMPARE(lines[1].mid(1),
                 (QList<QByteArray>{"Bränsle: [l]", lines[1][2], lines[1][2], "0", "0"}));
        QVERIFY(lines[1][2].toDouble() > 0);
        for (const auto &line : lines.mid(1, 11))
            QVERIFY(line[5] == "0" || (line[2] == "0" && line[5] == "–"));

        QCOMPARE(run({"--compare-years", kTunnel}).first, 2);
        QCOMPARE(run({"--tsv", "--compare", kData + "/cli/none.dat", kTunnel}).first, 1);
    }
};

QTEST_GUILESS_MAIN(TestCompare)
#include "tst_compare.moc"
