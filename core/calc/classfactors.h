#pragma once

#include "core/calc/numbergrid.h"
#include "core/calc/runstate.h"
#include "core/text/expected.h"

namespace lv::calc {

// Second core step: the category factors weighted into factors per vehicle class, with the
// sub-type weights, the passenger-car year factors and correction, and the fleet shares of the
// calculation year, all from the factor sheet.
Expected<void> weightClassFactors(RunState &run, const NumberGrid &factorSheet);

} // namespace lv::calc
