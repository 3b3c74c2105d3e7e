#include "gui/prompts/qtprompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

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

QString QtPrompts::openFileName(QWidget *parent, const QString &title, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, QString(), filter);
}

QString QtPrompts::saveFileName(QWidget *parent, const QString &title, const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, title, QString(), filter);
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
