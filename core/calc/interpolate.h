#pragma once

namespace lv::calc {

// Linear interpolation of y at xs between (x1, y1) and (x2, y2), evaluated in double precision
// and rounded to single precision. Callers never pass x1 == x2.
inline float interpolateLinear(double x1, double x2, double y1, double y2, double xs)
{
    return static_cast<float>(y1 + (xs - x1) * (y2 - y1) / (x2 - x1));
}

} // namespace lv::calc
