#pragma once

#include "core/calc/calculationrun.h"
#include "core/results/resulttable.h"
#include "core/text/expected.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <vector>

namespace lv::results {

// One cell of a comparison: a value in the quantity's unit, a change in percent, or a text
// where there is no number (a run's message, a stretch the other tunnel lacks, "–").
struct ComparisonCell
{
    enum class Kind { Value, Percent, Text };
    Kind kind = Kind::Text;
    double number = 0;
    QString text;

    bool operator==(const ComparisonCell &) const = default;
};

// One line of a comparison: a stretch and one of the eleven quantities, then a cell for every
// compared column followed by the difference cells.
struct ComparisonLine
{
    QString stretch;  // "Totalt" or "start - stop", as the result list labels it
    QString quantity; // the result list's header with its unit ("NOx: [g/km]")
    std::vector<ComparisonCell> cells;
};

// A table of values side by side: headers ("Delsträcka", "Storhet", then one per cell), the
// lines stretch by stretch in the result list's order, each quantity in its column order.
// Values are per hour of traffic, per km of the stretch or totals over it, as `mode` says.
struct Comparison
{
    Mode mode = Mode::PerKm;
    QStringList headers;
    std::vector<ComparisonLine> lines;
    QStringList notes; // what the reader should know: a year that failed, the base of the %
};

// What the mode means for the numbers, for a comparison's heading ("Värden per timme och km").
QString comparisonModeText(Mode mode);

// "Jämför år": the input of the last run computed for 2005, 2010 and 2020, with the change of
// each other year in percent against the last run's year (whose values are the last run's
// own). `labels` are the result list's row labels. A year whose run fails shows its message in
// its cells; the others stay.
Comparison compareYears(const calc::RunInput &input, const calc::RunState &lastRun,
                        const QStringList &labels, Mode mode, const QString &workbookDir,
                        const calc::LabelWarning &warn = {}, const QLocale &locale = QLocale());

// "Jämför med indatafil...": another input computed with the last run's year and workbooks,
// beside the last run, with the difference (other minus last) and its percentage. Stretches are
// matched by their coordinates; "Totalt" is each tunnel whole. Fails when the other input
// cannot be computed.
Expected<Comparison> compareInputs(const calc::RunState &lastRun, const calc::RunInput &other,
                                   const QString &otherTitle, const QStringList &labels, Mode mode,
                                   const QString &workbookDir, const calc::LabelWarning &warn = {},
                                   const QLocale &locale = QLocale());

// A cell as the window shows it: values in the "#.##" form, percentages with one decimal.
QString cellText(const ComparisonCell &cell, const QLocale &locale = QLocale());

// The message of a stretch that reaches past the end of the other tunnel.
inline const QString kBeyondOtherTunnel =
    QStringLiteral("Sträckan når förbi den andra tunnelns slut");
// A change that has no percentage: its base is zero.
inline const QString kNoPercentage = QStringLiteral("–");

} // namespace lv::results
