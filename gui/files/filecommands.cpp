#include "gui/files/filecommands.h"

#include "core/files/report.h"
#include "core/files/resultfile.h"
#include "core/text/textfile.h"
#include "gui/files/reportprinter.h"
#include "gui/prompts/filedialogs.h"
#include "gui/prompts/prompts.h"

#include <QDateTime>
#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>

namespace lv::gui {

namespace {

// Writes the file's bytes, or says why nothing was written under the command's title.
bool saveBytes(Prompts &prompts, const QString &title, const QString &path,
               const Expected<QByteArray> &bytes)
{
    if (const Expected<void> saved = text::saveFile(path, bytes); !saved) {
        showError(prompts, saved.error(), title);
        return false;
    }
    return true;
}

std::optional<files::InputDocument> readBytes(Prompts &prompts, const QByteArray &bytes)
{
    Expected<files::InputDocument> document = files::readInputFile(bytes);
    if (!document) {
        showError(prompts, document.error());
        return std::nullopt;
    }
    return std::move(document).value();
}

} // namespace

std::optional<OpenedInput> openInputFile(Prompts &prompts, QWidget *parent)
{
    const QString path = prompts.openFileName(parent, kOpenInputTitle, kInputFilter);
    if (path.isEmpty())
        return std::nullopt;
    // A file that cannot be opened at all ends the command without a word.
    const Expected<QByteArray> bytes = text::readWholeFile(path);
    if (!bytes)
        return std::nullopt;
    if (auto document = readBytes(prompts, *bytes))
        return OpenedInput{path, std::move(*document)};
    return std::nullopt;
}

std::optional<files::InputDocument> readInputFileAt(Prompts &prompts, const QString &path)
{
    const Expected<QByteArray> bytes = text::readWholeFile(path);
    if (!bytes) {
        showError(prompts, bytes.error(), kOpenInputTitle);
        return std::nullopt;
    }
    return readBytes(prompts, *bytes);
}

QString saveInputFileAs(Prompts &prompts, QWidget *parent, const files::InputDocument &document,
                        const files::TunnelAir *air, const QString &proposed)
{
    const QString path = prompts.saveFileName(parent, kSaveInputTitle, kInputFilter, proposed);
    if (path.isEmpty() || !saveInputFileTo(prompts, path, document, air))
        return QString();
    return path;
}

bool saveInputFileTo(Prompts &prompts, const QString &path, const files::InputDocument &document,
                     const files::TunnelAir *air)
{
    if (!saveBytes(prompts, kSaveInputTitle, path,
                   files::writeInputFile(document, QDateTime::currentDateTime())))
        return false;
    // The tunnel's air values beside it; a failure is told, and the input counts as not saved.
    return !air || saveBytes(prompts, kSaveInputTitle, files::airFilePath(path),
                             Expected<QByteArray>(files::writeAirFile(*air)));
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
                  const calc::RunState *run, const files::AirReport *air, const QString &pdfName)
{
    QPrinter printer(QPrinter::HighResolution);
    // Printed to a file, the report goes beside the user's files, not into the working folder.
    // Naming the file chooses printing to a file, so it is proposed only where no printer is.
    printer.setDocName(pdfName);
    if (!pdfName.isEmpty() && QPrinterInfo::availablePrinterNames().isEmpty())
        printer.setOutputFileName(QDir(dialogFolder()).filePath(pdfName));
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
                   const calc::RunState *run, const files::AirReport *air, const QString &pdfName)
{
    const QString path = prompts.saveFileName(parent, kSavePdfTitle, kPdfFilter, pdfName);
    if (path.isEmpty())
        return;
    const render::ReportDocument document{
        files::reportBlocks(scenario, mode, rows, QDateTime::currentDateTime(), notice, run, air),
        {}};
    saveBytes(prompts, kSavePdfTitle, path, render::reportPdf(document, scenario));
}

} // namespace lv::gui
