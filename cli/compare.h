#pragma once

#include "core/calc/calculationrun.h"
#include "core/results/resulttable.h"
#include "core/text/expected.h"

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace lv::cli {

// What the batch tool compares the run with: the other two years (--compare-years) and/or
// another input file (--compare FILE).
struct CompareRequest
{
    bool years = false;
    QString otherFile;

    bool any() const { return years || !otherFile.isEmpty(); }
};

// The comparison tables as TSV (UTF-8): for each one asked for, a header line ("Delsträcka",
// "Storhet", a column per year or input, then the differences), one line per stretch and
// quantity; two tables are parted by one empty line. Numbers in the C locale, as few digits as
// read back to the same value; a cell without a number holds its text ("–", a run's message).
// `labels` are the result rows' labels in `locale`; the other file is read in `locale` too.
Expected<QByteArray> comparisonTsv(const CompareRequest &request, const calc::RunInput &input,
                                   const calc::RunState &run, const QStringList &labels,
                                   results::Mode mode, const QString &workbookDir,
                                   const calc::LabelWarning &warn, const QLocale &locale);

} // namespace lv::cli
