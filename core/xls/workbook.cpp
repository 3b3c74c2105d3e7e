#include "core/xls/workbook.h"

#include "core/xls/biff.h"
#include "core/xls/ole.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <tuple>

namespace lv::xls {

namespace {

// The workbooks are tables of a few hundred cells; a file this large is not one of them, and
// reading it whole would only hold the program up.
constexpr qint64 MaxFileSize = qint64(256) * 1024 * 1024;
// A BIFF sheet has 256 columns (and 65536 rows, all that a 16-bit row number can address).
constexpr int SheetColumns = 256;

Error openError(const QString &fileName, const QString &reason)
{
    return Error{QStringLiteral("Arbetsboken %1 kunde inte öppnas: %2.").arg(fileName, reason)};
}

Error notWorkbook(const QString &fileName)
{
    return Error{
        QStringLiteral("Arbetsboken %1 är inte en arbetsbok i Excel 97–2003-format (.xls).")
            .arg(fileName)};
}

Error corrupt(const QString &fileName, const QString &detail)
{
    return Error{QStringLiteral("Arbetsboken %1 är skadad: %2.").arg(fileName, detail)};
}

Error encrypted(const QString &fileName)
{
    return Error{
        QStringLiteral("Arbetsboken %1 är lösenordsskyddad och kan inte läsas.").arg(fileName)};
}

Error unsupportedVersion(const QString &fileName)
{
    return Error{QStringLiteral("Arbetsboken %1 är sparad i en äldre Excel-version som inte kan "
                                "läsas. Spara den i Excel 97–2003-format (.xls).")
                     .arg(fileName)};
}

QString quoted(const QString &text)
{
    return u'"' + text + u'"';
}

// An Excel 2.1-4.0 file is a bare BIFF stream, not a compound file: it starts with its BOF.
bool isOldBiffFile(const QByteArray &bytes)
{
    if (bytes.size() < 8)
        return false;
    const int type = uchar(bytes[0]) | uchar(bytes[1]) << 8;
    const int length = uchar(bytes[2]) | uchar(bytes[3]) << 8;
    return (type == biff::record::Bof2 || type == biff::record::Bof3 ||
            type == biff::record::Bof4) &&
           length >= 4 && length <= 16;
}

// A cell value as read, at its sheet row and column (0-based).
struct PlacedCell
{
    int row;
    int column;
    Cell cell;
};

} // namespace

struct SheetBuilder
{
    // Lays the cells out in the used range: the smallest rectangle around every cell record
    // (values and formatted blanks); none at all gives the single empty cell A1.
    static std::shared_ptr<Sheet> build(QString name, std::vector<PlacedCell> &cells,
                                        std::optional<std::tuple<int, int, int, int>> bounds)
    {
        auto sheet = std::make_shared<Sheet>();
        sheet->m_name = std::move(name);
        if (!bounds)
            return sheet;
        const auto [firstRow, lastRow, firstColumn, lastColumn] = *bounds;
        sheet->m_firstRow = firstRow;
        sheet->m_firstColumn = firstColumn;
        sheet->m_rows = lastRow - firstRow + 1;
        sheet->m_columns = lastColumn - firstColumn + 1;

        auto position = [&](const PlacedCell &placed) {
            return uint32_t(placed.row - sheet->m_firstRow) * uint32_t(sheet->m_columns) +
                   uint32_t(placed.column - sheet->m_firstColumn);
        };
        // A later record for the same cell replaces an earlier one.
        std::stable_sort(cells.begin(), cells.end(),
                         [&](const auto &a, const auto &b) { return position(a) < position(b); });
        sheet->m_cells.reserve(cells.size());
        sheet->m_positions.reserve(cells.size());
        for (PlacedCell &placed : cells) {
            const uint32_t at = position(placed);
            if (!sheet->m_positions.empty() && sheet->m_positions.back() == at) {
                sheet->m_cells.back() = std::move(placed.cell);
                continue;
            }
            sheet->m_positions.push_back(at);
            sheet->m_cells.push_back(std::move(placed.cell));
        }
        // The dense table costs four bytes per used-range cell: only where values fill the
        // range well, so that blanks far apart cannot make it large.
        const std::size_t area = std::size_t(sheet->m_rows) * std::size_t(sheet->m_columns);
        if (area <= 8 * sheet->m_cells.size() + 64) {
            sheet->m_dense.assign(area, 0);
            for (std::size_t i = 0; i < sheet->m_positions.size(); ++i)
                sheet->m_dense[sheet->m_positions[i]] = uint32_t(i + 1);
        }
        return sheet;
    }
};

struct WorkbookReader
{
    struct SheetEntry
    {
        uint32_t offset = 0;
        uint8_t type = 0;
        QString name;
        QByteArray byteName; // Excel 5/95: decoded once the code page is known
    };

    WorkbookReader(const QByteArray &stream, const QString &fileName)
        : stream(stream), fileName(fileName)
    {}

    const QByteArray &stream;
    const QString &fileName;
    biff::Version version = biff::Version::Biff8;
    int codePage = 1252;
    std::vector<QString> sharedStrings;
    std::vector<SheetEntry> entries;
    // Stream bytes the sheets have used so far: sheets do not overlap, so together they cannot
    // use more than the stream holds (a damaged sheet list cannot make us read it over and
    // over).
    qsizetype sheetBytes = 0;

    Error corrupt(const QString &detail) const { return xls::corrupt(fileName, detail); }

    QString text(const QByteArray &bytes) const { return biff::decodeCodePage(bytes, codePage); }

    Expected<Workbook> read()
    {
        if (auto globals = readGlobals(); !globals)
            return globals.error();
        Workbook workbook;
        workbook.m_fileName = fileName;
        for (SheetEntry &entry : entries) {
            if (version == biff::Version::Biff5)
                entry.name = text(entry.byteName);
            // Only worksheets belong to the sheets a workbook is asked for (by name and by
            // position); charts, macro sheets and modules are left out.
            if (entry.type != 0)
                continue;
            bool dialog = false;
            auto sheet = readSheet(entry, dialog);
            if (!sheet)
                return sheet.error();
            if (!dialog)
                workbook.m_sheets.push_back(std::move(*sheet));
        }
        return workbook;
    }

    Expected<void> readGlobals()
    {
        biff::RecordReader reader(stream, 0);
        biff::Record record;
        if (!reader.next(record)) {
            return reader.error().isEmpty() ? corrupt(QStringLiteral("arbetsboken är tom"))
                                            : corrupt(reader.error());
        }
        if (record.type == biff::record::Bof2 || record.type == biff::record::Bof3 ||
            record.type == biff::record::Bof4)
            return unsupportedVersion(fileName);
        biff::Cursor bof(record);
        uint16_t biffVersion = 0;
        uint16_t kind = 0;
        if (record.type != biff::record::Bof || !bof.u16(biffVersion) || !bof.u16(kind))
            return corrupt(QStringLiteral("arbetsbokens inledande post saknas"));
        if (biffVersion == 0x0600)
            version = biff::Version::Biff8;
        else if (biffVersion == 0x0500)
            version = biff::Version::Biff5;
        else
            return unsupportedVersion(fileName);
        if (kind != biff::substream::Globals)
            return corrupt(QStringLiteral("arbetsbokens bladförteckning saknas"));

        int depth = 1;
        while (reader.next(record)) {
            switch (record.type) {
            case biff::record::Bof:
                ++depth;
                continue;
            case biff::record::Eof:
                if (--depth == 0)
                    return {};
                continue;
            default:
                break;
            }
            if (depth != 1)
                continue;
            biff::Cursor cursor(record);
            switch (record.type) {
            case biff::record::FilePass:
                return encrypted(fileName);
            case biff::record::CodePage: {
                uint16_t value = 0;
                if (cursor.u16(value))
                    codePage = value;
                break;
            }
            case biff::record::BoundSheet: {
                SheetEntry entry;
                uint8_t state = 0;
                const bool ok =
                    cursor.u32(entry.offset) && cursor.u8(state) && cursor.u8(entry.type) &&
                    (version == biff::Version::Biff8 ? cursor.unicodeString(entry.name, 1)
                                                     : cursor.byteString(entry.byteName, 1));
                if (!ok)
                    return corrupt(QStringLiteral("arbetsbokens bladförteckning är felaktig"));
                entries.push_back(std::move(entry));
                break;
            }
            case biff::record::Sst:
                if (version == biff::Version::Biff8) {
                    if (auto sst = readSharedStrings(record); !sst)
                        return sst;
                }
                break;
            default:
                break;
            }
        }
        return reader.error().isEmpty() ? corrupt(QStringLiteral("arbetsboken tar slut för tidigt"))
                                        : corrupt(reader.error());
    }

    // The shared strings (SST): counts, then the strings, continued across CONTINUE parts.
    Expected<void> readSharedStrings(const biff::Record &record)
    {
        biff::Cursor cursor(record);
        uint32_t total = 0;
        uint32_t unique = 0;
        if (!cursor.u32(total) || !cursor.u32(unique))
            return corrupt(QStringLiteral("tabellen med delade texter är felaktig"));
        // Every string takes at least three bytes: the count need not be believed further.
        sharedStrings.clear();
        sharedStrings.reserve(std::min<qsizetype>(unique, cursor.remaining() / 3));
        // A table that ends early just holds fewer strings; a cell that points past them is
        // reported where it is read.
        for (uint32_t i = 0; i < unique && cursor.remaining() > 0; ++i) {
            QString value;
            if (!cursor.unicodeString(value, 2))
                return corrupt(QStringLiteral("tabellen med delade texter är felaktig"));
            sharedStrings.push_back(std::move(value));
        }
        return {};
    }

    Expected<std::shared_ptr<Sheet>> readSheet(const SheetEntry &entry, bool &dialog)
    {
        const QString sheetName = quoted(entry.name);
        if (entry.offset >= uint32_t(stream.size()))
            return corrupt(QStringLiteral("bladet %1 ligger utanför arbetsboken").arg(sheetName));
        const qsizetype budget = stream.size() - sheetBytes;
        biff::RecordReader reader(stream, qsizetype(entry.offset));
        biff::Record record;
        if (!reader.next(record) || record.type != biff::record::Bof) {
            return corrupt(
                QStringLiteral("bladet %1 börjar inte där bladförteckningen anger").arg(sheetName));
        }
        biff::Cursor bof(record);
        uint16_t biffVersion = 0;
        uint16_t kind = 0;
        const uint16_t expectedVersion = version == biff::Version::Biff8 ? 0x0600 : 0x0500;
        if (!bof.u16(biffVersion) || !bof.u16(kind) || biffVersion != expectedVersion ||
            kind != biff::substream::Worksheet)
            return corrupt(QStringLiteral("bladet %1 är inte ett kalkylblad").arg(sheetName));

        std::vector<PlacedCell> cells;
        std::optional<std::tuple<int, int, int, int>> bounds;
        // A formula whose text result follows in the next STRING record.
        constexpr std::size_t None = std::size_t(-1);
        std::size_t pendingText = None;
        int row = -1;
        int column = -1;
        auto cellError = [&](const QString &what) {
            if (row < 0 || column < 0)
                return corrupt(QStringLiteral("bladet %1 har en felaktig cellpost").arg(sheetName));
            return corrupt(QStringLiteral("cell %1 i bladet %2 %3")
                               .arg(biff::cellReference(row, column), sheetName, what));
        };
        auto include = [&](int r, int c) {
            if (!bounds) {
                bounds = std::tuple{r, r, c, c};
                return;
            }
            auto &[firstRow, lastRow, firstColumn, lastColumn] = *bounds;
            firstRow = std::min(firstRow, r);
            lastRow = std::max(lastRow, r);
            firstColumn = std::min(firstColumn, c);
            lastColumn = std::max(lastColumn, c);
        };
        auto place = [&](Cell cell) {
            include(row, column);
            cells.push_back({row, column, std::move(cell)});
        };
        auto number = [&](double value) {
            Cell cell;
            cell.type = Cell::Type::Number;
            cell.number = value;
            return cell;
        };

        int depth = 1;
        while (depth > 0 && reader.next(record)) {
            if (reader.position() - qsizetype(entry.offset) > budget)
                return corrupt(
                    QStringLiteral("bladet %1 överlappar ett annat blad").arg(sheetName));
            if (record.type == biff::record::Bof) {
                ++depth; // an embedded chart: its records are not cells of the sheet
                continue;
            }
            if (record.type == biff::record::Eof) {
                --depth;
                continue;
            }
            if (depth != 1)
                continue;

            biff::Cursor cursor(record);
            if (record.type == biff::record::WsBool) {
                uint8_t flags = 0;
                if (cursor.u8(flags))
                    dialog = flags & 0x10;
                continue;
            }
            if (record.type == biff::record::String) {
                if (pendingText == None)
                    continue;
                Cell &cell = cells[pendingText].cell;
                row = cells[pendingText].row;
                column = cells[pendingText].column;
                QByteArray bytes;
                const bool ok = version == biff::Version::Biff8 ? cursor.unicodeString(cell.text, 2)
                                                                : cursor.byteString(bytes, 2);
                if (!ok)
                    return cellError(QStringLiteral("har ett felaktigt formelresultat"));
                if (version == biff::Version::Biff5)
                    cell.text = text(bytes);
                pendingText = None;
                continue;
            }

            const bool isCell =
                record.type == biff::record::Number || record.type == biff::record::Rk ||
                record.type == biff::record::MulRk || record.type == biff::record::LabelSst ||
                record.type == biff::record::Label || record.type == biff::record::RString ||
                record.type == biff::record::Formula || record.type == biff::record::BoolErr ||
                record.type == biff::record::Blank || record.type == biff::record::MulBlank;
            if (!isCell)
                continue;
            if (pendingText != None)
                return cellError(QStringLiteral("saknar sitt formelresultat"));

            uint16_t r = 0;
            uint16_t c = 0;
            row = column = -1;
            if (!cursor.u16(r) || !cursor.u16(c))
                return cellError({});
            row = r;
            column = c;
            if (c >= SheetColumns) {
                return corrupt(QStringLiteral("bladet %1 har en cell utanför bladets %2 kolumner")
                                   .arg(sheetName)
                                   .arg(SheetColumns));
            }

            if (record.type == biff::record::MulRk || record.type == biff::record::MulBlank) {
                // First column, then one (format, RK) pair or one format per cell, then the
                // last column.
                const qsizetype itemSize = record.type == biff::record::MulRk ? 6 : 2;
                const qsizetype items = (cursor.remaining() - 2) / itemSize;
                if (cursor.remaining() < 2 || (cursor.remaining() - 2) % itemSize != 0 ||
                    items < 1 || c + items > SheetColumns)
                    return cellError(QStringLiteral("har en felaktig cellpost"));
                for (qsizetype i = 0; i < items; ++i) {
                    column = int(c + i);
                    uint16_t format = 0;
                    uint32_t rk = 0;
                    if (!cursor.u16(format))
                        return cellError(QStringLiteral("har en felaktig cellpost"));
                    if (record.type == biff::record::MulBlank) {
                        include(row, column);
                        continue;
                    }
                    if (!cursor.u32(rk))
                        return cellError(QStringLiteral("har en felaktig cellpost"));
                    const double value = biff::rkValue(rk);
                    if (!std::isfinite(value))
                        return cellError(QStringLiteral("har ett ogiltigt tal"));
                    place(number(value));
                }
                uint16_t last = 0;
                if (!cursor.u16(last) || last != c + items - 1) {
                    column = c;
                    return cellError(QStringLiteral("har en felaktig cellpost"));
                }
                continue;
            }

            uint16_t format = 0;
            if (!cursor.u16(format))
                return cellError(QStringLiteral("har en felaktig cellpost"));
            const QString badRecord = QStringLiteral("har en felaktig cellpost");
            switch (record.type) {
            case biff::record::Blank:
                include(row, column);
                break;
            case biff::record::Number: {
                double value = 0;
                if (!cursor.f64(value))
                    return cellError(badRecord);
                if (!std::isfinite(value))
                    return cellError(QStringLiteral("har ett ogiltigt tal"));
                place(number(value));
                break;
            }
            case biff::record::Rk: {
                uint32_t rk = 0;
                if (!cursor.u32(rk))
                    return cellError(badRecord);
                const double value = biff::rkValue(rk);
                if (!std::isfinite(value))
                    return cellError(QStringLiteral("har ett ogiltigt tal"));
                place(number(value));
                break;
            }
            case biff::record::LabelSst: {
                uint32_t index = 0;
                if (!cursor.u32(index))
                    return cellError(badRecord);
                if (index >= sharedStrings.size())
                    return cellError(QStringLiteral("pekar på en delad text som saknas"));
                Cell cell;
                cell.type = Cell::Type::Text;
                cell.text = sharedStrings[index];
                place(std::move(cell));
                break;
            }
            case biff::record::Label:
            case biff::record::RString: {
                Cell cell;
                cell.type = Cell::Type::Text;
                QByteArray bytes;
                const bool ok = version == biff::Version::Biff8 ? cursor.unicodeString(cell.text, 2)
                                                                : cursor.byteString(bytes, 2);
                if (!ok)
                    return cellError(badRecord);
                if (version == biff::Version::Biff5)
                    cell.text = text(bytes);
                place(std::move(cell));
                break;
            }
            case biff::record::BoolErr: {
                uint8_t value = 0;
                uint8_t isError = 0;
                if (!cursor.u8(value) || !cursor.u8(isError) || isError > 1)
                    return cellError(badRecord);
                Cell cell;
                if (isError) {
                    cell.type = Cell::Type::Error;
                    cell.errorCode = value;
                } else {
                    cell.type = Cell::Type::Boolean;
                    cell.number = value ? 1 : 0;
                }
                place(std::move(cell));
                break;
            }
            case biff::record::Formula: {
                // The cached result: a double, or, where the top two bytes are FFFF, a kind
                // byte (0 text in the next STRING record, 1 boolean, 2 error, 3 empty text)
                // with its value in the third byte.
                uint32_t low = 0;
                uint32_t high = 0;
                if (!cursor.u32(low) || !cursor.u32(high))
                    return cellError(badRecord);
                Cell cell;
                if ((high >> 16) != 0xFFFF) {
                    const uint64_t bits = uint64_t(high) << 32 | low;
                    double value = 0;
                    std::memcpy(&value, &bits, sizeof value);
                    if (!std::isfinite(value))
                        return cellError(QStringLiteral("har ett ogiltigt tal"));
                    place(number(value));
                    break;
                }
                const uint8_t value = uint8_t(low >> 16);
                switch (low & 0xFF) {
                case 0:
                    cell.type = Cell::Type::Text;
                    pendingText = cells.size();
                    break;
                case 1:
                    cell.type = Cell::Type::Boolean;
                    cell.number = value ? 1 : 0;
                    break;
                case 2:
                    cell.type = Cell::Type::Error;
                    cell.errorCode = value;
                    break;
                case 3:
                    cell.type = Cell::Type::Text;
                    break;
                default:
                    return cellError(QStringLiteral("har ett okänt formelresultat"));
                }
                place(std::move(cell));
                break;
            }
            default:
                break;
            }
        }
        if (depth > 0) {
            return reader.error().isEmpty()
                       ? corrupt(QStringLiteral("bladet %1 tar slut för tidigt").arg(sheetName))
                       : corrupt(reader.error());
        }
        if (pendingText != None) {
            row = cells[pendingText].row;
            column = cells[pendingText].column;
            return cellError(QStringLiteral("saknar sitt formelresultat"));
        }
        sheetBytes += reader.position() - qsizetype(entry.offset);
        return SheetBuilder::build(entry.name, cells, bounds);
    }
};

const Cell &Sheet::at(int row, int column) const
{
    static const Cell empty;
    Q_ASSERT(contains(row, column));
    if (!contains(row, column))
        return empty;
    const uint32_t position = uint32_t(row - 1) * uint32_t(m_columns) + uint32_t(column - 1);
    if (!m_dense.empty()) {
        const uint32_t index = m_dense[position];
        return index ? m_cells[index - 1] : empty;
    }
    const auto found = std::lower_bound(m_positions.begin(), m_positions.end(), position);
    if (found == m_positions.end() || *found != position)
        return empty;
    return m_cells[std::size_t(found - m_positions.begin())];
}

QString Sheet::reference(int row, int column) const
{
    return biff::cellReference(m_firstRow + row - 1, m_firstColumn + column - 1);
}

Expected<Workbook> Workbook::open(const QString &path)
{
    const QFileInfo info(path);
    const QString name = info.fileName().isEmpty() ? path : info.fileName();
    if (!info.exists())
        return openError(name, QStringLiteral("filen finns inte"));
    if (info.isDir())
        return openError(name, QStringLiteral("det är en mapp"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return openError(name, QStringLiteral("filen kunde inte läsas"));
    if (file.size() > MaxFileSize)
        return openError(name, QStringLiteral("filen är större än 256 MB"));
    // Reading reserves as much as it is asked for: the file's size (checked above) and one byte
    // more, not the largest size allowed.
    const QByteArray bytes = file.read(file.size() + 1);
    if (file.error() != QFileDevice::NoError)
        return openError(name, QStringLiteral("filen kunde inte läsas"));
    if (bytes.size() > MaxFileSize)
        return openError(name, QStringLiteral("filen är större än 256 MB"));
    return fromBytes(bytes, name);
}

Expected<Workbook> Workbook::fromBytes(const QByteArray &bytes, const QString &fileName)
{
    ole::WorkbookStream stream = ole::readWorkbookStream(bytes);
    switch (stream.status) {
    case ole::WorkbookStream::Status::Ok:
        return fromBiffStream(stream.bytes, fileName);
    case ole::WorkbookStream::Status::NotCompoundFile:
        return isOldBiffFile(bytes) ? unsupportedVersion(fileName) : notWorkbook(fileName);
    case ole::WorkbookStream::Status::Damaged:
        return corrupt(fileName, QStringLiteral("filens innehållsförteckning kan inte läsas"));
    case ole::WorkbookStream::Status::NoWorkbook:
        return notWorkbook(fileName);
    case ole::WorkbookStream::Status::Encrypted:
        return encrypted(fileName);
    }
    return notWorkbook(fileName);
}

Expected<Workbook> Workbook::fromBiffStream(const QByteArray &stream, const QString &fileName)
{
    WorkbookReader reader{stream, fileName};
    return reader.read();
}

Expected<const Sheet *> Workbook::sheet(const QString &name) const
{
    for (const auto &sheet : m_sheets) {
        if (sheet->name().compare(name, Qt::CaseInsensitive) == 0)
            return sheet.get();
    }
    return Error{QStringLiteral("Arbetsboken %1 saknar bladet %2.").arg(m_fileName, quoted(name))};
}

Expected<const Sheet *> Workbook::sheet(int position) const
{
    if (position < 1 || position > sheetCount()) {
        return Error{
            QStringLiteral("Arbetsboken %1 saknar blad nummer %2.").arg(m_fileName).arg(position)};
    }
    return m_sheets[std::size_t(position - 1)].get();
}

QString errorText(uint8_t errorCode)
{
    switch (errorCode) {
    case 0x00:
        return QStringLiteral("#NULL!");
    case 0x07:
        return QStringLiteral("#DIV/0!");
    case 0x0F:
        return QStringLiteral("#VALUE!");
    case 0x17:
        return QStringLiteral("#REF!");
    case 0x1D:
        return QStringLiteral("#NAME?");
    case 0x24:
        return QStringLiteral("#NUM!");
    case 0x2A:
        return QStringLiteral("#N/A");
    case 0x2B:
        return QStringLiteral("#GETTING_DATA");
    default:
        return QStringLiteral("#ERR%1").arg(int(errorCode));
    }
}

} // namespace lv::xls
