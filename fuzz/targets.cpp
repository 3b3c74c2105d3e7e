#include "fuzz/targets.h"

#include "core/air/criteria.h"
#include "core/files/airfile.h"
#include "core/files/inputfile.h"
#include "core/text/numbertext.h"
#include "core/xls/biff.h"
#include "core/xls/biffworkbook.h"
#include "core/xls/workbook.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

using namespace Qt::StringLiterals;

namespace lv::fuzz {

namespace {

// Used-range cells looked at per sheet, so that a wide range of blanks stays quick.
constexpr int kSampleEdge = 48;
constexpr int kSampleLine = 1024;
constexpr double kTiny = std::numeric_limits<float>::denorm_min();

const QString kWorkbookName = u"fuzz.xls"_s;

// The first broken property of a list of (broken?, what) pairs, or an empty text.
QString firstBroken(std::initializer_list<std::pair<bool, const char *>> properties)
{
    for (const auto &[broken, what] : properties) {
        if (broken)
            return QString::fromUtf8(what);
    }
    return {};
}

QString checkCell(const xls::Sheet &sheet, int row, int column)
{
    using Type = xls::Cell::Type;
    QString broken = u"inside the used range but refused"_s;
    if (sheet.contains(row, column)) {
        const xls::Cell &cell = sheet.at(row, column);
        broken = firstBroken(
            {{sheet.reference(row, column).isEmpty(), "no reference"},
             {cell.type == Type::Number && !std::isfinite(cell.number), "a number not finite"},
             {cell.type == Type::Boolean && cell.number != 0 && cell.number != 1,
              "a boolean other than 0 or 1"},
             {cell.type == Type::Empty && (!cell.text.isEmpty() || cell.number != 0),
              "an empty cell with a value"}});
    }
    return broken.isEmpty() ? broken
                            : sheet.name() + u' ' + sheet.reference(row, column) + u": "_s + broken;
}

// The used range lies inside what a BIFF sheet can address (65536 rows, 256 columns); then the
// top-left block of cells, the last row and the last column.
QString checkSheet(const xls::Sheet &sheet)
{
    const int rows = sheet.rowCount(), columns = sheet.columnCount();
    QString broken =
        firstBroken({{rows < 1 || columns < 1, "an empty used range"},
                     {sheet.firstRow() < 0 || sheet.firstColumn() < 0 ||
                          qint64(sheet.firstRow()) + rows > 65536 ||
                          qint64(sheet.firstColumn()) + columns > 256,
                      "a used range outside the sheet"},
                     {sheet.contains(0, 1) || sheet.contains(1, 0) || sheet.contains(rows + 1, 1) ||
                          sheet.contains(1, columns + 1),
                      "contains() past the used range"}});
    for (int i = 0; broken.isEmpty() && i < kSampleEdge * kSampleEdge; ++i) {
        if (i / kSampleEdge < rows && i % kSampleEdge < columns)
            broken = checkCell(sheet, i / kSampleEdge + 1, i % kSampleEdge + 1);
    }
    for (int c = 1; broken.isEmpty() && c <= columns; ++c)
        broken = checkCell(sheet, rows, c);
    for (int r = 1; broken.isEmpty() && r <= std::min(rows, kSampleLine); ++r)
        broken = checkCell(sheet, r, columns);
    return broken;
}

// What holds for every workbook read, or for the error of one that is refused.
QString checkWorkbook(const Expected<xls::Workbook> &read)
{
    if (!read)
        return read.error().message.contains(kWorkbookName)
                   ? QString()
                   : u"an error without the workbook's name: "_s + read.error().message;
    if (read->fileName() != kWorkbookName)
        return u"a workbook that lost its file name"_s;
    for (int position = 1; position <= read->sheetCount(); ++position) {
        const auto sheet = read->sheet(position);
        if (!sheet)
            return u"a sheet missing at position %1"_s.arg(position);
        if (QString broken = checkSheet(**sheet); !broken.isEmpty())
            return broken;
        const auto byName = read->sheet((*sheet)->name());
        if (!byName || (*byName)->name().compare((*sheet)->name(), Qt::CaseInsensitive) != 0)
            return u"a sheet not found by its name: "_s + (*sheet)->name();
    }
    if (read->sheet(0) || read->sheet(read->sheetCount() + 1))
        return u"a sheet at a position outside the workbook"_s;
    return {};
}

using xls::biff::Cursor;

bool failedForGood(Cursor &cursor)
{
    uint8_t byte = 0;
    return !cursor.ok() && cursor.remaining() == 0 && !cursor.u8(byte);
}

// Every field reader of the record layer on one record body, from its start. A read either
// takes exactly its bytes or fails and leaves the cursor failed for good.
QString exerciseCursor(const xls::biff::Record &record, bool decode)
{
    const qsizetype size = record.data.size();
    for (int countBytes : {1, 2}) {
        Cursor unicode(record), bytes(record);
        QString text;
        QByteArray value;
        const bool readText = unicode.unicodeString(text, countBytes);
        const bool readBytes = bytes.byteString(value, countBytes);
        if (QString broken = firstBroken(
                {{readText ? unicode.remaining() < 0 || unicode.remaining() > size - countBytes - 1
                           : !failedForGood(unicode),
                  "a string read that took too few or too many bytes, or failed usably"},
                 {readBytes ? bytes.remaining() != size - countBytes - value.size()
                            : !failedForGood(bytes),
                  "a byte string read that took the wrong number of bytes, or failed usably"}});
            !broken.isEmpty())
            return broken;
    }

    // Fixed-size fields in turn, then a skip of the rest: after that every read fails.
    Cursor cursor(record);
    uint8_t u8 = 0;
    uint16_t u16 = 0;
    uint32_t u32 = 0;
    double f64 = 0;
    const std::pair<qsizetype, std::function<bool()>> fields[] = {
        {1, [&] { return cursor.u8(u8); }},
        {2, [&] { return cursor.u16(u16); }},
        {4, [&] { return cursor.u32(u32) && ((void)xls::biff::rkValue(u32), true); }},
        {8, [&] { return cursor.f64(f64); }}};
    for (int i = 0; i < 12; ++i) {
        const auto &[width, read] = fields[i % 4];
        const qsizetype before = cursor.remaining();
        if (!read()) {
            if (before >= width || !failedForGood(cursor))
                return u"a field read that fails with its bytes there, or leaves a usable cursor"_s;
            break;
        }
        if (cursor.remaining() != before - width)
            return u"a field read that took the wrong number of bytes"_s;
    }
    if (cursor.ok() &&
        (!cursor.skip(cursor.remaining()) || cursor.remaining() != 0 || cursor.u8(u8)))
        return u"a read past the end of the body that succeeds"_s;
    if (Cursor(record).skip(-1))
        return u"a negative skip that succeeds"_s;

    // The body as text in the code page its first two bytes name (for the first records only:
    // a decoder is slow to make), and its first four bytes as a cell address.
    Cursor header(record);
    uint16_t row = 0;
    if (header.u16(u16) && header.u16(row)) {
        if (decode)
            (void)xls::biff::decodeCodePage(record.data, u16);
        const QString reference = xls::cellReference(row, u16);
        if (reference.isEmpty() || !reference.endsWith(QString::number(row + 1)) ||
            !reference[0].isLetter())
            return u"a cell reference that is not one: "_s + reference;
    }
    return {};
}

// Walks every record of a stream: each record starts where the one before ended, and the
// parts of a record add up to the bytes it spans.
QString walkRecords(const QByteArray &stream)
{
    xls::biff::RecordReader reader(stream, 0);
    xls::biff::Record record;
    qsizetype position = 0;
    for (int index = 0; reader.next(record); ++index) {
        const auto &parts = record.continues;
        const qsizetype spans = 4 + record.data.size() + 4 * qsizetype(parts.size());
        if (QString broken = firstBroken(
                {{record.offset != position, "a record that does not start where the last ended"},
                 {reader.position() - record.offset != spans || reader.position() > stream.size(),
                  "a record whose parts do not add up to the bytes it spans"},
                 {!std::is_sorted(parts.begin(), parts.end()) ||
                      (!parts.empty() && (parts.front() < 0 || parts.back() > record.data.size())),
                  "CONTINUE parts outside the record body"}});
            !broken.isEmpty())
            return broken;
        position = reader.position();
        if (QString broken = exerciseCursor(record, index < 8); !broken.isEmpty())
            return broken;
    }
    if (reader.error().isEmpty() && position != stream.size())
        return u"a clean end of the records before the end of the stream"_s;
    return {};
}

// Where two documents read back differ, or an empty text. A number text may move by one
// single-precision step: seven significant digits do not always tell neighbouring singles apart
// (above 1E+28 "1E+28" is written for a single that reads back as the one below,
// "9,999999E+27"); nothing else may change.
QString difference(const files::InputDocument &a, const files::InputDocument &b,
                   const QLocale &locale)
{
    if (a.rows.size() != b.rows.size())
        return u"the number of segments changed"_s;
    // The texts before and after, and whether they are numbers.
    std::vector<std::tuple<QString, QString, bool>> fields = {
        {a.scenario, b.scenario, false},
        {a.year, b.year, false},
        {a.sps, b.sps, true},
        {a.studdedShare, b.studdedShare, true}};
    for (std::size_t i = 0; i < a.rows.size(); ++i) {
        fields.emplace_back(a.rows[i].number, b.rows[i].number, false);
        for (std::size_t c = 0; c < a.rows[i].cells.size(); ++c)
            fields.emplace_back(a.rows[i].cells[c], b.rows[i].cells[c], true);
    }
    for (const auto &[x, y, number] : fields) {
        const auto p = text::parseSingle(x, locale), q = text::parseSingle(y, locale);
        if (x != y && !(number && p && q && std::nextafter(*p, *q) == *q))
            return u"\"%1\" became \"%2\""_s.arg(x, y);
    }
    return {};
}

QString checkInputFile(const QByteArray &bytes, const QLocale &locale)
{
    const auto read = files::readInputFile(bytes, locale);
    if (!read)
        return read.error().kind == ErrorKind::InputFile &&
                       read.error().message.startsWith(u"Ogiltig indatafil")
                   ? QString()
                   : u"an error that is not the input file's \"Ogiltig indatafil\": "_s +
                         read.error().message;
    const auto written =
        files::writeInputFile(*read, QDateTime(QDate(2026, 12, 6), QTime(14, 3, 7)), locale);
    if (!written)
        return u"a document read cannot be written: "_s + written.error().message;
    const auto reread = files::readInputFile(*written, locale);
    if (!reread)
        return u"a written document does not read back: "_s + reread.error().message;
    if (QString changed = difference(*read, *reread, locale); !changed.isEmpty())
        return u"a written document reads back changed: "_s + changed;
    return {};
}

// A formatter gives a text for every value; when `compare`, one that reads back to within
// `tolerance`.
QString readsBack(const char *format, double value, const QString &text, bool compare,
                  std::optional<double> back, double tolerance)
{
    if (text.isEmpty())
        return QString::fromUtf8(format) + u" gives an empty text"_s;
    if (compare && (!back || std::fabs(*back - value) > tolerance))
        return u"%1(%2) = \"%3\" reads back as %4"_s.arg(
            QString::fromUtf8(format), QString::number(value, 'g', 17), text,
            back ? QString::number(*back, 'g', 17) : u"nothing"_s);
    return {};
}

// The general form of a finite value reads back to within the rounding to seven digits.
QString checkGeneral(float value, const QLocale &locale)
{
    const QString text = text::formatGeneral(value, locale);
    const auto back = text::parseSingle(text, locale);
    return readsBack("formatGeneral", value, text, std::isfinite(value),
                     back ? std::optional<double>(*back) : std::nullopt,
                     6e-7 * std::fabs(value) + kTiny);
}

// "#.##" of a finite value with a digit in its text reads back to within a half hundredth
// (after the value's first 15 significant digits).
QString checkHashDotHash(double value, const QLocale &locale)
{
    const QString text = text::formatHashDotHash(value, locale);
    const bool hasDigit =
        std::any_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    return readsBack("formatHashDotHash", value, text,
                     std::isfinite(value) && hasDigit && std::fabs(value) <= 1e300,
                     text::parseDouble(text, locale), 0.005 + 1e-14 * std::fabs(value));
}

QString checkNumberText(const QString &text, const QLocale &locale)
{
    const auto single = text::parseSingle(text, locale);
    const auto number = text::parseDouble(text, locale);
    const auto whole = text::parseInt16(text, locale);
    // The 16-bit reading: the double rounded half to even, when that is in range.
    const double rounded = number ? std::nearbyint(*number) : 0;
    const bool inRange = number && rounded >= -32768.0 && rounded <= 32767.0;
    const QString reformatted = text::reformatHashDotHash(text, locale);
    if (QString broken = firstBroken(
            {{single && !number, "a single that is no double"},
             {number && !std::isfinite(*number), "a double that is not finite"},
             {single && number &&
                  (!std::isfinite(*single) ||
                   std::fabs(*single - *number) > std::ldexp(std::fabs(*number), -23) + kTiny),
              "parseSingle and parseDouble disagree"},
             {number && std::fabs(*number) < std::numeric_limits<float>::max() && !single,
              "a double in the single range that parseSingle refuses"},
             {whole.has_value() != inRange, "parseInt16 takes or refuses wrongly"},
             {whole && *whole != rounded, "parseInt16 gives another value than the rounded"},
             {number && reformatted != text::formatHashDotHash(*number, locale),
              "reformatHashDotHash differs from formatHashDotHash"},
             {!number && reformatted != text,
              "reformatHashDotHash changes a text that is no number"}});
        !broken.isEmpty())
        return broken + u" (\"%1\" reads as %2)"_s.arg(text, QString::number(rounded, 'g', 17));
    if (QString broken = number ? checkHashDotHash(*number, locale) : QString(); !broken.isEmpty())
        return broken;
    return single ? checkGeneral(*single, locale) : QString();
}

QString fuzzWorkbook(const QByteArray &input)
{
    return checkWorkbook(xls::Workbook::fromBytes(input, kWorkbookName));
}

QString fuzzBiff(const QByteArray &input)
{
    const QString broken = walkRecords(input);
    return broken.isEmpty() ? checkWorkbook(xls::biff::readStream(input, kWorkbookName)) : broken;
}

QString fuzzInputFile(const QByteArray &input)
{
    for (const char *name : {"sv_SE", "en_US"}) {
        if (QString broken = checkInputFile(input, QLocale(QLatin1String(name))); !broken.isEmpty())
            return broken + u" ("_s + QLatin1String(name) + u')';
    }
    return {};
}

QString fuzzNumberText(const QByteArray &input)
{
    if (input.isEmpty())
        return {};
    const QLocale locale(QLatin1String(input[0] & 0x01 ? "en_US" : "sv_SE"));
    const QByteArray rest = input.mid(1);
    QString text = QString::fromUtf8(rest);
    if (input[0] & 0x02) { // UTF-16 little-endian as it comes, lone surrogates included
        text.resize(rest.size() / 2);
        for (qsizetype i = 0; i < text.size(); ++i)
            text[i] = QChar(char16_t(uint8_t(rest[2 * i]) | uint8_t(rest[2 * i + 1]) << 8));
    }
    if (QString broken = checkNumberText(text, locale); !broken.isEmpty())
        return broken + u" ("_s + locale.name() + u')';

    // The formatters on the raw bits as well, so that infinities, NaNs and denormals come by.
    double bits = 0;
    float singleBits = 0;
    std::memcpy(&bits, rest.constData(), std::min(std::size_t(rest.size()), sizeof bits));
    std::memcpy(&singleBits, rest.constData(),
                std::min(std::size_t(rest.size()), sizeof singleBits));
    const QString broken = rest.size() >= 8 ? checkHashDotHash(bits, locale) : QString();
    return broken.isEmpty() && rest.size() >= 4 ? checkGeneral(singleBits, locale) : broken;
}

// Two readings of an optional value agree to the seven digits the .luft file keeps.
bool sameValue(const std::optional<double> &a, const std::optional<double> &b)
{
    return a.has_value() == b.has_value() && (!a || std::fabs(*a - *b) <= 1e-6 * std::fabs(*a));
}

QString fuzzAirFiles(const QByteArray &input)
{
    if (const auto file = air::parseCriteria(input, u"k.ini"_s)) {
        if (!air::checkCriteria(file->criteria, u"k.ini"_s))
            return u"criteria that read fail their own check"_s;
        for (const air::Situation &situation : file->situations) {
            if (!air::checkCriteria(air::withSituation(file->criteria, situation), u"k.ini"_s))
                return u"a situation that reads fails the check"_s;
        }
    }
    const auto tunnel = files::parseAirFile(input, u"t.luft"_s);
    if (!tunnel)
        return {};
    const auto again = files::parseAirFile(files::writeAirFile(*tunnel), u"t.luft"_s);
    if (!again)
        return u".luft written from one that read does not read"_s;
    if (!sameValue(again->areaM2, tunnel->areaM2) ||
        !sameValue(again->availableFlowM3S, tunnel->availableFlowM3S) ||
        again->reverseAir != tunnel->reverseAir || again->situation != tunnel->situation)
        return u".luft does not read back the same"_s;
    return {};
}

} // namespace

const Target kTargets[7] = {{"workbook", fuzzWorkbook},   {"biff", fuzzBiff},
                            {"inputfile", fuzzInputFile}, {"numbertext", fuzzNumberText},
                            {"xlsx", fuzzWorkbook},       {"ods", fuzzWorkbook},
                            {"airfiles", fuzzAirFiles}};

} // namespace lv::fuzz
