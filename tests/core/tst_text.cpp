#include "core/text/numbertext.h"
#include "core/text/textfile.h"

#include <QtTest>

using namespace lv::text;

namespace {

const double no = qQNaN(); // no conversion
const QLocale kSv(QStringLiteral("sv_SE"));

// Locale, text, and the text as a single, a double and a 16-bit integer (ties to even).
const std::tuple<const char *, const char *, double, double, double> kParse[] = {
    {"sv_SE", "2,5", 2.5, 2.5, 2},
    {"sv_SE", "  2,5\t", 2.5, 2.5, 2},
    {"sv_SE", "3,5", 3.5, 3.5, 4},
    {"sv_SE", "-2,5", -2.5, -2.5, -2},
    {"sv_SE", "\u22120,4", -0.4, -0.4, 0},
    {"sv_SE", "1E\u22122", 0.01, 0.01, 0},
    {"sv_SE", "+7", 7, 7, 7},
    {"sv_SE", ",5", 0.5, 0.5, 0},
    {"sv_SE", "5,", 5, 5, 5},
    {"sv_SE", "1,5E+3", 1500, 1500, 1500},
    {"sv_SE", "1e-2", 0.01, 0.01, 0},
    {"sv_SE", "32767", 32767, 32767, 32767},
    {"sv_SE", "32767,5", 32767.5, 32767.5, no},
    {"sv_SE", "-32768,5", -32768.5, -32768.5, -32768},
    {"sv_SE", "-32769", -32769, -32769, no},
    {"sv_SE", "3,4E+38", 3.4e38, 3.4e38, no},
    {"sv_SE", "1E+39", no, 1e39, no},
    {"sv_SE", "1E-50", 0, 1e-50, 0},
    {"en_US", "2.5", 2.5, 2.5, 2},
    {"en_US", "\u22120.4", -0.4, -0.4, 0},
    {"en_US", "1.234568E+07", 1.234568e7, 1.234568e7, no},
    {"en_US", "2,5", no, no, no},
    {"en_US", "1,000", no, no, no}};

// Texts that no parser reads under sv_SE; "\u0661" is a digit of another script.
const char *const kNoNumber[] = {"2.5", "1 000", "1\u00a0000", "",      ",",
                                 "-",   "1E+",   "12abc",      "1,2,3", "--1",
                                 "inf", "nan",   "1E+309",     "0x10",  "\u0661"};

// Locale, value, the value in the "#.##" pattern and as a single in the general form: halves
// away from zero (0,125 an exact binary one), after the first 15 significant digits as the
// spreadsheet does (1,005); no minus on a value that rounds to zero; a single holds 16777216.
const std::tuple<const char *, double, const char *, const char *> kFormat[] = {
    {"sv_SE", 1234.567, "1234,57", "1234,567"},
    {"sv_SE", 0.5, ",5", "0,5"},
    {"sv_SE", 5, "5,", "5"},
    {"sv_SE", -0.0, ",", "0"},
    {"sv_SE", 0.005, ",01", "0,005"},
    {"sv_SE", 0.125, ",13", "0,125"},
    {"sv_SE", 1.005, "1,01", "1,005"},
    {"sv_SE", 99.999, "100,", "99,999"},
    {"sv_SE", double(0.07f), ",07", "0,07"},
    {"sv_SE", -1.5, "-1,5", "-1,5"},
    {"sv_SE", -0.004, ",", "-0,004"},
    {"sv_SE", 1234567.891, "1234567,89", "1234568"},
    {"sv_SE", 9999999, "9999999,", "9999999"},
    {"sv_SE", 12345678, "12345678,", "1,234568E+07"},
    {"sv_SE", 16777217, "16777217,", "1,677722E+07"},
    {"sv_SE", 1e8, "100000000,", "1E+08"},
    {"sv_SE", 3.4e38, "340000000000000000000000000000000000000,", "3,4E+38"},
    {"sv_SE", 0.0001, ",", "0,0001"},
    {"sv_SE", 0.00001, ",", "1E-05"},
    {"sv_SE", 1.0 / 3.0, ",33", "0,3333333"},
    {"sv_SE", 1e-300, ",", "0"},
    {"en_US", 1234.567, "1234.57", "1234.567"},
    {"en_US", 12345678, "12345678.", "1.234568E+07"}};

// Numbers as one text, so that a failing row shows itself (NaN: "nan").
template <class... T>
QString show(const QString &text, T... values)
{
    return text + ((u' ' + QString::number(double(values), 'g', 17)) + ...);
}

template <class T>
double orNaN(const std::optional<T> &value)
{
    return value ? double(*value) : no;
}

} // namespace

class TestText : public QObject
{
    Q_OBJECT

private slots:
    void parse()
    {
        for (const char *text : kNoNumber) {
            const auto none = QString::fromUtf8(text);
            QVERIFY2(!parseSingle(none, kSv) && !parseDouble(none, kSv) && !parseInt16(none, kSv),
                     text);
        }
        for (const auto &[name, utf8, single, dbl, int16] : kParse) {
            const QLocale locale(QString::fromLatin1(name));
            const QString text = QString::fromUtf8(utf8);
            QCOMPARE(show(text, orNaN(parseSingle(text, locale)), orNaN(parseDouble(text, locale)),
                          orNaN(parseInt16(text, locale))),
                     show(text, float(single), dbl, int16));
        }
    }

    void format()
    {
        for (const auto &[name, value, hashDotHash, general] : kFormat) {
            const QLocale locale(QString::fromLatin1(name));
            QCOMPARE(formatHashDotHash(value, locale) + u'|' + formatGeneral(float(value), locale),
                     QString::fromUtf8(hashDotHash) + u'|' + QString::fromUtf8(general));
        }
    }

    // Every byte round-trips through the code page; a character it cannot hold is refused
    // with a message that names it.
    void codePage()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        QCOMPARE(decode1252(all).mid(0x7F, 5), u"\u007F€\u0081‚ƒ"_qs);
        QCOMPARE(*encode1252(decode1252(all)), all);
        const std::pair<QString, QString> refused[] = {
            {u"a\u2212b"_qs, u"\"\u2212\" (U+2212)"_qs},
            {u"x😀"_qs, u"\"😀\" (U+1F600)"_qs},
            {QString(QChar(0xD800)), u"U+D800"_qs}, // a lone surrogate
            {QString(QChar(0x200B)), u"U+200B"_qs}, // not printable
        };
        for (const auto &[text, named] : refused) {
            QCOMPARE(encode1252(text).error(),
                     (lv::Error{lv::ErrorKind::File,
                                "Tecknet " + named +
                                    " kan inte sparas i filens teckenkodning (Windows-1252)."}));
        }
    }

    void splitsLines()
    {
        QCOMPARE(splitLines(u"\r\na\r\nb\rc\nd\r\r\ne\n\rf\n"_qs),
                 (QStringList{"", "a", "b", "c", "d", "", "e", "", "f"}));
        QCOMPARE(splitLines(QString()), QStringList());
    }

    // The file is replaced whole or not at all.
    void atomicSave()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("out.dat");
        QVERIFY(saveFileAtomically(path, "old").ok() && saveFileAtomically(path, "new\r\n").ok());
        QCOMPARE(saveFile(path, encode1252(u"Ж"_qs)).error().message,
                 u"Filen out.dat sparades inte. Tecknet \"Ж\" (U+0416) kan inte sparas i filens "
                 "teckenkodning (Windows-1252)."_qs);
        QCOMPARE(*readWholeFile(path), QByteArray("new\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.dat"});
        QVERIFY(saveFileAtomically("/nonexistent-dir/x.dat", "x")
                    .error()
                    .message.startsWith(u"Filen x.dat sparades inte: den kunde inte skapas ("_qs));
        QVERIFY(!readWholeFile("/nonexistent-dir/x.dat").ok());
    }
};

QTEST_GUILESS_MAIN(TestText)
#include "tst_text.moc"
