#include "core/calc/runstate.h"

namespace lv::calc {

void RunState::recreate(int32_t n)
{
    const auto positions = std::size_t(n) + 1; // the spare position n stays zero
    segmentCount = n;
    segmentLength.assign(positions, 0.0f);
    segmentSlope.assign(positions, 0);
    segmentSpeed = Matrix<float>(positions, 5);
    segmentFlow = Matrix<float>(positions, 4);
    profileFactors = PerSegmentCube<float>({1, 4}, {4, 8}, positions);
    classFactors = PerSegmentCube<double>({1, 3}, {4, 8}, positions);
    segmentRates = PerSegmentMatrix<double>(12, positions);
    tunnelMeanRates = {};
    offGridSlopes = 0;
    workbooks.clear();
}

void RunState::releaseFactorTables()
{
    profileFactors = {};
    classFactors = {};
}

} // namespace lv::calc
