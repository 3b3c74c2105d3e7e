#include "core/calc/intpol.h"

namespace lv::calc {

float Intpol(double x1, double x2, double y1, double y2, double xs)
{
    return static_cast<float>(y1 + (xs - x1) * (y2 - y1) / (x2 - x1));
}

} // namespace lv::calc
