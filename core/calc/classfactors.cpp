#include "core/calc/classfactors.h"

#include <array>
#include <span>

namespace lv::calc {

namespace {

constexpr int kSubTypes = 6;

// First row of a profile quantity's sub-type block on the factor sheet.
constexpr int blockRow(int j)
{
    return 3 + 8 * (j - 4);
}

// One factor-sheet cell read ahead of the segment loop; a fault is reported only when the
// cell is used, as reading it cell by cell would.
struct FactorCell
{
    double value = 0;
    int row = 0;
    int column = 0;
    bool ok = true;
};

FactorCell fetch(const NumberGrid &grid, int row, int column)
{
    const auto v = grid.value(row, column);
    return FactorCell{v.number, row, column, v.ok};
}

// All the factor-sheet cells this step reads for one calculation year.
struct Weights
{
    std::array<std::array<FactorCell, kSubTypes + 1>, 9> passenger{};    // column 2
    std::array<std::array<FactorCell, kSubTypes + 1>, 9> passengerNox{}; // column 16, NOx
    std::array<std::array<FactorCell, kSubTypes + 1>, 9> truck{};        // columns 3, 4
    std::array<std::array<FactorCell, kSubTypes + 1>, 9> trailer{};
    std::array<std::array<FactorCell, kSubTypes + 1>, 9> year{};       // column 5 + year
    std::array<FactorCell, 9> correction{};                            // row j + 26, col 11
    std::array<std::array<FactorCell, kSubTypes + 1>, 4> fleetShare{}; // class 1..3

    Weights(const NumberGrid &f, int yearIndex)
    {
        const int offset = yearIndex == 1 ? 0 : yearIndex == 2 ? 9 : 18;
        for (int j = 4; j <= 8; ++j) {
            const auto uj = std::size_t(j);
            for (int m = 1; m <= kSubTypes; ++m) {
                const int row = blockRow(j) + m - 1;
                const auto um = std::size_t(m);
                passenger[uj][um] = fetch(f, row, 2);
                passengerNox[uj][um] = fetch(f, row, 16);
                truck[uj][um] = fetch(f, row, 3);
                trailer[uj][um] = fetch(f, row, 4);
                year[uj][um] = fetch(f, row, 5 + yearIndex);
            }
            correction[uj] = fetch(f, j + 26, 11);
        }
        for (int c = 1; c <= 3; ++c) {
            for (int m = 1; m <= kSubTypes; ++m)
                fleetShare[std::size_t(c)][std::size_t(m)] = fetch(f, offset + 2 + m, 10 + c);
        }
    }

    // Whether every cell above holds a number: the segment loop then needs no check per cell.
    bool allUsable() const
    {
        bool ok = true;
        const auto check = [&ok](const auto &cells) {
            for (const FactorCell &cell : cells)
                ok = ok && cell.ok;
        };
        for (std::size_t j = 4; j <= 8; ++j) {
            for (const auto *table : {&passenger, &passengerNox, &truck, &trailer, &year})
                check(std::span((*table)[j]).subspan(1));
            ok = ok && correction[j].ok;
        }
        for (std::size_t c = 1; c <= 3; ++c)
            check(std::span(fleetShare[c]).subspan(1));
        return ok;
    }
};

// Sub-type values W(class, sub-type, quantity).
using SubTypeValues = std::array<std::array<std::array<double, 9>, kSubTypes + 1>, 4>;

// One segment's class factors. Checked, it returns the first cell used that holds no number
// (and stops there); unchecked, the caller has seen that every cell holds one.
template <bool kChecked>
const FactorCell *weightSegment(RunState &run, std::size_t ui, const Weights &weights,
                                SubTypeValues &w)
{
    const FactorCell *bad = nullptr;
    const auto use = [&bad](const FactorCell &cell) {
        if constexpr (kChecked) {
            if (!cell.ok && !bad)
                bad = &cell;
        }
        return cell.value;
    };
    const auto P = [&run, ui](int k, int j) {
        return double(run.profileFactors(std::size_t(k), std::size_t(j), ui));
    };
    for (int j = 4; j <= 8; ++j) {
        const auto uj = std::size_t(j);
        // Passenger cars: below 51 km/h NOx takes its own sub-type weights. Sub-types 3..6
        // scale the category-2 value.
        const auto &weight = (j == 5 && run.segmentSpeed(ui, 1) <= 50.0f) ? weights.passengerNox[uj]
                                                                          : weights.passenger[uj];
        w[1][1][uj] = use(weight[1]) * P(1, j);
        w[1][2][uj] = use(weight[2]) * P(2, j);
        for (std::size_t m = 3; m <= kSubTypes; ++m)
            w[1][m][uj] = use(weight[m]) * w[1][2][uj];
        for (std::size_t m = 1; m <= kSubTypes; ++m) {
            w[2][m][uj] = use(weights.truck[uj][m]) * P(3, j);
            w[3][m][uj] = use(weights.trailer[uj][m]) * P(4, j);
        }
        for (std::size_t m = 1; m <= kSubTypes; ++m) {
            w[1][m][uj] *= use(weights.year[uj][m]);
            w[1][m][uj] *= use(weights.correction[uj]);
        }
    }
    if (bad)
        return bad;
    for (int j = 4; j <= 8; ++j) {
        for (std::size_t c = 1; c <= 3; ++c) {
            double &sum = run.classFactors(c, std::size_t(j), ui);
            for (std::size_t m = 1; m <= kSubTypes; ++m)
                sum = use(weights.fleetShare[c][m]) * w[c][m][std::size_t(j)] + sum;
        }
    }
    return bad;
}

} // namespace

Expected<void> weightClassFactors(RunState &run, const NumberGrid &factorSheet)
{
    const Weights weights(factorSheet, run.yearIndex);
    const bool usable = weights.allUsable();
    SubTypeValues w{};
    for (int i = 0; i < run.segmentCount; ++i) {
        const auto ui = std::size_t(i);
        if (usable) {
            weightSegment<false>(run, ui, weights, w);
        } else if (const FactorCell *bad = weightSegment<true>(run, ui, weights, w)) {
            return factorSheet.fault(bad->row, bad->column);
        }
    }
    return {};
}

} // namespace lv::calc
