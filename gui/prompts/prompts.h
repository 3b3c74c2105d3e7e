#pragma once

#include "core/text/expected.h"

#include <QString>

class QDialog;
class QPrinter;
class QWidget;

namespace lv {

// The icon of a message box, without naming any widget.
enum class MessageIcon { None, Exclamation, Critical };

} // namespace lv

namespace lv::gui {

// Everything a window asks the user outside its own controls: message boxes, file dialogs, the
// printer dialog and the running of its modal dialogs. The program uses QtPrompts; the tests
// put in a double that records messages and answers from a script.
class Prompts
{
public:
    virtual ~Prompts();

    // A modal message box with an OK button.
    virtual void message(const QString &text, const QString &title, lv::MessageIcon icon) = 0;

    // The chosen path, or an empty text when the user cancels.
    virtual QString openFileName(QWidget *parent, const QString &title, const QString &filter) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &title, const QString &filter) = 0;

    // Lets the user choose and set up the printer; false when cancelled.
    virtual bool choosePrinter(QWidget *parent, QPrinter &printer) = 0;

    // Shows one of our own dialogs modally and returns its result (QDialog::Accepted or
    // QDialog::Rejected).
    virtual int runDialog(QDialog &dialog) = 0;
};

// Shows an error of the core as a message box: the one place that decides a message's title
// and icon, from the error's kind.
void showError(Prompts &prompts, const Error &error);
// The same under the title of the command that failed (saving, printing).
void showError(Prompts &prompts, const Error &error, const QString &commandTitle);

} // namespace lv::gui
