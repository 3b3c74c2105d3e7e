#pragma once

namespace lv::calc {

// Linear interpolation of y at xs between (x1, y1) and (x2, y2), evaluated in double precision
// and rounded to single precision. Callers never pass x1 == x2.
float Intpol(double x1, double x2, double y1, double y2, double xs);

} // namespace lv::calc
