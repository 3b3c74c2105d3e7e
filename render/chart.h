#pragma once

#include "core/results/alongtunnel.h"

#include <QPointF>
#include <QRectF>
#include <QString>

#include <optional>
#include <vector>

class QPainter;

namespace lv::render {

// An axis with round bounds and ticks: from `low` to `high` in steps of `step`, each tick a
// multiple of the step (1, 2 or 5 times a power of ten).
struct Axis
{
    double low = 0;
    double high = 1;
    double step = 1;

    bool operator==(const Axis &) const = default;
};

// A round axis for values from low to high with about `ticks` steps. With `widen` the bounds
// move out to the next ticks (a value axis); without it they stay as given (the chainage).
// An empty or non-finite range gives a unit axis around its value.
Axis niceAxis(double low, double high, int ticks, bool widen);
// The tick values of an axis inside its bounds.
std::vector<double> axisTicks(const Axis &axis);

// What the chart draws: one quantity's rate per segment as a step line over the chainage, the
// height profile below it, and the sub-stretches as shaded spans.
struct ChartData
{
    QString title;                            // quantity, year and scenario
    QString valueLabel;                       // "NOx [g/(km·h)]"
    QString quantity;                         // "NOx"
    QString unit;                             // "g/(km·h)"
    std::vector<QString> numbers;             // segment numbers as typed
    std::vector<float> ends;                  // 0, then each segment's end chainage, m
    std::vector<double> values;               // per segment
    std::vector<double> heights;              // at each of `ends`, m relative to the start
    std::vector<results::LabelledSpan> spans; // the result list's sub-stretches
};

// The chart of a quantity (index 1..12) along the tunnel of a run computed for `year` (its
// text, "2010") and `scenario`.
ChartData chartData(const std::vector<results::AlongTunnelRow> &rows, int quantity,
                    const QString &year, const QString &scenario,
                    std::vector<results::LabelledSpan> spans = {});

// What lies under a point of the chart painted into `bounds`: the segment, its chainage there
// and its value. Nothing outside the plots.
struct ChartHit
{
    int segment = 0;     // 0-based position
    double chainage = 0; // m
    double value = 0;    // the quantity's rate
};
std::optional<ChartHit> chartHitAt(const ChartData &data, const QRectF &bounds,
                                   const QPointF &point);

// The readout of a hit: "Segment 3 · 412,5 m · NOx 84,73 g/(km·h)", the value to four
// significant digits.
QString chartReadout(const ChartData &data, const ChartHit &hit, const QLocale &locale = QLocale());

// Paints the chart into `bounds` on any paint device: widget, printer, PDF, SVG or image.
void paintChart(QPainter &painter, const QRectF &bounds, const ChartData &data,
                const QLocale &locale = QLocale());

} // namespace lv::render
