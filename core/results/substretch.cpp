#include "core/results/substretch.h"

#include <algorithm>

namespace lv::results {

float tunnelLength(const calc::RunState &run)
{
    float total = 0;
    for (int i = 0; i < run.segmentCount; ++i)
        total += run.segmentLength[std::size_t(i)];
    return total;
}

calc::ResultValues sumSubStretch(const calc::RunState &run, float start, float stop, bool perKm)
{
    calc::ResultValues result{};
    const int n = run.segmentCount;
    if (n <= 0)
        return result;
    const auto length = [&run](int i) { return run.segmentLength[std::size_t(i)]; };
    // A label read back may give a stop a hair beyond the tunnel's end: the stretch still ends
    // there. The searches below never step past the last segment.
    stop = std::min(stop, tunnelLength(run));
    start = std::max(start, 0.0f);

    // Start segment j: a start on a border belongs to the later segment.
    float a = 0;
    int j = -1;
    while (start >= a && j < n - 1) {
        ++j;
        a += length(j);
    }
    const float endOfStart = a;
    // Stop segment k: a stop on a border belongs to the earlier segment.
    a = 0;
    int k = -1;
    while (stop > a && k < n - 1) {
        ++k;
        a += length(k);
    }

    // An empty stretch: nothing in total; per km, the rates where it lies.
    const auto emptyStretch = [&run, perKm, j] {
        calc::ResultValues rates{};
        for (std::size_t q = 1; perKm && q <= 11; ++q)
            rates[q] = static_cast<float>(run.segmentRates(q, std::size_t(j)));
        return rates;
    };
    if (!(stop > start) || k < j)
        return emptyStretch();

    const float firstPart = j == k ? stop - start : endOfStart - start;
    float lastPart = 0;
    {
        float s = 0;
        for (int i = 0; i < k; ++i)
            s += length(i);
        lastPart = stop - s;
    }
    // Each segment counts with the kilometres of it inside the stretch.
    float kilometres = 0;
    for (int i = j; i <= k; ++i) {
        const float overlap = i == j ? firstPart : i == k ? lastPart : length(i);
        const double km = overlap / 1000.0f;
        for (std::size_t q = 1; q <= 11; ++q) {
            result[q] =
                static_cast<float>(double(result[q]) + km * run.segmentRates(q, std::size_t(i)));
        }
        kilometres += float(km);
    }
    if (perKm) {
        if (!(kilometres > 0))
            return emptyStretch();
        for (std::size_t q = 1; q <= 11; ++q)
            result[q] = result[q] / kilometres;
    }
    return result;
}

} // namespace lv::results
