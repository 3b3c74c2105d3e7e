#pragma once

#include "core/calc/runstate.h"
#include "core/results/resulttable.h"

#include <QDateTime>
#include <QString>

#include <vector>

namespace lv::files {

struct AirReport;

// One printed line of the report and its font.
struct ReportLine
{
    QString text;
    int pointSize = 10;
    bool bold = false;

    bool operator==(const ReportLine &) const = default;
};

// The lines of one copy of the printed report: title block, then a block per result row, then
// `notice` (the run's note on slopes outside the tables) when there is one, then the air demand
// when there is one.
std::vector<ReportLine> reportLines(const QString &scenario, results::Mode mode,
                                    const std::vector<results::ResultRow> &rows,
                                    const QDateTime &printedAt, const QString &notice = {},
                                    const AirReport *air = nullptr);

// The same lines in blocks that a page break should not split: the title block, one block per
// result row, the notice when there is one, and the air demand when there is one. With a run, the
// run's input summary follows the title block (reportSummary).
std::vector<std::vector<ReportLine>> reportBlocks(const QString &scenario, results::Mode mode,
                                                  const std::vector<results::ResultRow> &rows,
                                                  const QDateTime &printedAt,
                                                  const QString &notice = {},
                                                  const calc::RunState *run = nullptr,
                                                  const AirReport *air = nullptr);

// What a run computed from: scenario, year, SPS value, studded share, number of segments,
// tunnel length, the three workbooks with their modification times, and a line saying the
// factors are demonstration values when a shipped demonstration workbook was read.
std::vector<ReportLine> reportSummary(const QString &scenario, const calc::RunState &run,
                                      const QLocale &locale = QLocale());

} // namespace lv::files
