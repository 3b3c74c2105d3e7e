#pragma once

#include <QString>

#include <optional>

namespace lv::render {

// The file formats a chart is saved in. Qt Core only, so the batch tool can check a file name
// without loading the painter.
enum class ChartFormat { Pdf, Svg, Png };

// The format a file name asks for by its suffix (.pdf, .svg, .png, any case), or nothing.
inline std::optional<ChartFormat> chartFormatOfPath(const QString &path)
{
    if (path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        return ChartFormat::Pdf;
    if (path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive))
        return ChartFormat::Svg;
    if (path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        return ChartFormat::Png;
    return std::nullopt;
}

} // namespace lv::render
