#include "render/chart.h"

#include "core/text/numbertext.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace lv::render {

namespace {

const QColor kValueColour(0x1f, 0x4e, 0x9a);
const QColor kHeightColour(0x6b, 0x4f, 0x1d);
const QColor kSpanColour(0xf0, 0x9a, 0x30, 56);
const QColor kSpanLabelColour(0x8a, 0x4b, 0x08);
const QColor kGridColour(0xd8, 0xd8, 0xd8);

// 1, 2 or 5 times a power of ten, the smallest not below `raw`.
double niceStep(double raw)
{
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= raw * (1 - 1e-9))
            return factor * power;
    }
    return 10 * power;
}

// Decimals enough to tell the ticks of a step apart.
int stepDecimals(double step)
{
    return std::clamp(int(-std::floor(std::log10(step) + 1e-9)), 0, 9);
}

// Four significant digits of a value.
int valueDecimals(double value)
{
    const double magnitude = std::fabs(value);
    if (!(magnitude > 0) || !std::isfinite(magnitude))
        return 0;
    return std::clamp(3 - int(std::floor(std::log10(magnitude))), 0, 6);
}

// Where the parts of a chart lie in its bounds: sizes in a unit that grows with the bounds, so
// the chart reads the same in a window, on paper and in a picture.
struct Layout
{
    double unit = 1;
    QRectF valuePlot;
    QRectF heightPlot;
    Axis x, y, h;

    double xAt(double chainage) const
    {
        return valuePlot.left() + (chainage - x.low) / (x.high - x.low) * valuePlot.width();
    }
    double chainageAt(double px) const
    {
        return x.low + (px - valuePlot.left()) / valuePlot.width() * (x.high - x.low);
    }
    static double yAt(const QRectF &plot, const Axis &axis, double value)
    {
        return plot.bottom() - (value - axis.low) / (axis.high - axis.low) * plot.height();
    }
};

Layout layoutOf(const ChartData &data, const QRectF &bounds)
{
    Layout l;
    l.unit = std::max(0.85, std::min(bounds.width() / 900.0, bounds.height() / 300.0));
    const double u = l.unit;
    const QRectF plots = bounds.adjusted(78 * u, 34 * u, -16 * u, -40 * u);
    const double gap = 22 * u;
    const double valueHeight = std::max(1.0, (plots.height() - gap) * 0.68);
    l.valuePlot = QRectF(plots.left(), plots.top(), plots.width(), valueHeight);
    l.heightPlot = QRectF(plots.left(), l.valuePlot.bottom() + gap, plots.width(),
                          std::max(1.0, plots.height() - gap - valueHeight));
    const double length = data.ends.empty() ? 0 : double(data.ends.back());
    l.x = niceAxis(0, length, 8, false);
    double low = 0, high = 0;
    for (double v : data.values) {
        if (std::isfinite(v)) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    l.y = niceAxis(low, high, 5, true);
    low = high = 0;
    for (double v : data.heights) {
        if (std::isfinite(v)) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    l.h = niceAxis(low, high, 3, true);
    return l;
}

QFont chartFont(const QPainter &painter, double pixels, bool bold = false)
{
    QFont font = painter.font();
    font.setPixelSize(std::max(1, int(std::lround(pixels))));
    font.setBold(bold);
    return font;
}

// The grid lines and tick labels of a plot's vertical axis, and its title above it.
void paintValueAxis(QPainter &painter, const Layout &l, const QRectF &plot, const Axis &axis,
                    const QString &title, const QLocale &locale)
{
    const double u = l.unit;
    painter.setFont(chartFont(painter, 11 * u));
    const int decimals = stepDecimals(axis.step);
    for (double tick : axisTicks(axis)) {
        const double y = Layout::yAt(plot, axis, tick);
        painter.setPen(QPen(kGridColour, u));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(QPen(Qt::black, u));
        painter.drawText(QRectF(plot.left() - 76 * u, y - 8 * u, 70 * u, 16 * u),
                         Qt::AlignRight | Qt::AlignVCenter,
                         text::formatFixed(tick, decimals, locale));
    }
    painter.drawText(QRectF(plot.left(), plot.top() - 16 * u, plot.width(), 15 * u),
                     Qt::AlignLeft | Qt::AlignBottom, title);
}

void paintChainageAxis(QPainter &painter, const Layout &l, const QLocale &locale)
{
    const double u = l.unit;
    painter.setFont(chartFont(painter, 11 * u));
    const int decimals = stepDecimals(l.x.step);
    for (double tick : axisTicks(l.x)) {
        const double x = l.xAt(tick);
        painter.setPen(QPen(kGridColour, u));
        painter.drawLine(QPointF(x, l.valuePlot.top()), QPointF(x, l.valuePlot.bottom()));
        painter.drawLine(QPointF(x, l.heightPlot.top()), QPointF(x, l.heightPlot.bottom()));
        painter.setPen(QPen(Qt::black, u));
        painter.drawText(QRectF(x - 40 * u, l.heightPlot.bottom() + 3 * u, 80 * u, 15 * u),
                         Qt::AlignHCenter | Qt::AlignTop,
                         text::formatFixed(tick, decimals, locale));
    }
    painter.drawText(
        QRectF(l.heightPlot.left(), l.heightPlot.bottom() + 19 * u, l.heightPlot.width(), 16 * u),
        Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Kedjemått [m]"));
}

void paintSpans(QPainter &painter, const Layout &l, const ChartData &data)
{
    const double u = l.unit;
    painter.setFont(chartFont(painter, 10 * u));
    const QFontMetricsF metrics(painter.font());
    for (const auto &span : data.spans) {
        const double left = l.xAt(std::clamp(double(span.start), l.x.low, l.x.high));
        const double right = l.xAt(std::clamp(double(span.stop), l.x.low, l.x.high));
        if (!(right > left))
            continue;
        for (const QRectF &plot : {l.valuePlot, l.heightPlot})
            painter.fillRect(QRectF(left, plot.top(), right - left, plot.height()), kSpanColour);
        painter.setPen(QPen(kSpanLabelColour, u));
        const QRectF labelBox(left + 2 * u, l.valuePlot.top() + 2 * u, right - left - 4 * u,
                              14 * u);
        painter.drawText(labelBox, Qt::AlignLeft | Qt::AlignTop,
                         metrics.elidedText(span.label, Qt::ElideRight, labelBox.width()));
    }
}

// A line of many points reduced to what a device pixel column can show: per column its first
// and last point and its lowest and highest, in their order. A maximal tunnel has 65,534 steps,
// which a raster painter would draw for seconds.
QPolygonF thinned(const QPolygonF &points)
{
    QPolygonF out;
    qsizetype i = 0;
    while (i < points.size()) {
        const double column = std::floor(points[i].x());
        qsizetype end = i + 1;
        qsizetype low = i, high = i;
        while (end < points.size() && std::floor(points[end].x()) == column) {
            if (points[end].y() < points[low].y())
                low = end;
            if (points[end].y() > points[high].y())
                high = end;
            ++end;
        }
        qsizetype kept[] = {i, std::min(low, high), std::max(low, high), end - 1};
        for (qsizetype k = 0; k < 4; ++k) {
            if (k == 0 || kept[k] != kept[k - 1])
                out << points[kept[k]];
        }
        i = end;
    }
    return out;
}

// Draws a long line in short pieces: the stroke of one long, back-and-forth path is filled
// scan line by scan line over all its edges at once, which is slow in a raster painter.
void drawLongLine(QPainter &painter, const QPolygonF &line)
{
    constexpr qsizetype kPiece = 64;
    for (qsizetype first = 0; first + 1 < line.size(); first += kPiece - 1)
        painter.drawPolyline(line.constData() + first, int(std::min(kPiece, line.size() - first)));
}

void paintLines(QPainter &painter, const Layout &l, const ChartData &data)
{
    const std::size_t n = std::min(data.values.size(), data.ends.size() - 1);
    QPolygonF steps;
    steps.reserve(qsizetype(n) * 2);
    for (std::size_t i = 0; i < n; ++i) {
        const double y = Layout::yAt(l.valuePlot, l.y, data.values[i]);
        steps << QPointF(l.xAt(data.ends[i]), y) << QPointF(l.xAt(data.ends[i + 1]), y);
    }
    painter.setPen(QPen(kValueColour, 2 * l.unit));
    // Steps are level and upright lines, crisp without smoothing; smoothing a maximal tunnel's
    // steps costs a raster painter over a second.
    painter.setRenderHint(QPainter::Antialiasing, false);
    drawLongLine(painter, thinned(steps));
    painter.setRenderHint(QPainter::Antialiasing, true);

    QPolygonF profile;
    for (std::size_t i = 0; i < data.heights.size() && i < data.ends.size(); ++i)
        profile << QPointF(l.xAt(data.ends[i]), Layout::yAt(l.heightPlot, l.h, data.heights[i]));
    painter.setPen(QPen(kHeightColour, 2 * l.unit));
    drawLongLine(painter, thinned(profile));
}

} // namespace

Axis niceAxis(double low, double high, int ticks, bool widen)
{
    if (!std::isfinite(low) || !std::isfinite(high))
        return Axis{0, 1, 0.2};
    if (high < low)
        std::swap(low, high);
    if (!(high > low))
        high = low + 1; // one value (a flat tunnel, all zero): a unit range from it
    const double step = niceStep((high - low) / std::max(1, ticks));
    if (widen) {
        low = std::floor(low / step + 1e-9) * step;
        high = std::ceil(high / step - 1e-9) * step;
    }
    return Axis{low, high, step};
}

std::vector<double> axisTicks(const Axis &axis)
{
    std::vector<double> ticks;
    if (!(axis.step > 0) || !(axis.high >= axis.low))
        return ticks;
    const double first = std::ceil(axis.low / axis.step - 1e-9);
    for (double k = first; k * axis.step <= axis.high + axis.step * 1e-9 && ticks.size() < 1000;
         ++k) {
        const double tick = k * axis.step;
        ticks.push_back(tick == 0 ? 0.0 : tick); // no -0 label
    }
    return ticks;
}

ChartData chartData(const std::vector<results::AlongTunnelRow> &rows, int quantity,
                    const QString &year, const QString &scenario,
                    std::vector<results::LabelledSpan> spans)
{
    ChartData data;
    data.quantity = results::quantityName(quantity);
    data.unit = results::quantityRateUnit(quantity);
    data.valueLabel = data.quantity + QStringLiteral(" [") + data.unit + u']';
    data.title = data.valueLabel + QStringLiteral(" längs tunneln, år ") + year;
    if (!scenario.trimmed().isEmpty())
        data.title += QStringLiteral(", scenario: ") + scenario.trimmed();
    const auto q = std::size_t(std::clamp(quantity, 1, results::kTotalPm10));
    data.ends.reserve(rows.size() + 1);
    data.ends.push_back(0);
    data.heights.push_back(0);
    for (const auto &row : rows) {
        data.numbers.push_back(row.number);
        data.ends.push_back(row.end);
        data.values.push_back(row.rates[q]);
        data.heights.push_back(row.height);
    }
    data.spans = std::move(spans);
    return data;
}

std::optional<ChartHit> chartHitAt(const ChartData &data, const QRectF &bounds,
                                   const QPointF &point)
{
    if (data.values.empty() || data.ends.size() < data.values.size() + 1)
        return std::nullopt;
    const Layout l = layoutOf(data, bounds);
    const bool inside = l.valuePlot.contains(point) || l.heightPlot.contains(point);
    if (!inside)
        return std::nullopt;
    const double chainage = std::clamp(l.chainageAt(point.x()), 0.0, double(data.ends.back()));
    const auto after = std::upper_bound(data.ends.begin() + 1, data.ends.end() - 1, chainage);
    const int segment = int(after - data.ends.begin()) - 1;
    return ChartHit{segment, chainage, data.values[std::size_t(segment)]};
}

QString chartReadout(const ChartData &data, const ChartHit &hit, const QLocale &locale)
{
    const auto i = std::size_t(hit.segment);
    const QString number = i < data.numbers.size() ? data.numbers[i] : QString::number(i + 1);
    return QStringLiteral("Segment %1 · %2 m · %3 %4 %5")
        .arg(number, text::formatFixed(hit.chainage, 1, locale), data.quantity,
             text::formatFixed(hit.value, valueDecimals(hit.value), locale), data.unit);
}

void paintChart(QPainter &painter, const QRectF &bounds, const ChartData &data,
                const QLocale &locale)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(bounds, Qt::white);
    const Layout l = layoutOf(data, bounds);
    const double u = l.unit;

    painter.setPen(Qt::black);
    painter.setFont(chartFont(painter, 14 * u, true));
    painter.drawText(
        QRectF(bounds.left() + 8 * u, bounds.top() + 4 * u, bounds.width() - 16 * u, 18 * u),
        Qt::AlignLeft | Qt::AlignVCenter, data.title);
    if (data.values.empty() || data.ends.size() < 2) {
        painter.setFont(chartFont(painter, 12 * u));
        painter.drawText(bounds, Qt::AlignCenter, QStringLiteral("Inga segment att visa"));
        painter.restore();
        return;
    }
    paintSpans(painter, l, data);
    paintValueAxis(painter, l, l.valuePlot, l.y, data.valueLabel, locale);
    paintValueAxis(painter, l, l.heightPlot, l.h, QStringLiteral("Höjd över tunnelns start [m]"),
                   locale);
    paintChainageAxis(painter, l, locale);
    painter.save();
    painter.setClipRect(l.valuePlot.united(l.heightPlot).adjusted(-u, -u, u, u));
    paintLines(painter, l, data);
    painter.restore();
    painter.setPen(QPen(Qt::black, u));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(l.valuePlot);
    painter.drawRect(l.heightPlot);
    painter.restore();
}

} // namespace lv::render
