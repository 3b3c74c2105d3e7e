#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace lv::text {

// Every number text of the program goes through here. Texts are read and written in a locale:
// its decimal separator and minus sign, no digit grouping. The window passes none and follows
// the user's (QLocale(), the default locale); the batch tool passes the one it was given.

// Text to single precision: blanks around the number are ignored, an optional sign, digits
// with the locale's decimal separator, an optional exponent. Empty text, other characters,
// a value beyond the single range, "inf" and "nan" do not convert.
std::optional<float> parseSingle(QStringView text, const QLocale &locale = QLocale());

// The same syntax read in double precision (cell texts of the workbooks, values of the result
// list reformatted for the file).
std::optional<double> parseDouble(QStringView text, const QLocale &locale = QLocale());

// Text to a 16-bit signed integer: parsed as a number, then rounded to the nearest integer
// with ties to even ("2,5" gives 2, "3,5" gives 4); outside -32768..32767 it does not convert.
std::optional<int16_t> parseInt16(QStringView text, const QLocale &locale = QLocale());

// The same for texts of any other form a QString takes (a QString, an ASCII literal).
inline std::optional<float> parseSingle(const QString &text, const QLocale &locale = QLocale())
{
    return parseSingle(QStringView(text), locale);
}
inline std::optional<double> parseDouble(const QString &text, const QLocale &locale = QLocale())
{
    return parseDouble(QStringView(text), locale);
}
inline std::optional<int16_t> parseInt16(const QString &text, const QLocale &locale = QLocale())
{
    return parseInt16(QStringView(text), locale);
}

// The value pattern "#.##": rounded to two decimals, no leading zero, the separator always
// kept, trailing zeros dropped (0,5 -> ",5"; 5 -> "5,"; 0 -> ",").
QString formatHashDotHash(double value, const QLocale &locale = QLocale());

// The same pattern applied to a cell text: a number text is reformatted, any other text is
// returned unchanged.
QString reformatHashDotHash(const QString &cellText, const QLocale &locale = QLocale());

// The general form of a single-precision number: at most seven significant digits, a leading
// zero below 1, no trailing zeros, exponent form ("1E+08", "1,234568E+07", "1E-05") only when
// the decimal exponent is below -4 or above 6.
QString formatGeneral(float value, const QLocale &locale = QLocale());

// A number with a fixed count of decimals, rounded half to even as printf does, in the locale's
// decimal separator with an ASCII minus (-0 and values that round to zero lose their sign).
QString formatFixed(double value, int decimals, const QLocale &locale = QLocale());

// The date and time written into files and the report: the locale's short date, a blank and
// the locale's long time without a time-zone name (Swedish: 2026-12-06 14:03:07).
QString formatDateTime(const QDateTime &moment, const QLocale &locale = QLocale());

// A number in the C locale with as few digits as read back to the same value ("0.1", "1e+20"):
// a value that is a single-precision number to that single, any other to its double. The
// tables of the batch tool.
QString formatExactC(double value);

// A double in the C locale with as few digits as read back to it ("0.1", "6778.64", "1e+20").
QString formatShortestC(double value);

} // namespace lv::text
