#pragma once

#include <QStringList>

namespace lv::cli {

// luftvaka-batch --dump WORKBOOK [--sheet NAME|N]: prints what the workbook reader sees (.xls,
// .xlsx or .ods).
// Without --sheet one line per worksheet (position TAB name); with it one line per non-empty
// cell of that sheet's used range (row TAB column TAB type TAB value, rows and columns from 1
// in the used range). `args` are the arguments after the program name. Returns the exit
// status: 0 done, 1 the workbook or sheet cannot be read (message on standard error), 2 wrong
// usage.
int runDump(const QStringList &args);

} // namespace lv::cli
