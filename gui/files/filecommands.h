#pragma once

#include "core/calc/runstate.h"
#include "core/files/airfile.h"
#include "core/files/airreport.h"
#include "core/files/inputfile.h"
#include "core/results/resulttable.h"

#include <QString>

#include <optional>
#include <vector>

class QWidget;

namespace lv::gui {

class Prompts;

// The titles and filters of the file dialogs, and the titles of the messages of a failed save
// or print.
inline const QString kOpenInputTitle = QStringLiteral("Öppna indata");
inline const QString kSaveInputTitle = QStringLiteral("Spara indata");
inline const QString kInputFilter = QStringLiteral("Indata, emissionsberäkning (*.dat)");
inline const QString kSaveResultTitle = QStringLiteral("Spara resultat");
inline const QString kResultFilter = QStringLiteral("Emissions effekter (*.eff)");
inline const QString kPrintTitle = QStringLiteral("Skriv ut resultat");
inline const QString kSavePdfTitle = QStringLiteral("Spara som PDF");
inline const QString kPdfFilter = QStringLiteral("PDF-dokument (*.pdf)");

// An input file as read, with the path it came from.
struct OpenedInput
{
    QString path;
    files::InputDocument document;
};

// "Öppna indata...": the input of the file the user chooses, read whole before anything is
// handed back. Nothing when the dialog is cancelled or the file cannot be opened (silently), or
// when its content is faulty (after the reader's message).
std::optional<OpenedInput> openInputFile(Prompts &prompts, QWidget *parent);

// The input file at `path` (a recent file, a file named at start): as "Öppna indata...", but a
// file that cannot be opened is named in a message, since the user did not just choose it.
std::optional<files::InputDocument> readInputFileAt(Prompts &prompts, const QString &path);

// "Spara indata som...": writes the input to a file the user chooses (the dialog proposes
// `proposed`), replacing it atomically, and with the tunnel's air values their .luft file beside
// it the same way. The path written, or empty when the dialog was cancelled or the save failed
// (after its message; any existing file stays as it was).
QString saveInputFileAs(Prompts &prompts, QWidget *parent, const files::InputDocument &document,
                        const files::TunnelAir *air, const QString &proposed = QString());
// "Spara indata" with a file open: writes it (and the .luft) again without a dialog; false after
// a message.
bool saveInputFileTo(Prompts &prompts, const QString &path, const files::InputDocument &document,
                     const files::TunnelAir *air = nullptr);

// "Spara resultat...": writes the result list as shown, in its mode, as "Spara indata...".
void saveResultFile(Prompts &prompts, QWidget *parent, const QString &scenario, results::Mode mode,
                    const std::vector<results::ResultRow> &rows);

// "Skriv ut resultat...": the print dialog, then the report on the chosen printer, ending with
// `notice` when it is not empty, then the air demand when there is one; with `run`, the summary
// of its input follows the title. Printing to a file proposes `pdfName` (a name without folder)
// in the dialogs' folder. A failure of the printer is shown; a cancelled dialog prints nothing.
void printResults(Prompts &prompts, QWidget *parent, const QString &scenario, results::Mode mode,
                  const std::vector<results::ResultRow> &rows, const QString &notice,
                  const calc::RunState *run = nullptr, const files::AirReport *air = nullptr,
                  const QString &pdfName = QString());

// "Spara som PDF...": the same report written straight to a PDF file the user chooses (the
// dialog proposes `pdfName`), replacing it atomically; a failure is shown and leaves any existing
// file as it was.
void saveReportPdf(Prompts &prompts, QWidget *parent, const QString &scenario, results::Mode mode,
                   const std::vector<results::ResultRow> &rows, const QString &notice,
                   const calc::RunState *run, const files::AirReport *air = nullptr,
                   const QString &pdfName = QString());

} // namespace lv::gui
