#include "gui/prompts/qtprompts.h"

#include "gui/prompts/filedialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace lv::gui {

void QtPrompts::message(const QString &text, const QString &title, lv::MessageIcon icon)
{
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    switch (icon) {
    case lv::MessageIcon::None:
        break;
    case lv::MessageIcon::Exclamation:
        boxIcon = QMessageBox::Warning;
        break;
    case lv::MessageIcon::Critical:
        boxIcon = QMessageBox::Critical;
        break;
    }
    // Owned by the window in front (the main window or a dialog), so it sits centred on it.
    QMessageBox box(boxIcon, title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

lv::SaveAnswer QtPrompts::askSave(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    QPushButton *save = box.addButton(QStringLiteral("Spara"), QMessageBox::AcceptRole);
    QPushButton *discard =
        box.addButton(QStringLiteral("Spara inte"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(QStringLiteral("Avbryt"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return lv::SaveAnswer::Save;
    return box.clickedButton() == discard ? lv::SaveAnswer::Discard : lv::SaveAnswer::Cancel;
}

bool QtPrompts::askYesNo(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    QPushButton *yes = box.addButton(QStringLiteral("Ja"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("Nej"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

QString QtPrompts::openFileName(QWidget *parent, const QString &title, const QString &filter)
{
    QFileDialog dialog(parent, title);
    setUpFileDialog(dialog, FileDialogMode::Open, filter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    rememberDialogFolder(dialog.selectedFiles().first());
    return dialog.selectedFiles().first();
}

QString QtPrompts::saveFileName(QWidget *parent, const QString &title, const QString &filter,
                                const QString &proposed)
{
    QFileDialog dialog(parent, title);
    setUpFileDialog(dialog, FileDialogMode::Save, filter, proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    rememberDialogFolder(dialog.selectedFiles().first());
    return dialog.selectedFiles().first();
}

bool QtPrompts::choosePrinter(QWidget *parent, QPrinter &printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

int QtPrompts::runDialog(QDialog &dialog)
{
    return dialog.exec();
}

} // namespace lv::gui
