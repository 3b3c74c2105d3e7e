#pragma once

#include "core/air/airdemand.h"

#include <QLocale>
#include <QString>
#include <QStringList>

namespace lv::air {

// The texts the tab, the report and the batch tool's readable table share, so that all three
// show the same numbers.

// The column headers of the demand table; with an available flow, five columns of resulting
// concentrations come before the warnings.
QStringList demandHeaders(const Criteria &criteria);

// One row of the table in the header's column order.
QStringList demandTexts(const StretchDemand &demand, const Criteria &criteria,
                        const QLocale &locale = QLocale());

// What the calculation rests on, one line each: the criteria file and whether its values are
// demonstration values, the situation, and every parameter with its unit.
struct CriteriaSource
{
    QString path;
    bool demonstration = true;
    QString situationName; // empty: the criteria file's own admissible values
};
QStringList criteriaLines(const Criteria &criteria, const CriteriaSource &source,
                          const QLocale &locale = QLocale());

// The notes every presentation carries: no CO, presets assume matching traffic.
QStringList demandNotes();

} // namespace lv::air
