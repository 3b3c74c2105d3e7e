#pragma once

#include "core/text/expected.h"

#include <QString>

class QDialog;
class QPrinter;
class QWidget;

namespace lv {

// The icon of a message box, without naming any widget.
enum class MessageIcon { None, Exclamation, Critical };

// The answer to "save the changes first?": save, go on without saving, or drop the command.
enum class SaveAnswer { Save, Discard, Cancel };

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

    // A question with the buttons Spara / Spara inte / Avbryt.
    virtual lv::SaveAnswer askSave(const QString &text, const QString &title) = 0;
    // A question with the buttons Ja / Nej; true for Ja.
    virtual bool askYesNo(const QString &text, const QString &title) = 0;

    // The chosen path, or an empty text when the user cancels. The save dialog adds the
    // filter's extension to a name typed without one, and starts on `proposed` when given.
    virtual QString openFileName(QWidget *parent, const QString &title, const QString &filter) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &title, const QString &filter,
                                 const QString &proposed = QString()) = 0;

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

// After the message of a faulty value: the field gets the focus, its text selected, so that the
// user sees which value it was and can type over it. Nothing for a null field.
void focusFaultyField(QWidget *field);

} // namespace lv::gui
