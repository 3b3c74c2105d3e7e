#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// luftvaka-batch --dump end to end: what the workbook reader sees in workbooks LibreOffice
// saved, and how a workbook that cannot be read is reported.
namespace {

const QString kBatch = QStringLiteral(LUFTVAKA_BIN_DIR "/luftvaka-batch");

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
    process.start(kBatch, args);
    if (!process.waitForFinished(60000))
        return {};
    return Outcome{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                   QString::fromUtf8(process.readAllStandardOutput()),
                   QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class TestDump : public QObject
{
    Q_OBJECT

private slots:
    void sheetList();
    void formulaResults();
    void cells_data();
    void cells();
    void failures_data();
    void failures();
    void usage_data();
    void usage();
};

void TestDump::sheetList()
{
    const Outcome outcome = dump({"--dump", fixture("cells.xls")});
    QCOMPARE(outcome.status, 0);
    QCOMPARE(outcome.out, u"1\tVärden\n2\tPB  0%\n3\tTom\n4\tSista bladet\n"_qs);
    QCOMPARE(outcome.err, QString());
}

void TestDump::formulaResults()
{
    // Row 3 of the first sheet holds formulas; LibreOffice saved their results with them.
    const Outcome outcome = dump({"--dump", fixture("cells.xls"), "--sheet", "1"});
    QCOMPARE(outcome.status, 0);
    QStringList row3;
    for (const QString &line : outcome.out.split(u'\n')) {
        if (line.startsWith("3\t"))
            row3 << line;
    }
    const QStringList expected{"3\t1\tnumber\t2",     "3\t2\ttext\tPbx",
                               "3\t3\tboolean\tTRUE", "3\t4\terror\t#DIV/0!",
                               "3\t5\terror\t#N/A",   "3\t6\ttext\t",
                               "3\t7\tnumber\t7",     u"3\t8\ttext\tåäö ÅÄÖ12 € – tolv"_qs,
                               "3\t9\tboolean\tFALSE"};
    QCOMPARE(row3, expected);
}

void TestDump::cells_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("expected"); // the whole output

    QTest::newRow("by name, other case")
        << "cells.xls"
        << "pb  0%"
        << u"1\t1\ttext\tHastighet\n1\t2\tnumber\t30\n1\t3\tnumber\t50\n"
           "2\t1\ttext\tBränsle\n2\t2\tnumber\t0.071199999999999999\n"
           "2\t3\tnumber\t0.063399999999999998\n"_qs;
    QTest::newRow("empty sheet") << "cells.xls"
                                 << "3" << QString();
    // Rows and columns count from the used range's top-left cell C3.
    QTest::newRow("used range not at A1")
        << "range.xls"
        << "1"
        << u"1\t1\ttext\tLutning\n1\t2\tnumber\t-2\n1\t3\tnumber\t2\n2\t1\tnumber\t70\n"
           "2\t2\tnumber\t1.25\n2\t3\tnumber\t2.5\n3\t2\tnumber\t3.75\n"_qs;
}

void TestDump::cells()
{
    QFETCH(QString, file);
    QFETCH(QString, sheet);
    QFETCH(QString, expected);

    const Outcome outcome = dump({"--dump", fixture(file), "--sheet", sheet});
    QCOMPARE(outcome.err, QString());
    QCOMPARE(outcome.status, 0);
    QCOMPARE(outcome.out, expected);
}

void TestDump::failures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // null: the file is not made; "cells": a copy
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<QString>("message");

    QTest::newRow("missing") << "faktorer.xls" << QByteArray() << QStringList()
                             << "Arbetsboken faktorer.xls kunde inte öppnas: filen finns inte.\n";
    QTest::newRow("text file")
        << "x.xls" << QByteArray("Hastighet\t30\r\n") << QStringList()
        << u"Arbetsboken x.xls är inte en arbetsbok i Excel 97–2003-format (.xls).\n"_qs;
    QTest::newRow("truncated") << "cut.xls" << QByteArray("cut") << QStringList()
                               << u"Arbetsboken cut.xls är skadad: filens innehållsförteckning "
                                  "kan inte läsas.\n"_qs;
    QTest::newRow("missing sheet")
        << "cells.xls" << QByteArray("copy") << QStringList{"--sheet", "PB 0%"}
        << "Arbetsboken cells.xls saknar bladet \"PB 0%\".\n";
    QTest::newRow("sheet position")
        << "cells.xls" << QByteArray("copy") << QStringList{"--sheet", "9"}
        << "Arbetsboken cells.xls saknar blad nummer 9.\n";
}

void TestDump::failures()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, extra);
    QFETCH(QString, message);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(name);
    if (!content.isNull()) {
        QFile source(fixture("cells.xls"));
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QByteArray whole = source.readAll();
        if (content == "copy")
            content = whole;
        else if (content == "cut")
            content = whole.left(whole.size() / 3);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    const Outcome outcome = dump(QStringList{"--dump", path} + extra);
    QCOMPARE(outcome.status, 1);
    QCOMPARE(outcome.err, message);
    QCOMPARE(outcome.out, QString());
}

void TestDump::usage_data()
{
    QTest::addColumn<QStringList>("args");

    QTest::newRow("no workbook") << QStringList{"--dump"};
    QTest::newRow("no sheet value") << QStringList{"--dump", fixture("cells.xls"), "--sheet"};
    QTest::newRow("unknown option") << QStringList{"--dump", fixture("cells.xls"), "--totals"};
    QTest::newRow("sheet without dump") << QStringList{"--sheet", "1", "--dump"};
    QTest::newRow("two workbooks")
        << QStringList{"--dump", fixture("cells.xls"), "--dump", fixture("range.xls")};
}

void TestDump::usage()
{
    QFETCH(QStringList, args);

    const Outcome outcome = dump(args);
    QCOMPARE(outcome.status, 2);
    QVERIFY2(outcome.err.contains("luftvaka-batch --dump FILE.xls [--sheet NAME|N]"),
             qPrintable(outcome.err));
    QVERIFY2(outcome.err.contains("INPUT.dat"), qPrintable(outcome.err));
    QCOMPARE(outcome.out, QString());
}

QTEST_GUILESS_MAIN(TestDump)
#include "tst_dump.moc"
