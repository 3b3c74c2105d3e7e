#include "gui/prompts/filedialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

namespace lv::gui {

namespace {

const QString kFolderKey = QStringLiteral("dialogs/folder");
const QString kAllFiles = QStringLiteral("Alla filer (*)");

} // namespace

QString dialogFolder()
{
    const QString last = QSettings().value(kFolderKey).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void rememberDialogFolder(const QString &filePath)
{
    if (!filePath.isEmpty())
        QSettings().setValue(kFolderKey, QFileInfo(filePath).absolutePath());
}

void setUpFileDialog(QFileDialog &dialog, FileDialogMode mode, const QString &filter,
                     const QString &proposed)
{
    dialog.setDirectory(dialogFolder());
    if (mode == FileDialogMode::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilters({filter, kAllFiles});
        return;
    }
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({filter});
    // "Indata (*.dat)" -> "dat"
    static const QRegularExpression extension(QStringLiteral("\\(\\*\\.(\\w+)\\)"));
    dialog.setDefaultSuffix(extension.match(filter).captured(1));
    if (!proposed.isEmpty())
        dialog.selectFile(
            QFileInfo(proposed).isAbsolute() ? proposed : QDir(dialogFolder()).filePath(proposed));
}

} // namespace lv::gui
