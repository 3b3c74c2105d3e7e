#pragma once

#include "core/text/expected.h"

#include <QLocale>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace lv::input {

// One row of the segment list: the segment number and eight cells, all as the user typed them
// (or as reading an input file wrote them back).
struct SegmentRow
{
    QString number;
    std::array<QString, 8> cells; // length, slope, Pb speed, Pb flow, Lb speed, Lb flow,
                                  // Lbs speed, Lbs flow

    enum Cell { Length, Slope, PbSpeed, PbFlow, LbSpeed, LbFlow, LbsSpeed, LbsFlow };

    bool operator==(const SegmentRow &) const = default;
};

// The segment dialog's checks, in order: number, slope, the seven lengths/speeds/flows as
// numbers, none below zero, no speed of zero. Returns the first fault's message, or nothing.
std::optional<Error> checkSegmentRow(const SegmentRow &row, const QLocale &locale = QLocale());

// Where a segment with this number goes in a list whose rows carry these number texts.
struct InsertPosition
{
    int index = 0;          // 0-based row index
    bool overwrite = false; // true: replace the row at index; false: insert before it
                            // (index == row count appends)

    bool operator==(const InsertPosition &) const = default;
};

// The insertion rule: walk the rows while the entered number (as a whole number) is greater
// than the row's; at the first row that is greater or equal, overwrite it when its number text
// is identical, otherwise insert before it; past the last row, append. A row whose number text
// does not convert is passed over.
InsertPosition findInsertPosition(const std::vector<QString> &rowNumbers, const QString &number,
                                  const QLocale &locale = QLocale());

} // namespace lv::input
