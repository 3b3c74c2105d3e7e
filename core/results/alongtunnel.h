#pragma once

#include "core/calc/runstate.h"
#include "core/results/resulttable.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

namespace lv::results {

// The quantities along the tunnel: the run's quantity index 1..11, and 12 for the total of the
// four PM10 parts (exhaust, tyre, brake and road-surface particles), which the result list lacks.
inline constexpr int kTotalPm10 = 12;
// In the order of the table's columns and of the chart's choices: the result list's column
// order, then total PM10.
inline constexpr std::array<int, 12> kAlongQuantities = {1, 2, 3, 8, 4, 9, 5, 10, 6, 11, 7, 12};

// A quantity's name ("NOx", "Avgaspartiklar PM10", "PM10 totalt") and its rate unit per km and
// hour ("g/(km·h)").
QString quantityName(int quantity);
QString quantityRateUnit(int quantity);
// The short key a command line names the quantity by: fuel nox exhaust exhaust_pm10 tyre
// tyre_pm10 brake brake_pm10 road road_pm10 co2 pm10. quantityOfKey gives 0 for any other text.
QString quantityKey(int quantity);
int quantityOfKey(const QString &key);

// One segment as the calculation saw it, with where it lies along the tunnel.
struct AlongTunnelRow
{
    QString number;       // the segment number as typed
    float start = 0;      // chainage of the segment's start, m from the tunnel's start
    float end = 0;        // chainage of its end: the lengths up to it added in single precision
    float length = 0;     // m
    int16_t slope = 0;    // whole percent, as the calculation used it
    bool offGrid = false; // slope outside the tables' -7..7 %
    double height = 0; // m at the segment's end relative to the start: sum of length * slope / 100
    std::array<double, 13> rates{}; // per km and hour by quantity index 1..12; 0 unused

    bool operator==(const AlongTunnelRow &) const = default;
};

// The run's segments in list order, numbered with the texts of the rows the run was computed
// from (a missing text stays empty).
std::vector<AlongTunnelRow> alongTunnelRows(const calc::RunState &run,
                                            const std::vector<QString> &numbers);

// The table's columns: segment number, chainage start and end, length, slope, the mark of a
// slope outside the tables, height, then the twelve rates in kAlongQuantities order.
inline constexpr int kAlongFixedColumns = 7;
inline constexpr int kAlongColumnCount = kAlongFixedColumns + int(kAlongQuantities.size());
enum AlongColumn { Number, Start, End, Length, Slope, OffGrid, Height };
QStringList alongTunnelHeaders();
// The quantity index of a column, or 0 for the first seven.
int alongColumnQuantity(int column);

// The decimals each column is written with: lengths to the decimetre, heights to the
// centimetre, each rate column to `significant` digits of its largest value (the window shows
// four; a file keeps seven).
std::array<int, kAlongColumnCount> alongDecimals(const std::vector<AlongTunnelRow> &rows,
                                                 int significant = 4);

// One cell's text and a row's texts in column order, numbers in the locale with the decimals
// given.
QString alongTunnelText(const AlongTunnelRow &row, int column,
                        const std::array<int, kAlongColumnCount> &decimals,
                        const QLocale &locale = QLocale());
QStringList alongTunnelTexts(const AlongTunnelRow &row,
                             const std::array<int, kAlongColumnCount> &decimals,
                             const QLocale &locale = QLocale());

// The text of the off-grid mark column.
inline const QString kOffGridMark = QStringLiteral("utanför tabell");

// A sub-stretch of the result list as the chart shades it: start and stop in m, and its label.
struct LabelledSpan
{
    float start = 0;
    float stop = 0;
    QString label;

    bool operator==(const LabelledSpan &) const = default;
};

// The sub-stretches among result rows: every row but "Totalt" whose label names a stretch.
std::vector<LabelledSpan> subStretchSpans(const std::vector<ResultRow> &rows,
                                          const QLocale &locale = QLocale());

} // namespace lv::results
