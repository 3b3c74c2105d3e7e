#include "core/results/resulttable.h"

#include "core/results/substretch.h"
#include "core/text/numbertext.h"

namespace lv::results {

namespace {

const QString kLabelSeparator = QStringLiteral(" - ");

Error inputFault(const QString &message, FaultField field = FaultField::None)
{
    return Error{ErrorKind::InputCheck, message, field};
}

} // namespace

QStringList resultHeaders(Mode mode, bool co2Colon)
{
    const bool perKm = mode == Mode::PerKm;
    const QString g = perKm ? QStringLiteral(" [g/km]") : QStringLiteral(" [g]");
    const QString pm10 = QStringLiteral("Varav PM10:") + g;
    QString co2 = perKm ? QStringLiteral("CO2: [kg/km]") : QStringLiteral("CO2: [kg]");
    if (perKm && !co2Colon)
        co2 = QStringLiteral("CO2 [kg/km]");
    return {QStringLiteral("Delsträcka:"),
            perKm ? QStringLiteral("Bränsle: [l/km]") : QStringLiteral("Bränsle: [l]"),
            QStringLiteral("NOx:") + g,
            QStringLiteral("Avgaspartiklar:") + g,
            pm10,
            QStringLiteral("Däckspartiklar:") + g,
            pm10,
            QStringLiteral("Bromspartiklar:") + g,
            pm10,
            QStringLiteral("Beläggningspartiklar:") + g,
            pm10,
            co2};
}

ResultRow makeRow(const QString &label, const calc::ResultValues &values, const QLocale &locale)
{
    ResultRow row;
    row.label = label;
    for (std::size_t column = 0; column < kColumnQuantity.size(); ++column) {
        row.values[column] =
            text::formatHashDotHash(values[std::size_t(kColumnQuantity[column])], locale);
    }
    return row;
}

QString stretchLabel(float start, float stop, const QLocale &locale)
{
    return text::formatGeneral(start, locale) + kLabelSeparator + text::formatGeneral(stop, locale);
}

RowValues totalValues(const calc::RunState &run)
{
    return RowValues{kTotalLabel, run.tunnelMeanRates};
}

ResultRow totalRow(const calc::RunState &run, const QLocale &locale)
{
    return makeRow(kTotalLabel, run.tunnelMeanRates, locale);
}

Expected<RowValues> subStretchValues(const StretchSums &sums, const QString &startText,
                                     const QString &stopText, Mode mode, const QLocale &locale)
{
    const auto start = text::parseSingle(startText, locale);
    if (!start)
        return inputFault(QStringLiteral("Ogiltig startkoordinat: ") + startText,
                          FaultField::StretchStart);
    const auto stop = text::parseSingle(stopText, locale);
    if (!stop)
        return inputFault(QStringLiteral("Ogiltig slutkoordinat: ") + stopText,
                          FaultField::StretchStop);
    const float total = sums.tunnelLength();
    if (!(*start >= 0 && *start < *stop && *stop >= 0 && *start <= total && *stop <= total)) {
        return inputFault(
            QStringLiteral("Start- och slutkoordinaterna måste upfylla: 0 <= start < slut <= ") +
                text::formatGeneral(total, locale) + QStringLiteral(" (total tunnellängd)"),
            FaultField::StretchStart);
    }
    return RowValues{stretchLabel(*start, *stop, locale),
                     sums.sum(*start, *stop, mode == Mode::PerKm)};
}

Expected<ResultRow> addSubStretch(const StretchSums &sums, const QString &startText,
                                  const QString &stopText, Mode mode, const QLocale &locale)
{
    const auto row = subStretchValues(sums, startText, stopText, mode, locale);
    if (!row)
        return row.error();
    return makeRow(row->label, row->values, locale);
}

std::optional<std::pair<float, float>> stretchOfLabel(const StretchSums &sums, const QString &label,
                                                      const QLocale &locale)
{
    if (label == kTotalLabel)
        return std::pair{0.0f, sums.tunnelLength()};
    const QStringList pieces = label.split(kLabelSeparator);
    if (pieces.size() < 2)
        return std::nullopt;
    const auto start = text::parseSingle(pieces[0], locale);
    const auto stop = text::parseSingle(pieces[1], locale);
    if (!start || !stop)
        return std::nullopt;
    return std::pair{*start, *stop};
}

std::optional<RowValues> recalcValues(const StretchSums &sums, const QString &label, Mode mode,
                                      const QLocale &locale)
{
    const auto stretch = stretchOfLabel(sums, label, locale);
    if (!stretch)
        return std::nullopt;
    const auto [start, stop] = *stretch;
    const QString newLabel = label == kTotalLabel ? kTotalLabel : stretchLabel(start, stop, locale);
    return RowValues{newLabel, sums.sum(start, stop, mode == Mode::PerKm)};
}

std::optional<ResultRow> recalcRow(const StretchSums &sums, const QString &label, Mode mode,
                                   const QLocale &locale)
{
    const auto row = recalcValues(sums, label, mode, locale);
    if (!row)
        return std::nullopt;
    return makeRow(row->label, row->values, locale);
}

void recomputeRows(const StretchSums &sums, std::vector<ResultRow> &rows, Mode mode,
                   const QLocale &locale)
{
    for (ResultRow &row : rows) {
        if (auto recomputed = recalcRow(sums, row.label, mode, locale))
            row = std::move(*recomputed);
    }
}

} // namespace lv::results
