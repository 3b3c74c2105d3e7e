#include "core/results/substretch.h"

#include <algorithm>

namespace lv::results {

namespace {

constexpr std::size_t kRow = 12; // the kilometres, then quantities 1..11

// Stretches over at most this many segments are added segment by segment.
constexpr int kAddedSegments = 8;

} // namespace

float tunnelLength(const calc::RunState &run)
{
    float total = 0;
    for (int i = 0; i < run.segmentCount; ++i)
        total += run.segmentLength[std::size_t(i)];
    return total;
}

StretchSums::StretchSums(const calc::RunState &run) : m_run(&run)
{
    const std::size_t n = std::size_t(std::max(run.segmentCount, 0));
    m_ends.resize(n);
    m_before.assign((n + 1) * kRow, 0.0);
    float end = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const float length = run.segmentLength[i];
        m_ordered = m_ordered && length >= 0;
        end += length;
        m_ends[i] = end;
        // A whole segment counts with its length in km as a single, as the border parts do.
        const double km = length / 1000.0f;
        const double *sum = &m_before[i * kRow];
        double *next = &m_before[(i + 1) * kRow];
        next[0] = sum[0] + km;
        for (std::size_t q = 1; q <= 11; ++q)
            next[q] = sum[q] + km * run.segmentRates(q, i);
    }
}

// The segment a start lies in: a start on a border belongs to the later segment.
int StretchSums::startSegment(float start) const
{
    const int last = int(m_ends.size()) - 1;
    if (m_ordered) {
        const auto it = std::upper_bound(m_ends.begin(), m_ends.end(), start);
        return std::min(int(it - m_ends.begin()), last);
    }
    int j = 0;
    while (j < last && start >= m_ends[std::size_t(j)])
        ++j;
    return j;
}

// The segment a stop lies in: a stop on a border belongs to the earlier segment; -1 for a stop
// at or before the entrance.
int StretchSums::stopSegment(float stop) const
{
    const int last = int(m_ends.size()) - 1;
    if (!(stop > 0))
        return -1;
    if (m_ordered) {
        const auto it = std::lower_bound(m_ends.begin(), m_ends.end(), stop);
        return std::min(int(it - m_ends.begin()), last);
    }
    int k = 0;
    while (k < last && stop > m_ends[std::size_t(k)])
        ++k;
    return k;
}

calc::ResultValues StretchSums::sum(float start, float stop, bool perKm) const
{
    calc::ResultValues result{};
    if (m_ends.empty() || !m_run)
        return result;
    const calc::RunState &run = *m_run;
    const auto length = [&run](int i) { return run.segmentLength[std::size_t(i)]; };
    // A label read back may give a stop a hair beyond the tunnel's end: the stretch still ends
    // there. The searches below never step past the last segment.
    stop = std::min(stop, tunnelLength());
    start = std::max(start, 0.0f);

    const int j = startSegment(start);
    const int k = stopSegment(stop);

    // An empty stretch: nothing in total; per km, the rates where it lies.
    const auto emptyStretch = [&run, perKm, j] {
        calc::ResultValues rates{};
        for (std::size_t q = 1; perKm && q <= 11; ++q)
            rates[q] = static_cast<float>(run.segmentRates(q, std::size_t(j)));
        return rates;
    };
    if (!(stop > start) || k < j)
        return emptyStretch();

    // Each segment counts with the kilometres of it inside the stretch: the two border segments
    // with their parts, those between whole.
    const float endOfStart = m_ends[std::size_t(j)];
    const float firstPart = j == k ? stop - start : endOfStart - start;
    const float lastPart = stop - (k > 0 ? m_ends[std::size_t(k) - 1] : 0.0f);
    float kilometres = 0;
    if (k - j < kAddedSegments) {
        // A short stretch adds its segments one by one in single precision, as the list always
        // has: its texts stay as they were, and its few roundings stay within 1e-6.
        for (int i = j; i <= k; ++i) {
            const float overlap = i == j ? firstPart : i == k ? lastPart : length(i);
            const double km = overlap / 1000.0f;
            for (std::size_t q = 1; q <= 11; ++q) {
                result[q] = static_cast<float>(double(result[q]) +
                                               km * run.segmentRates(q, std::size_t(i)));
            }
            kilometres += float(km);
        }
    } else {
        // A longer one: the border parts, and the segments between from the running sums.
        const double firstKm = firstPart / 1000.0f;
        const double lastKm = lastPart / 1000.0f;
        const double *from = &m_before[std::size_t(j + 1) * kRow];
        const double *to = &m_before[std::size_t(k) * kRow];
        for (std::size_t q = 1; q <= 11; ++q) {
            result[q] = static_cast<float>(firstKm * run.segmentRates(q, std::size_t(j)) +
                                           (to[q] - from[q]) +
                                           lastKm * run.segmentRates(q, std::size_t(k)));
        }
        kilometres = static_cast<float>(firstKm + (to[0] - from[0]) + lastKm);
    }
    if (perKm) {
        if (!(kilometres > 0))
            return emptyStretch();
        for (std::size_t q = 1; q <= 11; ++q)
            result[q] = result[q] / kilometres;
    }
    return result;
}

calc::ResultValues sumSubStretch(const StretchSums &sums, float start, float stop, bool perKm)
{
    return sums.sum(start, stop, perKm);
}

} // namespace lv::results
