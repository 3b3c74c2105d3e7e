#pragma once

#include "core/files/report.h"
#include "core/text/expected.h"

#include <QByteArray>
#include <QFont>
#include <QRectF>

#include <functional>
#include <vector>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

namespace lv::render {

// Paints a page of its own (a chart, a table) into the area the report's lines would take.
using PagePainter = std::function<void(QPainter &painter, const QRectF &area)>;

// What the report's pages hold: blocks of lines, each kept on one page when it fits on one,
// then the pages of their own after them.
struct ReportDocument
{
    std::vector<std::vector<files::ReportLine>> blocks;
    std::vector<PagePainter> extraPages;
};

// The report laid out on the pages of one device: lines at the left edge of the printable
// area, one below the other, each advancing by the height of its font (the device's `baseFont`
// in the line's size and weight). A block that does not fit below the lines already on a page
// starts the next one; only a block taller than a whole page is split, line by line. Empty
// lines that would pass the foot of a page are dropped, never start one. Every page ends with
// "Sida N av M" at its foot, right-aligned.
class ReportPages
{
public:
    ReportPages(ReportDocument document, const QPaintDevice &device, const QFont &baseFont);

    int pageCount() const { return int(m_pages.size()); }
    // Paints page `index` (from 0) with a painter active on the device laid out for.
    void paintPage(QPainter &painter, int index) const;
    // Paints every page in order onto the device the painter is active on, starting a new page
    // between them; false when the device would not start one.
    bool paint(QPainter &painter, QPagedPaintDevice &device) const;

private:
    struct Placed
    {
        std::size_t block;
        std::size_t line;
        qreal top;
    };
    struct Page
    {
        std::vector<Placed> lines;
        int extra = -1; // a page of its own: its index in extraPages
    };

    QFont fontOf(const files::ReportLine &line) const;
    void layOut(const QPaintDevice &device);

    ReportDocument m_document;
    QFont m_baseFont;
    std::vector<Page> m_pages;
    QRectF m_body; // the area of lines and pages of their own
    qreal m_width = 0;
    qreal m_height = 0;
};

// The report as the bytes of a PDF file: A4 portrait, 20 mm margins. Fails only when the PDF
// cannot be made (a page refused).
Expected<QByteArray> reportPdf(const ReportDocument &document, const QString &title);

} // namespace lv::render
