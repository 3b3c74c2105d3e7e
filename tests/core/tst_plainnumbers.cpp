#include "core/text/numbertext.h"

#include <QTest>

#include <cmath>

using namespace lv::text;

// Plain texts (digits, a minus, one separator) take a short way to their value; it must give
// the value the decimal text rounds to, exactly as longer texts do, on both sides of its limits.
class TestPlainNumbers : public QObject
{
    Q_OBJECT

private slots:
    void exactValues()
    {
        const QLocale sv(QStringLiteral("sv_SE"));
        // Text, as a single, as a double.
        const std::tuple<const char *, float, double> cases[] = {
            {"0,1", 0.1f, 0.1},
            {"0,7", 0.7f, 0.7},
            {"-12,5", -12.5f, -12.5},
            {"1234567,8", 1234567.75f, 1234567.8},
            {"16777216", 16777216.0f, 16777216.0},
            {"16777217", 16777216.0f, 16777217.0}, // a tie: to the even neighbour
            {"16777219", 16777220.0f, 16777219.0},
            {"0,0000000001", 1e-10f, 1e-10},
            {"0,00000000001", 1e-11f, 1e-11},
            {"9007199254740993", 9007199254740992.0f, 9007199254740992.0},
            {"123456789012345678", 123456789012345678.0f, 123456789012345678.0},
            {"000000000000000000001", 1.0f, 1.0},
            {"5,", 5.0f, 5.0},
        };
        for (const auto &[text, single, dbl] : cases) {
            const QString t = QString::fromLatin1(text);
            // As texts of 17 digits: every single and double shows as itself.
            const auto show = [&t](double value) {
                return t + u' ' + QString::number(value, 'g', 17);
            };
            QCOMPARE(show(parseSingle(t, sv).value_or(-1)), show(single));
            QCOMPARE(show(parseDouble(t, sv).value_or(-1)), show(dbl));
        }
        QVERIFY(std::signbit(*parseSingle(u"-0"_qs, sv)));
        QVERIFY(!parseSingle(u"1,5"_qs, QLocale::c()) && !parseDouble(u"-"_qs, sv));
        QVERIFY(!parseSingle(u"1,2,3"_qs, sv) && !parseDouble(u"--1"_qs, sv));
        QCOMPARE(parseInt16(u"-32768"_qs, sv).value_or(0), int16_t(-32768));
    }
};

QTEST_GUILESS_MAIN(TestPlainNumbers)
#include "tst_plainnumbers.moc"
