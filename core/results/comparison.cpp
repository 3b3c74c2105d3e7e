#include "core/results/comparison.h"

#include "core/text/numbertext.h"

#include <algorithm>
#include <array>
#include <optional>

namespace lv::results {

namespace {

const std::array<QString, 3> kYears = {QStringLiteral("2005"), QStringLiteral("2010"),
                                       QStringLiteral("2020")};

// One compared column: its title and its run's sums, or the message of the run that failed.
struct Column
{
    QString title;
    const StretchSums *sums = nullptr;
    QString failure;
};

// What a table needs besides its columns: the base column, whether the absolute difference
// stands before each percentage, and the headers of the difference cells of each other column.
struct Layout
{
    std::size_t base = 0;
    bool absolute = false;
    std::vector<QStringList> differenceHeaders; // per column; the base's stays empty
};

ComparisonCell valueCell(double value)
{
    return ComparisonCell{ComparisonCell::Kind::Value, value, {}};
}

ComparisonCell textCell(const QString &text)
{
    return ComparisonCell{ComparisonCell::Kind::Text, 0, text};
}

// A column's values over a stretch, or why it has none. "Totalt" is the column's own tunnel;
// any other stretch must lie within it.
std::optional<calc::ResultValues> columnValues(const Column &column, const QString &label,
                                               float stop, Mode mode, const QLocale &locale,
                                               ComparisonCell &why)
{
    if (!column.sums) {
        why = textCell(column.failure);
        return std::nullopt;
    }
    // The label's stop is read back from its text, so it may differ from a length it names
    // in the last of its seven digits.
    const float length = column.sums->tunnelLength();
    if (label != kTotalLabel && stop > length && stop - length > length * 1e-6f) {
        why = textCell(kBeyondOtherTunnel);
        return std::nullopt;
    }
    // The whole tunnel per km is the run's own means, as the result list first shows them.
    if (label == kTotalLabel && mode == Mode::PerKm && column.sums->run())
        return column.sums->run()->tunnelMeanRates;
    const auto row = recalcValues(*column.sums, label, mode, locale);
    if (!row) {
        why = textCell(kNoPercentage);
        return std::nullopt;
    }
    return row->values;
}

Comparison buildComparison(const std::vector<Column> &columns, const Layout &layout,
                           const StretchSums &lastSums, const QStringList &labels, Mode mode,
                           const QLocale &locale)
{
    Comparison table;
    table.mode = mode;
    const QStringList quantities = resultHeaders(mode);
    table.headers << QStringLiteral("Delsträcka") << QStringLiteral("Storhet");
    for (const Column &column : columns)
        table.headers << column.title;
    for (const QStringList &headers : layout.differenceHeaders)
        table.headers << headers;

    for (const QString &label : labels) {
        const auto stretch = stretchOfLabel(lastSums, label, locale);
        if (!stretch)
            continue;
        std::vector<std::optional<calc::ResultValues>> values;
        std::vector<ComparisonCell> missing(columns.size());
        for (std::size_t c = 0; c < columns.size(); ++c) {
            values.push_back(
                columnValues(columns[c], label, stretch->second, mode, locale, missing[c]));
        }
        for (std::size_t q = 0; q < kColumnQuantity.size(); ++q) {
            const std::size_t quantity = std::size_t(kColumnQuantity[q]);
            ComparisonLine line{label, quantities[qsizetype(q) + 1], {}};
            for (std::size_t c = 0; c < columns.size(); ++c) {
                line.cells.push_back(values[c] ? valueCell(double((*values[c])[quantity]))
                                               : missing[c]);
            }
            const auto &base = values[layout.base];
            for (std::size_t c = 0; c < columns.size(); ++c) {
                if (c == layout.base)
                    continue;
                const bool both = base && values[c];
                const double from = both ? double((*base)[quantity]) : 0.0;
                const double to = both ? double((*values[c])[quantity]) : 0.0;
                if (layout.absolute)
                    line.cells.push_back(both ? valueCell(to - from) : textCell(kNoPercentage));
                // No percentage of a zero base: the change has no size against nothing.
                line.cells.push_back(both && from != 0.0
                                         ? ComparisonCell{ComparisonCell::Kind::Percent,
                                                          (to - from) / from * 100.0,
                                                          {}}
                                         : textCell(kNoPercentage));
            }
            table.lines.push_back(std::move(line));
        }
    }
    return table;
}

} // namespace

QString comparisonModeText(Mode mode)
{
    return mode == Mode::PerKm ? QStringLiteral("Värden per timme och km av sträckan")
                               : QStringLiteral("Värden per timme, totalt över sträckan");
}

Comparison compareYears(const calc::RunInput &input, const calc::RunState &lastRun,
                        const QStringList &labels, Mode mode, const QString &workbookDir,
                        const calc::LabelWarning &warn, const QLocale &locale)
{
    const std::size_t base = std::size_t(std::clamp<int>(lastRun.yearIndex, 1, 3) - 1);
    std::array<std::optional<calc::RunState>, 3> runs;
    std::array<StretchSums, 3> sums;
    std::vector<Column> columns;
    QStringList notes;
    Layout layout{base, false, {}};
    for (std::size_t y = 0; y < kYears.size(); ++y) {
        Column column{kYears[y], nullptr, {}};
        if (y == base) {
            sums[y] = StretchSums(lastRun);
            column.sums = &sums[y];
        } else {
            calc::RunInput yearInput = input;
            yearInput.yearText = kYears[y];
            auto run = calc::computeRun(yearInput, workbookDir, warn, locale);
            if (run) {
                runs[y] = std::move(run).value();
                sums[y] = StretchSums(*runs[y]);
                column.sums = &sums[y];
            } else {
                column.failure = run.error().message;
                notes << kYears[y] + QStringLiteral(" kunde inte beräknas: ") + column.failure;
            }
        }
        columns.push_back(column);
        layout.differenceHeaders.push_back(
            y == base ? QStringList()
                      : QStringList{
                            QStringLiteral("Ändring %1 mot %2 [%]").arg(kYears[y], kYears[base])});
    }
    Comparison table = buildComparison(columns, layout, sums[base], labels, mode, locale);
    notes.prepend(comparisonModeText(mode) + QStringLiteral(". Ändringar i procent mot %1, året i "
                                                            "den senaste beräkningen.")
                                                 .arg(kYears[base]));
    table.notes = notes;
    return table;
}

Expected<Comparison> compareInputs(const calc::RunState &lastRun, const calc::RunInput &other,
                                   const QString &otherTitle, const QStringList &labels, Mode mode,
                                   const QString &workbookDir, const calc::LabelWarning &warn,
                                   const QLocale &locale)
{
    const std::size_t year = std::size_t(std::clamp<int>(lastRun.yearIndex, 1, 3) - 1);
    calc::RunInput otherInput = other;
    otherInput.yearText = kYears[year];
    auto otherRun = calc::computeRun(otherInput, workbookDir, warn, locale);
    if (!otherRun)
        return otherRun.error();
    const StretchSums lastSums(lastRun);
    const StretchSums otherSums(*otherRun);
    const std::vector<Column> columns = {
        Column{QStringLiteral("Senaste beräkningen"), &lastSums, {}},
        Column{otherTitle, &otherSums, {}}};
    const Layout layout{
        0, true, {QStringList(), {QStringLiteral("Skillnad"), QStringLiteral("Skillnad [%]")}}};
    Comparison table = buildComparison(columns, layout, lastSums, labels, mode, locale);
    table.notes << comparisonModeText(mode) +
                       QStringLiteral(". Skillnad: %1 minus den senaste beräkningen, båda för "
                                      "år %2; delsträckorna jämförs med samma koordinater.")
                           .arg(otherTitle, kYears[year]);
    return table;
}

QString cellText(const ComparisonCell &cell, const QLocale &locale)
{
    switch (cell.kind) {
    case ComparisonCell::Kind::Value:
        return text::formatHashDotHash(cell.number, locale);
    case ComparisonCell::Kind::Percent:
        return text::formatFixed(cell.number, 1, locale);
    case ComparisonCell::Kind::Text:
        break;
    }
    return cell.text;
}

} // namespace lv::results
