#pragma once

#include "core/text/expected.h"
#include "render/reportpages.h"

class QPrinter;

namespace lv::gui {

// Prints the report's pages (laid out by render::ReportPages in the printer's own face) onto a
// printer that the print dialog has set up, as many copies as its copy count says. Each copy is
// a print job of its own; the printer's copy count is set to 1 so that the driver does not
// multiply them again. Into a PDF file all copies go into the one document, each starting on a
// new page (separate jobs would overwrite each other). A failure of the printer gives a message
// in Swedish; the copies finished before it have gone to the printer.
Expected<void> printReport(QPrinter &printer, const render::ReportDocument &document);

} // namespace lv::gui
