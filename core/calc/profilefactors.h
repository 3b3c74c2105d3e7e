#pragma once

#include "core/calc/calculationrun.h"
#include "core/calc/runstate.h"
#include "core/text/expected.h"
#include "core/xls/workbook.h"

namespace lv::calc {

// The grid slopes of the driving-profile sheets in %, positions 1..7; position 0 holds 0.
inline constexpr float kSlopeGrid[8] = {0, -7, -5, -3, 0, 3, 5, 7};

// The sheet name of a grid slope: "PB -7%", "PB  0%", "LB  3%" (a blank in the sign's place).
QString profileSheetName(const QString &prefix, float gridSlope);

// Slope bracket: the grid position s whose slope and the one below it (s - 1) serve a
// segment's slope. Slopes above 7 % extrapolate from 5 % and 7 %; below -7 % the pair is
// -7 % and -5 %, and the slope step holds the slope at -7 %.
int slopeBracket(float slope);

// Whether a slope lies outside the grid's -7..7 %, where the tables are held or extrapolated.
bool isOffGridSlope(float slope);

// First core step: for every segment and vehicle category the five factors per vehicle-km,
// interpolated by speed inside the two sheets that bracket the slope, then by slope between
// them. Each sheet is read once, its texts in `locale`; a label cell without "Körprofil" is
// passed to `warn`.
// A slope below -7 % takes the -7 % factors as they stand: extrapolating downhill would drive
// fuel and NOx toward zero or below on steep descents, where vehicles still burn fuel and
// brake. Above 7 % the factors are extrapolated but never fall below zero. The segments with
// such slopes are counted in `run.offGridSlopes`.
Expected<void> interpolateProfileFactors(RunState &run, const xls::Workbook &pbWorkbook,
                                         const xls::Workbook &lbWorkbook, const LabelWarning &warn,
                                         const QLocale &locale = QLocale());

} // namespace lv::calc
