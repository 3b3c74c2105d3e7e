#pragma once

#include "core/calc/calculationrun.h"
#include "core/files/inputfile.h"
#include "core/text/expected.h"

#include <QLocale>
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

// What the batch tool's modes share.

// The exit statuses: a fault of the input or a workbook, and wrong usage.
constexpr int kFault = 1;
constexpr int kUsage = 2;

// A fault's message on standard error; kFault.
int fault(const QString &message);

// A label warning of a run, on standard error; the run goes on.
void warnOnStandardError(const QString &labelText);

// An input file and its run, computed as "Beräkna" computes them. The document's rows have moved
// into `input`.
struct InputRun
{
    files::InputDocument document;
    calc::RunInput input;
    calc::RunState run;
};
Expected<InputRun> computeInputFile(const QString &path, const QString &workbookDir,
                                    const QLocale &locale);

// Writes `out` to standard output, or atomically to the file `path`; the exit status (1 after a
// message when it could not be written).
int writeOutput(const QString &path, const QByteArray &out);

} // namespace lv::cli
