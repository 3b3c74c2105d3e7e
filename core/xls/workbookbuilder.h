#pragma once

#include "core/text/expected.h"
#include "core/xls/workbook.h"

#include <QString>
#include <QStringView>

#include <vector>

// What a workbook reader uses: builders that lay out the cells it finds, and the messages for
// a file it refuses, so that every format reports them in the same words.
namespace lv::xls {

// Collects the cells of one sheet in the order a reader finds them.
class SheetBuilder
{
public:
    explicit SheetBuilder(QString name) : m_name(std::move(name)) {}

    // A cell with a value at its sheet row and column (0-based); a later cell at the same
    // place replaces an earlier one.
    void addCell(int row, int column, Cell cell);
    // A formatted empty cell: it holds no value but belongs to the used range.
    void addBlank(int row, int column);

    // The sheet, its used range the smallest rectangle around every cell and blank added;
    // none at all gives the single empty cell A1.
    Sheet build() &&;

private:
    struct PlacedCell
    {
        int row;
        int column;
        Cell cell;
    };
    void include(int row, int column);

    QString m_name;
    std::vector<PlacedCell> m_cells;
    bool m_hasRange = false;
    int m_firstRow = 0;
    int m_lastRow = 0;
    int m_firstColumn = 0;
    int m_lastColumn = 0;
};

// Collects the worksheets of a workbook in the workbook's order.
class WorkbookBuilder
{
public:
    explicit WorkbookBuilder(const QString &fileName);

    void addSheet(Sheet sheet);
    Workbook build() &&;

private:
    Workbook m_workbook;
};

// The size of a sheet in Excel 97-2003; no reader hands out cells beyond it, so that a
// position inside a used range always fits in 32 bits.
constexpr int kMaxSheetRows = 65536;
constexpr int kMaxSheetColumns = 256;

// The error code of an error value as the spreadsheet shows it ("#DIV/0!"); texts of other
// error kinds count as #VALUE!.
uint8_t errorCodeOf(QStringView text);

// "Arbetsboken NAME är skadad: DETAIL."
Error corruptWorkbook(const QString &fileName, const QString &detail);
Error encryptedWorkbook(const QString &fileName);
// A file in none of the formats read.
Error notWorkbook(const QString &fileName);
// A sheet with values beyond kMaxSheetRows x kMaxSheetColumns.
Error sheetTooLarge(const QString &fileName, const QString &sheetName);
// A file of an Excel version older than 97-2003 (Excel 2.1-4.0, or an unknown BIFF version).
Error oldExcelVersion(const QString &fileName);

} // namespace lv::xls
