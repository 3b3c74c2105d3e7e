#include "core/input/segmentrow.h"

#include "core/text/numbertext.h"

namespace lv::input {

namespace {

Error fault(const QString &message, FaultField field = FaultField::SegmentNumber, int cell = -1)
{
    return Error{ErrorKind::InputCheck, message, field, cell};
}

} // namespace

std::optional<Error> checkSegmentRow(const SegmentRow &row, const QLocale &locale)
{
    if (!text::parseInt16(row.number, locale))
        return fault(QStringLiteral("Ogiltigt Segmentnummer: ") + row.number);
    if (!text::parseSingle(row.cells[SegmentRow::Slope], locale))
        return fault(QStringLiteral("Ogiltig lutning: ") + row.cells[SegmentRow::Slope],
                     FaultField::SegmentCell, SegmentRow::Slope);

    static const QString notPositive =
        QStringLiteral("Ogiltig längd, flöde eller hastighet. Måste vara ett positivt decimaltal.");
    constexpr std::array<int, 7> checked = {
        SegmentRow::Length, SegmentRow::PbSpeed,  SegmentRow::PbFlow, SegmentRow::LbSpeed,
        SegmentRow::LbFlow, SegmentRow::LbsSpeed, SegmentRow::LbsFlow};
    std::array<float, 9> value{};
    for (int cell : checked) {
        const auto v = text::parseSingle(row.cells[std::size_t(cell)], locale);
        if (!v)
            return fault(notPositive, FaultField::SegmentCell, cell);
        value[std::size_t(cell)] = *v;
    }
    for (int cell : checked) {
        if (value[std::size_t(cell)] < 0)
            return fault(notPositive, FaultField::SegmentCell, cell);
    }
    for (int cell : {SegmentRow::PbSpeed, SegmentRow::LbSpeed, SegmentRow::LbsSpeed}) {
        if (value[std::size_t(cell)] == 0)
            return fault(QStringLiteral("Medelhastighet = Reshastighet, måste vara större än 0"),
                         FaultField::SegmentCell, cell);
    }
    return std::nullopt;
}

InsertPosition findInsertPosition(const std::vector<QString> &rowNumbers, const QString &number,
                                  const QLocale &locale)
{
    const auto entered = text::parseInt16(number, locale);
    for (std::size_t i = 0; i < rowNumbers.size(); ++i) {
        const auto rowNumber = text::parseInt16(rowNumbers[i], locale);
        if (!rowNumber || !entered || *entered > *rowNumber)
            continue;
        return InsertPosition{int(i), rowNumbers[i] == number};
    }
    return InsertPosition{int(rowNumbers.size()), false};
}

} // namespace lv::input
