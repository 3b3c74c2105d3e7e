#pragma once

#include "core/calc/runstate.h"

#include <vector>

namespace lv::results {

// The tunnel length T in m: the segment lengths of the run added in order, in single precision.
float tunnelLength(const calc::RunState &run);

// A run's segment ends and running sums, so that the sum over any stretch is two binary
// searches and a few differences instead of a walk over the segments. Built once per run (the
// window keeps one beside its run); it reads the run's rates again for the two border segments,
// so the run must outlive it. A run passed where sums are wanted builds them for that one call.
class StretchSums
{
public:
    StretchSums() = default;
    StretchSums(const calc::RunState &run);

    const calc::RunState *run() const { return m_run; }
    float tunnelLength() const { return m_ends.empty() ? 0.0f : m_ends.back(); }

    // The eleven quantities over the stretch start..stop (m from the tunnel entrance): totals
    // over the stretch, or per km of it when perKm is set. Callers pass 0 <= start < stop <= T;
    // a stop slightly beyond T (a label read back) is limited to T, and nothing past the last
    // segment is ever read.
    calc::ResultValues sum(float start, float stop, bool perKm) const;

private:
    int startSegment(float start) const;
    int stopSegment(float stop) const;

    const calc::RunState *m_run = nullptr;
    // m_ends[i]: the lengths of segments 0..i added in order in single precision.
    std::vector<float> m_ends;
    // Before segment i (row i of 12, quantity index 1..11 and the kilometres at 0): the sums of
    // every earlier segment's kilometres times its rates, in double precision; n + 1 rows.
    std::vector<double> m_before;
    // Ends never decrease unless a length is negative or not a number (a run built by hand).
    bool m_ordered = true;
};

// The same for one stretch of a run.
calc::ResultValues sumSubStretch(const StretchSums &sums, float start, float stop, bool perKm);

} // namespace lv::results
