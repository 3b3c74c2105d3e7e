#include "core/text/numbertext.h"

#include <QLocale>
#include <QTest>

#include <cmath>
#include <limits>

using namespace lv::text;

// Number texts under a Swedish (decimal comma) and an English (decimal point) locale.
class TestNumberText : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // A text as a single and as a 16-bit integer (rounded half to even); NaN: no conversion.
    void parse_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("single");
        QTest::addColumn<double>("int16");
        const auto add = [](const char *locale, const char *text, double single, double int16) {
            QTest::addRow("%s %s", locale, text)
                << locale << QString::fromUtf8(text) << single << int16;
        };
        const double no = qQNaN();
        add("sv_SE", "2,5", 2.5, 2);
        add("sv_SE", "  2,5\t", 2.5, 2);
        add("sv_SE", "3,5", 3.5, 4);
        add("sv_SE", "-2,5", -2.5, -2);
        add("sv_SE", "2,51", 2.51, 3);
        add("sv_SE", "-0,4", -0.4, 0);
        add("sv_SE", "\u22120,4", -0.4, 0);
        add("sv_SE", "+7", 7, 7);
        add("sv_SE", ",5", 0.5, 0);
        add("sv_SE", "5,", 5, 5);
        add("sv_SE", "1,5E+3", 1500, 1500);
        add("sv_SE", "1e-2", 0.01, 0);
        add("sv_SE", "12,50", 12.5, 12);
        add("sv_SE", "07", 7, 7);
        add("sv_SE", "32767", 32767, 32767);
        add("sv_SE", "32767,5", 32767.5, no);
        add("sv_SE", "-32768,5", -32768.5, -32768);
        add("sv_SE", "-32769", -32769, no);
        add("sv_SE", "40000", 40000, no);
        add("sv_SE", "3,4E+38", 3.4e38, no);
        add("sv_SE", "1E-50", 0, 0);
        add("sv_SE", "2.5", no, no);
        add("sv_SE", "1 000", no, no);
        add("sv_SE", "1\u00a0000", no, no);
        add("sv_SE", "", no, no);
        add("sv_SE", "   ", no, no);
        add("sv_SE", ",", no, no);
        add("sv_SE", "-", no, no);
        add("sv_SE", "1E+", no, no);
        add("sv_SE", "abc", no, no);
        add("sv_SE", "12abc", no, no);
        add("sv_SE", "1,2,3", no, no);
        add("sv_SE", "--1", no, no);
        add("sv_SE", "inf", no, no);
        add("sv_SE", "nan", no, no);
        add("sv_SE", "1E+39", no, no);
        add("sv_SE", "0x10", no, no);
        add("sv_SE", "\u0661", no, no); // a digit of another script
        add("en_US", "2.5", 2.5, 2);
        add("en_US", "3.5", 3.5, 4);
        add("en_US", "-0.4", -0.4, 0);
        add("en_US", ".5", 0.5, 0);
        add("en_US", "1.234568E+07", 1.234568e7, no);
        add("en_US", "2,5", no, no);
        add("en_US", "1,000", no, no);
    }

    void parse()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(double, single);
        QFETCH(double, int16);
        QLocale::setDefault(QLocale(locale));
        const auto parsedSingle = lv::text::parseSingle(text);
        QCOMPARE(parsedSingle.has_value(), !qIsNaN(single));
        if (parsedSingle)
            QCOMPARE(*parsedSingle, float(single));
        const auto parsedInt16 = lv::text::parseInt16(text);
        QCOMPARE(parsedInt16.has_value(), !qIsNaN(int16));
        if (parsedInt16)
            QCOMPARE(int(*parsedInt16), int(int16));
    }

    // A value in the "#.##" pattern, and as a single in the general form (at most seven
    // significant digits; exponent form from 1E+07 up and 1E-05 down).
    void format_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("hashDotHash");
        QTest::addColumn<QString>("general");
        const auto add = [](const char *locale, double value, const char *hash,
                            const char *general) {
            QTest::addRow("%s %.17g", locale, value) << locale << value << hash << general;
        };
        add("sv_SE", 1234.567, "1234,57", "1234,567");
        add("sv_SE", 0.5, ",5", "0,5");
        add("sv_SE", 5, "5,", "5");
        add("sv_SE", 0, ",", "0");
        add("sv_SE", -0.0, ",", "0");
        add("sv_SE", 0.004, ",", "0,004");
        add("sv_SE", 0.005, ",01", "0,005"); // half away from zero
        add("sv_SE", 0.125, ",13", "0,125"); // exact binary half
        add("sv_SE", 1.005, "1,01",
            "1,005"); // 15 significant digits first, as the spreadsheet does
        add("sv_SE", 99.999, "100,", "99,999");
        add("sv_SE", double(0.07f), ",07", "0,07");
        add("sv_SE", -1.5, "-1,5", "-1,5");
        add("sv_SE", -0.004, ",", "-0,004"); // no minus on a value that rounds to zero
        add("sv_SE", -6, "-6,", "-6");
        add("sv_SE", 120.5, "120,5", "120,5");
        add("sv_SE", 1234567.891, "1234567,89", "1234568");
        add("sv_SE", 9999999, "9999999,", "9999999");
        add("sv_SE", 12345678, "12345678,", "1,234568E+07");
        add("sv_SE", 16777217, "16777217,", "1,677722E+07"); // a single holds 16777216
        add("sv_SE", 1e8, "100000000,", "1E+08");
        add("sv_SE", 3.4e38, "340000000000000000000000000000000000000,", "3,4E+38");
        add("sv_SE", 0.0001, ",", "0,0001");
        add("sv_SE", 0.00001, ",", "1E-05");
        add("sv_SE", 1.5e-7, ",", "1,5E-07");
        add("sv_SE", 0.1, ",1", "0,1");
        add("sv_SE", 1.0 / 3.0, ",33", "0,3333333");
        add("sv_SE", 1000.123, "1000,12", "1000,123");
        add("sv_SE", 1e-300, ",", "0");
        add("en_US", 1234.567, "1234.57", "1234.567");
        add("en_US", 0.5, ".5", "0.5");
        add("en_US", 5, "5.", "5");
        add("en_US", 0, ".", "0");
        add("en_US", 120.5, "120.5", "120.5");
        add("en_US", 12345678, "12345678.", "1.234568E+07");
    }

    void format()
    {
        QFETCH(QString, locale);
        QFETCH(double, value);
        QFETCH(QString, hashDotHash);
        QFETCH(QString, general);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(lv::text::formatHashDotHash(value), hashDotHash);
        QCOMPARE(lv::text::formatGeneral(float(value)), general);
    }

    void reformatHashDotHash_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("expected");
        const auto add = [](const char *locale, const char *cell, const char *expected) {
            QTest::addRow("%s %s", locale, cell) << locale << cell << expected;
        };
        add("sv_SE", "1234,567", "1234,57");
        add("sv_SE", ",5", ",5");
        add("sv_SE", ",", ",");
        add("sv_SE", "Totalt", "Totalt"); // not a number: unchanged
        add("sv_SE", "1.5", "1.5");
        add("en_US", "0.004", ".");
    }

    void reformatHashDotHash()
    {
        QFETCH(QString, locale);
        QFETCH(QString, cell);
        QFETCH(QString, expected);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(lv::text::reformatHashDotHash(cell), expected);
    }

    void generalFormRoundTrips()
    {
        // A label coordinate read back gives the number it was written from, for values with
        // up to seven significant digits.
        QLocale::setDefault(QLocale(QStringLiteral("sv_SE")));
        for (float v : {0.5f, 120.5f, 250.0f, 1234.567f, 99999.99f, 1e-5f, 3e20f}) {
            const auto back = lv::text::parseSingle(lv::text::formatGeneral(v));
            QVERIFY(back.has_value());
            QCOMPARE(*back, v);
        }
    }

    void formatDateTime_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");
        QTest::newRow("sv") << "sv_SE" << u"2026-12-06 14:03:07"_qs;
        QTest::newRow("en") << "en_US" << u"12/6/26 2:03:07 PM"_qs;
    }

    void formatDateTime()
    {
        QFETCH(QString, locale);
        QFETCH(QString, expected);
        QLocale::setDefault(QLocale(locale));
        const QDateTime moment(QDate(2026, 12, 6), QTime(14, 3, 7));
        QCOMPARE(lv::text::formatDateTime(moment), expected);
    }
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
