#pragma once

#include <QStringList>

namespace lv::cli {

// The usage text of the calculation mode.
QString batchUsage();

// luftvaka-batch [--workbooks DIR] [--locale NAME] [--stretch START:STOP]... [--totals] [--tsv]
// [--segments] [-o FILE] INPUT.dat: computes an input data file as the window's "Beräkna",
// "Lägg till" and "Totala effekter" do, and writes the result file (or a TSV table).
// Returns the exit status: 0 done, 1 an input or workbook fault, 2 wrong usage.
int runCalculation(const QStringList &args);

} // namespace lv::cli
