#include "core/calc/runstate.h"

namespace lv::calc {

void RunState::recreate(int32_t n)
{
    const auto positions = std::size_t(n) + 1; // the spare position n stays zero
    SegmentCount = n;
    SegmentLength.assign(positions, 0.0f);
    SegmentSlope.assign(positions, 0);
    SegmentSpeed = Table2<float>(positions, 5);
    SegmentFlow = Table2<float>(positions, 4);
    ProfileFactors = PositionTable3<float>(5, 9, positions);
    ClassFactors = PositionTable3<double>(4, 9, positions);
    SegmentRates = PositionTable2<double>(12, positions);
    ResultVector = {};
    OffGridSlopes = 0;
}

} // namespace lv::calc
