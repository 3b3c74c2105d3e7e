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

const QString kData = QStringLiteral(LUFTVAKA_TEST_DATA);
const QString kTunnel = kData + "/cli/tunnel.dat";

struct Outcome
{
    int status = -1;
    QByteArray out;
    QString err;
};

Outcome runBatch(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(LUFTVAKA_BIN_DIR "/luftvaka-batch"),
                  QStringList{"--workbooks", kData + "/calc", "--locale", "sv_SE"} + args);
    process.waitForFinished(60000);
    return Outcome{process.exitCode(), process.readAllStandardOutput(),
                   QString::fromUtf8(process.readAllStandardError())};
}

// The TSV lines whose first field is `first`, split into their fields.
QList<QList<QByteArray>> tsvLines(const QByteArray &tsv, const QByteArray &first)
{
    QList<QList<QByteArray>> lines;
    for (const QByteArray &line : tsv.split('\n')) {
        if (line.startsWith(first + '\t'))
            lines << line.split('\t');
    }
    return lines;
}

using Table = QList<QList<QByteArray>>; // lines split into fields, the header line first

// The TSV output split as a script would: a new table at each empty line, fields at TAB.
QList<Table> tsvTables(const QByteArray &tsv)
{
    QList<Table> tables(1);
    QList<QByteArray> lines = tsv.split('\n');
    if (lines.last().isEmpty())
        lines.removeLast(); // after the last line's LF
    for (const QByteArray &line : lines) {
        if (line.isEmpty())
            tables << Table{};
        else
            tables.last() << line.split('\t');
    }
    return tables;
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
    }

    void handComputedRows()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, label);
        QFETCH(double, fuel);
        QFETCH(double, road);
        const Outcome result = runBatch(args + QStringList{"--tsv", kTunnel});
        QCOMPARE(result.status, 0);
        const auto rows = tsvLines(result.out, label.toUtf8());
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].size(), 12);
        QVERIFY2(std::fabs(rows[0][1].toDouble() - fuel) < 1e-6 * fuel, rows[0][1].constData());
        QVERIFY2(std::fabs(rows[0][9].toDouble() - road) < 1e-5, rows[0][9].constData());
    }

    // The stretch 0..400 lies in segment 1, so its row holds segment 1's rates times the
    // length in km (1 per km, 0,4 in totals), column for column.
    void segmentTable_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("fuelHeader");
        QTest::addColumn<double>("km");
        QTest::newRow("per km") << QStringList{} << QByteArray("Bränsle: [l/km]") << 1.0;
        QTest::newRow("totals") << QStringList{"--totals"} << QByteArray("Bränsle: [l]") << 0.4;
    }

    void segmentTable()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, fuelHeader);
        QFETCH(double, km);
        const Outcome result =
            runBatch(args + QStringList{"--stretch", "0:400", "--tsv", "--segments", kTunnel});
        QCOMPARE(result.status, 0);
        const QList<Table> tables = tsvTables(result.out);
        QCOMPARE(tables.size(), 2);
        for (const Table &table : tables) {
            QCOMPARE(table[0].size(), 12);
            for (const auto &line : table)
                QCOMPARE(line.size(), table[0].size());
        }
        const Table &rows = tables[0];
        const Table &segments = tables[1];
        QCOMPARE(rows.size(), 3); // header, "Totalt", "0 - 400"
        QCOMPARE(rows[0][1], fuelHeader);
        QCOMPARE(rows[2][0], QByteArray("0 - 400"));
        QCOMPARE(segments.size(), 3); // header, segments 1 and 2
        QCOMPARE(segments[0][0], QByteArray("Segment nr:"));
        QCOMPARE(segments[0][1], QByteArray("Bränsle: [l/km/h]"));
        QCOMPARE(segments[0][11], QByteArray("CO2: [kg/km/h]"));
        QCOMPARE(segments[1][0], QByteArray("1"));
        QCOMPARE(segments[1][1], QByteArray("20733"));               // fuel
        QCOMPARE(segments[1][2], QByteArray("84733"));               // NOx, low-speed weights
        QVERIFY(std::fabs(segments[1][9].toDouble() - 7.75) < 1e-6); // road-surface particles
        QCOMPARE(segments[2][0], QByteArray("2"));
        QCOMPARE(segments[2][1], QByteArray("41799"));
        for (int column = 1; column < 12; ++column) {
            const double expected = km * segments[1][column].toDouble();
            QVERIFY2(std::fabs(rows[2][column].toDouble() - expected) <=
                         1e-5 * std::fabs(expected) + 1e-9,
                     qPrintable(QString::number(column)));
        }
    }

    void help()
    {
        const Outcome result = runBatch({"--help"});
        QCOMPARE(result.status, 0);
        QVERIFY(result.out.startsWith("usage: luftvaka-batch"));
        QVERIFY(result.out.contains("Delsträcka:")); // the result table
        QVERIFY(result.out.contains("Segment nr:")); // the segment table
    }

    // A slope outside the tables (9 % in steep.dat) is told on standard error; the run goes on.
    void slopeNotice_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("told");
        QTest::newRow("within the tables") << kTunnel << false;
        QTest::newRow("9 %") << kData + "/cli/steep.dat" << true;
    }

    void slopeNotice()
    {
        QFETCH(QString, input);
        QFETCH(bool, told);
        const Outcome result = runBatch({input});
        QCOMPARE(result.status, 0);
        QVERIFY(result.out.startsWith("Emissionsber\xe4kning tunnlar\r\n"));
        QCOMPARE(result.err.contains(u"Lutning utanför tabellernas -7…7 % i 1 segment:"_qs), told);
    }

    void resultFile()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath("ut.eff");
        QCOMPARE(runBatch({"--stretch", "300:700", "-o", out, kTunnel}).status, 0);
        QFile file(out);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines[0], QByteArray("Emissionsber\xe4kning tunnlar\r"));
        QCOMPARE(lines[3], QByteArray("Provtunnel \xe5 \xe4 \xf6\r"));
        QCOMPARE(lines[4], QByteArray("Effekter/km\r"));
        QVERIFY(lines[7].startsWith("Totalt\t33372,6\t"));
        QVERIFY(lines[8].startsWith("300 - 700\t36532,5\t"));
    }

    // Exit status, the message on standard error, and no result file.
    void faults_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("no input") << QStringList{} << 2 << "usage: luftvaka-batch";
        QTest::newRow("bad stretch form")
            << QStringList{"--stretch", "1-2", kTunnel} << 2 << "usage:";
        QTest::newRow("segments without tsv")
            << QStringList{"--segments", kTunnel} << 2 << "--segments goes with --tsv";
        QTest::newRow("missing file") << QStringList{kData + "/cli/none.dat"} << 1 << "none.dat";
        QTest::newRow("not an input file")
            << QStringList{kData + "/calc/src/faktorer.txt"} << 1 << "Ogiltig indatafil";
        QTest::newRow("no year") << QStringList{kData + "/cli/noyear.dat"} << 1
                                 << "Välj beräkningsår!";
        QTest::newRow("length 0") << QStringList{kData + "/cli/zerolength.dat"} << 1
                                  << "Tunnelns totala längd är 0 m";
        QTest::newRow("stretch beyond T")
            << QStringList{"--stretch", "0:1001", kTunnel} << 1
            << "Start- och slutkoordinaterna måste upfylla: 0 <= start < slut <= 1000 (total "
               "tunnellängd)";
        QTest::newRow("negative flow")
            << QStringList{kData + "/cli/negativeflow.dat"} << 1
            << "Rad 2 i segmentlistan (segment 2): Lb, Flöde är mindre än 0 (-120).";
        QTest::newRow("no workbooks")
            << QStringList{"--workbooks", QDir::rootPath() + "nonexistent-dir", kTunnel} << 1
            << "pb_bara_glid_data.xls";
    }

    void faults()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString out = dir.filePath("ut.eff");
        const Outcome result = runBatch(QStringList{"-o", out} + args);
        QCOMPARE(result.status, status);
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
        QVERIFY(!QFile::exists(out)); // nothing is written unless the run succeeds
    }
};

QTEST_GUILESS_MAIN(TestBatch)
#include "tst_batch.moc"
