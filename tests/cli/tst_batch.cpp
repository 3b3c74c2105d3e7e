#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <tuple>

using namespace Qt::StringLiterals;

// luftvaka-batch end to end, on the small test workbooks and a two-segment tunnel:
// 400 m at 0 % and 600 m at 3 %, Pb/Lb/Lbs at 50 and then 80 km/h with 100, 10 and 1 vehicles
// per hour, year 2005, SPS 10, studded share 0; and --dump on workbooks LibreOffice saved.
namespace {

const QString kData = QStringLiteral(LUFTVAKA_TEST_DATA);
const QString kTunnel = kData + "/cli/tunnel.dat";
const QString kBiff5 = kData + "/xls/biff5.xls";

using Outcome = std::tuple<int, QByteArray, QString>; // exit status, standard output and error

// A calculation gets the test workbooks and the Swedish locale; --dump only what it is given.
Outcome run(QStringList args)
{
    if (args.value(0) != "--dump")
        args = QStringList{"--workbooks", kData + "/calc", "--locale", "sv_SE"} + args;
    QProcess process;
    process.start(QStringLiteral(LUFTVAKA_BIN_DIR "/luftvaka-batch"), args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {-1, {}, {}};
    return {process.exitCode(), process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
}

bool near(const QByteArray &field, double expected)
{
    return std::fabs(field.toDouble() - expected) <= 1e-6 * std::fabs(expected) + 1e-9;
}

} // namespace

class TestBatch : public QObject
{
    Q_OBJECT

private slots:
    // Segment rates: fuel 20733 and 41799 l/km, NOx 84733 on segment 1 (low-speed weights),
    // road-surface particles 7,75 g/km on both. "Totalt" stays per km with --totals. A stretch
    // inside segment 1 (km > 0) holds segment 1's rates times its length in km (1 per km),
    // column for column.
    void tsv()
    {
        struct Case
        {
            const char *stretch, *label;
            bool totals;
            double fuel, road, km;
        };
        static const Case cases[] = {{"300:700", "300 - 700", false, 36532.5, 7.75, 0},
                                     {"300:700", "300 - 700", true, 14613.0, 3.1, 0},
                                     {"0:120,5", "0 - 120.5", false, 20733.0, 7.75, 0},
                                     {"0:400", "0 - 400", false, 20733.0, 7.75, 1},
                                     {"0:400", "0 - 400", true, 8293.2, 3.1, 0.4}};
        for (const Case &c : cases) {
            const QByteArray what = c.stretch + QByteArray(c.totals ? " totals" : " per km");
            QStringList args{"--stretch", c.stretch, "--tsv", "--segments", kTunnel};
            if (c.totals)
                args << "--totals";
            const auto [status, out, err] = run(args);
            QVERIFY2(status == 0, what);
            // As a script reads it: lines of TAB-separated fields, one empty line between tables.
            QList<QList<QByteArray>> rows;
            for (const QByteArray &line : out.trimmed().split('\n'))
                rows << line.split('\t');
            QVERIFY(rows.size() == 7 && rows[3] == QList<QByteArray>{""});
            rows.removeAt(3);
            QVERIFY(std::ranges::all_of(rows, [](const auto &line) { return line.size() == 12; }));
            const auto segments = rows.mid(3);
            QCOMPARE(rows[0][1], c.totals ? "Bränsle: [l]"_ba : "Bränsle: [l/km]"_ba);
            QVERIFY(rows[1][0] == "Totalt" && near(rows[1][1], 33372.6) && near(rows[1][9], 7.75));
            QCOMPARE(rows[2][0], c.label);
            QVERIFY2(near(rows[2][1], c.fuel) && near(rows[2][9], c.road), what);
            for (int column = 1; c.km > 0 && column < 12; ++column)
                QVERIFY2(near(rows[2][column], c.km * segments[1][column].toDouble()), what);
            // Rates per km and hour whatever the mode.
            QCOMPARE(segments[0][0] + segments[0][1] + segments[0][11],
                     "Segment nr:Bränsle: [l/km/h]CO2: [kg/km/h]"_ba);
            QCOMPARE(segments[1].mid(0, 3), (QList<QByteArray>{"1", "20733", "84733"}));
            QCOMPARE(segments[2].mid(0, 2), (QList<QByteArray>{"2", "41799"}));
            QVERIFY(near(segments[1][9], 7.75) && near(segments[2][9], 7.75));
        }
    }

    void help()
    {
        const auto [status, out, err] = run({"--help"});
        QCOMPARE(status, 0);
        QVERIFY(out.startsWith("usage: ") && out.contains("\n(\"Segment nr:\"") && err.isEmpty());
    }

    void resultFile()
    {
        const auto [status, out, err] = run({"--stretch", "300:700", kTunnel});
        QCOMPARE(status, 0);
        const QList<QByteArray> lines = out.split('\n');
        QCOMPARE(lines[0] + lines[3] + lines[4],
                 "Emissionsber\xe4kning tunnlar\rProvtunnel \xe5 \xe4 \xf6\rEffekter/km\r"_ba);
        QVERIFY(lines[7].startsWith("Totalt\t33372,6\t"));
        QVERIFY(lines[8].startsWith("300 - 700\t36532,5\t"));
    }

    // --dump: status 0 with exactly this on standard output. A calculation (written to a file)
    // ends with status 0 and exactly this on standard error (label warnings and the notice of a
    // slope outside the tables, in the locale given). Status 1 or 2: standard error holds this
    // (2: with the usage), standard output is empty, and no result file is written.
    void outcomes_data()
    {
        QTest::addColumn<QStringList>("args"); // "x.xls" is made from content
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("expected");
        const auto add = [](const char *name, const QStringList &args, int status,
                            const QString &expected, const QByteArray &content = {}) {
            QTest::newRow(name) << args << content << status << expected;
        };
        QFile biff5(kBiff5);
        const QByteArray bytes = biff5.open(QIODevice::ReadOnly) ? biff5.readAll() : QByteArray();
        const QString label = u"Fel i grundtabellen Rätta! 12,5\n"_s;
        add("sheet list", {"--dump", kBiff5}, 0, u"1\tBlad ÅÄÖ\n2\tPB  0%\n"_s);
        // Every kind of cell, one line each whatever the text holds: "Rik text" (D2) patched to
        // hold a TAB, LF, backslash and CR.
        add("cells, escaped text", {"--dump", "x.xls", "--sheet", "1"}, 0,
            u"1\t1\ttext\tåäö € – Pb\n1\t2\tnumber\t1.5\n1\t3\tnumber\t7\n1\t4\tnumber\t12.34\n"
            "2\t1\tnumber\t1\n2\t2\tnumber\t-2\n2\t3\tnumber\t0.5\n2\t4\ttext\ta\\tb\\nc\\\\\\re\n"
            "3\t1\ttext\tBlad ÅÄÖ€\n3\t2\tnumber\t3\n3\t3\tboolean\tTRUE\n3\t4\terror\t#DIV/0!\n"
            "4\t1\tboolean\tFALSE\n4\t2\terror\t#N/A\n"_s,
            QByteArray(bytes).replace("Rik text", "a\tb\nc\\\re")); // as long: offsets hold
        // By name in another case; rows and columns count from the used range's first cell C10.
        add("by name", {"--dump", kBiff5, "--sheet", "pb  0%"}, 0, "1\t1\tnumber\t99\n");
        add("text file", {"--dump", "x.xls"}, 1,
            u"Arbetsboken x.xls är inte en arbetsbok i Excel 97–2003-format (.xls).\n"_s,
            "Hastighet\t30\r\n");
        add("truncated", {"--dump", "x.xls"}, 1,
            u"Arbetsboken x.xls är skadad: filens innehållsförteckning kan inte läsas.\n"_s,
            bytes.first(bytes.size() / 3));
        add("sheet position", {"--dump", kBiff5, "--sheet", "3"}, 1,
            u"Arbetsboken biff5.xls saknar blad nummer 3.\n"_s);
        add("no workbook", {"--dump"}, 2, "--dump needs a value");
        add("no sheet value", {"--dump", kBiff5, "--sheet"}, 2, "--sheet needs a value");
        add("dump, other option", {"--dump", kBiff5, "--totals"}, 2, "unknown argument --totals");
        add("two workbooks", {"--dump", kBiff5, "--dump", kBiff5}, 2, "--dump given twice");
        add("within the tables", {kTunnel}, 0, label);
        add("9 %", {kData + "/cli/steep.dat"}, 0,
            u"Fel i grundtabellen Rätta! Profil utan ordet\n"_s + label +
                u"Lutning utanför tabellernas -7…7 % i 1 segment: under -7 % räknas som -7 %, "
                "över 7 % extrapoleras.\n"_s);
        add("no input", {}, 2, "no input file");
        add("bad stretch form", {"--stretch", "1-2", kTunnel}, 2, "--stretch takes START:STOP");
        add("segments without tsv", {"--segments", kTunnel}, 2, "--segments goes with --tsv");
        add("missing file", {kData + "/cli/none.dat"}, 1, "none.dat");
        add("not an input file", {kData + "/calc/src/faktorer.txt"}, 1, "Ogiltig indatafil\n");
        add("stretch beyond T", {"--stretch", "0:1001", kTunnel}, 1,
            "Start- och slutkoordinaterna måste upfylla: 0 <= start < slut <= 1000 (total "
            "tunnellängd)\n");
        add("negative flow", {kData + "/cli/negativeflow.dat"}, 1,
            "Rad 2 i segmentlistan (segment 2): Lb, Flöde är mindre än 0 (-120). Rätta raden med "
            "Ändra...\n");
    }

    void outcomes()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, content);
        QFETCH(int, status);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString x = dir.filePath("x.xls");
        QFile file(x);
        QVERIFY(content.isNull() ||
                (file.open(QIODevice::WriteOnly) && file.write(content) > 0 && file.flush()));
        args.replaceInStrings(QRegularExpression("^x.xls$"), x);
        const bool dump = args.value(0) == "--dump";
        const QString eff = dir.filePath("ut.eff");
        const auto [code, out, err] = run(dump ? args : QStringList{"-o", eff} + args);
        QCOMPARE(code, status);
        QCOMPARE(QString::fromUtf8(out), dump && status == 0 ? expected : QString());
        const QString told = dump && status == 0 ? QString() : expected;
        QVERIFY2(status == 0 ? err == told : err.contains(told), qPrintable(err));
        QVERIFY(status < 2 || err.endsWith("\n       luftvaka-batch --help\n"));
        QCOMPARE(QFile::exists(eff), !dump && status == 0);
    }
};

QTEST_GUILESS_MAIN(TestBatch)
#include "tst_batch.moc"
