#include "core/text/numbertext.h"

#include <QLocale>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace lv::text {

namespace {

// Minus signs we accept: the ASCII one and the locale's own (Swedish has U+2212).
bool isMinus(QChar c, const QString &localeMinus)
{
    return c == u'-' || c == QChar(0x2212) || (localeMinus.size() == 1 && c == localeMinus[0]);
}

bool isPlus(QChar c, const QString &localePlus)
{
    return c == u'+' || (localePlus.size() == 1 && c == localePlus[0]);
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The number symbols of a locale, looked up again only when the locale differs from the last
// one asked for (parsing a maximum tunnel converts a quarter of a million texts).
struct Symbols
{
    QLocale locale;
    QString decimal;
    QString minus;
    QString plus;
};

const Symbols &symbols(const QLocale &locale)
{
    thread_local Symbols cached{QLocale::c(), QStringLiteral("."), QStringLiteral("-"),
                                QStringLiteral("+")};
    if (!(locale == cached.locale)) {
        cached =
            Symbols{locale, locale.decimalPoint(), locale.negativeSign(), locale.positiveSign()};
    }
    return cached;
}

// Checks the syntax of a number text in a locale and rewrites it as a C-locale number
// ("-1.5e3"), or returns nothing when the text is not a number.
std::optional<std::string> toCNumber(const QString &text, const QLocale &locale)
{
    const Symbols &sym = symbols(locale);
    const QString &decimal = sym.decimal;
    const QString &minus = sym.minus;
    const QString &plus = sym.plus;
    const QString t = text.trimmed();

    std::string out;
    qsizetype i = 0;
    const qsizetype n = t.size();
    if (i < n && isMinus(t[i], minus)) {
        out += '-';
        ++i;
    } else if (i < n && isPlus(t[i], plus)) {
        ++i;
    }
    int digits = 0;
    while (i < n && isDigit(t[i])) {
        out += char(t[i].unicode());
        ++digits;
        ++i;
    }
    if (!decimal.isEmpty() && t.mid(i, decimal.size()) == decimal) {
        out += '.';
        i += decimal.size();
        while (i < n && isDigit(t[i])) {
            out += char(t[i].unicode());
            ++digits;
            ++i;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < n && (t[i] == u'e' || t[i] == u'E')) {
        out += 'e';
        ++i;
        if (i < n && isMinus(t[i], minus)) {
            out += '-';
            ++i;
        } else if (i < n && isPlus(t[i], plus)) {
            ++i;
        }
        int exponentDigits = 0;
        while (i < n && isDigit(t[i])) {
            out += char(t[i].unicode());
            ++exponentDigits;
            ++i;
        }
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;
    return out;
}

locale_t cLocale()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return c;
}

// Decimal digits of a value rounded to the given number of significant digits.
struct Decimal
{
    std::string digits; // exactly `significant` digits, the first one non-zero unless value is 0
    int exponent = 0;   // value = d.ddd... * 10^exponent
};

Decimal toDecimal(double magnitude, int significant)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", significant - 1, magnitude);
    Decimal d;
    const char *p = buffer;
    for (; *p && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9')
            d.digits += *p;
    }
    if (*p == 'e')
        d.exponent = std::atoi(p + 1);
    return d;
}

QString nonFinite(double value)
{
    if (std::isnan(value))
        return QStringLiteral("nan");
    return value < 0 ? QStringLiteral("-inf") : QStringLiteral("inf");
}

// Adds one to a string of decimal digits.
void increment(std::string &digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

} // namespace

std::optional<double> parseDouble(const QString &text, const QLocale &locale)
{
    const auto c = toCNumber(text, locale);
    if (!c)
        return std::nullopt;
    const double value = strtod_l(c->c_str(), nullptr, cLocale());
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<float> parseSingle(const QString &text, const QLocale &locale)
{
    const auto c = toCNumber(text, locale);
    if (!c)
        return std::nullopt;
    // Rounded once, from the decimal text straight to single precision. A value too small
    // for single precision becomes 0 (or a denormal); one too large does not convert.
    const float value = strtof_l(c->c_str(), nullptr, cLocale());
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int16_t> parseInt16(const QString &text, const QLocale &locale)
{
    const auto value = parseDouble(text, locale);
    if (!value)
        return std::nullopt;
    const double rounded = std::nearbyint(*value); // the default rounding: ties to even
    if (rounded < -32768.0 || rounded > 32767.0)
        return std::nullopt;
    return static_cast<int16_t>(rounded);
}

QString formatHashDotHash(double value, const QLocale &locale)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    // The value is first taken to 15 significant digits, as the variant-to-text conversion of
    // the spreadsheet world does, then rounded half away from zero to hundredths.
    const Decimal d = toDecimal(std::fabs(value), 15);
    std::string hundredths;            // the value times 100, rounded, as decimal digits
    const int shift = 12 - d.exponent; // digits to drop from the 15 to reach hundredths
    if (value == 0.0) {
        hundredths = "0";
    } else if (shift <= 0) {
        hundredths = d.digits + std::string(std::size_t(-shift), '0');
    } else if (shift > 15) {
        hundredths = "0";
    } else {
        const std::size_t keep = std::size_t(15 - shift);
        hundredths = keep == 0 ? std::string("0") : d.digits.substr(0, keep);
        if (d.digits[keep] >= '5')
            increment(hundredths);
    }
    const auto firstNonZero = hundredths.find_first_not_of('0');
    const bool isZero = firstNonZero == std::string::npos;
    hundredths = isZero ? std::string("0") : hundredths.substr(firstNonZero);
    if (hundredths.size() < 3)
        hundredths.insert(0, 3 - hundredths.size(), '0');
    std::string integer = hundredths.substr(0, hundredths.size() - 2);
    std::string fraction = hundredths.substr(hundredths.size() - 2);
    if (integer == "0")
        integer.clear();
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    QString out;
    if (value < 0 && !isZero)
        out += u'-';
    out += QString::fromLatin1(integer);
    out += symbols(locale).decimal;
    out += QString::fromLatin1(fraction);
    return out;
}

QString reformatHashDotHash(const QString &cellText, const QLocale &locale)
{
    const auto value = parseDouble(cellText, locale);
    return value ? formatHashDotHash(*value, locale) : cellText;
}

QString formatGeneral(float value, const QLocale &locale)
{
    const double v = value;
    if (!std::isfinite(v))
        return nonFinite(v);
    if (v == 0.0)
        return QStringLiteral("0");
    const Decimal d = toDecimal(std::fabs(v), 7);
    const QString &decimal = symbols(locale).decimal;
    std::string digits = d.digits;
    QString out = v < 0 ? QStringLiteral("-") : QString();
    if (d.exponent < -4 || d.exponent > 6) {
        while (digits.size() > 1 && digits.back() == '0')
            digits.pop_back();
        out += QChar(digits[0]);
        if (digits.size() > 1)
            out += decimal + QString::fromLatin1(digits.substr(1));
        out += d.exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
        out += QStringLiteral("%1").arg(std::abs(d.exponent), 2, 10, QLatin1Char('0'));
        return out;
    }
    std::string integer;
    std::string fraction;
    if (d.exponent >= 0) {
        integer = digits.substr(0, std::size_t(d.exponent) + 1);
        fraction = digits.substr(std::size_t(d.exponent) + 1);
    } else {
        integer = "0";
        fraction = std::string(std::size_t(-d.exponent - 1), '0') + digits;
    }
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    out += QString::fromLatin1(integer);
    if (!fraction.empty())
        out += decimal + QString::fromLatin1(fraction);
    return out;
}

QString formatDateTime(const QDateTime &moment, const QLocale &locale)
{
    // The long time format without its time-zone field ('t' outside quotes).
    const QString longTime = locale.timeFormat(QLocale::LongFormat);
    QString format;
    bool quoted = false;
    for (QChar c : longTime) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        format += c;
    }
    return locale.toString(moment.date(), QLocale::ShortFormat) + u' ' +
           locale.toString(moment.time(), format.trimmed());
}

} // namespace lv::text
