#include "core/air/airdemand.h"

#include "core/results/resulttable.h"
#include "core/text/numbertext.h"

#include <algorithm>
#include <cmath>

namespace lv::air {

namespace {

constexpr double kSecondsPerHour = 3600.0;

// The segment ends of a run, added in order in single precision as the result list adds them.
// They never decrease unless a length is negative or not a number (a run built by hand); then
// every stretch walks all segments instead of searching.
struct SegmentEnds
{
    std::vector<float> ends;
    bool ordered = true;
};

SegmentEnds segmentEnds(const calc::RunState &run)
{
    SegmentEnds result;
    result.ends.resize(std::size_t(std::max(run.segmentCount, 0)));
    float end = 0;
    for (std::size_t i = 0; i < result.ends.size(); ++i) {
        result.ordered = result.ordered && run.segmentLength[i] >= 0;
        result.ends[i] = end += run.segmentLength[i];
    }
    return result;
}

// What the traffic emits over from..to (m) per hour: NO2 (g/h), NO2 weighted by the length of
// stretch still ahead of it divided by the stretch length (g/h; the mean criterion's load), and
// the extinction the PM10 parts cause times the flow (m²/h).
struct Load
{
    double no2 = 0;
    double no2Weighted = 0;
    double extinction = 0;
};

Load loadOver(const calc::RunState &run, const SegmentEnds &segmentEnds, double from, double to,
              bool reversed, const Criteria &criteria)
{
    const std::vector<float> &ends = segmentEnds.ends;
    Load load;
    const double length = to - from;
    if (!(length > 0))
        return load;
    // The first segment ending after `from`; a border belongs to the later segment.
    const auto first = segmentEnds.ordered ? std::upper_bound(ends.begin(), ends.end(), float(from))
                                           : ends.begin();
    for (auto i = std::size_t(first - ends.begin()); i < ends.size(); ++i) {
        const double begin = i == 0 ? 0.0 : double(ends[i - 1]);
        if (segmentEnds.ordered && begin >= to)
            break;
        const double partFrom = std::max(from, begin);
        const double partTo = std::min(to, double(ends[i]));
        if (!(partTo > partFrom))
            continue;
        const double km = (partTo - partFrom) / 1000.0;
        const double no2 = criteria.no2Fraction * run.segmentRates(kNoxQuantity, i) * km;
        // The part's midpoint, counted from where the air enters the stretch.
        const double midpoint =
            reversed ? to - (partFrom + partTo) / 2 : (partFrom + partTo) / 2 - from;
        load.no2 += no2;
        load.no2Weighted += no2 * (length - midpoint) / length;
        for (int k = 0; k < kParticleKinds; ++k) {
            load.extinction += criteria.betaM2G[std::size_t(k)] *
                               run.segmentRates(std::size_t(kPm10Quantity[std::size_t(k)]), i) * km;
        }
    }
    return load;
}

// The flow (m³/s) that keeps a load per hour below `admissible - ambient`; nothing when the
// margin is not positive.
std::optional<double> flowFor(double loadPerHour, double admissible, double ambient)
{
    const double margin = admissible - ambient;
    if (!(margin > 0))
        return std::nullopt;
    return loadPerHour / (kSecondsPerHour * margin);
}

std::optional<double> larger(const std::optional<double> &a, const std::optional<double> &b)
{
    if (!a || !b)
        return std::nullopt;
    return std::max(*a, *b);
}

QString number(double value, const QLocale &locale)
{
    return text::formatGeneral(float(value), locale);
}

void addWarnings(StretchDemand &demand, const Criteria &criteria, const QLocale &locale)
{
    if (!(criteria.no2AdmissibleMgM3 > criteria.no2AmbientMgM3)) {
        demand.warnings << QStringLiteral("NO2-kravet kan inte uppfyllas: tillåten halt %1 mg/m³ "
                                          "är inte högre än bakgrundshalten %2 mg/m³.")
                               .arg(number(criteria.no2AdmissibleMgM3, locale),
                                    number(criteria.no2AmbientMgM3, locale));
    }
    if (!(criteria.extinctionAdmissiblePerM > criteria.extinctionAmbientPerM)) {
        demand.warnings << QStringLiteral("Siktkravet kan inte uppfyllas: tillåten extinktion "
                                          "%1 1/m är inte högre än bakgrundens %2 1/m.")
                               .arg(number(criteria.extinctionAdmissiblePerM, locale),
                                    number(criteria.extinctionAmbientPerM, locale));
    }
    if (demand.airSpeedMS && *demand.airSpeedMS > criteria.maxAirSpeedMS) {
        demand.warnings << QStringLiteral("Lufthastigheten %1 m/s är högre än högsta tillåtna "
                                          "%2 m/s.")
                               .arg(demandText(demand.airSpeedMS, 2, locale),
                                    number(criteria.maxAirSpeedMS, locale));
    }
}

StretchDemand demandOf(const calc::RunState &run, const SegmentEnds &ends, float start, float stop,
                       const Criteria &criteria, const QLocale &locale)
{
    StretchDemand demand;
    demand.start = start;
    demand.stop = stop;
    const bool reversed = criteria.reverseAir;
    const Load load = loadOver(run, ends, start, stop, reversed, criteria);
    const double no2Margin = criteria.no2AdmissibleMgM3 - criteria.no2AmbientMgM3;
    const double extinctionMargin =
        criteria.extinctionAdmissiblePerM - criteria.extinctionAmbientPerM;

    demand.no2EmissionGH = load.no2;
    // The limits are in mg/m³; the loads in g.
    demand.no2MeanM3S = flowFor(load.no2Weighted, no2Margin / 1000.0, 0);
    demand.no2ExitM3S = flowFor(load.no2, no2Margin / 1000.0, 0);
    demand.visibilityM3S = flowFor(load.extinction, extinctionMargin, 0);
    const auto &no2 =
        criteria.no2Criterion == No2Criterion::Mean ? demand.no2MeanM3S : demand.no2ExitM3S;
    demand.designM3S = larger(no2, demand.visibilityM3S);
    if (demand.designM3S) {
        demand.governing = *demand.visibilityM3S > *no2 ? Governing::Visibility : Governing::No2;
        if (criteria.areaM2 > 0)
            demand.airSpeedMS = *demand.designM3S / criteria.areaM2;
    }

    const float tunnelEnd = results::tunnelLength(run);
    const Load portal = reversed ? loadOver(run, ends, start, tunnelEnd, true, criteria)
                                 : loadOver(run, ends, 0, stop, false, criteria);
    demand.fromPortalM3S = larger(flowFor(portal.no2, no2Margin / 1000.0, 0),
                                  flowFor(portal.extinction, extinctionMargin, 0));

    if (criteria.availableFlowM3S && *criteria.availableFlowM3S > 0) {
        const double perSecond = kSecondsPerHour * *criteria.availableFlowM3S;
        demand.meanNo2MgM3 = criteria.no2AmbientMgM3 + 1000.0 * load.no2Weighted / perSecond;
        demand.exitNo2MgM3 = criteria.no2AmbientMgM3 + 1000.0 * load.no2 / perSecond;
        demand.exitExtinctionPerM = criteria.extinctionAmbientPerM + load.extinction / perSecond;
    }
    addWarnings(demand, criteria, locale);
    return demand;
}

} // namespace

std::vector<StretchDemand> stretchDemands(const results::StretchSums &sums,
                                          const QStringList &labels, const Criteria &criteria,
                                          const QLocale &locale)
{
    std::vector<StretchDemand> demands;
    if (!sums.run())
        return demands;
    const SegmentEnds ends = segmentEnds(*sums.run());
    for (const QString &label : labels) {
        const auto stretch = results::stretchOfLabel(sums, label, locale);
        if (!stretch)
            continue;
        demands.push_back(
            demandOf(*sums.run(), ends, stretch->first, stretch->second, criteria, locale));
        demands.back().label = label;
    }
    return demands;
}

StretchDemand stretchDemand(const calc::RunState &run, float start, float stop,
                            const Criteria &criteria, const QLocale &locale)
{
    return demandOf(run, segmentEnds(run), start, stop, criteria, locale);
}

QString governingText(Governing governing)
{
    switch (governing) {
    case Governing::No2:
        return QStringLiteral("NO2");
    case Governing::Visibility:
        return QStringLiteral("Sikt");
    case Governing::None:
        break;
    }
    return QStringLiteral("–");
}

QString demandText(const std::optional<double> &value, int decimals, const QLocale &locale)
{
    if (!value)
        return QStringLiteral("–");
    const double scale = std::pow(10.0, decimals);
    return text::formatGeneral(float(std::round(*value * scale) / scale), locale);
}

} // namespace lv::air
