#include "core/calc/profilefactors.h"

#include "core/calc/interpolate.h"
#include "core/calc/numbergrid.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace lv::calc {

namespace {

constexpr int kLabelRow = 22;
constexpr int kKeyColumn = 3;
constexpr int kFirstQuantity = 4;
constexpr int kLastQuantity = 8;

// Block start row of each vehicle category (1 and 2 on the passenger-car sheets, 3 and 4 on
// the truck sheets).
constexpr std::array<int, 5> kBlockStart = {0, 2, 23, 2, 23};

using Bracket = std::array<double, 9>; // profile quantities 4..8

// The block end: a block ends before the first row whose key cell is empty, holds the empty
// text, or lies beyond the used range.
bool blockContinues(const NumberGrid &grid, int row)
{
    if (!grid.contains(row, kKeyColumn))
        return false;
    const xls::Cell &key = grid.sheet().at(row, kKeyColumn);
    return !(key.type == xls::Cell::Type::Empty ||
             (key.type == xls::Cell::Type::Text && key.text.isEmpty()));
}

// One category's speed table on one sheet, taken out of the sheet once per run: the rows from
// the block's start row to its end, each with its key and five factors converted to numbers.
struct SpeedTable
{
    struct Row
    {
        NumberGrid::Value key;
        std::array<NumberGrid::Value, 9> y; // profile quantities 4..8
    };
    int startRow = 0;
    std::vector<Row> rows;

    SpeedTable(const NumberGrid &grid, int start) : startRow(start)
    {
        for (int r = start; grid.contains(r, kKeyColumn); ++r) {
            Row row;
            row.key = grid.value(r, kKeyColumn);
            for (int j = kFirstQuantity; j <= kLastQuantity; ++j)
                row.y[std::size_t(j)] = grid.value(r, j);
            rows.push_back(row);
            if (!blockContinues(grid, r + 1))
                break;
        }
    }
};

std::uint32_t bitsOf(float v)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

// A category's factors by segment slope and speed, as the two steps give them: a tunnel
// repeats its slopes and speeds, and the same pair gives the same factors. An open table with
// linear probing; once half full it keeps no more pairs (those are computed every time).
class FactorMemo
{
public:
    using Factors = std::array<float, kLastQuantity - kFirstQuantity + 1>;

    const Factors *find(int16_t slope, float v) const
    {
        const std::uint64_t k = key(slope, v);
        for (std::size_t i = index(k);; i = (i + 1) & kMask) {
            if (m_slots[i].key == k)
                return &m_slots[i].factors;
            if (m_slots[i].key == kFree)
                return nullptr;
        }
    }
    void keep(int16_t slope, float v, const Factors &factors)
    {
        if (2 * m_count >= m_slots.size())
            return;
        const std::uint64_t k = key(slope, v);
        std::size_t i = index(k);
        while (m_slots[i].key != kFree && m_slots[i].key != k)
            i = (i + 1) & kMask;
        if (m_slots[i].key == kFree)
            ++m_count;
        m_slots[i] = Slot{k, factors};
    }

private:
    static constexpr int kSlotBits = 12;
    static constexpr std::size_t kMask = (std::size_t(1) << kSlotBits) - 1;
    static constexpr std::uint64_t kFree = ~std::uint64_t(0); // no slope and speed give this key
    struct Slot
    {
        std::uint64_t key = kFree;
        Factors factors{};
    };
    static std::uint64_t key(int16_t slope, float v)
    {
        return std::uint64_t(std::uint16_t(slope)) << 32 | bitsOf(v);
    }
    static std::size_t index(std::uint64_t key)
    {
        return std::size_t((key * 0x9E3779B97F4A7C15u) >> (64 - kSlotBits));
    }

    std::vector<Slot> m_slots = std::vector<Slot>(kMask + 1);
    std::size_t m_count = 0;
};

// A driving-profile sheet as the speed step reads it.
struct ProfileSheet
{
    NumberGrid grid;
    SpeedTable blocks[2];

    ProfileSheet(const xls::Sheet &sheet, const QString &workbookName, const QLocale &locale)
        : grid(sheet, workbookName, locale), blocks{SpeedTable(grid, kBlockStart[1]),
                                                    SpeedTable(grid, kBlockStart[2])}
    {}
};

// The driving-profile sheets of one workbook, each read and checked on first use.
class ProfileSheets
{
public:
    ProfileSheets(const xls::Workbook &workbook, QString prefix, const LabelWarning &warn,
                  const QLocale &locale)
        : m_workbook(workbook), m_prefix(std::move(prefix)), m_warn(warn), m_locale(locale)
    {}

    Expected<const ProfileSheet *> sheet(int position)
    {
        auto &slot = m_sheets[std::size_t(position)];
        if (!slot) {
            const auto sheet = m_workbook.sheet(profileSheetName(m_prefix, kSlopeGrid[position]));
            if (!sheet)
                return sheet.error();
            slot.emplace(**sheet, m_workbook.fileName(), m_locale);
            checkLabel(**sheet);
        }
        return &*slot;
    }

private:
    void checkLabel(const xls::Sheet &sheet) const
    {
        const QString label = sheet.contains(kLabelRow, 1)
                                  ? cellDisplayText(sheet.at(kLabelRow, 1), m_locale)
                                  : QString();
        if (!label.contains(QStringLiteral("Körprofil")) && m_warn)
            m_warn(label);
    }

    const xls::Workbook &m_workbook;
    QString m_prefix;
    const LabelWarning &m_warn;
    const QLocale &m_locale;
    std::array<std::optional<ProfileSheet>, 8> m_sheets;
};

// Speed step: the category's factors at speed v on one sheet. Below the first key the first
// row serves, at or above the last key the last row (no extrapolation by speed); between two
// keys the values are interpolated.
Expected<void> speedStep(const ProfileSheet &sheet, int category, float v, Bracket &out)
{
    const SpeedTable &table = sheet.blocks[category % 2 == 1 ? 0 : 1];
    const auto fault = [&](std::size_t index, int column) {
        return sheet.grid.fault(table.startRow + int(index), column);
    };
    if (table.rows.empty())
        return fault(0, kKeyColumn);
    std::size_t r = 0;
    for (;;) {
        const bool more = r + 1 < table.rows.size();
        const auto &key = table.rows[r].key;
        if (!key.ok)
            return fault(r, kKeyColumn);
        if (!(more && key.number <= v))
            break;
        ++r;
    }
    const auto &row = table.rows[r];
    const bool interpolate = r > 0 && row.key.number > v;
    for (int j = kFirstQuantity; j <= kLastQuantity; ++j) {
        const auto &y = row.y[std::size_t(j)];
        if (!y.ok)
            return fault(r, j);
        if (interpolate) {
            const auto &previous = table.rows[r - 1];
            const auto &y1 = previous.y[std::size_t(j)];
            if (!y1.ok)
                return fault(r - 1, j);
            out[std::size_t(j)] =
                interpolateLinear(previous.key.number, row.key.number, y1.number, y.number, v);
        } else {
            out[std::size_t(j)] = y.number;
        }
    }
    return {};
}

// Both sides of the slope bracket for two categories of one workbook, then the slope step.
Expected<void> interpolateWorkbook(RunState &run, ProfileSheets &sheets,
                                   std::array<FactorMemo, 4> &memos, int i, int s,
                                   std::array<int, 2> categories)
{
    const auto ui = std::size_t(i);
    const int16_t slope16 = run.segmentSlope[ui];
    const auto store = [&run, ui](int k, const FactorMemo::Factors &factors) {
        for (int j = kFirstQuantity; j <= kLastQuantity; ++j)
            run.profileFactors(std::size_t(k), std::size_t(j), ui) =
                factors[std::size_t(j - kFirstQuantity)];
    };
    const auto speed = [&run, ui](int k) { return run.segmentSpeed(ui, std::size_t(k)); };
    const auto known = [&](int c) {
        const int k = categories[std::size_t(c)];
        return memos[std::size_t(k - 1)].find(slope16, speed(k));
    };
    if (const auto *first = known(0), *second = known(1); first && second) {
        store(categories[0], *first);
        store(categories[1], *second);
        return {};
    }

    const float slope = slope16;
    // Held at the steepest tabulated descent: interpolateLinear at x1 gives y1 exactly, so such a
    // segment computes as one at -7 %.
    const float sigma = std::max(slope, kSlopeGrid[1]);
    std::array<std::array<Bracket, 2>, 2> bracket{}; // [side: 0 upper, 1 lower][category]
    for (int side = 0; side < 2; ++side) {
        const auto sheet = sheets.sheet(side == 0 ? s : s - 1);
        if (!sheet)
            return sheet.error();
        for (int c = 0; c < 2; ++c) {
            const int k = categories[std::size_t(c)];
            const auto step =
                speedStep(**sheet, k, speed(k), bracket[std::size_t(side)][std::size_t(c)]);
            if (!step)
                return step;
        }
    }
    for (int c = 0; c < 2; ++c) {
        const int k = categories[std::size_t(c)];
        FactorMemo::Factors factors{};
        for (int j = kFirstQuantity; j <= kLastQuantity; ++j) {
            float factor = interpolateLinear(kSlopeGrid[s - 1], kSlopeGrid[s],
                                             bracket[1][std::size_t(c)][std::size_t(j)],
                                             bracket[0][std::size_t(c)][std::size_t(j)], sigma);
            // The 5 %/7 % line may cross zero (brake particles fall uphill); no vehicle emits
            // less than nothing.
            if (sigma > kSlopeGrid[7] && factor < 0)
                factor = 0;
            factors[std::size_t(j - kFirstQuantity)] = factor;
        }
        store(k, factors);
        memos[std::size_t(k - 1)].keep(slope16, speed(k), factors);
    }
    return {};
}

} // namespace

QString profileSheetName(const QString &prefix, float gridSlope)
{
    const int slope = static_cast<int>(gridSlope);
    return prefix + (slope < 0 ? QStringLiteral("-") : QStringLiteral(" ")) +
           QString::number(slope < 0 ? -slope : slope) + QStringLiteral("%");
}

int slopeBracket(float slope)
{
    // Starting at 2 gives the same pairs as starting at 1 for every slope from -7 % up, and the
    // -7 %/-5 % pair below it.
    int s = 2;
    while (kSlopeGrid[s] <= slope && s < 7)
        ++s;
    return s;
}

bool isOffGridSlope(float slope)
{
    return slope < kSlopeGrid[1] || slope > kSlopeGrid[7];
}

Expected<void> interpolateProfileFactors(RunState &run, const xls::Workbook &pbWorkbook,
                                         const xls::Workbook &lbWorkbook, const LabelWarning &warn,
                                         const QLocale &locale)
{
    ProfileSheets pb(pbWorkbook, QStringLiteral("PB "), warn, locale);
    ProfileSheets lb(lbWorkbook, QStringLiteral("LB "), warn, locale);
    std::array<FactorMemo, 4> memos; // by category - 1
    run.offGridSlopes = 0;
    for (int i = 0; i < run.segmentCount; ++i) {
        const int s = slopeBracket(run.segmentSlope[std::size_t(i)]);
        if (isOffGridSlope(run.segmentSlope[std::size_t(i)]))
            ++run.offGridSlopes;
        if (auto done = interpolateWorkbook(run, pb, memos, i, s, {1, 2}); !done)
            return done;
        if (auto done = interpolateWorkbook(run, lb, memos, i, s, {3, 4}); !done)
            return done;
    }
    return {};
}

} // namespace lv::calc
