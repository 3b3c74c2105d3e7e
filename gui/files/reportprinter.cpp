#include "gui/files/reportprinter.h"

#include <QFileInfo>
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

} // namespace

Expected<void> printReport(QPrinter &printer, const render::ReportDocument &document)
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
        const render::ReportPages pages(document, printer, painter.font());
        for (int copy = 0; copy < copies; ++copy) {
            if ((copy > 0 && !printer.newPage()) || !pages.paint(painter, printer)) {
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
        const render::ReportPages pages(document, printer, painter.font());
        if (!pages.paint(painter, printer)) {
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
