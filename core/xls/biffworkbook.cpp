#include "core/xls/biffworkbook.h"

#include "core/xls/biff.h"
#include "core/xls/ole.h"
#include "core/xls/workbookbuilder.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

// A BIFF stream starts with the workbook globals: BOF, then records that hold for the whole
// workbook (code page, password protection, the shared strings and the sheet list), then EOF.
// Each sheet follows as a BOF ... EOF substream of its own, found through the offset the
// sheet list gives. A worksheet's cells are records that start with the cell's row and
// column; an embedded chart nests its own BOF ... EOF inside the worksheet.
namespace lv::xls::biff {

namespace {

// A BIFF sheet has 256 columns (and 65536 rows, all that a 16-bit row number can address).
constexpr int kSheetColumns = 256;

bool isOldBofRecord(int type)
{
    return type == record::Bof2 || type == record::Bof3 || type == record::Bof4;
}

// An Excel 2.1-4.0 file is a bare BIFF stream, not a compound file: it starts with its BOF.
bool isOldExcelFile(const QByteArray &bytes)
{
    if (bytes.size() < 8)
        return false;
    const int type = uchar(bytes[0]) | uchar(bytes[1]) << 8;
    const int length = uchar(bytes[2]) | uchar(bytes[3]) << 8;
    return isOldBofRecord(type) && length >= 4 && length <= 16;
}

QString quoted(const QString &text)
{
    return u'"' + text + u'"';
}

// One entry of the sheet list (BOUNDSHEET).
struct SheetEntry
{
    uint32_t offset = 0; // of the sheet's BOF in the stream
    uint8_t type = 0;    // 0 worksheet; charts, macro sheets and modules otherwise
    QString name;
    QByteArray byteName; // Excel 5/95: decoded once the code page is known
};

// What the workbook globals hold for the sheets.
struct Globals
{
    Version version = Version::Biff8;
    int codePage = 1252;
    std::vector<QString> sharedStrings;
    std::vector<SheetEntry> entries;
};

// Reads the workbook globals at the start of the stream.
class GlobalsReader
{
public:
    GlobalsReader(const QByteArray &stream, const QString &fileName)
        : m_stream(stream), m_fileName(fileName)
    {}

    Expected<Globals> read();

private:
    Error corrupt(const QString &detail) const { return corruptWorkbook(m_fileName, detail); }
    Expected<void> readBof(RecordReader &reader);
    Expected<void> readRecord(const Record &record);
    Expected<void> readSheetEntry(const Record &record);
    Expected<void> readSharedStrings(const Record &record);

    const QByteArray &m_stream;
    const QString &m_fileName;
    Globals m_globals;
};

Expected<Globals> GlobalsReader::read()
{
    RecordReader reader(m_stream, 0);
    if (auto bof = readBof(reader); !bof)
        return bof.error();
    // Substreams nested in the globals (none that matter here) are passed over whole.
    int depth = 1;
    Record record;
    while (reader.next(record)) {
        if (record.type == record::Bof) {
            ++depth;
        } else if (record.type == record::Eof) {
            if (--depth == 0)
                return std::move(m_globals);
        } else if (depth == 1) {
            if (auto done = readRecord(record); !done)
                return done.error();
        }
    }
    return corrupt(reader.error().isEmpty() ? QStringLiteral("arbetsboken tar slut för tidigt")
                                            : reader.error());
}

// The BOF that opens the stream says which BIFF version the whole stream is in.
Expected<void> GlobalsReader::readBof(RecordReader &reader)
{
    Record record;
    if (!reader.next(record)) {
        return corrupt(reader.error().isEmpty() ? QStringLiteral("arbetsboken är tom")
                                                : reader.error());
    }
    if (isOldBofRecord(record.type))
        return oldExcelVersion(m_fileName);
    Cursor bof(record);
    uint16_t biffVersion = 0;
    uint16_t kind = 0;
    if (record.type != record::Bof || !bof.u16(biffVersion) || !bof.u16(kind))
        return corrupt(QStringLiteral("arbetsbokens inledande post saknas"));
    if (biffVersion == 0x0600)
        m_globals.version = Version::Biff8;
    else if (biffVersion == 0x0500)
        m_globals.version = Version::Biff5;
    else
        return oldExcelVersion(m_fileName);
    if (kind != substream::Globals)
        return corrupt(QStringLiteral("arbetsbokens bladförteckning saknas"));
    return {};
}

Expected<void> GlobalsReader::readRecord(const Record &record)
{
    switch (record.type) {
    case record::FilePass:
        return encryptedWorkbook(m_fileName);
    case record::CodePage: {
        Cursor cursor(record);
        uint16_t value = 0;
        if (cursor.u16(value))
            m_globals.codePage = value;
        return {};
    }
    case record::BoundSheet:
        return readSheetEntry(record);
    case record::Sst:
        // Excel 5/95 keeps its texts in the cells.
        if (m_globals.version == Version::Biff8)
            return readSharedStrings(record);
        return {};
    default:
        return {};
    }
}

// BOUNDSHEET: the stream offset of the sheet's BOF, its visibility, its type and its name.
Expected<void> GlobalsReader::readSheetEntry(const Record &record)
{
    Cursor cursor(record);
    SheetEntry entry;
    uint8_t visibility = 0;
    const bool ok = cursor.u32(entry.offset) && cursor.u8(visibility) && cursor.u8(entry.type) &&
                    (m_globals.version == Version::Biff8 ? cursor.unicodeString(entry.name, 1)
                                                         : cursor.byteString(entry.byteName, 1));
    if (!ok)
        return corrupt(QStringLiteral("arbetsbokens bladförteckning är felaktig"));
    m_globals.entries.push_back(std::move(entry));
    return {};
}

// SST: two counts, then the strings, continued across CONTINUE parts.
Expected<void> GlobalsReader::readSharedStrings(const Record &record)
{
    Cursor cursor(record);
    uint32_t total = 0;
    uint32_t unique = 0;
    if (!cursor.u32(total) || !cursor.u32(unique))
        return corrupt(QStringLiteral("tabellen med delade texter är felaktig"));
    // Every string takes at least three bytes: the count need not be believed further.
    std::vector<QString> &strings = m_globals.sharedStrings;
    strings.clear();
    strings.reserve(std::min<qsizetype>(unique, cursor.remaining() / 3));
    // A table that ends early just holds fewer strings; a cell that points past them is
    // reported where it is read.
    for (uint32_t i = 0; i < unique && cursor.remaining() > 0; ++i) {
        QString value;
        if (!cursor.unicodeString(value, 2))
            return corrupt(QStringLiteral("tabellen med delade texter är felaktig"));
        strings.push_back(std::move(value));
    }
    return {};
}

bool isCellRecord(uint16_t type)
{
    switch (type) {
    case record::Number:
    case record::Rk:
    case record::MulRk:
    case record::LabelSst:
    case record::Label:
    case record::RString:
    case record::Formula:
    case record::BoolErr:
    case record::Blank:
    case record::MulBlank:
        return true;
    default:
        return false;
    }
}

// Reads one worksheet substream into a sheet.
class SheetReader
{
public:
    SheetReader(const Globals &globals, const SheetEntry &entry, const QString &fileName)
        : m_globals(globals), m_entry(entry), m_fileName(fileName), m_sheetName(quoted(entry.name)),
          m_builder(entry.name)
    {}

    // Reads the sheet, using no more than `budget` bytes of the stream.
    Expected<void> read(const QByteArray &stream, qsizetype budget);
    // Stream bytes the sheet took up, once read.
    qsizetype size() const { return m_size; }
    // A dialog sheet is stored as a worksheet, marked as a dialog in WSBOOL.
    bool isDialog() const { return m_dialog; }
    Sheet takeSheet() { return std::move(m_builder).build(); }

private:
    // Where a cell's record was and, for a formula with a text result, where it is awaited.
    struct Position
    {
        int row = -1;
        int column = -1;
    };

    Error corrupt(const QString &detail) const { return corruptWorkbook(m_fileName, detail); }
    // What is wrong with the cell of the record being read.
    Error cellError(const QString &what) const;
    Error formulaWithoutResult();
    QString decode(const QByteArray &bytes) const
    {
        return decodeCodePage(bytes, m_globals.codePage);
    }
    bool readString(Cursor &cursor, QString &text) const;

    Expected<void> readBof(RecordReader &reader);
    Expected<void> readRecord(const Record &record);
    Expected<void> readCell(const Record &record);
    Expected<void> readMultiple(const Record &record, Cursor &cursor);
    Expected<void> readNumber(double value);
    Expected<void> readSharedString(Cursor &cursor);
    Expected<void> readBoolErr(Cursor &cursor);
    Expected<void> readFormula(Cursor &cursor);
    Expected<void> readFormulaString(const Record &record);

    const Globals &m_globals;
    const SheetEntry &m_entry;
    const QString &m_fileName;
    const QString m_sheetName;
    SheetBuilder m_builder;
    Position m_cell;
    std::optional<Position> m_awaitedText;
    bool m_dialog = false;
    qsizetype m_size = 0;
};

Error SheetReader::cellError(const QString &what) const
{
    if (m_cell.row < 0 || m_cell.column < 0)
        return corrupt(QStringLiteral("bladet %1 har en felaktig cellpost").arg(m_sheetName));
    return corrupt(QStringLiteral("cell %1 i bladet %2 %3")
                       .arg(cellReference(m_cell.row, m_cell.column), m_sheetName, what));
}

// A formula's text result is in the STRING record right after it; another cell, or the end
// of the sheet, before it means the result is missing.
Error SheetReader::formulaWithoutResult()
{
    m_cell = *m_awaitedText;
    return cellError(QStringLiteral("saknar sitt formelresultat"));
}

// A text in a cell: BIFF8 Unicode, or bytes in the workbook's code page in Excel 5/95.
bool SheetReader::readString(Cursor &cursor, QString &text) const
{
    if (m_globals.version == Version::Biff8)
        return cursor.unicodeString(text, 2);
    QByteArray bytes;
    if (!cursor.byteString(bytes, 2))
        return false;
    text = decode(bytes);
    return true;
}

Expected<void> SheetReader::read(const QByteArray &stream, qsizetype budget)
{
    const qsizetype start = qsizetype(m_entry.offset);
    if (m_entry.offset >= uint32_t(stream.size()))
        return corrupt(QStringLiteral("bladet %1 ligger utanför arbetsboken").arg(m_sheetName));
    RecordReader reader(stream, start);
    if (auto bof = readBof(reader); !bof)
        return bof;
    int depth = 1;
    Record record;
    while (depth > 0 && reader.next(record)) {
        if (reader.position() - start > budget)
            return corrupt(QStringLiteral("bladet %1 överlappar ett annat blad").arg(m_sheetName));
        if (record.type == record::Bof) {
            ++depth; // an embedded chart: its records are not cells of the sheet
        } else if (record.type == record::Eof) {
            --depth;
        } else if (depth == 1) {
            if (auto done = readRecord(record); !done)
                return done;
        }
    }
    if (depth > 0) {
        return corrupt(reader.error().isEmpty()
                           ? QStringLiteral("bladet %1 tar slut för tidigt").arg(m_sheetName)
                           : reader.error());
    }
    if (m_awaitedText)
        return formulaWithoutResult();
    m_size = reader.position() - start;
    return {};
}

// The sheet's BOF, where the sheet list says it is, of the workbook's BIFF version.
Expected<void> SheetReader::readBof(RecordReader &reader)
{
    Record record;
    if (!reader.next(record) || record.type != record::Bof) {
        return corrupt(
            QStringLiteral("bladet %1 börjar inte där bladförteckningen anger").arg(m_sheetName));
    }
    Cursor bof(record);
    uint16_t biffVersion = 0;
    uint16_t kind = 0;
    const uint16_t expectedVersion = m_globals.version == Version::Biff8 ? 0x0600 : 0x0500;
    if (!bof.u16(biffVersion) || !bof.u16(kind) || biffVersion != expectedVersion ||
        kind != substream::Worksheet)
        return corrupt(QStringLiteral("bladet %1 är inte ett kalkylblad").arg(m_sheetName));
    return {};
}

Expected<void> SheetReader::readRecord(const Record &record)
{
    if (record.type == record::WsBool) {
        Cursor cursor(record);
        uint8_t flags = 0;
        if (cursor.u8(flags))
            m_dialog = flags & 0x10;
        return {};
    }
    if (record.type == record::String)
        return readFormulaString(record);
    if (isCellRecord(record.type))
        return readCell(record);
    return {};
}

// Every cell record starts with the cell's row and column; all but MULRK and MULBLANK go on
// with the cell's format (XF index) and then the value.
Expected<void> SheetReader::readCell(const Record &record)
{
    if (m_awaitedText)
        return formulaWithoutResult();
    Cursor cursor(record);
    uint16_t row = 0;
    uint16_t column = 0;
    m_cell = {};
    if (!cursor.u16(row) || !cursor.u16(column))
        return cellError({});
    m_cell = {row, column};
    if (column >= kSheetColumns) {
        return corrupt(QStringLiteral("bladet %1 har en cell utanför bladets %2 kolumner")
                           .arg(m_sheetName)
                           .arg(kSheetColumns));
    }
    if (record.type == record::MulRk || record.type == record::MulBlank)
        return readMultiple(record, cursor);

    const QString badRecord = QStringLiteral("har en felaktig cellpost");
    uint16_t format = 0;
    if (!cursor.u16(format))
        return cellError(badRecord);
    switch (record.type) {
    case record::Blank:
        m_builder.addBlank(row, column);
        return {};
    case record::Number: {
        double value = 0;
        return cursor.f64(value) ? readNumber(value) : cellError(badRecord);
    }
    case record::Rk: {
        uint32_t rk = 0;
        return cursor.u32(rk) ? readNumber(rkValue(rk)) : cellError(badRecord);
    }
    case record::LabelSst:
        return readSharedString(cursor);
    case record::Label:
    case record::RString: {
        // RSTRING's formatting runs after the text are of no interest.
        QString text;
        if (!readString(cursor, text))
            return cellError(badRecord);
        m_builder.addCell(row, column, textCell(std::move(text)));
        return {};
    }
    case record::BoolErr:
        return readBoolErr(cursor);
    case record::Formula:
        return readFormula(cursor);
    default:
        return {};
    }
}

// MULRK and MULBLANK: several cells of one row. The first column, then one (format, RK) pair
// or one format per cell, then the last column.
Expected<void> SheetReader::readMultiple(const Record &record, Cursor &cursor)
{
    const bool blanks = record.type == record::MulBlank;
    const int first = m_cell.column;
    const qsizetype itemSize = blanks ? 2 : 6;
    const qsizetype items = (cursor.remaining() - 2) / itemSize;
    const QString badRecord = QStringLiteral("har en felaktig cellpost");
    if (cursor.remaining() < 2 || (cursor.remaining() - 2) % itemSize != 0 || items < 1 ||
        first + items > kSheetColumns)
        return cellError(badRecord);
    for (qsizetype i = 0; i < items; ++i) {
        m_cell.column = int(first + i);
        uint16_t format = 0;
        if (!cursor.u16(format))
            return cellError(badRecord);
        if (blanks) {
            m_builder.addBlank(m_cell.row, m_cell.column);
            continue;
        }
        uint32_t rk = 0;
        if (!cursor.u32(rk))
            return cellError(badRecord);
        if (auto placed = readNumber(rkValue(rk)); !placed)
            return placed;
    }
    uint16_t last = 0;
    if (!cursor.u16(last) || last != first + items - 1) {
        m_cell.column = first;
        return cellError(badRecord);
    }
    return {};
}

Expected<void> SheetReader::readNumber(double value)
{
    if (!std::isfinite(value))
        return cellError(QStringLiteral("har ett ogiltigt tal"));
    m_builder.addCell(m_cell.row, m_cell.column, numberCell(value));
    return {};
}

// LABELSST: the index of the cell's text in the shared strings.
Expected<void> SheetReader::readSharedString(Cursor &cursor)
{
    uint32_t index = 0;
    if (!cursor.u32(index))
        return cellError(QStringLiteral("har en felaktig cellpost"));
    if (index >= m_globals.sharedStrings.size())
        return cellError(QStringLiteral("pekar på en delad text som saknas"));
    m_builder.addCell(m_cell.row, m_cell.column, textCell(m_globals.sharedStrings[index]));
    return {};
}

// BOOLERR: the value byte, then 0 for a boolean, 1 for an error code.
Expected<void> SheetReader::readBoolErr(Cursor &cursor)
{
    uint8_t value = 0;
    uint8_t isError = 0;
    if (!cursor.u8(value) || !cursor.u8(isError) || isError > 1)
        return cellError(QStringLiteral("har en felaktig cellpost"));
    m_builder.addCell(m_cell.row, m_cell.column, isError ? errorCell(value) : booleanCell(value));
    return {};
}

// FORMULA: the cached result in eight bytes, a double, or, where the top two bytes are FFFF,
// a kind byte (0 text in the next STRING record, 1 boolean, 2 error, 3 empty text) with its
// value in the third byte. The formula itself is of no interest.
Expected<void> SheetReader::readFormula(Cursor &cursor)
{
    uint32_t low = 0;
    uint32_t high = 0;
    if (!cursor.u32(low) || !cursor.u32(high))
        return cellError(QStringLiteral("har en felaktig cellpost"));
    if ((high >> 16) != 0xFFFF) {
        const uint64_t bits = uint64_t(high) << 32 | low;
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return readNumber(value);
    }
    const uint8_t value = uint8_t(low >> 16);
    switch (low & 0xFF) {
    case 0:
        m_awaitedText = m_cell;
        return {};
    case 1:
        m_builder.addCell(m_cell.row, m_cell.column, booleanCell(value));
        return {};
    case 2:
        m_builder.addCell(m_cell.row, m_cell.column, errorCell(value));
        return {};
    case 3:
        m_builder.addCell(m_cell.row, m_cell.column, textCell({}));
        return {};
    default:
        return cellError(QStringLiteral("har ett okänt formelresultat"));
    }
}

// STRING: the text result of the formula before it. One that no formula awaits is ignored.
Expected<void> SheetReader::readFormulaString(const Record &record)
{
    if (!m_awaitedText)
        return {};
    m_cell = *m_awaitedText;
    Cursor cursor(record);
    QString text;
    if (!readString(cursor, text))
        return cellError(QStringLiteral("har ett felaktigt formelresultat"));
    m_builder.addCell(m_cell.row, m_cell.column, textCell(std::move(text)));
    m_awaitedText.reset();
    return {};
}

} // namespace

bool isExcelFile(const QByteArray &bytes)
{
    return ole::isCompoundFile(bytes) || isOldExcelFile(bytes);
}

Expected<Workbook> readFile(const QByteArray &bytes, const QString &fileName)
{
    if (isOldExcelFile(bytes))
        return oldExcelVersion(fileName);
    ole::WorkbookStream stream = ole::readWorkbookStream(bytes);
    switch (stream.status) {
    case ole::WorkbookStream::Status::Ok:
        return readStream(stream.bytes, fileName);
    case ole::WorkbookStream::Status::Damaged:
        return corruptWorkbook(fileName,
                               QStringLiteral("filens innehållsförteckning kan inte läsas"));
    case ole::WorkbookStream::Status::Encrypted:
        return encryptedWorkbook(fileName);
    case ole::WorkbookStream::Status::NotCompoundFile:
    case ole::WorkbookStream::Status::NoWorkbook:
        break;
    }
    return notWorkbook(fileName);
}

Expected<Workbook> readStream(const QByteArray &stream, const QString &fileName)
{
    auto globals = GlobalsReader(stream, fileName).read();
    if (!globals)
        return globals.error();
    WorkbookBuilder workbook(fileName);
    // Sheets do not overlap, so together they cannot use more than the stream holds: a damaged
    // sheet list cannot make us read it over and over.
    qsizetype used = 0;
    for (SheetEntry &entry : globals->entries) {
        if (globals->version == Version::Biff5)
            entry.name = decodeCodePage(entry.byteName, globals->codePage);
        // Only worksheets belong to the sheets a workbook is asked for (by name and by
        // position); charts, macro sheets and modules are left out.
        if (entry.type != 0)
            continue;
        SheetReader sheet(*globals, entry, fileName);
        if (auto read = sheet.read(stream, stream.size() - used); !read)
            return read.error();
        used += sheet.size();
        if (!sheet.isDialog())
            workbook.addSheet(sheet.takeSheet());
    }
    return std::move(workbook).build();
}

} // namespace lv::xls::biff
