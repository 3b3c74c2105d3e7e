#pragma once

#include <QStringList>

namespace lv::cli {

// The usage text of the calculation mode.
QString batchUsage();

// The usage text, what every option does and what the TSV tables hold (--help).
QString batchHelp();

// luftvaka-batch [--workbooks DIR] [--locale NAME] [--stretch START:STOP]... [--totals] [--tsv]
// [--segments] [-o FILE] INPUT.dat: computes an input data file as the window's "Beräkna",
// "Lägg till" and "Totala effekter" do, and writes the result file (or TSV tables).
// --help prints batchHelp() on standard output.
// Returns the exit status: 0 done (or --help), 1 an input or workbook fault, 2 wrong usage.
int runCalculation(const QStringList &args);

} // namespace lv::cli
