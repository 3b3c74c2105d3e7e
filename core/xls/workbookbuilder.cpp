#include "core/xls/workbookbuilder.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace lv::xls {

void SheetBuilder::include(int row, int column)
{
    if (!m_hasRange) {
        m_hasRange = true;
        m_firstRow = m_lastRow = row;
        m_firstColumn = m_lastColumn = column;
        return;
    }
    m_firstRow = std::min(m_firstRow, row);
    m_lastRow = std::max(m_lastRow, row);
    m_firstColumn = std::min(m_firstColumn, column);
    m_lastColumn = std::max(m_lastColumn, column);
}

void SheetBuilder::addCell(int row, int column, Cell cell)
{
    include(row, column);
    m_cells.push_back({row, column, std::move(cell)});
}

void SheetBuilder::addBlank(int row, int column)
{
    include(row, column);
}

Sheet SheetBuilder::build() &&
{
    Sheet sheet;
    sheet.m_name = std::move(m_name);
    if (!m_hasRange)
        return sheet;
    sheet.m_firstRow = m_firstRow;
    sheet.m_firstColumn = m_firstColumn;
    sheet.m_rows = m_lastRow - m_firstRow + 1;
    sheet.m_columns = m_lastColumn - m_firstColumn + 1;

    auto position = [&](const PlacedCell &placed) {
        return uint32_t(placed.row - sheet.m_firstRow) * uint32_t(sheet.m_columns) +
               uint32_t(placed.column - sheet.m_firstColumn);
    };
    // A later cell at the same place replaces an earlier one: the sort keeps their order.
    std::stable_sort(m_cells.begin(), m_cells.end(),
                     [&](const auto &a, const auto &b) { return position(a) < position(b); });
    sheet.m_cells.reserve(m_cells.size());
    sheet.m_positions.reserve(m_cells.size());
    for (PlacedCell &placed : m_cells) {
        const uint32_t at = position(placed);
        if (!sheet.m_positions.empty() && sheet.m_positions.back() == at) {
            sheet.m_cells.back() = std::move(placed.cell);
            continue;
        }
        sheet.m_positions.push_back(at);
        sheet.m_cells.push_back(std::move(placed.cell));
    }
    // The dense table costs four bytes per used-range cell: only where values fill the range
    // well, so that blanks far apart cannot make it large.
    const std::size_t area = std::size_t(sheet.m_rows) * std::size_t(sheet.m_columns);
    if (area <= 8 * sheet.m_cells.size() + 64) {
        sheet.m_dense.assign(area, 0);
        for (std::size_t i = 0; i < sheet.m_positions.size(); ++i)
            sheet.m_dense[sheet.m_positions[i]] = uint32_t(i + 1);
    }
    return sheet;
}

WorkbookBuilder::WorkbookBuilder(const QString &fileName)
{
    m_workbook.m_fileName = fileName;
}

void WorkbookBuilder::addSheet(Sheet sheet)
{
    m_workbook.m_sheets.push_back(std::make_shared<const Sheet>(std::move(sheet)));
}

Workbook WorkbookBuilder::build() &&
{
    return std::move(m_workbook);
}

uint8_t errorCodeOf(QStringView text)
{
    static constexpr std::pair<const char16_t *, uint8_t> codes[] = {
        {u"#NULL!", 0x00}, {u"#DIV/0!", 0x07}, {u"#VALUE!", 0x0F}, {u"#REF!", 0x17},
        {u"#NAME?", 0x1D}, {u"#NUM!", 0x24},   {u"#N/A", 0x2A},
    };
    for (const auto &[shown, code] : codes) {
        if (text.trimmed() == QStringView(shown))
            return code;
    }
    return 0x0F;
}

Error corruptWorkbook(const QString &fileName, const QString &detail)
{
    return Error{ErrorKind::Workbook,
                 QStringLiteral("Arbetsboken %1 är skadad: %2.").arg(fileName, detail)};
}

Error encryptedWorkbook(const QString &fileName)
{
    return Error{
        ErrorKind::Workbook,
        QStringLiteral("Arbetsboken %1 är lösenordsskyddad och kan inte läsas.").arg(fileName)};
}

Error notWorkbook(const QString &fileName)
{
    return Error{
        ErrorKind::Workbook,
        QStringLiteral(
            "Arbetsboken %1 är inte en arbetsbok i något av formaten .xls, .xlsx och .ods.")
            .arg(fileName)};
}

Error sheetTooLarge(const QString &fileName, const QString &sheetName)
{
    return Error{ErrorKind::Workbook,
                 QStringLiteral("Bladet \"%1\" i arbetsboken %2 har celler utanför 65 536 rader "
                                "och 256 kolumner, det största som kan läsas.")
                     .arg(sheetName, fileName)};
}

Error oldExcelVersion(const QString &fileName)
{
    return Error{
        ErrorKind::Workbook,
        QStringLiteral("Arbetsboken %1 är sparad i en äldre Excel-version som inte kan "
                       "läsas. Spara den som .xlsx, .ods eller i Excel 97–2003-format (.xls).")
            .arg(fileName)};
}

} // namespace lv::xls
