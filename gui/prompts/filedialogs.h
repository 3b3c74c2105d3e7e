#pragma once

#include <QString>

class QFileDialog;

namespace lv::gui {

// The folder the file dialogs start in: the one last used (kept between sessions), else the
// user's documents folder, never the program's or the working folder.
QString dialogFolder();
// Remembers the folder of a file the user chose or opened.
void rememberDialogFolder(const QString &filePath);

enum class FileDialogMode { Open, Save };

// Sets up a file dialog as every one of ours: the filter ("Indata (*.dat)"), for opening also
// "Alla filer (*)" after it, for saving the filter's extension added to a name typed without
// one (the dialog itself still confirms replacing a file), starting in dialogFolder() or on
// `proposed` (a name or a path).
void setUpFileDialog(QFileDialog &dialog, FileDialogMode mode, const QString &filter,
                     const QString &proposed = QString());

} // namespace lv::gui
