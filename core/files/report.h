#pragma once

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

} // namespace lv::files
