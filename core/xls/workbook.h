#pragma once

#include "core/text/expected.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

// Workbooks as the calculation and `luftvaka-batch --dump` read them: sheets by name or
// position, their used range and the cells' values. Nothing here depends on a file format:
//   workbook.h         this interface, and Workbook::open, which picks the reader for a file
//   workbookbuilder.h  what a reader uses to build a Workbook, and the messages it refuses with
//   biffworkbook.h     the reader of Excel 97-2003 (.xls) files, BIFF5 and BIFF8
//   xmlworkbook.h      the readers of .xlsx and .ods files; zippackage.h, the zip around them
//   biff.h, ole.h      its two layers: BIFF records, and the OLE2 compound file around them
namespace lv::xls {

// One cell value as the spreadsheet application hands it out: empty, a number, a text, a
// boolean or an error code.
struct Cell
{
    enum class Type : uint8_t { Empty, Number, Text, Boolean, Error };

    Type type = Type::Empty;
    double number = 0;     // Number; Boolean as 1 or 0
    QString text;          // Text
    uint8_t errorCode = 0; // Error: the error code as .xls files store it (0x07 #DIV/0!, ...)

    bool operator==(const Cell &) const = default;
};

// Cells as every reader makes them.
inline Cell numberCell(double value)
{
    return Cell{Cell::Type::Number, value, {}, 0};
}
inline Cell textCell(QString text)
{
    return Cell{Cell::Type::Text, 0, std::move(text), 0};
}
inline Cell booleanCell(bool value)
{
    return Cell{Cell::Type::Boolean, value ? 1.0 : 0.0, {}, 0};
}
inline Cell errorCell(uint8_t code)
{
    return Cell{Cell::Type::Error, 0, {}, code};
}

// The used range of one worksheet: the smallest rectangle that holds every cell of the sheet,
// formatted empty cells included. Cells are addressed (row, column) from 1, relative to the
// top-left cell of the used range.
class Sheet
{
public:
    const QString &name() const { return m_name; }
    int rowCount() const { return m_rows; }
    int columnCount() const { return m_columns; }
    // Sheet row and column (0-based) of the used range's top-left cell.
    int firstRow() const { return m_firstRow; }
    int firstColumn() const { return m_firstColumn; }

    bool contains(int row, int column) const
    {
        return row >= 1 && row <= m_rows && column >= 1 && column <= m_columns;
    }
    // The cell at (row, column) of the used range; must be inside it (see contains()).
    const Cell &at(int row, int column) const;
    // The A1 reference of a used-range cell on the sheet, for messages ("C24").
    QString reference(int row, int column) const;

private:
    friend class SheetBuilder;
    QString m_name;
    int m_firstRow = 0;
    int m_firstColumn = 0;
    int m_rows = 1;
    int m_columns = 1;
    // Only cells that hold a value are stored, ordered by their used-range position
    // ((row - 1) * columns + column - 1) in m_positions: formatted blanks may stretch the
    // used range far beyond the values. A dense table of 1 + index into m_cells (0: empty)
    // speeds up at() where the range is mostly filled.
    std::vector<Cell> m_cells;
    std::vector<uint32_t> m_positions;
    std::vector<uint32_t> m_dense;
};

// A workbook read whole into memory: its worksheets in the workbook's order.
class Workbook
{
public:
    // Opens and reads a workbook file. Errors name the file (Swedish).
    static Expected<Workbook> open(const QString &path);
    // Reads a workbook from the bytes of a file; `fileName` names it in errors. The format is
    // told by the bytes, not by the name.
    static Expected<Workbook> fromBytes(const QByteArray &bytes, const QString &fileName);

    const QString &fileName() const { return m_fileName; }
    int sheetCount() const { return int(m_sheets.size()); }
    // The worksheet with this name, compared without regard to case; an error names the
    // workbook and the sheet.
    Expected<const Sheet *> sheet(const QString &name) const;
    // The worksheet at this 1-based position (the workbook's sheet order).
    Expected<const Sheet *> sheet(int position) const;

private:
    friend class WorkbookBuilder;
    QString m_fileName;
    // Shared, so that copies of a workbook are cheap.
    std::vector<std::shared_ptr<const Sheet>> m_sheets;
};

// The cell reference "C24" of a 0-based sheet row and column.
QString cellReference(int row, int column);

// The text the spreadsheet shows for an error code ("#DIV/0!", "#N/A", ...).
QString errorText(uint8_t errorCode);

} // namespace lv::xls
