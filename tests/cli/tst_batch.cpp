#include <QtTest>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

// luftvaka-batch end to end, on the small test workbooks and a two-segment tunnel:
// 400 m at 0 % and 600 m at 3 %, Pb/Lb/Lbs at 50 and then 80 km/h with 100, 10 and 1 vehicles
// per hour, year 2005, SPS 10, studded share 0; and --dump on workbooks LibreOffice saved.
namespace {

const QString kData = QStringLiteral(LUFTVAKA_TEST_DATA);
const QString kTunnel = kData + "/cli/tunnel.dat";
const QString kBiff5 = kData + "/xls/biff5.xls";
const QString kCriteria = QStringLiteral(LUFTVAKA_SOURCE_DIR "/data/luftkriterier.ini");

// Exit status, standard output and error. A calculation gets the test workbooks and the Swedish
// locale; --dump only what it is given.
std::tuple<int, QByteArray, QString> run(QStringList args)
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

// Output as a script reads it: lines of TAB-separated fields.
QList<QList<QByteArray>> fields(const QByteArray &out)
{
    QList<QList<QByteArray>> rows;
    for (const QByteArray &line : out.trimmed().split('\n'))
        rows << line.split('\t');
    return rows;
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
        const std::tuple<const char *, const char *, bool, double, double, double> cases[] = {
            {"300:700", "300 - 700", true, 14613.0, 3.1, 0},
            {"0:120,5", "0 - 120.5", false, 20733.0, 7.75, 1},
            {"0:400", "0 - 400", true, 8293.2, 3.1, 0.4}};
        for (const auto &[stretch, label, totals, fuel, road, km] : cases) {
            QStringList args{"--stretch", stretch, "--tsv", "--segments", kTunnel};
            const auto [status, out, err] = run(totals ? args << "--totals" : args);
            // One empty line between the tables.
            QList<QList<QByteArray>> rows = fields(out);
            QVERIFY(rows.size() == 7 && rows.takeAt(3) == QList<QByteArray>{""});
            // The segment table adds chainage start and end and height (at the end) to the
            // twelve fields.
            for (int i = 0; i < rows.size(); ++i)
                QCOMPARE(rows[i].size(), i < 3 ? 12 : 15);
            QCOMPARE(rows[3].mid(12) + rows[4].mid(12) + rows[5].mid(12),
                     (QList<QByteArray>{"Kedjemått start: [m]", "Kedjemått slut: [m]", "Höjd: [m]",
                                        "0", "400", "0", "400", "1000", "18"}));
            QCOMPARE(rows[0][1], totals ? "Bränsle: [l]"_ba : "Bränsle: [l/km]"_ba);
            QVERIFY(rows[1][0] == "Totalt" && near(rows[1][1], 33372.6) && near(rows[1][9], 7.75));
            QCOMPARE(rows[2][0], label);
            QVERIFY2(near(rows[2][1], fuel) && near(rows[2][9], road), stretch);
            for (int column = 1; km > 0 && column < 12; ++column)
                QVERIFY2(near(rows[2][column], km * rows[4][column].toDouble()), stretch);
            // Rates per km and hour whatever the mode.
            QCOMPARE(rows[3][0] + rows[3][1] + rows[3][11],
                     "Segment nr:Bränsle: [l/km/h]CO2: [kg/km/h]"_ba);
            QCOMPARE(rows[4].mid(0, 3) + rows[5].mid(0, 2),
                     (QList<QByteArray>{"1", "20733", "84733", "2", "41799"}));
            QVERIFY(near(rows[4][9], 7.75) && near(rows[5][9], 7.75));
        }
    }

    // Without -o the result file goes to standard output; --help prints the usage there.
    void standardOutput()
    {
        const auto [status, out, err] = run({"--stretch", "300:700", kTunnel});
        const QList<QByteArray> lines = out.split('\n');
        QCOMPARE(lines.value(0) + lines.value(7).left(15) + lines.value(8).left(18),
                 "Emissionsber\xe4kning tunnlar\rTotalt\t33372,6\t300 - 700\t36532,5\t"_ba);
        const auto [helpStatus, help, helpErr] = run({"--help"});
        QVERIFY(status == 0 && helpStatus == 0 && help.startsWith("usage: ") &&
                help.contains("\n(\"Segment nr:\"") && helpErr.isEmpty());
    }

    // Status, standard output and standard error (for status 2 up to the end of its first line
    // of "luftvaka-batch: ", the usage after it), and that a result file was written just when a
    // calculation succeeded. "x.xls" is made from the last field. The dump shows every kind of
    // cell, one line each whatever the text holds: "Rik text" (D2) patched to hold a TAB, LF,
    // backslash and CR; by name, rows and columns count from the used range's first cell C10.
    void outcomes()
    {
        QFile biff5(kBiff5);
        const QByteArray bytes = biff5.open(QIODevice::ReadOnly) ? biff5.readAll() : QByteArray();
        const QString label = u"Fel i grundtabellen Rätta! 12,5\n"_s;
        const std::tuple<QStringList, QString, QByteArray> cases[] = {
            {{"--dump", kBiff5}, u"0|1\tBlad ÅÄÖ\n2\tPB  0%\n|"_s, QByteArray()},
            {{"--dump", "x.xls", "--sheet", "1"},
             u"0|1\t1\ttext\tåäö € – Pb\n1\t2\tnumber\t1.5\n1\t3\tnumber\t7\n1\t4\tnumber\t12.34\n"
             "2\t1\tnumber\t1\n2\t2\tnumber\t-2\n2\t3\tnumber\t0.5\n2\t4\ttext\ta\\tb\\nc\\\\\\re\n"
             "3\t1\ttext\tBlad ÅÄÖ€\n3\t2\tnumber\t3\n3\t3\tboolean\tTRUE\n3\t4\terror\t#DIV/0!\n"
             "4\t1\tboolean\tFALSE\n4\t2\terror\t#N/A\n|"_s,
             QByteArray(bytes).replace("Rik text", "a\tb\nc\\\re")}, // as long: offsets hold
            {{"--dump", kBiff5, "--sheet", "pb  0%"}, "0|1\t1\tnumber\t99\n|", QByteArray()},
            {{"--dump", "x.xls"},
             u"1||Arbetsboken x.xls är inte en arbetsbok i något av formaten .xls, .xlsx och .ods.\n"_s,
             "Hastighet\t30\r\n"},
            {{"--dump", "x.xls"},
             u"1||Arbetsboken x.xls är skadad: filens innehållsförteckning kan inte läsas.\n"_s,
             bytes.first(bytes.size() / 3)},
            {{"--dump", kBiff5, "--sheet", "3"},
             "1||Arbetsboken biff5.xls saknar blad nummer 3.\n",
             QByteArray()},
            {{"--dump"}, "2||--dump needs a value", QByteArray()},
            {{"--dump", kBiff5, "--sheet"}, "2||--sheet needs a value", QByteArray()},
            {{"--dump", kBiff5, "--totals"}, "2||unknown argument --totals", QByteArray()},
            {{"--dump", kBiff5, "--dump", kBiff5}, "2||--dump given twice", QByteArray()},
            {{kTunnel}, "0||" + label, QByteArray()},
            {{kData + "/cli/steep.dat"},
             u"0||Fel i grundtabellen Rätta! Profil utan ordet\n"_s + label +
                 u"Lutning utanför tabellernas -7…7 % i 1 segment: under -7 % räknas som -7 %, "
                 "över 7 % extrapoleras.\n"_s,
             QByteArray()},
            {{}, "2||no input file", QByteArray()},
            {{"--stretch", "1-2", kTunnel},
             "2||" + label + "--stretch takes START:STOP, not 1-2",
             QByteArray()},
            {{"--segments", kTunnel}, "2||--segments goes with --tsv", QByteArray()},
            {{kData + "/cli/none.dat"},
             "1||Filen none.dat kunde inte öppnas (No such file or directory).\n",
             QByteArray()},
            {{kData + "/calc/src/faktorer.txt"}, "1||Ogiltig indatafil\n", QByteArray()},
            {{"--stretch", "0:1001", kTunnel},
             "1||" + label +
                 "Start- och slutkoordinaterna måste upfylla: 0 <= start < slut <= 1000 (total "
                 "tunnellängd)\n",
             QByteArray()}};
        for (auto [args, expected, content] : cases) {
            QTemporaryDir dir;
            QFile file(dir.filePath("x.xls"));
            QVERIFY(content.isNull() ||
                    (file.open(QIODevice::WriteOnly) && file.write(content) > 0 && file.flush()));
            args.replaceInStrings(u"x.xls"_s, file.fileName());
            const bool dump = args.value(0) == "--dump";
            const QString eff = dir.filePath("ut.eff");
            const auto [code, out, err] = run(dump ? args : QStringList{"-o", eff} + args);
            const qsizetype usage = code == 2 && err.endsWith("\n       luftvaka-batch --help\n")
                                        ? err.indexOf("luftvaka-batch: ")
                                        : -1;
            QCOMPARE(
                QString::number(code) + u'|' + QString::fromUtf8(out) + u'|' +
                    (usage < 0 ? err : err.left(usage) + err.mid(usage + 16).section(u'\n', 0, 0)),
                expected);
            QCOMPARE(QFile::exists(eff), !dump && code == 0);
        }
    }

    // --chart writes a file of its suffix's kind (in any case) beside the usual output; wrong use
    // is refused before anything is computed, and a chart that cannot be written leaves no
    // output.
    void chart()
    {
        const std::tuple<QString, QString, int, QByteArray, QString> cases[] = {
            {"c.pdf", "nox", 0, "%PDF", ""},
            {"c.SVG", "pm10", 0, "<?xml", ""},
            {"c.png", "road_pm10", 0, "\x89PNG", ""},
            {"c.pdf", "soot", 2, "", "luftvaka-batch: unknown quantity soot"},
            {"c.pdf", "", 2, "", "luftvaka-batch: --chart and --quantity go together"},
            {"c.gif", "fuel", 2, "", "luftvaka-batch: --chart takes a .pdf, .svg or .png file"},
            {"none/c.png", "fuel", 1, "", "Filen c.png sparades inte"},
        };
        for (const auto &[name, quantity, status, magic, message] : cases) {
            QTemporaryDir dir;
            QStringList args{"-o", dir.filePath("ut.eff"), "--chart", dir.filePath(name), kTunnel};
            if (!quantity.isEmpty())
                args << "--quantity" << quantity;
            const auto [code, out, err] = run(args);
            QCOMPARE(code, status);
            QVERIFY2(err.contains(message), qPrintable(err));
            QFile chart(dir.filePath(name));
            QCOMPARE(chart.exists(), status == 0);
            QVERIFY(status != 0 || (chart.open(QIODevice::ReadOnly) && chart.size() > 1000 &&
                                    chart.read(magic.size()) == magic));
            QCOMPARE(QFile::exists(dir.filePath("ut.eff")), status == 0);
        }
    }

    // --compare-years: "Totalt" fuel 33372,6 l/km in 2005, then the stretch in the C locale.
    // --compare of the file against itself: no difference, 0 % wherever there is a base, "–"
    // where the value is zero (no studded tyres: no road wear of them).
    void compare()
    {
        const auto years =
            fields(std::get<1>(run({"--tsv", "--compare-years", "--stretch", "0:120,5", kTunnel})));
        QCOMPARE(years.size(), 1 + 2 * 11);
        QCOMPARE(years[0].join('|'), "Delsträcka|Storhet|2005|2010|2020|"
                                     "Ändring 2010 mot 2005 [%]|Ändring 2020 mot 2005 [%]"_ba);
        QCOMPARE(years[1].mid(0, 2), (QList<QByteArray>{"Totalt", "Bränsle: [l/km]"}));
        QCOMPARE(qRound(years[1][2].toDouble() * 10), 333726);
        QCOMPARE(years[12][0], "0 - 120.5"_ba);
        for (const auto &line : years)
            QCOMPARE(line.size(), 7);

        const auto [status, out, err] = run({"--tsv", "--totals", "--compare", kTunnel, kTunnel});
        const auto lines = fields(out);
        QCOMPARE(status, 0);
        QCOMPARE(lines[0].join('|'),
                 "Delsträcka|Storhet|Senaste beräkningen|tunnel.dat|Skillnad|Skillnad [%]"_ba);
        QCOMPARE(lines[1].mid(1),
                 (QList<QByteArray>{"Bränsle: [l]", lines[1][2], lines[1][2], "0", "0"}));
        QVERIFY(lines[1][2].toDouble() > 0);
        for (const auto &line : lines.mid(1, 11))
            QVERIFY(line[5] == "0" || (line[2] == "0" && line[5] == "–"));
        QCOMPARE(std::get<0>(run({"--compare-years", kTunnel})), 2);
        QCOMPARE(std::get<0>(run({"--tsv", "--compare", kData + "/cli/none.dat", kTunnel})), 1);
    }

    // --air with the shipped criteria file (20 % of NOx as NO2, 1.91 - 0.04 mg/m³ of margin):
    // the header as scripts read it, "Totalt" first, stretches in the C locale. 0..400 lies in
    // segment 1 alone (NOx 84733 g/km): E = 0.2 · 84733 · 0.4 g/h, the mean demand half the
    // exit demand.
    void air()
    {
        const auto [status, out, err] = run({"--air", "--criteria", kCriteria, "--stretch", "0:400",
                                             "--stretch", "0,5:700", "--tsv", kTunnel});
        QCOMPARE(status, 0);
        const auto lines = fields(out);
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0].join('\t'),
                 "stretch\tE_NO2_g_h\tQ_NO2_mean_m3s\tQ_NO2_exit_m3s\tQ_visibility_m3s\t"
                 "Q_design_m3s\tgoverning\tair_speed_ms\twarning");
        QVERIFY(lines[1][0] == "Totalt" && lines[3][0] == "0.5 - 700");
        const QList<QByteArray> &f = lines[2];
        QVERIFY(f.size() == 9 && f[0] == "0 - 400");
        QVERIFY(std::abs(f[1].toDouble() - 6778.64) < 1e-9);
        QVERIFY(std::abs(f[3].toDouble() - 6778.64 / 6.732) < 1e-9);
        QVERIFY(std::abs(2 * f[2].toDouble() - f[3].toDouble()) < 1e-9);
    }

    // The .luft beside the input file over the criteria file, the command line over both: the
    // air speed is the design flow over the cross-section in force. A bad criteria file stops
    // with status 1 and names the file, the key and the value.
    void airSettings()
    {
        QTemporaryDir dir;
        QVERIFY(QFile::copy(kTunnel, dir.filePath("t.dat")));
        QFile luft(dir.filePath("t.luft"));
        QVERIFY(luft.open(QIODevice::WriteOnly) && luft.write("[luft]\narea_m2 = 100\n") > 0);
        luft.close();
        for (const auto &[area, args] :
             {std::pair{100.0, QStringList{}}, std::pair{50.0, QStringList{"--area", "50"}}}) {
            const auto [status, out, err] =
                run(QStringList{"--air", "--tsv", dir.filePath("t.dat")} + args);
            const QList<QByteArray> f = fields(out).value(1);
            QVERIFY2(status == 0 && f.size() == 9, qPrintable(err));
            QVERIFY(std::abs(f[7].toDouble() * area / f[5].toDouble() - 1) < 1e-12);
        }

        QFile shipped(kCriteria), bad(dir.filePath("k.ini"));
        QVERIFY(shipped.open(QIODevice::ReadOnly) && bad.open(QIODevice::WriteOnly));
        bad.write(shipped.readAll().replace("area_m2 = 60", "area_m2 = 60 m2"));
        bad.close();
        const auto [status, out, err] =
            run({"--air", "--criteria", bad.fileName(), "--tsv", kTunnel});
        QVERIFY(status == 1 && out.isEmpty());
        QVERIFY2(err.contains(bad.fileName()) && err.contains("area_m2 = \"60 m2\" är inget tal"),
                 qPrintable(err));
        const auto [zero, zeroOut, zeroErr] = run({"--air", "--area", "0", "--tsv", kTunnel});
        QVERIFY(zero == 1 && zeroErr.contains("area_m2 = 0 ligger utanför"));
    }
};

QTEST_GUILESS_MAIN(TestBatch)
#include "tst_batch.moc"
