#include "core/calc/numbergrid.h"

#include "core/text/numbertext.h"

namespace lv::calc {

namespace {

NumberGrid::Value convert(const xls::Cell &cell, const QLocale &locale)
{
    using Type = xls::Cell::Type;
    switch (cell.type) {
    case Type::Empty:
        return {0, true};
    case Type::Number:
        return {cell.number, true};
    case Type::Boolean:
        return {cell.number != 0 ? -1.0 : 0.0, true};
    case Type::Text:
        if (const auto v = text::parseDouble(cell.text, locale))
            return {*v, true};
        return {0, false};
    case Type::Error:
        break;
    }
    return {0, false};
}

} // namespace

QString cellDisplayText(const xls::Cell &cell, const QLocale &locale)
{
    using Type = xls::Cell::Type;
    switch (cell.type) {
    case Type::Empty:
        return QString();
    case Type::Number:
        return text::formatGeneral(static_cast<float>(cell.number), locale);
    case Type::Text:
        return cell.text;
    case Type::Boolean:
        return cell.number != 0 ? QStringLiteral("SANT") : QStringLiteral("FALSKT");
    case Type::Error:
        return xls::errorText(cell.errorCode);
    }
    return QString();
}

NumberGrid::NumberGrid(const xls::Sheet &sheet, const QString &workbookName, const QLocale &locale)
    : m_sheet(&sheet), m_workbookName(workbookName), m_locale(locale),
      m_columns(sheet.columnCount())
{
    m_values.reserve(std::size_t(sheet.rowCount()) * std::size_t(m_columns));
    for (int r = 1; r <= sheet.rowCount(); ++r) {
        for (int c = 1; c <= m_columns; ++c)
            m_values.push_back(convert(sheet.at(r, c), m_locale));
    }
}

Expected<double> NumberGrid::number(int row, int column) const
{
    const Value v = value(row, column);
    if (!v.ok)
        return fault(row, column);
    return v.number;
}

Error NumberGrid::fault(int row, int column) const
{
    const QString where =
        QStringLiteral("bladet \"%1\" i arbetsboken %2").arg(m_sheet->name(), m_workbookName);
    if (!contains(row, column)) {
        return Error{ErrorKind::Workbook,
                     QStringLiteral("Fel i grundtabellen: %1 saknar cellen %2 (rad %3, kolumn %4 "
                                    "i det använda området).")
                         .arg(where, m_sheet->reference(row, column))
                         .arg(row)
                         .arg(column)};
    }
    return Error{ErrorKind::Workbook,
                 QStringLiteral("Fel i grundtabellen: cellen %1 på %2 ska innehålla ett tal men "
                                "innehåller \"%3\".")
                     .arg(m_sheet->reference(row, column), where,
                          cellDisplayText(m_sheet->at(row, column), m_locale))};
}

} // namespace lv::calc
