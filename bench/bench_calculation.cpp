// Times a maximum tunnel (32,767 segments) from the default workbooks: the whole run from
// reading the workbooks to the tunnel means, the three core steps alone, and 1,000 sub-stretch
// rows added and recomputed. Prints its figures (the median of the repeats), or with --json one
// JSON object of them; run it from the build's bin directory or give the workbook directory as
// an argument. With --write-dat FILE it writes the maximum tunnel as an input file and stops.

#include "bench/benchclock.h"
#include "core/calc/calculationrun.h"
#include "core/calc/classfactors.h"
#include "core/calc/numbergrid.h"
#include "core/calc/profilefactors.h"
#include "core/calc/segmentemissions.h"
#include "core/files/inputfile.h"
#include "core/results/resulttable.h"
#include "core/results/substretch.h"
#include "core/text/numbertext.h"
#include "core/text/textfile.h"
#include "core/xls/workbook.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

using namespace lv;

namespace {

constexpr int kSegments = 32767;
constexpr int kRows = 1000;
const int kRepeats = qEnvironmentVariableIntValue("LUFTVAKA_BENCH_REPEATS") > 0
                         ? qEnvironmentVariableIntValue("LUFTVAKA_BENCH_REPEATS")
                         : 5;

// A long tunnel with every slope from -9 % to 9 % and speeds from 10 to 120 km/h.
calc::RunInput maximumTunnel()
{
    calc::RunInput input;
    input.yearText = QStringLiteral("2010");
    input.spsText = text::formatGeneral(3.5f);
    input.shareText = text::formatGeneral(0.3f);
    input.rows.reserve(kSegments);
    for (int i = 0; i < kSegments; ++i) {
        const auto n = [](double v) { return text::formatGeneral(float(v)); };
        input.rows.push_back(
            input::SegmentRow{QString::number(i + 1),
                              {n(10 + i % 90), n(i % 19 - 9), n(10 + i % 111), n(500 + i % 700),
                               n(10 + i % 81), n(20 + i % 50), n(10 + i % 77), n(5 + i % 30)}});
    }
    return input;
}

template <class F>
double medianMilliseconds(F &&work)
{
    std::vector<double> times;
    for (int r = 0; r < kRepeats; ++r) {
        const double start = benchClockMilliseconds();
        work();
        times.push_back(benchClockMilliseconds() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale::c());
    QStringList args = app.arguments().mid(1);
    const bool json = args.removeAll(QStringLiteral("--json")) > 0;
    if (const qsizetype at = args.indexOf(QStringLiteral("--write-dat")); at >= 0) {
        if (at + 1 >= args.size()) {
            std::fprintf(stderr, "--write-dat needs a file name\n");
            return 2;
        }
        const calc::RunInput tunnel = maximumTunnel();
        const files::InputDocument document{QStringLiteral("Maximal tunnel"), tunnel.yearText,
                                            tunnel.rows, tunnel.spsText, tunnel.shareText};
        const auto saved = text::saveFile(
            args[at + 1], files::writeInputFile(document, QDateTime::currentDateTime()));
        if (!saved)
            std::fprintf(stderr, "%s\n", qPrintable(saved.error().message));
        return saved ? 0 : 1;
    }
    const QString dir = args.isEmpty() ? QCoreApplication::applicationDirPath() : args.first();
    const calc::RunInput input = maximumTunnel();

    bool ok = true;
    const double whole = medianMilliseconds([&] { ok = ok && calc::computeRun(input, dir).ok(); });
    if (!ok) {
        std::fprintf(stderr, "%s\n", qPrintable(calc::computeRun(input, dir).error().message));
        return 1;
    }

    // The peak of the run alone, before the copies the timings below keep.
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double peakMegabytes = double(usage.ru_maxrss) / 1024.0;

    const QDir d(dir);
    double read = 0;
    read = medianMilliseconds([&] {
        (void)xls::Workbook::open(d.filePath(QStringLiteral("pb_bara_glid_data.xls")));
        (void)xls::Workbook::open(d.filePath(QStringLiteral("lb_bara_glid_data.xls")));
        (void)xls::Workbook::open(d.filePath(QStringLiteral("faktorer.xls")));
    });

    // The three core steps alone, on tables the run has filled.
    const auto pb = xls::Workbook::open(d.filePath(QStringLiteral("pb_bara_glid_data.xls")));
    const auto lb = xls::Workbook::open(d.filePath(QStringLiteral("lb_bara_glid_data.xls")));
    const auto factors = xls::Workbook::open(d.filePath(QStringLiteral("faktorer.xls")));
    const calc::RunState filled = *calc::computeRun(input, dir);
    const calc::NumberGrid grid(**factors->sheet(1), factors->fileName());
    std::vector<calc::RunState> fresh;
    for (int r = 0; r < kRepeats; ++r) {
        calc::RunState run;
        run.recreate(filled.segmentCount);
        run.segmentLength = filled.segmentLength;
        run.segmentSlope = filled.segmentSlope;
        run.segmentSpeed = filled.segmentSpeed;
        run.segmentFlow = filled.segmentFlow;
        run.spsValue = filled.spsValue;
        run.studdedShare = filled.studdedShare;
        run.yearIndex = filled.yearIndex;
        fresh.push_back(std::move(run));
    }
    int next = 0;
    const double core = medianMilliseconds([&] {
        calc::RunState &run = fresh[std::size_t(next++)];
        ok = ok && calc::interpolateProfileFactors(run, *pb, *lb, {}).ok() &&
             calc::weightClassFactors(run, grid).ok() &&
             calc::computeSegmentEmissions(run, grid).ok();
    });

    // 1,000 sub-stretch rows added (the run's stretch sums built first, as the window does once
    // per run), then all recomputed on a switch to totals.
    const float total = results::tunnelLength(filled);
    std::vector<results::ResultRow> rows;
    const double add = medianMilliseconds([&] {
        const results::StretchSums sums(filled);
        rows.clear();
        for (int r = 0; r < kRows; ++r) {
            const float start = total * float(r) / float(2 * kRows);
            const float stop = start + total / 2;
            rows.push_back(*results::addSubStretch(
                sums, text::formatGeneral(start), text::formatGeneral(stop), results::Mode::PerKm));
        }
    });
    const results::StretchSums sums(filled);
    const double recalc =
        medianMilliseconds([&] { results::recomputeRows(sums, rows, results::Mode::Totals); });

    if (json) {
        std::printf("{\"whole_run_ms\": %.2f, \"core_steps_ms\": %.2f, \"add_1000_rows_ms\": %.2f, "
                    "\"recompute_1000_rows_ms\": %.2f, \"peak_mb\": %.1f}\n",
                    whole, core, add, recalc, peakMegabytes);
        return ok ? 0 : 1;
    }
    std::printf("Maximum tunnel: %d segments, median of %d runs\n", kSegments, kRepeats);
    std::printf("  whole run (workbooks to tunnel means): %8.1f ms\n", whole);
    std::printf("  reading the three workbooks:           %8.1f ms\n", read);
    std::printf("  the three core steps:                  %8.1f ms\n", core);
    std::printf("  adding %d sub-stretch rows:          %8.1f ms\n", kRows, add);
    std::printf("  recomputing %d rows (mode switch):   %8.1f ms\n", kRows, recalc);
    std::printf("  peak memory of the whole run:          %8.1f MB\n", peakMegabytes);
    return ok ? 0 : 1;
}
