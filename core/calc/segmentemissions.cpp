#include "core/calc/segmentemissions.h"

#include "core/text/numbertext.h"

#include <array>
#include <cmath>

namespace lv::calc {

namespace {

constexpr int kWearRowPassengerCar = 44;
constexpr int kWearRowTruck = 45;

// What the factor sheet gives beyond the class factors, each taken in single precision: road
// wear without studs (passenger car, truck) and the PM10 shares 3..11.
struct WearFactors
{
    double passengerCar = 0;
    double truck = 0;
    std::array<double, 12> share{};
};

Expected<WearFactors> readWearFactors(const NumberGrid &factorSheet)
{
    WearFactors wear;
    const auto wp = factorSheet.number(kWearRowPassengerCar, 2);
    if (!wp)
        return wp.error();
    const auto wt = factorSheet.number(kWearRowTruck, 2);
    if (!wt)
        return wt.error();
    // Share p sits in row 46 + p.
    for (int p = 3; p <= 11; ++p) {
        const auto v = factorSheet.number(46 + p, 3);
        if (!v)
            return v.error();
        wear.share[std::size_t(p)] = static_cast<float>(*v);
    }
    wear.passengerCar = static_cast<float>(*wp);
    wear.truck = static_cast<float>(*wt);
    return wear;
}

// One segment's eleven rates per km: the class factors times the flows, road-surface wear,
// CO2 and the PM10 parts.
void addSegmentRates(RunState &run, std::size_t ui, const WearFactors &wear)
{
    constexpr std::array<double, 4> co2PerLitre = {0, kCo2PerLitrePassengerCar, kCo2PerLitreTruck,
                                                   kCo2PerLitreTruck};
    const double Wp = wear.passengerCar;
    const double Wt = wear.truck;
    const auto &share = wear.share;
    const double sigma = run.studdedShare;
    const double truckWearPm10 = static_cast<float>(Wt * share[11]);
    const double st = studWear(run.spsValue, run.segmentSpeed(ui, 1));
    const auto rate = [&run, ui](int q) -> double & {
        return run.segmentRates(std::size_t(q), ui);
    };
    for (std::size_t c = 1; c <= 3; ++c) {
        const double flow = run.segmentFlow(ui, c);
        for (int q = 1; q <= 5; ++q)
            rate(q) += flow * run.classFactors(c, std::size_t(q + 3), ui);
        if (c == 1) {
            const double roadWear = static_cast<float>((1.0 - sigma) * Wp + st * sigma);
            rate(6) += flow * roadWear;
        } else {
            rate(6) += flow * Wt;
        }
        rate(7) += co2PerLitre[c] * (flow * run.classFactors(c, 4, ui));
    }
    for (std::size_t c = 1; c <= 3; ++c) {
        const double flow = run.segmentFlow(ui, c);
        for (int q = 8; q <= 10; ++q) {
            const int p = (c == 1 ? 3 : 4) + 2 * (q - 8); // 3, 5, 7 or 4, 6, 8
            rate(q) += share[std::size_t(p)] * (flow * run.classFactors(c, std::size_t(q - 2), ui));
        }
    }
    const double passengerWearPm10 = (1.0 - sigma) * Wp * share[10] + st * sigma * share[9];
    const float truckFlow = run.segmentFlow(ui, 2) + run.segmentFlow(ui, 3);
    rate(11) =
        double(run.segmentFlow(ui, 1)) * passengerWearPm10 + double(truckFlow) * truckWearPm10;
}

Error inputFault(const QString &message)
{
    return Error{ErrorKind::InputCheck, message};
}

// The tunnel mean: the rates weighted by segment length, summed in single precision.
Expected<void> computeTunnelMeans(RunState &run, const QLocale &locale)
{
    float total = 0;
    for (int i = 0; i < run.segmentCount; ++i) {
        const auto ui = std::size_t(i);
        const double length = run.segmentLength[ui];
        for (std::size_t q = 1; q <= 11; ++q) {
            run.tunnelMeanRates[q] = static_cast<float>(length * run.segmentRates(q, ui) +
                                                        double(run.tunnelMeanRates[q]));
        }
        total += run.segmentLength[ui];
    }
    if (!(total > 0)) {
        return inputFault(QStringLiteral("Tunnelns totala längd är %1 m. Summan av segmentens "
                                         "längder måste vara större än 0.")
                              .arg(text::formatGeneral(total, locale)));
    }
    for (std::size_t q = 1; q <= 11; ++q) {
        run.tunnelMeanRates[q] = run.tunnelMeanRates[q] / total;
        if (!std::isfinite(run.tunnelMeanRates[q])) {
            return inputFault(QStringLiteral("Resultatet blev för stort för att kunna visas. "
                                             "Kontrollera segmentens längder och flöden."));
        }
    }
    return {};
}

} // namespace

float studWear(float spsValue, float speed)
{
    if (speed >= 30.0f)
        return static_cast<float>(double(spsValue) * double(speed) / 75.0);
    return static_cast<float>(double(spsValue) * 0.4);
}

Expected<void> computeSegmentEmissions(RunState &run, const NumberGrid &factorSheet,
                                       const QLocale &locale)
{
    const auto wear = readWearFactors(factorSheet);
    if (!wear)
        return wear.error();
    for (int i = 0; i < run.segmentCount; ++i)
        addSegmentRates(run, std::size_t(i), *wear);
    return computeTunnelMeans(run, locale);
}

} // namespace lv::calc
