#pragma once

#include "core/calc/runstate.h"
#include "core/input/segmentrow.h"
#include "core/text/expected.h"

#include <QLocale>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace lv::calc {

// What a calculation run reads from the input tab: the segment rows in list order and the
// texts of the year, SPS and studded-share fields.
struct RunInput
{
    std::vector<input::SegmentRow> rows;
    QString yearText;
    QString spsText;
    QString shareText;
};

// Called with the text of a driving-profile sheet's label cell that lacks "Körprofil"; the run
// goes on.
using LabelWarning = std::function<void(const QString &labelText)>;

// What the user is told of such a label cell: "Fel i grundtabellen Rätta! " and its text.
Error labelWarning(const QString &labelText);

// The first check of a run: a segment list without rows is refused ("Ange minst ett
// tunnelsegment").
std::optional<Error> checkHasSegments(const std::vector<input::SegmentRow> &rows);

// The line under the result list, in the report and from the batch tool when a run used
// slopes outside the tables' -7..7 %; empty when it did not. Minus signs are written as
// hyphens, which Windows-1252 holds (it has no minus sign).
QString offGridSlopeNotice(const RunState &run);

// Checks the input and computes a run from the three workbooks in `workbookDir`: segment rows
// to tables, year, SPS and studded share, then the profile factors, the class factors and the
// segment emissions. The input's texts and the workbooks' number texts are read in `locale`. Every
// fault is an error with the user's message; nothing is half-built. Rows are checked again before
// computing, as an input file may hold values the segment dialog refuses: a negative length, speed
// or flow, or a zero speed of a class with traffic.
Expected<RunState> computeRun(const RunInput &input, const QString &workbookDir,
                              const LabelWarning &warn = {}, const QLocale &locale = QLocale());

} // namespace lv::calc
