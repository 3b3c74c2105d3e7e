#pragma once

#include "core/text/expected.h"
#include "render/chart.h"
#include "render/chartformat.h"

#include <QByteArray>
#include <QString>

namespace lv::render {

// The chart as the bytes of a file: a landscape A4 page (PDF), or a 1200 x 720 picture (SVG,
// PNG). Needs a QGuiApplication (fonts).
QByteArray chartBytes(const ChartData &data, ChartFormat format);

// Writes the chart to `path` atomically in the format of its suffix, or says why not.
Expected<void> saveChart(const QString &path, const ChartData &data);

} // namespace lv::render
