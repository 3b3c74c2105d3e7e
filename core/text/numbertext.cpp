#include "core/text/numbertext.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <cfloat>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale.h>
#include <string>
#include <string_view>

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
// ("-1.5e3") into `out`, or returns false when the text is not a number. `out` is reused from
// call to call, so that converting a number costs no allocation; the rewritten text is never
// longer than the text.
bool toCNumber(QStringView text, const QLocale &locale, std::string &out)
{
    const Symbols &sym = symbols(locale);
    const QString &decimal = sym.decimal;
    const QString &minus = sym.minus;
    const QString &plus = sym.plus;
    // Most texts have no blanks around them: the trim is then skipped.
    const auto plain = [](QChar c) { return c.unicode() > u' ' && c.unicode() < 0x7f; };
    const QStringView t =
        !text.isEmpty() && plain(text.front()) && plain(text.back()) ? text : text.trimmed();

    const qsizetype n = t.size();
    out.resize(std::size_t(n));
    char *const begin = out.data();
    char *p = begin;
    qsizetype i = 0;
    const auto copyDigits = [&] {
        const qsizetype first = i;
        while (i < n && isDigit(t[i]))
            *p++ = char(t[i++].unicode());
        return int(i - first);
    };
    if (i < n && isMinus(t[i], minus)) {
        *p++ = '-';
        ++i;
    } else if (i < n && isPlus(t[i], plus)) {
        ++i;
    }
    int digits = copyDigits();
    const auto decimalAt = [&] {
        if (decimal.size() == 1)
            return i < n && t[i] == decimal[0];
        return !decimal.isEmpty() && t.sliced(i).startsWith(decimal);
    };
    if (decimalAt()) {
        *p++ = '.';
        i += decimal.size();
        digits += copyDigits();
    }
    if (digits == 0)
        return false;
    if (i < n && (t[i] == u'e' || t[i] == u'E')) {
        *p++ = 'e';
        ++i;
        if (i < n && isMinus(t[i], minus)) {
            *p++ = '-';
            ++i;
        } else if (i < n && isPlus(t[i], plus)) {
            ++i;
        }
        if (copyDigits() == 0)
            return false;
    }
    out.resize(std::size_t(p - begin));
    return i == n;
}

// Powers of ten that T holds exactly: 1e0..1e10 in single precision, 1e0..1e22 in double.
template <class T>
constexpr auto kExactPowers = [] {
    std::array<T, std::is_same_v<T, float> ? 11 : 23> powers{};
    T power = 1;
    for (auto &p : powers) {
        p = power;
        power *= 10;
    }
    return powers;
}();

// The plain texts files and the window mostly hold ("500", "-7", "12,5"): an optional ASCII
// minus, digits and at most one decimal separator of one character, nothing else. When the
// digits as a whole number m and the power 10^f of the f decimals are both exact in T, m / 10^f
// is one division of exact values, rounded once as reading the decimal text rounds it.
// Returns false for any other text, which then takes the general way.
template <class T>
bool parsePlain(QStringView t, const QLocale &locale, T &value)
{
    constexpr std::uint64_t kExactMantissa = std::uint64_t(1) << (std::numeric_limits<T>::digits);
    // Looked up only for a text that is more than a whole number.
    const auto isSeparator = [&locale](char16_t c) {
        const QString &decimal = symbols(locale).decimal;
        return decimal.size() == 1 && c == decimal[0].unicode();
    };
    const qsizetype n = t.size();
    const bool negative = n > 0 && t[0] == u'-';
    std::uint64_t m = 0;
    int digits = 0;
    int decimals = -1; // none before the separator
    for (qsizetype i = negative ? 1 : 0; i < n; ++i) {
        const char16_t c = t[i].unicode();
        if (c >= u'0' && c <= u'9') {
            if (++digits > 18)
                return false;
            m = m * 10 + std::uint64_t(c - u'0');
            if (decimals >= 0)
                ++decimals;
        } else if (decimals < 0 && isSeparator(c)) {
            decimals = 0;
        } else {
            return false;
        }
    }
    const std::size_t f = std::size_t(std::max(decimals, 0));
    if (digits == 0 || m > kExactMantissa || f >= kExactPowers<T>.size())
        return false;
    value = T(m) / kExactPowers<T>[f];
    if (negative)
        value = -value;
    return true;
}

std::string &numberBuffer()
{
    thread_local std::string buffer;
    return buffer;
}

locale_t cLocale()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return c;
}

// A C-locale number text to T, rounded once from the decimal text (correctly, like strtod).
// The fast reader leaves a value beyond T's range to the C library, which gives the usual
// answers: an overflow is infinite, a value too small for T is 0.
template <class T>
T fromCNumber(const std::string &c)
{
    T value = 0;
    const auto [end, fault] = std::from_chars(c.data(), c.data() + c.size(), value);
    if (fault == std::errc() && end == c.data() + c.size())
        return value;
    if constexpr (std::is_same_v<T, float>)
        return strtof_l(c.c_str(), nullptr, cLocale());
    else
        return strtod_l(c.c_str(), nullptr, cLocale());
}

// Decimal digits of a value rounded to the given number of significant digits (as printf's
// "%.*e" rounds them).
struct Decimal
{
    static constexpr int kMaxDigits = 17;
    char digits[kMaxDigits]; // exactly `count` digits, the first one non-zero unless value is 0
    int count = 0;
    int exponent = 0; // value = d.ddd... * 10^exponent

    std::string_view view() const { return {digits, std::size_t(count)}; }
};

Decimal toDecimal(double magnitude, int significant)
{
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                       std::chars_format::scientific, significant - 1);
    Decimal d;
    const char *p = buffer;
    for (; p != written.ptr && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9' && d.count < Decimal::kMaxDigits)
            d.digits[d.count++] = *p;
    }
    if (p != written.ptr) {
        int exponent = 0;
        std::from_chars(*(p + 1) == '+' ? p + 2 : p + 1, written.ptr, exponent);
        d.exponent = exponent;
    }
    return d;
}

// The same for a positive single-precision value to seven significant digits, exactly and
// without the general conversion, for the magnitudes segment values have (about 1e-5 up to
// 1e7); false for any other value. A value m / 2^k is scaled by 10^s into 1e6..1e7 and rounded
// to an integer, ties to even as printf rounds them; every product stays within 64 bits.
bool toDecimal7(float value, Decimal &d)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = int(bits >> 23) & 0xff;
    const int k = 150 - biased; // value = m / 2^k
    if (biased == 0 || k < 0 || k > 40)
        return false;
    const std::uint64_t m = (bits & 0x7fffffu) | 0x800000u;
    const std::uint64_t one = std::uint64_t(1) << k;
    std::uint64_t scaled = m;
    int s = 0;
    while (scaled < 1000000 * one) {
        if (++s > 11)
            return false;
        scaled *= 10;
    }
    if (scaled >= 10000000 * one)
        return false;
    std::uint64_t q = scaled >> k;
    const std::uint64_t rest = scaled & (one - 1);
    const std::uint64_t half = one >> 1;
    if (k > 0 && (rest > half || (rest == half && (q & 1) != 0)))
        ++q;
    int exponent = 6 - s;
    if (q == 10000000) {
        q = 1000000;
        ++exponent;
    }
    d.count = 7;
    for (int i = 6; i >= 0; --i, q /= 10)
        d.digits[i] = char('0' + q % 10);
    d.exponent = exponent;
    return true;
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

// A text built from ASCII pieces and the locale's separator, allocated once.
class TextBuilder
{
public:
    void add(char c)
    {
        if (m_size < kCapacity)
            m_text[m_size++] = char16_t(c);
    }
    void add(std::string_view ascii)
    {
        for (char c : ascii)
            add(c);
    }
    void add(const QString &text)
    {
        // The locale's symbols are a character or two; anything longer is cut, never overrun.
        for (qsizetype i = 0; i < text.size() && m_size < kCapacity; ++i)
            m_text[m_size++] = text[i].unicode();
    }
    QString text() const { return QString(reinterpret_cast<const QChar *>(m_text), m_size); }

private:
    static constexpr qsizetype kCapacity = 64;
    char16_t m_text[kCapacity];
    qsizetype m_size = 0;
};

} // namespace

std::optional<double> parseDouble(QStringView text, const QLocale &locale)
{
    if (double value = 0; parsePlain(text, locale, value))
        return value;
    std::string &c = numberBuffer();
    if (!toCNumber(text, locale, c))
        return std::nullopt;
    const double value = fromCNumber<double>(c);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<float> parseSingle(QStringView text, const QLocale &locale)
{
    if (float value = 0; parsePlain(text, locale, value))
        return value;
    std::string &c = numberBuffer();
    if (!toCNumber(text, locale, c))
        return std::nullopt;
    // Rounded once, from the decimal text straight to single precision. A value too small
    // for single precision becomes 0 (or a denormal); one too large does not convert.
    const float value = fromCNumber<float>(c);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int16_t> parseInt16(QStringView text, const QLocale &locale)
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
    const std::string_view digits = d.view();
    std::string hundredths;            // the value times 100, rounded, as decimal digits
    const int shift = 12 - d.exponent; // digits to drop from the 15 to reach hundredths
    if (value == 0.0) {
        hundredths = "0";
    } else if (shift <= 0) {
        hundredths = std::string(digits) + std::string(std::size_t(-shift), '0');
    } else if (shift > 15) {
        hundredths = "0";
    } else {
        const std::size_t keep = std::size_t(15 - shift);
        hundredths = keep == 0 ? std::string("0") : std::string(digits.substr(0, keep));
        if (digits[keep] >= '5')
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
    Decimal d;
    if (!toDecimal7(std::fabs(value), d))
        d = toDecimal(std::fabs(v), 7);
    const QString &decimal = symbols(locale).decimal;
    std::string_view digits = d.view();
    TextBuilder out;
    if (v < 0)
        out.add('-');
    if (d.exponent < -4 || d.exponent > 6) {
        while (digits.size() > 1 && digits.back() == '0')
            digits.remove_suffix(1);
        out.add(digits[0]);
        if (digits.size() > 1) {
            out.add(decimal);
            out.add(digits.substr(1));
        }
        out.add(d.exponent < 0 ? std::string_view("E-") : std::string_view("E+"));
        const int magnitude = std::abs(d.exponent);
        if (magnitude < 10)
            out.add('0');
        char exponent[8];
        out.add(std::string_view(exponent, std::to_chars(exponent, exponent + 8, magnitude).ptr));
        return out.text();
    }
    std::string_view integer;
    std::string_view fraction;
    int leadingZeros = 0; // of the fraction, below 1
    if (d.exponent >= 0) {
        integer = digits.substr(0, std::size_t(d.exponent) + 1);
        fraction = digits.substr(std::size_t(d.exponent) + 1);
    } else {
        integer = "0";
        fraction = digits;
        leadingZeros = -d.exponent - 1;
    }
    while (!fraction.empty() && fraction.back() == '0')
        fraction.remove_suffix(1);
    out.add(integer);
    if (!fraction.empty()) {
        out.add(decimal);
        for (int z = 0; z < leadingZeros; ++z)
            out.add('0');
        out.add(fraction);
    }
    return out.text();
}

QString formatFixed(double value, int decimals, const QLocale &locale)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    char buffer[400]; // the largest double has 309 integer digits
    const int precision = std::clamp(decimals, 0, 60);
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
    if (written.ec != std::errc())
        return QString(); // cannot happen: the buffer holds every double at 60 decimals
    std::string_view digits(buffer, std::size_t(written.ptr - buffer));
    if (digits.front() == '-' && digits.find_first_not_of("-0.") == std::string_view::npos)
        digits.remove_prefix(1);
    const auto point = digits.find('.');
    QString out = QString::fromLatin1(digits.substr(0, point));
    if (point != std::string_view::npos)
        out += symbols(locale).decimal + QString::fromLatin1(digits.substr(point + 1));
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

QString formatExactC(double value)
{
    char buffer[64];
    // A value that is a single (the quantities of a run) reads best as that single.
    const bool inRange = std::isfinite(value) && std::fabs(value) <= double(FLT_MAX);
    const float single = inRange ? static_cast<float>(value) : 0.0f;
    if (!inRange || double(single) != value)
        return formatShortestC(value);
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, single);
    return QString::fromLatin1(buffer, written.ptr - buffer);
}

QString formatShortestC(double value)
{
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, written.ptr - buffer);
}

} // namespace lv::text
