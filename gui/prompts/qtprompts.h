#pragma once

#include "gui/prompts/prompts.h"

namespace lv::gui {

// The prompts of the running program: QMessageBox, QFileDialog and QPrintDialog. The file
// dialogs start in the folder last used and remember the one chosen.
class QtPrompts final : public Prompts
{
public:
    void message(const QString &text, const QString &title, lv::MessageIcon icon) override;
    lv::SaveAnswer askSave(const QString &text, const QString &title) override;
    bool askYesNo(const QString &text, const QString &title) override;
    QString openFileName(QWidget *parent, const QString &title, const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &filter,
                         const QString &proposed) override;
    bool choosePrinter(QWidget *parent, QPrinter &printer) override;
    int runDialog(QDialog &dialog) override;
};

} // namespace lv::gui
