#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

// luftvaka-batch --air on the two-segment test tunnel (NOx 84733 g/km on its first 400 m) with
// the shipped criteria file: 20 % of NOx as NO2, 1.91 - 0.04 mg/m³ of margin.
namespace {

const QString kData = QStringLiteral(LUFTVAKA_TEST_DATA);
const QString kCriteria = QStringLiteral(LUFTVAKA_SOURCE_DIR "/data/luftkriterier.ini");

std::tuple<int, QByteArray, QString> runAir(const QStringList &args,
                                            const QString &input = kData + "/cli/tunnel.dat")
{
    QProcess process;
    process.start(QStringLiteral(LUFTVAKA_BIN_DIR "/luftvaka-batch"),
                  QStringList{"--air", "--workbooks", kData + "/calc", "--locale", "sv_SE"} + args +
                      QStringList{input});
    if (!process.waitForFinished(60000))
        return {-1, {}, {}};
    return {process.exitCode(), process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class TestAirBatch : public QObject
{
    Q_OBJECT

private slots:
    // The header as scripts read it, "Totalt" first, stretches in the C locale; 0..400 lies in
    // segment 1 alone: E = 0.2 · 84733 · 0.4 g/h, the mean demand half the exit demand.
    void tsv()
    {
        const auto [status, out, err] = runAir(
            {"--criteria", kCriteria, "--stretch", "0:400", "--stretch", "0,5:700", "--tsv"});
        QCOMPARE(status, 0);
        const QList<QByteArray> lines = out.trimmed().split('\n');
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], "stretch\tE_NO2_g_h\tQ_NO2_mean_m3s\tQ_NO2_exit_m3s\tQ_visibility_m3s\t"
                           "Q_design_m3s\tgoverning\tair_speed_ms\twarning");
        QVERIFY(lines[1].startsWith("Totalt\t") && lines[3].startsWith("0.5 - 700\t"));
        const QList<QByteArray> f = lines[2].split('\t');
        QCOMPARE(f.size(), 9);
        QCOMPARE(f[0], "0 - 400");
        QVERIFY(std::abs(f[1].toDouble() - 6778.64) < 1e-9);
        QVERIFY(std::abs(f[3].toDouble() - 6778.64 / 6.732) < 1e-9);
        QVERIFY(std::abs(2 * f[2].toDouble() - f[3].toDouble()) < 1e-9);
    }

    // The .luft beside the input file over the criteria file, the command line over both:
    // the air speed is the design flow over the cross-section in force.
    void precedence()
    {
        QTemporaryDir dir;
        QVERIFY(QFile::copy(kData + "/cli/tunnel.dat", dir.filePath("t.dat")));
        QFile luft(dir.filePath("t.luft"));
        QVERIFY(luft.open(QIODevice::WriteOnly));
        luft.write("[luft]\narea_m2 = 100\n");
        luft.close();
        for (const auto &[area, args] : {std::pair{100.0, QStringList{"--tsv"}},
                                         std::pair{50.0, QStringList{"--tsv", "--area", "50"}}}) {
            const auto [status, out, err] = runAir(args, dir.filePath("t.dat"));
            const QList<QByteArray> f = out.split('\n').value(1).split('\t');
            QVERIFY2(status == 0 && f.size() == 9, qPrintable(err));
            QVERIFY(std::abs(f[7].toDouble() * area / f[5].toDouble() - 1) < 1e-12);
        }
    }

    // A bad criteria file stops with status 1 and names the file, the key and the value.
    void badCriteria()
    {
        QTemporaryDir dir;
        QFile shipped(kCriteria);
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        const QString path = dir.filePath("k.ini");
        QFile bad(path);
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(shipped.readAll().replace("area_m2 = 60", "area_m2 = 60 m2"));
        bad.close();
        const auto [status, out, err] = runAir({"--criteria", path, "--tsv"});
        QCOMPARE(status, 1);
        QVERIFY(out.isEmpty());
        QVERIFY2(err.contains(path) && err.contains("area_m2 = \"60 m2\" är inget tal"),
                 qPrintable(err));
        const auto [zeroStatus, zeroOut, zeroErr] = runAir({"--area", "0", "--tsv"});
        QVERIFY(zeroStatus == 1 && zeroErr.contains("area_m2 = 0 ligger utanför"));
    }
};

QTEST_GUILESS_MAIN(TestAirBatch)
#include "tst_airbatch.moc"
