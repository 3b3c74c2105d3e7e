#include "gui/files/reportprinter.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

namespace lv::gui {

namespace {

// A failure of the printer: what went wrong, and how many copies went out before it.
Error printFault(const QString &why, int done, int copies)
{
    QString message = QStringLiteral("Rapporten skrevs inte ut: ") + why;
    if (copies > 1)
        message += QStringLiteral(" %1 av %2 kopior skrevs ut.").arg(done).arg(copies);
    return Error{ErrorKind::Printer, message};
}

// Prints line after line down the pages of one open print job.
class LinePainter
{
public:
    LinePainter(QPainter &painter, QPrinter &printer)
        : m_painter(painter), m_printer(printer), m_baseFont(painter.font())
    {}

    // Continues at the top of a new page.
    bool newPage()
    {
        m_y = 0;
        return m_printer.newPage();
    }

    bool print(const files::ReportLine &line)
    {
        // The printer's own face; only the size and the weight change.
        QFont font = m_baseFont;
        font.setPointSize(line.pointSize);
        font.setBold(line.bold);
        m_painter.setFont(font);
        const QFontMetricsF metrics(font, &m_printer);
        const qreal height = metrics.height();
        // A page that has lines on it takes no line that would pass its printable area.
        if (m_y > 0 && m_y + height > m_printer.height() && !newPage())
            return false;
        if (!line.text.isEmpty())
            m_painter.drawText(QPointF(0, m_y + metrics.ascent()), line.text);
        m_y += height;
        return true;
    }

    bool print(const std::vector<files::ReportLine> &lines)
    {
        for (const files::ReportLine &line : lines) {
            if (!print(line))
                return false;
        }
        return true;
    }

private:
    QPainter &m_painter;
    QPrinter &m_printer;
    QFont m_baseFont;
    qreal m_y = 0; // top of the next line, in device pixels from the printable area's top
};

} // namespace

Expected<void> printReport(QPrinter &printer, const std::vector<files::ReportLine> &lines)
{
    const int copies = printer.copyCount();
    printer.setCopyCount(1);
    if (copies <= 0)
        return {};

    QPainter painter;
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        const QString file = QFileInfo(printer.outputFileName()).fileName();
        if (!painter.begin(&printer))
            return printFault(QStringLiteral("PDF-filen %1 kunde inte skapas.").arg(file), 0, 1);
        LinePainter pages(painter, printer);
        for (int copy = 0; copy < copies; ++copy) {
            if ((copy > 0 && !pages.newPage()) || !pages.print(lines)) {
                painter.end();
                return printFault(
                    QStringLiteral("PDF-filen %1 kunde inte få en ny sida.").arg(file), 0, 1);
            }
        }
        if (!painter.end() || printer.printerState() == QPrinter::Error)
            return printFault(QStringLiteral("PDF-filen %1 kunde inte skrivas.").arg(file), 0, 1);
        return {};
    }

    const QString name = printer.printerName();
    for (int copy = 0; copy < copies; ++copy) {
        if (!painter.begin(&printer)) {
            return printFault(
                QStringLiteral("skrivaren %1 kunde inte starta utskriften.").arg(name), copy,
                copies);
        }
        LinePainter pages(painter, printer);
        if (!pages.print(lines)) {
            // Half a copy is not sent as if it were whole.
            printer.abort();
            painter.end();
            return printFault(QStringLiteral("skrivaren %1 kunde inte börja en ny sida.").arg(name),
                              copy, copies);
        }
        if (!painter.end() || printer.printerState() == QPrinter::Error) {
            return printFault(
                QStringLiteral("skrivaren %1 kunde inte avsluta utskriften.").arg(name), copy,
                copies);
        }
    }
    return {};
}

} // namespace lv::gui
