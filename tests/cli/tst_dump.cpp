#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// luftvaka-batch --dump end to end: what the workbook reader sees in workbooks LibreOffice
// saved, and how a workbook that cannot be read is reported.
namespace {

QString fixture(const QString &name)
{
    return QStringLiteral(LUFTVAKA_TEST_DATA "/xls/") + name;
}

struct Outcome
{
    int status = -1;
    QString out;
    QString err;
};

Outcome dump(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(LUFTVAKA_BIN_DIR "/luftvaka-batch"), QStringList("--dump") + args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return Outcome{process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                   QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class TestDump : public QObject
{
    Q_OBJECT

private slots:
    void formulaResults()
    {
        // Row 3 of the first sheet holds formulas; LibreOffice saved their results with them.
        const Outcome outcome = dump({fixture("cells.xls"), "--sheet", "1"});
        QCOMPARE(outcome.status, 0);
        const QStringList row3 = outcome.out.split(u'\n').filter(QRegularExpression("^3\t"));
        QCOMPARE(row3, QStringList({"3\t1\tnumber\t2", "3\t2\ttext\tPbx", "3\t3\tboolean\tTRUE",
                                    "3\t4\terror\t#DIV/0!", "3\t5\terror\t#N/A", "3\t6\ttext\t",
                                    "3\t7\tnumber\t7", u"3\t8\ttext\tåäö ÅÄÖ12 € – tolv"_qs,
                                    "3\t9\tboolean\tFALSE"}));
    }

    // Status 0 with the output; 1 with the message on standard error; 2 (wrong usage) with the
    // usage on standard error. Only status 0 writes to standard output.
    void outcomes_data()
    {
        QTest::addColumn<QStringList>("args");   // after --dump; "x.xls" is made from content
        QTest::addColumn<QByteArray>("content"); // null: x.xls is not made; "cut": of cells.xls
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("expected"); // standard output or standard error
        const auto add = [](const char *name, const QStringList &args, const QByteArray &content,
                            int status, const QString &expected) {
            QTest::newRow(name) << args << content << status << expected;
        };
        const QString cells = fixture("cells.xls");
        const QString x = QStringLiteral("Arbetsboken x.xls ");
        add("sheet list", {cells}, {}, 0, u"1\tVärden\n2\tPB  0%\n3\tTom\n4\tSista bladet\n"_qs);
        add("by name, other case", {cells, "--sheet", "pb  0%"}, {}, 0,
            u"1\t1\ttext\tHastighet\n1\t2\tnumber\t30\n1\t3\tnumber\t50\n2\t1\ttext\tBränsle\n"
            "2\t2\tnumber\t0.071199999999999999\n2\t3\tnumber\t0.063399999999999998\n"_qs);
        add("empty sheet", {cells, "--sheet", "3"}, {}, 0, {});
        // Rows and columns count from the used range's top-left cell C3.
        add("used range not at A1", {fixture("range.xls"), "--sheet", "1"}, {}, 0,
            u"1\t1\ttext\tLutning\n1\t2\tnumber\t-2\n1\t3\tnumber\t2\n2\t1\tnumber\t70\n"
            "2\t2\tnumber\t1.25\n2\t3\tnumber\t2.5\n3\t2\tnumber\t3.75\n"_qs);
        add("missing", {"x.xls"}, {}, 1, x + u"kunde inte öppnas: filen finns inte.\n"_qs);
        add("text file", {"x.xls"}, "Hastighet\t30\r\n", 1,
            x + u"är inte en arbetsbok i Excel 97–2003-format (.xls).\n"_qs);
        add("truncated", {"x.xls"}, "cut", 1,
            x + u"är skadad: filens innehållsförteckning kan inte läsas.\n"_qs);
        // An Excel 4 worksheet: a bare BIFF4 stream, BOF and EOF.
        add("excel 4", {"x.xls"}, QByteArray("\x09\x04\x06\0\0\0\x10\0\0\0\x0A\0\0\0", 14), 1,
            x + u"är sparad i en äldre Excel-version som inte kan läsas. Spara den i Excel "
                "97–2003-format (.xls).\n"_qs);
        add("missing sheet", {cells, "--sheet", "PB 0%"}, {}, 1,
            u"Arbetsboken cells.xls saknar bladet \"PB 0%\".\n"_qs);
        add("sheet position", {cells, "--sheet", "9"}, {}, 1,
            u"Arbetsboken cells.xls saknar blad nummer 9.\n"_qs);
        add("no workbook", {}, {}, 2, {});
        add("no sheet value", {cells, "--sheet"}, {}, 2, {});
        add("unknown option", {cells, "--totals"}, {}, 2, {});
        add("two workbooks", {cells, "--dump", fixture("range.xls")}, {}, 2, {});
    }

    void outcomes()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, content);
        QFETCH(int, status);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        if (!content.isNull()) {
            QFile source(fixture("cells.xls"));
            QFile file(dir.filePath("x.xls"));
            QVERIFY(source.open(QIODevice::ReadOnly) && file.open(QIODevice::WriteOnly));
            file.write(content == "cut" ? source.readAll().first(source.size() / 3) : content);
        }
        args.replaceInStrings(QRegularExpression("^x.xls$"), dir.filePath("x.xls"));
        const Outcome outcome = dump(args);
        QCOMPARE(outcome.status, status);
        QCOMPARE(outcome.out, status == 0 ? expected : QString());
        if (status < 2)
            QCOMPARE(outcome.err, status == 1 ? expected : QString());
        QVERIFY2(status < 2 ||
                     (outcome.err.contains("luftvaka-batch --dump FILE.xls [--sheet NAME|N]") &&
                      outcome.err.contains("INPUT.dat")),
                 qPrintable(outcome.err));
    }
};

QTEST_GUILESS_MAIN(TestDump)
#include "tst_dump.moc"
