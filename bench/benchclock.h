#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <ctime>

// The benchmarks' clock in milliseconds: wall-clock time, or with LUFTVAKA_BENCH_CLOCK=cpu the
// CPU time of the whole process, which other programs on a busy machine disturb far less.
inline double benchClockMilliseconds()
{
    static const bool cpu = qgetenv("LUFTVAKA_BENCH_CLOCK") == "cpu";
    timespec now{};
    clock_gettime(cpu ? CLOCK_PROCESS_CPUTIME_ID : CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}
