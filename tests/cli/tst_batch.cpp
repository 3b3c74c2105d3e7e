#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

// luftvaka-batch end to end, on the small test workbooks and a two-segment tunnel:
// 400 m at 0 % and 600 m at 3 %, Pb/Lb/Lbs at 50 and then 80 km/h with 100, 10 and 1 vehicles
// per hour, year 2005, SPS 10, studded share 0.
namespace {

const QString kBatch = QStringLiteral(LUFTVAKA_BIN_DIR "/luftvaka-batch");
const QString kData = QStringLiteral(LUFTVAKA_TEST_DATA);

struct Outcome
{
    int status = -1;
    QByteArray out;
    QString err;
};

Outcome runBatch(const QStringList &args)
{
    QProcess process;
    process.start(kBatch, args);
    process.waitForFinished(60000);
    return Outcome{process.exitCode(), process.readAllStandardOutput(),
                   QString::fromUtf8(process.readAllStandardError())};
}

QStringList withWorkbooks(const QStringList &args)
{
    return QStringList{"--workbooks", kData + "/calc", "--locale", "sv_SE"} + args;
}

// The TSV row of a label: its eleven numbers.
std::vector<double> tsvRow(const QByteArray &tsv, const QString &label)
{
    for (const QByteArray &line : tsv.split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() == 12 && QString::fromUtf8(fields[0]) == label) {
            std::vector<double> values;
            for (int i = 1; i < 12; ++i)
                values.push_back(fields[i].toDouble());
            return values;
        }
    }
    return {};
}

} // namespace

class TestBatch : public QObject
{
    Q_OBJECT

private slots:
    // Fuel: segment rates 20733 and 41799 l/km; NOx 84733 on the first segment (low-speed
    // weights); road-surface particles 7,75 g/km on both.
    void handComputedRows_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("label");
        QTest::addColumn<double>("fuel");
        QTest::addColumn<double>("road");
        QTest::newRow("whole tunnel per km") << QStringList{} << "Totalt" << 33372.6 << 7.75;
        QTest::newRow("stretch per km")
            << QStringList{"--stretch", "300:700"} << "300 - 700" << 36532.5 << 7.75;
        QTest::newRow("stretch in totals")
            << QStringList{"--stretch", "300:700", "--totals"} << "300 - 700" << 14613.0 << 3.1;
        QTest::newRow("whole tunnel in totals")
            << QStringList{"--totals"} << "Totalt" << 33372.6 << 7.75;
        QTest::newRow("decimal coordinates")
            << QStringList{"--stretch", "0:120,5"} << "0 - 120.5" << 20733.0 << 7.75;
        QTest::newRow("first segment only")
            << QStringList{"--stretch", "0:400", "--totals"} << "0 - 400" << 8293.2 << 3.1;
    }

    void handComputedRows()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, label);
        QFETCH(double, fuel);
        QFETCH(double, road);
        const Outcome result =
            runBatch(withWorkbooks(args + QStringList{"--tsv", kData + "/cli/tunnel.dat"}));
        QCOMPARE(result.status, 0);
        const auto values = tsvRow(result.out, label);
        QCOMPARE(values.size(), std::size_t(11));
        QVERIFY2(std::fabs(values[0] - fuel) < 1e-6 * fuel, qPrintable(QString::number(values[0])));
        QVERIFY2(std::fabs(values[8] - road) < 1e-5, qPrintable(QString::number(values[8])));
    }

    void segmentRates()
    {
        const Outcome result =
            runBatch(withWorkbooks({"--tsv", "--segments", kData + "/cli/tunnel.dat"}));
        QCOMPARE(result.status, 0);
        QList<QList<QByteArray>> segments;
        for (const QByteArray &line : result.out.split('\n')) {
            if (line.startsWith("segment\t"))
                segments << line.split('\t');
        }
        QCOMPARE(segments.size(), 2);
        QCOMPARE(segments[0].size(), 13);
        QCOMPARE(segments[0][1], QByteArray("0"));
        QCOMPARE(segments[0][2], QByteArray("20733"));               // fuel
        QCOMPARE(segments[0][3], QByteArray("84733"));               // NOx, low-speed weights
        QVERIFY(std::fabs(segments[0][7].toDouble() - 7.75) < 1e-6); // road-surface particles
        QCOMPARE(segments[1][2], QByteArray("41799"));
    }

    void resultFile()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath("ut.eff");
        const Outcome result =
            runBatch(withWorkbooks({"--stretch", "300:700", "-o", out, kData + "/cli/tunnel.dat"}));
        QCOMPARE(result.status, 0);
        QFile file(out);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines[0], QByteArray("Emissionsber\xe4kning tunnlar\r"));
        QCOMPARE(lines[3], QByteArray("Provtunnel \xe5 \xe4 \xf6\r"));
        QCOMPARE(lines[4], QByteArray("Effekter/km\r"));
        QVERIFY(lines[7].startsWith("Totalt\t33372,6\t"));
        QVERIFY(lines[8].startsWith("300 - 700\t36532,5\t"));
    }

    void faults_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const QString tunnel = kData + "/cli/tunnel.dat";
        QTest::newRow("no input") << QStringList{} << 2 << "usage: luftvaka-batch";
        QTest::newRow("unknown option") << QStringList{"--fast", tunnel} << 2 << "usage:";
        QTest::newRow("bad stretch form")
            << QStringList{"--stretch", "1-2", tunnel} << 2 << "usage:";
        QTest::newRow("missing file") << QStringList{kData + "/cli/none.dat"} << 1 << "none.dat";
        QTest::newRow("not an input file")
            << QStringList{kData + "/calc/src/faktorer.txt"} << 1 << "Ogiltig indatafil";
        QTest::newRow("no year") << QStringList{kData + "/cli/noyear.dat"} << 1
                                 << "Välj beräkningsår!";
        QTest::newRow("length 0") << QStringList{kData + "/cli/zerolength.dat"} << 1
                                  << "Tunnelns totala längd är 0 m";
        QTest::newRow("stretch beyond T")
            << QStringList{"--stretch", "0:1001", tunnel} << 1
            << "Start- och slutkoordinaterna måste upfylla: 0 <= start < slut <= 1000 (total "
               "tunnellängd)";
        QTest::newRow("stretch not a number")
            << QStringList{"--stretch", "a:2", tunnel} << 1 << "Ogiltig startkoordinat: a";
    }

    void faults()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString out = dir.filePath("ut.eff");
        QFile::remove(out);
        const Outcome result = runBatch(withWorkbooks(QStringList{"-o", out} + args));
        QCOMPARE(result.status, status);
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
        QVERIFY(!QFile::exists(out)); // nothing is written unless the run succeeds
    }

    void missingWorkbooksAreNamed()
    {
        QTemporaryDir empty;
        const Outcome result = runBatch({"--workbooks", empty.path(), kData + "/cli/tunnel.dat"});
        QCOMPARE(result.status, 1);
        QVERIFY2(result.err.contains("pb_bara_glid_data.xls"), qPrintable(result.err));
    }
};

QTEST_GUILESS_MAIN(TestBatch)
#include "tst_batch.moc"
