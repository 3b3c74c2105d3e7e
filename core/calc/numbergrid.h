#pragma once

#include "core/text/expected.h"
#include "core/xls/workbook.h"

#include <QLocale>
#include <QString>

#include <cstdint>
#include <vector>

namespace lv::calc {

// A worksheet's used range converted to numbers once, as the calculation reads it: a number
// is itself, an empty cell counts as 0, a boolean as -1 (true) or 0 (false), a text that reads
// as a number in the given locale as that number. Other texts and error codes are faults,
// reported only when such a cell is actually read.
class NumberGrid
{
public:
    struct Value
    {
        double number = 0;
        bool ok = true;
    };

    NumberGrid() = default;
    NumberGrid(const xls::Sheet &sheet, const QString &workbookName,
               const QLocale &locale = QLocale());

    // Whether (row, column) lies in the used range (1-based, relative to its top-left cell).
    bool contains(int row, int column) const { return m_sheet->contains(row, column); }
    // The converted value; outside the used range it reads as a fault.
    Value value(int row, int column) const
    {
        if (!contains(row, column))
            return Value{0, false};
        return m_values[std::size_t(row - 1) * std::size_t(m_columns) + std::size_t(column - 1)];
    }
    // The number at (row, column), or the fault naming workbook, sheet and cell.
    Expected<double> number(int row, int column) const;
    // The message for a cell whose value is not usable as a number.
    Error fault(int row, int column) const;

    const xls::Sheet &sheet() const { return *m_sheet; }

private:
    const xls::Sheet *m_sheet = nullptr;
    QString m_workbookName;
    QLocale m_locale;
    int m_columns = 0;
    std::vector<Value> m_values;
};

// A cell shown as text in a message: its text, or its number in the general form.
QString cellDisplayText(const xls::Cell &cell, const QLocale &locale = QLocale());

} // namespace lv::calc
