#pragma once

#include "core/calc/runstate.h"

namespace lv::results {

// The tunnel length T in m: the segment lengths of the run added in order, in single precision.
float tunnelLength(const calc::RunState &run);

// The eleven quantities over the stretch start..stop (m from the tunnel entrance): totals over
// the stretch, or per km of it when perKm is set. Callers pass 0 <= start < stop <= T; a stop
// slightly beyond T (a label read back) is limited to T, and nothing past the last segment is
// ever read.
calc::ResultValues sumSubStretch(const calc::RunState &run, float start, float stop, bool perKm);

} // namespace lv::results
