#include "core/calc/calculationrun.h"

#include "core/calc/classfactors.h"
#include "core/calc/numbergrid.h"
#include "core/calc/profilefactors.h"
#include "core/calc/segmentemissions.h"
#include "core/text/numbertext.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace lv::calc {

namespace {

constexpr int32_t kMaxSegments = 32767;

Error inputFault(const QString &message, FaultField field = FaultField::None)
{
    return Error{ErrorKind::InputCheck, message, field};
}

// The calculation year's index: 1 = 2005, 2 = 2010, 3 = 2020.
Expected<int16_t> yearIndex(const QString &yearText, const QLocale &locale)
{
    const auto year = text::parseInt16(yearText, locale);
    if (!year)
        return inputFault(QStringLiteral("Välj beräkningsår!"), FaultField::Year);
    switch (*year) {
    case 2005:
        return int16_t(1);
    case 2010:
        return int16_t(2);
    case 2020:
        return int16_t(3);
    default:
        return Error{ErrorKind::InvalidYear, QStringLiteral(" Ogiltigt beräkningsår ")};
    }
}

// The values of the cell texts a run reads, by the text's characters in memory: rows read
// from a file share one text for equal values (a maximum tunnel has a quarter of a million
// cells and a few hundred values), and the input outlives the run's reading of it, so one text
// seen again is one comparison. A slot taken by another text is read again.
template <class T, std::optional<T> (*parse)(QStringView, const QLocale &)>
class CellValues
{
public:
    explicit CellValues(const QLocale &locale) : m_locale(locale) {}

    std::optional<T> value(const QString &text)
    {
        Slot &slot = m_slots[index(text)];
        if (slot.data != text.constData() || slot.size != text.size())
            slot = Slot{text.constData(), text.size(), parse(text, m_locale)};
        return slot.value;
    }

private:
    static constexpr int kSlotBits = 11;
    struct Slot
    {
        const QChar *data = nullptr;
        qsizetype size = -1;
        std::optional<T> value;
    };
    static std::size_t index(const QString &text)
    {
        const auto address = reinterpret_cast<std::uintptr_t>(text.constData());
        return std::size_t((std::uint64_t(address) * 0x9E3779B97F4A7C15u) >> (64 - kSlotBits));
    }

    const QLocale &m_locale;
    std::vector<Slot> m_slots = std::vector<Slot>(std::size_t(1) << kSlotBits);
};

// The cells a run reads: lengths, speeds and flows in single precision, slopes as whole
// numbers.
struct RunCells
{
    CellValues<float, text::parseSingle> singles;
    CellValues<int16_t, text::parseInt16> slopes;
};

// One segment row into the tables at position i. Rows come from the segment dialog or an
// input file, so every cell holds a number; a slope beyond 16 bits is the one way through.
Expected<void> fillSegment(RunState &run, std::size_t i, const input::SegmentRow &row,
                           RunCells &values)
{
    using Cell = input::SegmentRow::Cell;
    const auto single = [&row, &values](Cell cell) {
        return values.singles.value(row.cells[cell]);
    };
    const auto slope = values.slopes.value(row.cells[Cell::Slope]);
    if (!slope) {
        return inputFault(QStringLiteral("Lutningen i segment %1 kan inte beräknas (högst ±32767 "
                                         "%): %2")
                              .arg(row.number, row.cells[Cell::Slope]));
    }
    const auto length = single(Cell::Length);
    const auto pbSpeed = single(Cell::PbSpeed);
    const auto pbFlow = single(Cell::PbFlow);
    const auto lbSpeed = single(Cell::LbSpeed);
    const auto lbFlow = single(Cell::LbFlow);
    const auto lbsSpeed = single(Cell::LbsSpeed);
    const auto lbsFlow = single(Cell::LbsFlow);
    if (!length || !pbSpeed || !pbFlow || !lbSpeed || !lbFlow || !lbsSpeed || !lbsFlow) {
        return inputFault(
            QStringLiteral("Ogiltig längd, flöde eller hastighet i segment %1.").arg(row.number));
    }
    run.segmentLength[i] = *length;
    run.segmentSlope[i] = *slope;
    run.segmentFlow(i, 1) = *pbFlow;
    run.segmentFlow(i, 2) = *lbFlow;
    run.segmentFlow(i, 3) = *lbsFlow;
    run.segmentSpeed(i, 1) = *pbSpeed;
    run.segmentSpeed(i, 2) = *pbSpeed;
    run.segmentSpeed(i, 3) = *lbSpeed;
    run.segmentSpeed(i, 4) = *lbsSpeed;
    return {};
}

// A segment row's values that the segment dialog refuses but an input file may hold. A zero
// speed without traffic computes harmlessly and old files hold it, so it passes.
Expected<void> checkSegmentValues(const RunState &run, std::size_t i, const input::SegmentRow &row)
{
    using Cell = input::SegmentRow::Cell;
    struct Field
    {
        Cell cell;
        QString label; // as the segment list's column header
        float value;
    };
    // In column order; each speed is followed by its class's flow.
    const std::array<Field, 7> fields = {{
        {Cell::Length, QStringLiteral("Längd"), run.segmentLength[i]},
        {Cell::PbSpeed, QStringLiteral("Pb, Medelhastighet"), run.segmentSpeed(i, 1)},
        {Cell::PbFlow, QStringLiteral("Pb, Flöde"), run.segmentFlow(i, 1)},
        {Cell::LbSpeed, QStringLiteral("Lb, Medelhastighet"), run.segmentSpeed(i, 3)},
        {Cell::LbFlow, QStringLiteral("Lb, Flöde"), run.segmentFlow(i, 2)},
        {Cell::LbsSpeed, QStringLiteral("Lbs, Medelhastighet"), run.segmentSpeed(i, 4)},
        {Cell::LbsFlow, QStringLiteral("Lbs, Flöde"), run.segmentFlow(i, 3)},
    }};
    const auto fault = [&](const QString &what) {
        return inputFault(QStringLiteral("Rad %1 i segmentlistan (segment %2): %3 Rätta raden med "
                                         "Ändra...")
                              .arg(QString::number(i + 1), row.number, what));
    };
    for (std::size_t f = 0; f < fields.size(); ++f) {
        const Field &field = fields[f];
        if (field.value < 0) {
            return fault(
                QStringLiteral("%1 är mindre än 0 (%2).").arg(field.label, row.cells[field.cell]));
        }
        const bool isSpeed = f % 2 == 1;
        if (isSpeed && field.value == 0 && fields[f + 1].value > 0) {
            const Field &flow = fields[f + 1];
            return fault(QStringLiteral("%1 är 0 men %2 är %3; hastigheten måste vara större "
                                        "än 0.")
                             .arg(field.label, flow.label, row.cells[flow.cell]));
        }
    }
    return {};
}

// A workbook may be kept as .xls, .xlsx or .ods. Two of them side by side are refused: the
// user could be editing the one that is not read.
Expected<xls::Workbook> openWorkbook(const QDir &dir, const QString &baseName)
{
    QStringList present;
    for (const char *suffix : {".xls", ".xlsx", ".ods"}) {
        if (dir.exists(baseName + QLatin1String(suffix)))
            present << baseName + QLatin1String(suffix);
    }
    if (present.size() > 1) {
        const QString last = present.takeLast();
        return Error{ErrorKind::Workbook,
                     QStringLiteral("Två versioner av %1 ligger i programmets mapp: %2 och %3. Ta "
                                    "bort den som inte ska användas.")
                         .arg(baseName, present.join(QStringLiteral(", ")), last)};
    }
    return xls::Workbook::open(
        dir.filePath(present.isEmpty() ? baseName + QStringLiteral(".xls") : present.first()));
}

// The shipped workbooks carry this text in a cell of their first sheet.
bool isDemonstrationWorkbook(const xls::Workbook &workbook)
{
    const auto first = workbook.sheet(1);
    if (!first)
        return false;
    const xls::Sheet &sheet = **first;
    for (int r = 1; r <= sheet.rowCount(); ++r) {
        for (int c = 1; c <= sheet.columnCount(); ++c) {
            const xls::Cell &cell = sheet.at(r, c);
            if (cell.type == xls::Cell::Type::Text &&
                cell.text.startsWith(QLatin1String("Demonstrationsv")))
                return true;
        }
    }
    return false;
}

UsedWorkbook usedWorkbook(const QDir &dir, const xls::Workbook &workbook)
{
    const QString path = dir.filePath(workbook.fileName());
    return UsedWorkbook{path, QFileInfo(path).lastModified(), isDemonstrationWorkbook(workbook)};
}

} // namespace

Error labelWarning(const QString &labelText)
{
    return Error{ErrorKind::LabelWarning,
                 QStringLiteral("Fel i grundtabellen Rätta! ") + labelText};
}

std::optional<Error> checkHasSegments(const std::vector<input::SegmentRow> &rows)
{
    if (rows.empty())
        return Error{ErrorKind::NoSegments, QStringLiteral("Ange minst ett tunnelsegment")};
    return std::nullopt;
}

QString offGridSlopeNotice(const RunState &run)
{
    if (run.offGridSlopes == 0)
        return {};
    return QStringLiteral("Lutning utanför tabellernas -7…7 % i %1 segment: under -7 % räknas som "
                          "-7 %, över 7 % extrapoleras.")
        .arg(run.offGridSlopes);
}

Expected<RunState> computeRun(const RunInput &input, const QString &workbookDir,
                              const LabelWarning &warn, const QLocale &locale)
{
    if (auto empty = checkHasSegments(input.rows))
        return *empty;
    const auto year = yearIndex(input.yearText, locale);
    if (!year)
        return year.error();
    if (input.rows.size() > std::size_t(kMaxSegments)) {
        return inputFault(QStringLiteral("För många segment: %1. Högst %2 segment kan beräknas.")
                              .arg(input.rows.size())
                              .arg(kMaxSegments));
    }

    RunState run;
    run.recreate(int32_t(input.rows.size()));
    RunCells values{CellValues<float, text::parseSingle>(locale),
                    CellValues<int16_t, text::parseInt16>(locale)};
    for (std::size_t i = 0; i < input.rows.size(); ++i) {
        if (auto filled = fillSegment(run, i, input.rows[i], values); !filled)
            return filled.error();
    }
    const auto sps = text::parseSingle(input.spsText, locale);
    if (!sps || *sps < 0)
        return inputFault(QStringLiteral("Ogiltigt SPS-tal: ") + input.spsText, FaultField::Sps);
    run.spsValue = *sps;
    const auto share = text::parseSingle(input.shareText, locale);
    if (!share || *share < 0 || *share > 1)
        return inputFault(QStringLiteral("Ogiltig andel dubbade personbilar: ") + input.shareText,
                          FaultField::StuddedShare);
    run.studdedShare = *share;
    run.yearIndex = *year;

    const QDir dir(workbookDir);
    const auto pb = openWorkbook(dir, QStringLiteral("pb_bara_glid_data"));
    if (!pb)
        return pb.error();
    const auto lb = openWorkbook(dir, QStringLiteral("lb_bara_glid_data"));
    if (!lb)
        return lb.error();
    const auto factors = openWorkbook(dir, QStringLiteral("faktorer"));
    if (!factors)
        return factors.error();

    run.workbooks = {usedWorkbook(dir, *pb), usedWorkbook(dir, *lb), usedWorkbook(dir, *factors)};

    for (std::size_t i = 0; i < input.rows.size(); ++i) {
        if (auto checked = checkSegmentValues(run, i, input.rows[i]); !checked)
            return checked.error();
    }

    if (auto done = interpolateProfileFactors(run, *pb, *lb, warn, locale); !done)
        return done.error();
    const auto factorSheet = factors->sheet(1);
    if (!factorSheet)
        return factorSheet.error();
    const NumberGrid factorGrid(**factorSheet, factors->fileName(), locale);
    if (auto done = weightClassFactors(run, factorGrid); !done)
        return done.error();
    if (auto done = computeSegmentEmissions(run, factorGrid, locale); !done)
        return done.error();
    return run;
}

} // namespace lv::calc
