#include "render/reportpages.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace lv::render {

namespace {

constexpr int kFooterPointSize = 9;

QString pageNumber(int index, int count)
{
    return QStringLiteral("Sida %1 av %2").arg(index + 1).arg(count);
}

} // namespace

ReportPages::ReportPages(ReportDocument document, const QPaintDevice &device, const QFont &baseFont)
    : m_document(std::move(document)), m_baseFont(baseFont)
{
    layOut(device);
}

QFont ReportPages::fontOf(const files::ReportLine &line) const
{
    // The device's own face; only the size and the weight change.
    QFont font = m_baseFont;
    font.setPointSize(line.pointSize);
    font.setBold(line.bold);
    return font;
}

void ReportPages::layOut(const QPaintDevice &device)
{
    m_width = device.width();
    m_height = device.height();
    QFont footerFont = m_baseFont;
    footerFont.setPointSize(kFooterPointSize);
    // The foot of every page keeps room for its number and a line's gap above it.
    const qreal footer = 2 * QFontMetricsF(footerFont, &device).height();
    m_body = QRectF(0, 0, m_width, std::max<qreal>(m_height - footer, 1));
    const qreal bottom = m_body.bottom();

    m_pages.emplace_back();
    qreal y = 0;
    for (std::size_t b = 0; b < m_document.blocks.size(); ++b) {
        const auto &block = m_document.blocks[b];
        std::vector<qreal> heights;
        qreal fit = 0; // the block's height without its trailing empty lines
        qreal sum = 0;
        for (const files::ReportLine &line : block) {
            heights.push_back(QFontMetricsF(fontOf(line), &device).height());
            sum += heights.back();
            if (!line.text.isEmpty())
                fit = sum;
        }
        if (y > 0 && y + fit > bottom) {
            m_pages.emplace_back();
            y = 0;
        }
        for (std::size_t i = 0; i < block.size(); ++i) {
            if (y > 0 && y + heights[i] > bottom) {
                if (block[i].text.isEmpty())
                    continue;
                m_pages.emplace_back();
                y = 0;
            }
            m_pages.back().lines.push_back(Placed{b, i, y});
            y += heights[i];
        }
    }
    for (std::size_t e = 0; e < m_document.extraPages.size(); ++e)
        m_pages.push_back(Page{{}, int(e)});
}

void ReportPages::paintPage(QPainter &painter, int index) const
{
    if (index < 0 || index >= pageCount())
        return;
    const Page &page = m_pages[std::size_t(index)];
    painter.save();
    for (const Placed &placed : page.lines) {
        const files::ReportLine &line = m_document.blocks[placed.block][placed.line];
        if (line.text.isEmpty())
            continue;
        const QFont font = fontOf(line);
        painter.setFont(font);
        painter.drawText(QPointF(0, placed.top + QFontMetricsF(font, painter.device()).ascent()),
                         line.text);
    }
    if (page.extra >= 0) {
        painter.save();
        painter.setClipRect(m_body);
        m_document.extraPages[std::size_t(page.extra)](painter, m_body);
        painter.restore();
    }
    QFont footerFont = m_baseFont;
    footerFont.setPointSize(kFooterPointSize);
    painter.setFont(footerFont);
    const QFontMetricsF metrics(footerFont, painter.device());
    const QString number = pageNumber(index, pageCount());
    painter.drawText(
        QPointF(m_width - metrics.horizontalAdvance(number), m_height - metrics.descent()), number);
    painter.restore();
}

bool ReportPages::paint(QPainter &painter, QPagedPaintDevice &device) const
{
    for (int index = 0; index < pageCount(); ++index) {
        if (index > 0 && !device.newPage())
            return false;
        paintPage(painter, index);
    }
    return true;
}

Expected<QByteArray> reportPdf(const ReportDocument &document, const QString &title)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Luftvaka"));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter));
    QPainter painter;
    const auto failed = [] {
        return Error{ErrorKind::File, QStringLiteral("PDF-filen kunde inte skapas.")};
    };
    if (!painter.begin(&writer))
        return failed();
    const ReportPages pages(document, writer, painter.font());
    const bool painted = pages.paint(painter, writer);
    if (!painter.end() || !painted)
        return failed();
    return bytes;
}

} // namespace lv::render
