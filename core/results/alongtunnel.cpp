#include "core/results/alongtunnel.h"

#include "core/calc/profilefactors.h"
#include "core/text/numbertext.h"

#include <algorithm>
#include <cmath>

namespace lv::results {

namespace {

struct QuantityText
{
    const char *key;
    const char *name; // UTF-8
    const char *unit;
};

// By quantity index 1..12.
constexpr std::array<QuantityText, 13> kQuantityTexts = {{
    {"", "", ""},
    {"fuel", "Bränsle", "l/(km·h)"},
    {"nox", "NOx", "g/(km·h)"},
    {"exhaust", "Avgaspartiklar", "g/(km·h)"},
    {"tyre", "Däckspartiklar", "g/(km·h)"},
    {"brake", "Bromspartiklar", "g/(km·h)"},
    {"road", "Beläggningspartiklar", "g/(km·h)"},
    {"co2", "CO2", "kg/(km·h)"},
    {"exhaust_pm10", "Avgaspartiklar PM10", "g/(km·h)"},
    {"tyre_pm10", "Däckspartiklar PM10", "g/(km·h)"},
    {"brake_pm10", "Bromspartiklar PM10", "g/(km·h)"},
    {"road_pm10", "Beläggningspartiklar PM10", "g/(km·h)"},
    {"pm10", "PM10 totalt", "g/(km·h)"},
}};

const QuantityText &texts(int quantity)
{
    return kQuantityTexts[quantity >= 1 && quantity <= kTotalPm10 ? std::size_t(quantity) : 0];
}

} // namespace

QString quantityName(int quantity)
{
    return QString::fromUtf8(texts(quantity).name);
}

QString quantityRateUnit(int quantity)
{
    return QString::fromUtf8(texts(quantity).unit);
}

QString quantityKey(int quantity)
{
    return QString::fromLatin1(texts(quantity).key);
}

int quantityOfKey(const QString &key)
{
    for (int q = 1; q <= kTotalPm10; ++q) {
        if (key == QLatin1String(kQuantityTexts[std::size_t(q)].key))
            return q;
    }
    return 0;
}

std::vector<AlongTunnelRow> alongTunnelRows(const calc::RunState &run,
                                            const std::vector<QString> &numbers)
{
    std::vector<AlongTunnelRow> rows;
    const auto count = std::size_t(std::max(run.segmentCount, 0));
    rows.reserve(count);
    float chainage = 0;
    double height = 0;
    for (std::size_t i = 0; i < count; ++i) {
        AlongTunnelRow row;
        row.number = i < numbers.size() ? numbers[i] : QString();
        row.length = run.segmentLength[i];
        row.slope = run.segmentSlope[i];
        row.offGrid = calc::isOffGridSlope(row.slope);
        row.start = chainage;
        // The same single-precision sum as the stretch coordinates, so the last end is the
        // tunnel length the result list names.
        chainage += row.length;
        row.end = chainage;
        height += double(row.length) * row.slope / 100.0;
        row.height = height;
        for (int q = 1; q < kTotalPm10; ++q)
            row.rates[std::size_t(q)] = run.segmentRates(std::size_t(q), i);
        row.rates[kTotalPm10] = row.rates[8] + row.rates[9] + row.rates[10] + row.rates[11];
        rows.push_back(std::move(row));
    }
    return rows;
}

QStringList alongTunnelHeaders()
{
    QStringList headers = {
        QStringLiteral("Segment nr"),         QStringLiteral("Kedjemått start [m]"),
        QStringLiteral("Kedjemått slut [m]"), QStringLiteral("Längd [m]"),
        QStringLiteral("Lutning [%]"),        QStringLiteral("Lutning utanför -7…7 %"),
        QStringLiteral("Höjd vid slut [m]"),
    };
    for (int q : kAlongQuantities)
        headers << quantityName(q) + QStringLiteral(" [") + quantityRateUnit(q) + u']';
    return headers;
}

int alongColumnQuantity(int column)
{
    const int i = column - kAlongFixedColumns;
    return i >= 0 && i < int(kAlongQuantities.size()) ? kAlongQuantities[std::size_t(i)] : 0;
}

std::array<int, kAlongColumnCount> alongDecimals(const std::vector<AlongTunnelRow> &rows,
                                                 int significant)
{
    std::array<int, kAlongColumnCount> decimals{};
    decimals[Start] = decimals[End] = decimals[Length] = 1;
    decimals[Height] = 2;
    for (int column = kAlongFixedColumns; column < kAlongColumnCount; ++column) {
        const auto q = std::size_t(alongColumnQuantity(column));
        double largest = 0;
        for (const AlongTunnelRow &row : rows) {
            if (std::isfinite(row.rates[q]))
                largest = std::max(largest, std::fabs(row.rates[q]));
        }
        const int magnitude = largest > 0 ? int(std::floor(std::log10(largest))) : 0;
        decimals[std::size_t(column)] = std::clamp(significant - 1 - magnitude, 0, 9);
    }
    return decimals;
}

QString alongTunnelText(const AlongTunnelRow &row, int column,
                        const std::array<int, kAlongColumnCount> &decimals, const QLocale &locale)
{
    if (column < 0 || column >= kAlongColumnCount)
        return {};
    const int places = decimals[std::size_t(column)];
    switch (column) {
    case Number:
        return row.number;
    case Start:
        return text::formatFixed(row.start, places, locale);
    case End:
        return text::formatFixed(row.end, places, locale);
    case Length:
        return text::formatFixed(row.length, places, locale);
    case Slope:
        return text::formatFixed(row.slope, 0, locale);
    case OffGrid:
        return row.offGrid ? kOffGridMark : QString();
    case Height:
        return text::formatFixed(row.height, places, locale);
    default:
        return text::formatFixed(row.rates[std::size_t(alongColumnQuantity(column))], places,
                                 locale);
    }
}

QStringList alongTunnelTexts(const AlongTunnelRow &row,
                             const std::array<int, kAlongColumnCount> &decimals,
                             const QLocale &locale)
{
    QStringList texts;
    texts.reserve(kAlongColumnCount);
    for (int column = 0; column < kAlongColumnCount; ++column)
        texts << alongTunnelText(row, column, decimals, locale);
    return texts;
}

std::vector<LabelledSpan> subStretchSpans(const std::vector<ResultRow> &rows, const QLocale &locale)
{
    std::vector<LabelledSpan> spans;
    for (const ResultRow &row : rows) {
        if (row.label == kTotalLabel)
            continue;
        // Only the label is read; a stretch label needs no run to be understood.
        if (const auto stretch = stretchOfLabel(StretchSums(), row.label, locale))
            spans.push_back(LabelledSpan{stretch->first, stretch->second, row.label});
    }
    return spans;
}

} // namespace lv::results
