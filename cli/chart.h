#pragma once

#include "core/calc/runstate.h"
#include "core/results/resulttable.h"
#include "core/text/expected.h"

#include <QLocale>
#include <QString>

#include <vector>

namespace lv::cli {

// The batch tool is two programs built from the same sources: luftvaka-batch, Qt Core only so
// that it starts fast, and luftvaka-batch-chart beside it, which also links the painter. Only
// --chart needs the second: luftvaka-batch hands such a command line over to it whole.

// Whether the command line asks for --chart.
bool wantsChart(int argc, char *argv[]);

// Runs a command line with --chart: luftvaka-batch replaces itself with luftvaka-batch-chart
// (same arguments, same output and exit status); that one computes under a QGuiApplication on
// the offscreen platform, which needs no display.
int runWithChart(int argc, char *argv[]);

// --chart FILE --quantity NAME: the chart of the quantity with that key along the tunnel of the
// run, the stretches of `rows` shaded, written to FILE in the format of its suffix. Only
// luftvaka-batch-chart draws; luftvaka-batch never gets here.
Expected<void> writeChart(const QString &path, int quantity, const calc::RunState &run,
                          const std::vector<QString> &numbers, const QString &year,
                          const QString &scenario, const std::vector<results::RowValues> &rows,
                          const QLocale &locale);

} // namespace lv::cli
