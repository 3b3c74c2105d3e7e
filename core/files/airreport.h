#pragma once

#include "core/air/airtable.h"
#include "core/files/report.h"

#include <vector>

namespace lv::files {

// What the report's air-demand section shows: the parameters in force, where they came from,
// and one demand per stretch.
struct AirReport
{
    air::Criteria criteria;
    air::CriteriaSource source;
    std::vector<air::StretchDemand> demands;
};

// Appends the section "Luftbehov" to the report's lines: the parameters, the notes, then a
// block per stretch with each column of the tab's table on a line of its own.
void appendAirSection(std::vector<ReportLine> &lines, const AirReport &air,
                      const QLocale &locale = QLocale());

} // namespace lv::files
