#pragma once

#include "gui/prompts/prompts.h"

namespace lv::gui {

// The prompts of the running program: QMessageBox, QFileDialog and QPrintDialog.
class QtPrompts final : public Prompts
{
public:
    void message(const QString &text, const QString &title, lv::MessageIcon icon) override;
    QString openFileName(QWidget *parent, const QString &title, const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &filter) override;
    bool choosePrinter(QWidget *parent, QPrinter &printer) override;
    int runDialog(QDialog &dialog) override;
};

} // namespace lv::gui
