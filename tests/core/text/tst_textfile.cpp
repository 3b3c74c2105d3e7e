#include "core/text/textfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>


using namespace lv::text;

class TestTextFile : public QObject
{
    Q_OBJECT

private slots:
    void codePageRoundTripsEveryByte()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QString text = decode1252(all);
        QCOMPARE(text.size(), 256);
        const auto back = encode1252(text);
        QVERIFY(back.ok());
        QCOMPARE(*back, all);
    }

    // Characters of the code page, 0x80-0x9F included, and characters it cannot hold: an error
    // that names the character.
    void codePageCharacters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes"); // null: refused
        QTest::addColumn<QString>("named");
        QTest::newRow("a-umlaut") << u"ä"_qs << QByteArray("\xE4") << QString();
        QTest::newRow("euro") << u"€"_qs << QByteArray("\x80") << QString();
        QTest::newRow("en dash") << u"–"_qs << QByteArray("\x96") << QString();
        QTest::newRow("curly quotes") << u"“”"_qs << QByteArray("\x93\x94") << QString();
        QTest::newRow("trade mark") << u"™"_qs << QByteArray("\x99") << QString();
        QTest::newRow("undefined 81") << QString(QChar(0x81)) << QByteArray("\x81") << QString();
        QTest::newRow("minus sign") << u"a\u2212b"_qs << QByteArray() << u"U+2212"_qs;
        QTest::newRow("cyrillic") << u"Ж"_qs << QByteArray() << u"U+0416"_qs;
        QTest::newRow("emoji") << u"x😀"_qs << QByteArray() << u"U+1F600"_qs;
    }

    void codePageCharacters()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, named);
        const auto encoded = encode1252(text);
        QCOMPARE(encoded.ok(), !bytes.isNull());
        if (encoded.ok()) {
            QCOMPARE(*encoded, bytes);
            QCOMPARE(decode1252(bytes), text);
        } else {
            QVERIFY2(encoded.error().message.contains(named), qPrintable(encoded.error().message));
        }
    }

    void splitLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("crlf") << "a\r\nb\r\n" << QStringList{"a", "b"};
        QTest::newRow("bare cr") << "a\rb\r" << QStringList{"a", "b"};
        QTest::newRow("bare lf") << "a\nb\n" << QStringList{"a", "b"};
        QTest::newRow("no last end") << "a\r\nb" << QStringList{"a", "b"};
        QTest::newRow("empty lines") << "\r\n\r\nx\r\n" << QStringList{"", "", "x"};
        QTest::newRow("cr cr lf") << "a\r\r\nb" << QStringList{"a", "", "b"};
        QTest::newRow("lf cr") << "a\n\rb" << QStringList{"a", "", "b"};
        QTest::newRow("empty") << "" << QStringList{};
    }

    void splitLines()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(lv::text::splitLines(text), lines);
    }

    void joinAndSplitFields()
    {
        QCOMPARE(joinLines({"a", "", "b\tc"}), QStringLiteral("a\r\n\r\nb\tc\r\n"));
        QCOMPARE(splitFields("1\t\t3"), (QStringList{"1", "", "3"}));
    }

    void atomicSaveReplacesTheFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("out.dat");
        QVERIFY(saveFileAtomically(path, "old").ok());
        QVERIFY(saveFileAtomically(path, "new\r\n").ok());
        QCOMPARE(*readWholeFile(path), QByteArray("new\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.dat"});
    }

    void missingDirectoryIsReported()
    {
        const auto saved = saveFileAtomically("/nonexistent-dir/x.dat", "x");
        QVERIFY(!saved.ok());
        QVERIFY(!readWholeFile("/nonexistent-dir/x.dat").ok());
    }
};

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
