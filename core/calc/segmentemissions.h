#pragma once

#include "core/calc/numbergrid.h"
#include "core/calc/runstate.h"
#include "core/text/expected.h"

#include <QLocale>

namespace lv::calc {

// CO2 per litre of fuel in kg: passenger cars, and trucks with or without trailer.
inline constexpr float kCo2PerLitrePassengerCar = 2.43f;
inline constexpr float kCo2PerLitreTruck = 2.54f;

// The studded-tyre road wear of a passenger car at speed v (km/h), g per vehicle-km: the SPS
// value scaled by v / 75, but never below the factor of 30 km/h.
float studWear(float spsValue, float speed);

// Third core step: every segment's eleven rates per km (flow times class factor over the
// three classes, road-surface wear, CO2 and the PM10 parts), then the tunnel's length-weighted
// means in tunnelMeanRates. A tunnel whose lengths add up to 0 or less is a fault; its message
// writes the length in `locale`.
Expected<void> computeSegmentEmissions(RunState &run, const NumberGrid &factorSheet,
                                       const QLocale &locale = QLocale());

} // namespace lv::calc
