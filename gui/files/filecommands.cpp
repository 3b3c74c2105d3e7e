#include "gui/files/filecommands.h"

#include "core/files/report.h"
#include "core/files/resultfile.h"
#include "core/text/textfile.h"
#include "gui/files/reportprinter.h"
#include "gui/prompts/prompts.h"

#include <QDateTime>
#include <QPrinter>

namespace lv::gui {

namespace {

// Writes the file's bytes, or says why nothing was written under the command's title.
void saveBytes(Prompts &prompts, const QString &title, const QString &path,
               const Expected<QByteArray> &bytes)
{
    if (const Expected<void> saved = text::saveFile(path, bytes); !saved)
        showError(prompts, saved.error(), title);
}

} // namespace

std::optional<files::InputDocument> openInputFile(Prompts &prompts, QWidget *parent,
                                                  QString *openedPath)
{
    const QString path = prompts.openFileName(parent, kOpenInputTitle, kInputFilter);
    if (path.isEmpty())
        return std::nullopt;
    if (openedPath)
        *openedPath = path;
    // A file that cannot be opened at all ends the command without a word.
    const Expected<QByteArray> bytes = text::readWholeFile(path);
    if (!bytes)
        return std::nullopt;
    Expected<files::InputDocument> document = files::readInputFile(*bytes);
    if (!document) {
        showError(prompts, document.error());
        return std::nullopt;
    }
    return std::move(document).value();
}

void saveInputFile(Prompts &prompts, QWidget *parent, const files::InputDocument &document,
                   const files::TunnelAir *air)
{
    const QString path = prompts.saveFileName(parent, kSaveInputTitle, kInputFilter);
    if (path.isEmpty())
        return;
    const Expected<void> saved =
        text::saveFile(path, files::writeInputFile(document, QDateTime::currentDateTime()));
    if (!saved) {
        showError(prompts, saved.error(), kSaveInputTitle);
        return;
    }
    if (air) {
        saveBytes(prompts, kSaveInputTitle, files::airFilePath(path),
                  Expected<QByteArray>(files::writeAirFile(*air)));
    }
}

void saveResultFile(Prompts &prompts, QWidget *parent, const QString &scenario, results::Mode mode,
                    const std::vector<results::ResultRow> &rows)
{
    const QString path = prompts.saveFileName(parent, kSaveResultTitle, kResultFilter);
    if (path.isEmpty())
        return;
    saveBytes(prompts, kSaveResultTitle, path,
              files::writeResultFile(scenario, mode, rows, QDateTime::currentDateTime()));
}

void printResults(Prompts &prompts, QWidget *parent, const QString &scenario, results::Mode mode,
                  const std::vector<results::ResultRow> &rows, const QString &notice,
                  const calc::RunState *run, const files::AirReport *air)
{
    QPrinter printer(QPrinter::HighResolution);
    if (!prompts.choosePrinter(parent, printer))
        return;
    const Expected<void> printed = printReport(
        printer,
        render::ReportDocument{files::reportBlocks(scenario, mode, rows,
                                                   QDateTime::currentDateTime(), notice, run, air),
                               {}});
    if (!printed)
        showError(prompts, printed.error(), kPrintTitle);
}

void saveReportPdf(Prompts &prompts, QWidget *parent, const QString &scenario, results::Mode mode,
                   const std::vector<results::ResultRow> &rows, const QString &notice,
                   const calc::RunState *run, const files::AirReport *air)
{
    const QString path = prompts.saveFileName(parent, kSavePdfTitle, kPdfFilter);
    if (path.isEmpty())
        return;
    const render::ReportDocument document{
        files::reportBlocks(scenario, mode, rows, QDateTime::currentDateTime(), notice, run, air),
        {}};
    saveBytes(prompts, kSavePdfTitle, path, render::reportPdf(document, scenario));
}

} // namespace lv::gui
