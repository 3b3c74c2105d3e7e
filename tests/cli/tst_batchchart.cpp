#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// luftvaka-batch's segment places and --chart, on the small test workbooks and the tunnel of
// 400 m at 0 % and 600 m at 3 % (segments "1" and "2").
namespace {

const QString kData = QStringLiteral(LUFTVAKA_TEST_DATA);

struct Outcome
{
    int status = -1;
    QByteArray out;
    QString err;
};

Outcome run(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(LUFTVAKA_BIN_DIR "/luftvaka-batch"),
                  QStringList{"--workbooks", kData + "/calc", "--locale", "sv_SE"} + args +
                      QStringList{kData + "/cli/tunnel.dat"});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class TestBatchChart : public QObject
{
    Q_OBJECT

private slots:
    // The last three fields of the segment table: chainage start and end, height at the end.
    void segmentPlaces()
    {
        const Outcome outcome = run({"--tsv", "--segments"});
        const QList<QByteArray> lines = outcome.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines[3].split('\t').mid(12),
                 (QList<QByteArray>{"Kedjem\xC3\xA5tt start: [m]", "Kedjem\xC3\xA5tt slut: [m]",
                                    "H\xC3\xB6jd: [m]"}));
        QCOMPARE(lines[4].split('\t').mid(12), (QList<QByteArray>{"0", "400", "0"}));
        QCOMPARE(lines[5].split('\t').mid(12), (QList<QByteArray>{"400", "1000", "18"}));
    }

    // --chart writes a file of its suffix's kind beside the usual output; wrong use is refused
    // before anything is computed, and a chart that cannot be written leaves no output.
    void chart()
    {
        const std::tuple<QString, QString, int, QByteArray, QString> cases[] = {
            {"c.pdf", "nox", 0, "%PDF", ""},
            {"c.svg", "pm10", 0, "<?xml", ""},
            {"c.png", "road_pm10", 0, "\x89PNG", ""},
            {"c.pdf", "soot", 2, "", "luftvaka-batch: unknown quantity soot"},
            {"c.pdf", "", 2, "", "luftvaka-batch: --chart and --quantity go together"},
            {"c.gif", "fuel", 2, "", "luftvaka-batch: --chart takes a .pdf, .svg or .png file"},
            {"none/c.png", "fuel", 1, "", "Filen c.png sparades inte"},
        };
        for (const auto &[name, quantity, status, magic, message] : cases) {
            QTemporaryDir dir;
            QStringList args{"-o", dir.filePath("ut.eff"), "--chart", dir.filePath(name)};
            if (!quantity.isEmpty())
                args << "--quantity" << quantity;
            const Outcome outcome = run(args);
            QCOMPARE(outcome.status, status);
            QVERIFY2(outcome.err.contains(message), qPrintable(outcome.err));
            QFile chart(dir.filePath(name));
            QCOMPARE(chart.exists(), status == 0);
            QVERIFY(status != 0 || (chart.open(QIODevice::ReadOnly) && chart.size() > 1000 &&
                                    chart.read(magic.size()) == magic));
            QCOMPARE(QFile::exists(dir.filePath("ut.eff")), status == 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestBatchChart)
#include "tst_batchchart.moc"
