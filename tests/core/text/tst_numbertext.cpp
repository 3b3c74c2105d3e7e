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

private:
    static void addRow(const char *locale, const char *text, bool ok, double value)
    {
        QTest::addRow("%s %s", locale, text)
            << QString::fromLatin1(locale) << QString::fromUtf8(text) << ok << value;
    }

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void parseSingle_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");
        addRow("sv_SE", "2,5", true, 2.5);
        addRow("sv_SE", "  2,5\t", true, 2.5);
        addRow("sv_SE", "2.5", false, 0);
        addRow("sv_SE", "-0,4", true, -0.4f);
        addRow("sv_SE", "\u22120,4", true, -0.4f);
        addRow("sv_SE", "+7", true, 7);
        addRow("sv_SE", ",5", true, 0.5);
        addRow("sv_SE", "5,", true, 5);
        addRow("sv_SE", "1,5E+3", true, 1500);
        addRow("sv_SE", "1e-2", true, 0.01f);
        addRow("sv_SE", "12,50", true, 12.5);
        addRow("sv_SE", "0100", true, 100);
        addRow("sv_SE", "1 000", false, 0);
        addRow("sv_SE", "1\u00a0000", false, 0);
        addRow("sv_SE", "", false, 0);
        addRow("sv_SE", "   ", false, 0);
        addRow("sv_SE", ",", false, 0);
        addRow("sv_SE", "-", false, 0);
        addRow("sv_SE", "1E", false, 0);
        addRow("sv_SE", "1E+", false, 0);
        addRow("sv_SE", "abc", false, 0);
        addRow("sv_SE", "12abc", false, 0);
        addRow("sv_SE", "1,2,3", false, 0);
        addRow("sv_SE", "--1", false, 0);
        addRow("sv_SE", "inf", false, 0);
        addRow("sv_SE", "nan", false, 0);
        addRow("sv_SE", "1E+39", false, 0);
        addRow("sv_SE", "-1E+39", false, 0);
        addRow("sv_SE", "3,4E+38", true, 3.4e38f);
        addRow("sv_SE", "1E-50", true, 0);
        addRow("sv_SE", "0x10", false, 0);
        addRow("sv_SE", "\u0661", false, 0); // a digit of another script
        addRow("en_US", "2.5", true, 2.5);
        addRow("en_US", "2,5", false, 0);
        addRow("en_US", "1,000", false, 0);
        addRow("en_US", "-0.4", true, -0.4f);
        addRow("en_US", ".5", true, 0.5);
        addRow("en_US", "1.234568E+07", true, 1.234568e7f);
    }

    void parseSingle()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(double, value);
        QLocale::setDefault(QLocale(locale));
        const auto parsed = lv::text::parseSingle(text);
        QCOMPARE(parsed.has_value(), ok);
        if (ok)
            QCOMPARE(*parsed, float(value));
    }

    void parseInt16_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");
        addRow("sv_SE", "2,5", true, 2);
        addRow("sv_SE", "3,5", true, 4);
        addRow("sv_SE", "-2,5", true, -2);
        addRow("sv_SE", "-0,4", true, 0);
        addRow("sv_SE", "2,51", true, 3);
        addRow("sv_SE", " 3 ", true, 3);
        addRow("sv_SE", "07", true, 7);
        addRow("sv_SE", "32767", true, 32767);
        addRow("sv_SE", "32767,5", false, 0);
        addRow("sv_SE", "-32768", true, -32768);
        addRow("sv_SE", "-32768,5", true, -32768);
        addRow("sv_SE", "-32769", false, 0);
        addRow("sv_SE", "40000", false, 0);
        addRow("sv_SE", "1E+39", false, 0);
        addRow("sv_SE", "1E+2", true, 100);
        addRow("sv_SE", "", false, 0);
        addRow("sv_SE", "2.5", false, 0);
        addRow("en_US", "2.5", true, 2);
        addRow("en_US", "3.5", true, 4);
        addRow("en_US", "2,5", false, 0);
    }

    void parseInt16()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(double, value);
        QLocale::setDefault(QLocale(locale));
        const auto parsed = lv::text::parseInt16(text);
        QCOMPARE(parsed.has_value(), ok);
        if (ok)
            QCOMPARE(int(*parsed), int(value));
    }

    void formatHashDotHash_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *locale, double value, const char *expected) {
            QTest::addRow("%s %.17g", locale, value)
                << QString::fromLatin1(locale) << value << QString::fromUtf8(expected);
        };
        row("sv_SE", 1234.567, "1234,57");
        row("sv_SE", 0.5, ",5");
        row("sv_SE", 5, "5,");
        row("sv_SE", 0, ",");
        row("sv_SE", 0.004, ",");
        row("sv_SE", 0.005, ",01");  // half away from zero
        row("sv_SE", 0.125, ",13");  // exact binary half
        row("sv_SE", 1.005, "1,01"); // 15 significant digits first, as the spreadsheet does
        row("sv_SE", 12.25, "12,25");
        row("sv_SE", 12.5, "12,5");
        row("sv_SE", 12, "12,");
        row("sv_SE", 99.999, "100,");
        row("sv_SE", 0.07f, ",07");
        row("sv_SE", -1.5, "-1,5");
        row("sv_SE", -0.004, ","); // no minus on a value that rounds to zero
        row("sv_SE", 1234567.891, "1234567,89");
        row("sv_SE", 3.4e38, "340000000000000000000000000000000000000,");
        row("sv_SE", 1e-300, ",");
        row("en_US", 1234.567, "1234.57");
        row("en_US", 0.5, ".5");
        row("en_US", 5, "5.");
        row("en_US", 0, ".");
    }

    void formatHashDotHash()
    {
        QFETCH(QString, locale);
        QFETCH(double, value);
        QFETCH(QString, expected);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(lv::text::formatHashDotHash(value), expected);
    }

    void reformatHashDotHash_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("expected");
        QTest::newRow("sv number") << "sv_SE"
                                   << "1234,567"
                                   << "1234,57";
        QTest::newRow("sv already") << "sv_SE"
                                    << ",5"
                                    << ",5";
        QTest::newRow("sv lone comma") << "sv_SE"
                                       << ","
                                       << ",";
        QTest::newRow("sv text") << "sv_SE"
                                 << "Totalt"
                                 << "Totalt";
        QTest::newRow("sv point") << "sv_SE"
                                  << "1.5"
                                  << "1.5";
        QTest::newRow("en number") << "en_US"
                                   << "0.004"
                                   << ".";
    }

    void reformatHashDotHash()
    {
        QFETCH(QString, locale);
        QFETCH(QString, cell);
        QFETCH(QString, expected);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(lv::text::reformatHashDotHash(cell), expected);
    }

    void formatGeneral_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *locale, float value, const char *expected) {
            QTest::addRow("%s %s", locale, expected)
                << QString::fromLatin1(locale) << double(value) << QString::fromUtf8(expected);
        };
        row("sv_SE", 250, "250");
        row("sv_SE", 120.5f, "120,5");
        row("sv_SE", 0.5f, "0,5");
        row("sv_SE", 0, "0");
        row("sv_SE", -0.0f, "0");
        row("sv_SE", -6, "-6");
        row("sv_SE", 12.5f, "12,5");
        row("sv_SE", 1234567, "1234567"); // exponent 6: still fixed
        row("sv_SE", 9999999, "9999999");
        row("sv_SE", 12345678, "1,234568E+07"); // exponent 7: exponent form
        row("sv_SE", 1e8f, "1E+08");
        row("sv_SE", 3.4e38f, "3,4E+38");
        row("sv_SE", 0.0001f, "0,0001"); // exponent -4: still fixed
        row("sv_SE", 0.00001f, "1E-05"); // exponent -5: exponent form
        row("sv_SE", 1.5e-7f, "1,5E-07");
        row("sv_SE", 0.1f, "0,1");
        row("sv_SE", 1.0f / 3.0f, "0,3333333");
        row("sv_SE", 1000.123f, "1000,123");
        row("sv_SE", 16777217.0f, "1,677722E+07");
        row("en_US", 120.5f, "120.5");
        row("en_US", 12345678, "1.234568E+07");
    }

    void formatGeneral()
    {
        QFETCH(QString, locale);
        QFETCH(double, value);
        QFETCH(QString, expected);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(lv::text::formatGeneral(float(value)), expected);
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
        QTest::newRow("sv") << "sv_SE"
                            << "2026-12-06 14:03:07";
        QTest::newRow("en") << "en_US"
                            << "12/6/26 2:03:07 PM";
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
