#include "render/chartfile.h"

#include "core/text/textfile.h"

#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace lv::render {

namespace {

constexpr QSize kPictureSize(1200, 720);

} // namespace

QByteArray chartBytes(const ChartData &data, ChartFormat format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    switch (format) {
    case ChartFormat::Pdf: {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Luftvaka"));
        writer.setTitle(data.title);
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                         QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
        QPainter painter(&writer);
        paintChart(painter, QRectF(QPointF(0, 0), QSizeF(writer.width(), writer.height())), data);
        break;
    }
    case ChartFormat::Svg: {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(kPictureSize);
        svg.setViewBox(QRect(QPoint(0, 0), kPictureSize));
        svg.setTitle(data.title);
        QPainter painter(&svg);
        paintChart(painter, QRectF(QPointF(0, 0), QSizeF(kPictureSize)), data);
        break;
    }
    case ChartFormat::Png: {
        QImage image(kPictureSize, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            paintChart(painter, QRectF(image.rect()), data);
        }
        image.save(&buffer, "PNG");
        break;
    }
    }
    return bytes;
}

Expected<void> saveChart(const QString &path, const ChartData &data)
{
    const auto format = chartFormatOfPath(path);
    if (!format) {
        return Error{ErrorKind::File,
                     QStringLiteral("Diagrammet kan sparas som PDF, SVG eller PNG: ge filen "
                                    "ändelsen .pdf, .svg eller .png (%1).")
                         .arg(path)};
    }
    const QByteArray bytes = chartBytes(data, *format);
    if (bytes.isEmpty()) {
        return Error{ErrorKind::File,
                     QStringLiteral("Diagrammet kunde inte ritas till filen %1.").arg(path)};
    }
    return text::saveFileAtomically(path, bytes);
}

} // namespace lv::render
