#pragma once

#include "core/air/criteria.h"
#include "core/calc/runstate.h"
#include "core/results/substretch.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace lv::air {

// Which demand decides the design flow of a stretch.
enum class Governing { None, No2, Visibility };

// mg/m³ of NO2 in one ppm at 20 °C and 1013 hPa.
inline constexpr double kNo2MgM3PerPpm = 1.91;

// The fresh-air demand of one stretch, treated as a ventilation section of its own with the air
// entering at its start (or at its stop when the air is reversed). A flow that cannot be given
// (an admissible value not above the ambient one) is empty, never negative or infinite.
struct StretchDemand
{
    QString label;                       // the stretch as the result list names it
    float start = 0;                     // m from the tunnel's entrance
    float stop = 0;                      // m
    double no2EmissionGH = 0;            // NO2 emitted in the stretch per hour, g/h
    std::optional<double> no2MeanM3S;    // NO2 kept below the limit as a mean along the stretch
    std::optional<double> no2ExitM3S;    // NO2 kept below the limit at the stretch's exit
    std::optional<double> visibilityM3S; // extinction kept below the limit at the exit
    std::optional<double> designM3S;     // the larger of the chosen NO2 demand and visibility
    Governing governing = Governing::None;
    std::optional<double> airSpeedMS; // design flow over the cross-section
    // The design demand counting the load from the entry portal to the stretch's end (the exit
    // criterion over 0..stop, or start..T with the air reversed).
    std::optional<double> fromPortalM3S;
    // With an available flow: the resulting NO2 mean and exit concentration and exit extinction.
    std::optional<double> meanNo2MgM3;
    std::optional<double> exitNo2MgM3;
    std::optional<double> exitExtinctionPerM;
    QStringList warnings; // Swedish, one sentence each
};

// The air demand of each stretch a result-list label names ("Totalt" is the whole tunnel);
// labels of another form are left out. Computed in double precision from the run's per-segment
// rates and the parts of the segments inside each stretch, never from rounded rows.
std::vector<StretchDemand> stretchDemands(const results::StretchSums &sums,
                                          const QStringList &labels, const Criteria &criteria,
                                          const QLocale &locale = QLocale());

// The same for one stretch start..stop (m), 0 <= start < stop <= T.
StretchDemand stretchDemand(const calc::RunState &run, float start, float stop,
                            const Criteria &criteria, const QLocale &locale = QLocale());

// The governing criterion as the table shows it: "NO2", "Sikt" or "–".
QString governingText(Governing governing);

// A flow, speed or concentration for the table and the report: rounded to `decimals`.
QString demandText(const std::optional<double> &value, int decimals,
                   const QLocale &locale = QLocale());

} // namespace lv::air
