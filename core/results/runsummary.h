#pragma once

#include "core/calc/runstate.h"

#include <QLocale>
#include <QString>
#include <QStringList>

namespace lv::results {

// What the user gave a run, as typed: the input file's name (empty when never saved), the
// scenario, the year and the two wear fields.
struct RunInputTexts
{
    QString fileName;
    QString scenario;
    QString year;
    QString sps;
    QString studdedShare;
};

// Two lines saying what a run came from: the input (file, scenario, year, SPS value, share,
// number of segments, tunnel length in m), then the workbooks it read with their modification
// times, the shipped demonstration workbooks marked as such.
QStringList runSummary(const calc::RunState &run, const RunInputTexts &input,
                       const QLocale &locale = QLocale());

} // namespace lv::results
