#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <chrono>
#include <ctime>

// The benchmarks' clock in milliseconds: wall-clock time, or with LUFTVAKA_BENCH_CLOCK=cpu the
// CPU time of the whole process, which other programs on a busy machine disturb far less.
inline double benchClockMilliseconds()
{
    static const bool cpu = qgetenv("LUFTVAKA_BENCH_CLOCK") == "cpu";
    if (cpu)
        return double(std::clock()) * 1e3 / CLOCKS_PER_SEC;
    const auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double, std::milli>(sinceStart).count();
}
