#pragma once

#include "core/calc/runstate.h"
#include "core/results/substretch.h"
#include "core/text/expected.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace lv::results {

enum class Mode { PerKm, Totals };

// One row of the result list: its label ("Totalt", or "start - stop") and eleven value texts
// in column order (fuel, NOx, exhaust particles, their PM10, tyre particles, their PM10, brake
// particles, their PM10, road-surface particles, their PM10, CO2).
struct ResultRow
{
    QString label;
    std::array<QString, 11> values;

    bool operator==(const ResultRow &) const = default;
};

inline const QString kTotalLabel = QStringLiteral("Totalt");

// Quantity index shown in each value column.
inline constexpr std::array<int, 11> kColumnQuantity = {1, 2, 3, 8, 4, 9, 5, 10, 6, 11, 7};

// The twelve column headers of the result list in a mode. `co2Colon` is false only before
// per-km mode has been chosen through the switch ("CO2 [kg/km]" at start).
QStringList resultHeaders(Mode mode, bool co2Colon = true);

// A row before its values are written as texts: its label and the eleven quantities by
// quantity index.
struct RowValues
{
    QString label;
    calc::ResultValues values{};
};

// A row from a label and result values, each value in the "#.##" form.
ResultRow makeRow(const QString &label, const calc::ResultValues &values,
                  const QLocale &locale = QLocale());

// The label of the stretch start..stop: the two numbers in the general form joined by " - ".
QString stretchLabel(float start, float stop, const QLocale &locale = QLocale());

// The "Totalt" row of a run (its tunnel means).
RowValues totalValues(const calc::RunState &run);
ResultRow totalRow(const calc::RunState &run, const QLocale &locale = QLocale());

// The functions below take a run's stretch sums; keep them with the run when there are many rows
// (a run passed instead builds them for that one call).

// "Lägg till": checks the two coordinate texts (start, stop, then 0 <= start < stop <= T) and
// computes the new row, or returns the message of the first failing check.
Expected<RowValues> subStretchValues(const StretchSums &sums, const QString &startText,
                                     const QString &stopText, Mode mode,
                                     const QLocale &locale = QLocale());
Expected<ResultRow> addSubStretch(const StretchSums &sums, const QString &startText,
                                  const QString &stopText, Mode mode,
                                  const QLocale &locale = QLocale());

// The stretch (start, stop in m) a row's label stands for: "Totalt" is 0..T, otherwise the two
// numbers joined by " - ". A label of any other form gives nothing.
std::optional<std::pair<float, float>> stretchOfLabel(const StretchSums &sums, const QString &label,
                                                      const QLocale &locale = QLocale());

// Recomputes one row from its label in a mode: "Totalt" as 0..T, otherwise the two numbers
// joined by " - ". A label of any other form gives nothing (the row is left as it is).
std::optional<RowValues> recalcValues(const StretchSums &sums, const QString &label, Mode mode,
                                      const QLocale &locale = QLocale());
std::optional<ResultRow> recalcRow(const StretchSums &sums, const QString &label, Mode mode,
                                   const QLocale &locale = QLocale());

// Recomputes every row from its label in a mode (rows with a label of another form stay).
void recomputeRows(const StretchSums &sums, std::vector<ResultRow> &rows, Mode mode,
                   const QLocale &locale = QLocale());

} // namespace lv::results
