#pragma once

#include "core/files/report.h"
#include "core/text/expected.h"

#include <vector>

class QPrinter;

namespace lv::gui {

// Prints the report's lines onto a printer that the print dialog has set up, as many copies as
// its copy count says. Each copy is a print job of its own; the printer's copy count is set to
// 1 so that the driver does not multiply them again. Into a PDF file all copies go into the one
// document, each starting on a new page (separate jobs would overwrite each other). Lines stand
// at the left margin, one below the other, each advancing by the height of its font; a line
// that would pass the bottom of the printable area starts a new page. A failure of the printer
// gives a message in Swedish; the copies finished before it have gone to the printer.
Expected<void> printReport(QPrinter &printer, const std::vector<files::ReportLine> &lines);

} // namespace lv::gui
