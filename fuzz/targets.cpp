#include "fuzz/targets.h"

#include "core/files/inputfile.h"
#include "core/text/numbertext.h"
#include "core/xls/biff.h"
#include "core/xls/biffworkbook.h"
#include "core/xls/workbook.h"

#include <QByteArray>
#include <QDateTime>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace lv::fuzz {

namespace {

// What a BIFF sheet can address: 16-bit row numbers, 256 columns.
constexpr int SheetRows = 65536;
constexpr int SheetColumns = 256;
// Used-range cells looked at per sheet, so that a wide range of blanks stays quick.
constexpr int SampleEdge = 48;
constexpr int SampleLine = 1024;

const QString WorkbookName = QStringLiteral("fuzz.xls");

QByteArray bytesOf(const uint8_t *data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

QString where(const xls::Sheet &sheet, int row, int column)
{
    return QStringLiteral("sheet \"%1\" cell %2").arg(sheet.name(), sheet.reference(row, column));
}

QString checkCell(const xls::Sheet &sheet, int row, int column)
{
    if (!sheet.contains(row, column))
        return where(sheet, row, column) + QStringLiteral(": inside the used range but refused");
    if (sheet.reference(row, column).isEmpty())
        return where(sheet, row, column) + QStringLiteral(": no reference");
    const xls::Cell &cell = sheet.at(row, column);
    switch (cell.type) {
    case xls::Cell::Type::Number:
        if (!std::isfinite(cell.number))
            return where(sheet, row, column) + QStringLiteral(": a number that is not finite");
        break;
    case xls::Cell::Type::Boolean:
        if (cell.number != 0 && cell.number != 1)
            return where(sheet, row, column) + QStringLiteral(": a boolean other than 0 or 1");
        break;
    case xls::Cell::Type::Empty:
        if (!cell.text.isEmpty() || cell.number != 0)
            return where(sheet, row, column) + QStringLiteral(": an empty cell with a value");
        break;
    case xls::Cell::Type::Text:
    case xls::Cell::Type::Error:
        break;
    }
    return {};
}

QString checkSheet(const xls::Sheet &sheet)
{
    const int rows = sheet.rowCount();
    const int columns = sheet.columnCount();
    if (rows < 1 || columns < 1)
        return QStringLiteral("sheet \"%1\": an empty used range").arg(sheet.name());
    if (sheet.firstRow() < 0 || sheet.firstColumn() < 0 ||
        qint64(sheet.firstRow()) + rows > SheetRows ||
        qint64(sheet.firstColumn()) + columns > SheetColumns)
        return QStringLiteral("sheet \"%1\": a used range outside the sheet").arg(sheet.name());
    if (sheet.contains(0, 1) || sheet.contains(1, 0) || sheet.contains(rows + 1, 1) ||
        sheet.contains(1, columns + 1))
        return QStringLiteral("sheet \"%1\": contains() past the used range").arg(sheet.name());

    // The top-left block, then the last row and the last column.
    for (int r = 1; r <= std::min(rows, SampleEdge); ++r) {
        for (int c = 1; c <= std::min(columns, SampleEdge); ++c) {
            if (QString broken = checkCell(sheet, r, c); !broken.isEmpty())
                return broken;
        }
    }
    for (int c = 1; c <= columns; ++c) {
        if (QString broken = checkCell(sheet, rows, c); !broken.isEmpty())
            return broken;
    }
    for (int r = 1; r <= std::min(rows, SampleLine); ++r) {
        if (QString broken = checkCell(sheet, r, columns); !broken.isEmpty())
            return broken;
    }
    return {};
}

// What holds for every workbook read, or for the error of one that is refused.
QString checkWorkbook(const Expected<xls::Workbook> &read)
{
    if (!read) {
        const QString &message = read.error().message;
        if (message.isEmpty())
            return QStringLiteral("an error without a message");
        if (!message.contains(WorkbookName))
            return QStringLiteral("an error that does not name the workbook: ") + message;
        return {};
    }
    const xls::Workbook &workbook = *read;
    if (workbook.fileName() != WorkbookName)
        return QStringLiteral("a workbook that lost its file name");
    for (int position = 1; position <= workbook.sheetCount(); ++position) {
        const auto sheet = workbook.sheet(position);
        if (!sheet)
            return QStringLiteral("sheet %1 of %2 missing")
                .arg(position)
                .arg(workbook.sheetCount());
        if (QString broken = checkSheet(**sheet); !broken.isEmpty())
            return broken;
        const QString &name = (*sheet)->name();
        const auto byName = workbook.sheet(name);
        if (!byName || (*byName)->name().compare(name, Qt::CaseInsensitive) != 0)
            return QStringLiteral("sheet \"%1\" not found by its name").arg(name);
    }
    if (workbook.sheet(0) || workbook.sheet(workbook.sheetCount() + 1))
        return QStringLiteral("a sheet at a position outside the workbook");
    return {};
}

using xls::biff::Cursor;

bool failedForGood(Cursor &cursor)
{
    uint8_t byte = 0;
    return !cursor.ok() && cursor.remaining() == 0 && !cursor.u8(byte);
}

// Both string readers with both widths of the character count, from the start of the body.
QString exerciseStringReads(const xls::biff::Record &record)
{
    const qsizetype size = record.data.size();
    for (int countBytes : {1, 2}) {
        Cursor cursor(record);
        QString text;
        if (cursor.unicodeString(text, countBytes)) {
            if (cursor.remaining() < 0 || cursor.remaining() > size - countBytes - 1)
                return QStringLiteral("a string read that took too few or too many bytes");
        } else if (!failedForGood(cursor)) {
            return QStringLiteral("a failed string read that leaves the cursor usable");
        }

        Cursor bytes(record);
        QByteArray value;
        if (bytes.byteString(value, countBytes)) {
            if (bytes.remaining() != size - countBytes - value.size())
                return QStringLiteral("a byte string read that took the wrong number of bytes");
        } else if (!failedForGood(bytes)) {
            return QStringLiteral("a failed byte string read that leaves the cursor usable");
        }
    }
    return {};
}

// Fixed-size fields in turn from the start of the body, then a skip of the rest: after that
// every read fails.
QString exerciseFieldReads(const xls::biff::Record &record)
{
    Cursor cursor(record);
    for (int i = 0; i < 12; ++i) {
        const qsizetype before = cursor.remaining();
        qsizetype width = 0;
        bool ok = false;
        switch (i % 4) {
        case 0: {
            uint8_t value = 0;
            ok = cursor.u8(value);
            width = 1;
            break;
        }
        case 1: {
            uint16_t value = 0;
            ok = cursor.u16(value);
            width = 2;
            break;
        }
        case 2: {
            uint32_t value = 0;
            ok = cursor.u32(value);
            width = 4;
            if (ok)
                (void)xls::biff::rkValue(value);
            break;
        }
        default: {
            double value = 0;
            ok = cursor.f64(value);
            width = 8;
            break;
        }
        }
        if (!ok) {
            if (before >= width)
                return QStringLiteral("a field read that fails with its bytes there");
            if (!failedForGood(cursor))
                return QStringLiteral("a failed field read that leaves the cursor usable");
            break;
        }
        if (cursor.remaining() != before - width)
            return QStringLiteral("a field read that took the wrong number of bytes");
    }
    if (cursor.ok()) {
        uint8_t byte = 0;
        if (!cursor.skip(cursor.remaining()) || cursor.remaining() != 0 || cursor.u8(byte))
            return QStringLiteral("a read past the end of the body that succeeds");
    }
    Cursor negative(record);
    if (negative.skip(-1))
        return QStringLiteral("a negative skip that succeeds");
    return {};
}

// Every field reader of the record layer on one record body. A read either takes exactly its
// bytes or fails and leaves the cursor failed for good.
QString exerciseCursor(const xls::biff::Record &record, bool decode)
{
    if (QString broken = exerciseStringReads(record); !broken.isEmpty())
        return broken;
    if (QString broken = exerciseFieldReads(record); !broken.isEmpty())
        return broken;

    // The body as text in the code page its first two bytes name (for the first records only:
    // a decoder is slow to make), and its first four bytes as a cell address.
    Cursor header(record);
    uint16_t codePage = 0;
    uint16_t row = 0;
    if (header.u16(codePage) && header.u16(row)) {
        if (decode)
            (void)xls::biff::decodeCodePage(record.data, codePage);
        const int column = codePage;
        const QString reference = xls::cellReference(row, column);
        if (reference.isEmpty() || !reference.endsWith(QString::number(int(row) + 1)) ||
            !reference[0].isLetter())
            return QStringLiteral("a cell reference that is not one: ") + reference;
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
        if (record.offset != position)
            return QStringLiteral("a record that does not start where the last one ended");
        const qsizetype spans = 4 + record.data.size() + 4 * qsizetype(record.continues.size());
        if (reader.position() - record.offset != spans || reader.position() > stream.size())
            return QStringLiteral("a record whose parts do not add up to the bytes it spans");
        if (!std::is_sorted(record.continues.begin(), record.continues.end()) ||
            (!record.continues.empty() &&
             (record.continues.front() < 0 || record.continues.back() > record.data.size())))
            return QStringLiteral("CONTINUE parts outside the record body");
        position = reader.position();
        if (QString broken = exerciseCursor(record, index < 8); !broken.isEmpty())
            return broken;
    }
    if (reader.error().isEmpty() && position != stream.size())
        return QStringLiteral("a clean end of the records before the end of the stream");
    return {};
}

// Two number texts of a document read back: the same, or values one single-precision step
// apart. Seven significant digits do not always tell neighbouring singles apart (above 1E+28
// "1E+28" is written for a single that reads back as the one below, "9,999999E+27"), so a
// number may move by one step when a file is written again; nothing else may change.
bool sameNumber(const QString &a, const QString &b)
{
    if (a == b)
        return true;
    const auto x = text::parseSingle(a);
    const auto y = text::parseSingle(b);
    return x && y && std::nextafter(*x, *y) == *y;
}

// Where two documents differ beyond that, for the message of a broken round trip; empty when
// they do not.
QString difference(const files::InputDocument &a, const files::InputDocument &b)
{
    auto differ = [](const QString &what, const QString &x, const QString &y) {
        return QStringLiteral("%1 \"%2\" became \"%3\"").arg(what, x, y);
    };
    if (a.scenario != b.scenario)
        return differ(QStringLiteral("the scenario"), a.scenario, b.scenario);
    if (a.year != b.year)
        return differ(QStringLiteral("the year"), a.year, b.year);
    if (a.rows.size() != b.rows.size())
        return QStringLiteral("the number of segments changed");
    for (std::size_t i = 0; i < a.rows.size(); ++i) {
        const QString row = QStringLiteral("segment row %1").arg(i + 1);
        if (a.rows[i].number != b.rows[i].number)
            return differ(row + QStringLiteral(" number"), a.rows[i].number, b.rows[i].number);
        for (std::size_t c = 0; c < a.rows[i].cells.size(); ++c) {
            if (!sameNumber(a.rows[i].cells[c], b.rows[i].cells[c]))
                return differ(row + QStringLiteral(" cell %1").arg(c + 1), a.rows[i].cells[c],
                              b.rows[i].cells[c]);
        }
    }
    if (!sameNumber(a.sps, b.sps))
        return differ(QStringLiteral("the SPS value"), a.sps, b.sps);
    if (!sameNumber(a.studdedShare, b.studdedShare))
        return differ(QStringLiteral("the studded share"), a.studdedShare, b.studdedShare);
    return {};
}

QString checkInputFile(const QByteArray &bytes, const QDateTime &savedAt)
{
    const auto read = files::readInputFile(bytes);
    if (!read) {
        const Error &error = read.error();
        if (!error.message.startsWith(QStringLiteral("Ogiltig indatafil")))
            return QStringLiteral("an error that is not \"Ogiltig indatafil\": ") + error.message;
        if (error.kind != ErrorKind::InputFile)
            return QStringLiteral("an error of another kind than the input file's");
        return {};
    }
    const auto written = files::writeInputFile(*read, savedAt);
    if (!written)
        return QStringLiteral("a document read from a file cannot be written: ") +
               written.error().message;
    const auto reread = files::readInputFile(*written);
    if (!reread)
        return QStringLiteral("a written document does not read back: ") + reread.error().message;
    if (QString changed = difference(*read, *reread); !changed.isEmpty())
        return QStringLiteral("a written document reads back changed: ") + changed;
    return {};
}

QString locale()
{
    return QLocale().name();
}

// formatGeneral gives a text for every value, and for a finite one a text that reads back to
// within the rounding to seven significant digits.
QString checkGeneral(float value)
{
    const QString text = text::formatGeneral(value);
    if (text.isEmpty())
        return QStringLiteral("formatGeneral gives an empty text");
    if (!std::isfinite(value))
        return {};
    const auto back = text::parseSingle(text);
    const QString shown = QString::number(double(value), 'g', 9);
    if (!back)
        return QStringLiteral("formatGeneral(%1) = \"%2\" does not read back under %3")
            .arg(shown, text, locale());
    const double error = std::fabs(double(*back) - double(value));
    const double tolerance =
        6e-7 * std::fabs(double(value)) + double(std::numeric_limits<float>::denorm_min());
    if (error > tolerance)
        return QStringLiteral("formatGeneral(%1) = \"%2\" reads back as %3 under %4")
            .arg(shown, text, QString::number(double(*back), 'g', 9), locale());
    return {};
}

// formatHashDotHash gives a text for every value; one with a digit in it reads back to within
// a half hundredth (after the value's first 15 significant digits).
QString checkHashDotHash(double value)
{
    const QString text = text::formatHashDotHash(value);
    if (text.isEmpty())
        return QStringLiteral("formatHashDotHash gives an empty text");
    const bool hasDigit =
        std::any_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!std::isfinite(value) || !hasDigit || std::fabs(value) > 1e300)
        return {};
    const auto back = text::parseDouble(text);
    const QString shown = QString::number(value, 'g', 17);
    if (!back)
        return QStringLiteral("formatHashDotHash(%1) = \"%2\" does not read back under %3")
            .arg(shown, text, locale());
    if (std::fabs(*back - value) > 0.005 + 1e-14 * std::fabs(value))
        return QStringLiteral("formatHashDotHash(%1) = \"%2\" reads back as %3 under %4")
            .arg(shown, text, QString::number(*back, 'g', 17), locale());
    return {};
}

QString checkNumberText(const QString &text)
{
    const auto single = text::parseSingle(text);
    const auto number = text::parseDouble(text);
    const auto whole = text::parseInt16(text);

    if (single && !number)
        return QStringLiteral("a single that is no double");
    if (number && !std::isfinite(*number))
        return QStringLiteral("a double that is not finite");
    if (single) {
        const double d = *number;
        const double one = std::ldexp(std::fabs(d), -23);
        if (!std::isfinite(*single) ||
            std::fabs(double(*single) - d) > one + double(std::numeric_limits<float>::denorm_min()))
            return QStringLiteral("parseSingle and parseDouble disagree");
    }
    if (number && std::fabs(*number) < double(std::numeric_limits<float>::max()) && !single)
        return QStringLiteral("a double in the single range that parseSingle refuses");

    // The 16-bit reading: the double rounded half to even, when that is in range.
    const double rounded = number ? std::nearbyint(*number) : 0;
    const bool inRange = number && rounded >= -32768.0 && rounded <= 32767.0;
    if (whole.has_value() != inRange)
        return QStringLiteral("parseInt16 %1 a number that rounds to %2")
            .arg(whole ? QStringLiteral("takes") : QStringLiteral("refuses"))
            .arg(QString::number(rounded, 'g', 17));
    if (whole && double(*whole) != rounded)
        return QStringLiteral("parseInt16 gives %1 for a number that rounds to %2")
            .arg(int(*whole))
            .arg(QString::number(rounded, 'g', 17));

    const QString reformatted = text::reformatHashDotHash(text);
    if (number) {
        if (reformatted != text::formatHashDotHash(*number))
            return QStringLiteral("reformatHashDotHash differs from formatHashDotHash");
        if (QString broken = checkHashDotHash(*number); !broken.isEmpty())
            return broken;
    } else if (reformatted != text) {
        return QStringLiteral("reformatHashDotHash changes a text that is no number");
    }
    if (single) {
        if (QString broken = checkGeneral(*single); !broken.isEmpty())
            return broken;
    }
    return {};
}

} // namespace

QString fuzzWorkbook(const uint8_t *data, std::size_t size)
{
    return checkWorkbook(xls::Workbook::fromBytes(bytesOf(data, size), WorkbookName));
}

QString fuzzBiff(const uint8_t *data, std::size_t size)
{
    const QByteArray stream = bytesOf(data, size);
    if (QString broken = walkRecords(stream); !broken.isEmpty())
        return broken;
    return checkWorkbook(xls::biff::readStream(stream, WorkbookName));
}

QString fuzzInputFile(const uint8_t *data, std::size_t size)
{
    const QByteArray bytes = bytesOf(data, size);
    const QDateTime savedAt(QDate(2026, 12, 6), QTime(14, 3, 7));
    for (const char *name : {"sv_SE", "en_US"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
        if (QString broken = checkInputFile(bytes, savedAt); !broken.isEmpty())
            return broken + QStringLiteral(" (") + QString::fromLatin1(name) + u')';
    }
    return {};
}

QString fuzzNumberText(const uint8_t *data, std::size_t size)
{
    if (size == 0)
        return {};
    const uint8_t mode = data[0];
    QLocale::setDefault(QLocale(QString::fromLatin1(mode & 0x01 ? "en_US" : "sv_SE")));
    ++data;
    --size;

    QString text;
    if (mode & 0x02) {
        // UTF-16 as it comes, lone surrogates included.
        text.resize(qsizetype(size / 2));
        for (std::size_t i = 0; i < size / 2; ++i)
            text[qsizetype(i)] = QChar(char16_t(data[2 * i] | data[2 * i + 1] << 8));
    } else {
        text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    }
    if (QString broken = checkNumberText(text); !broken.isEmpty())
        return broken + QStringLiteral(" (") + locale() + u')';

    // The formatters on the raw bits as well, so that infinities, NaNs and denormals come by.
    if (size >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data, sizeof value);
        if (QString broken = checkHashDotHash(value); !broken.isEmpty())
            return broken;
    }
    if (size >= sizeof(float)) {
        float value = 0;
        std::memcpy(&value, data, sizeof value);
        if (QString broken = checkGeneral(value); !broken.isEmpty())
            return broken;
    }
    return {};
}

} // namespace lv::fuzz
