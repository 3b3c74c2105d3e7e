#pragma once

#include "gui/prompts/prompts.h"

#include <QDialog>
#include <QList>
#include <QStringList>

#include <functional>

// Stands in for message boxes, file dialogs, the printer dialog and modal dialogs: records
// every message and answers from what the test queued.
class RecordingPrompts final : public lv::gui::Prompts
{
public:
    struct Message
    {
        QString text;
        QString title;
        lv::MessageIcon icon = lv::MessageIcon::None;
        bool operator==(const Message &) const = default;
    };

    QList<Message> messages;
    std::function<void(const Message &)> onMessage; // called after each message is recorded
    QStringList fileDialogs;                        // "title | filter" of each one shown
    // The questions asked ("title | text"), and the answers to them, first in first out; none
    // left answers "Spara inte" and "Ja".
    QStringList questions;
    QList<lv::SaveAnswer> saveChangesAnswers;
    QList<bool> yesNoAnswers;
    // Answers of the open and save dialogs, first in first out; none left means "cancelled".
    QStringList openAnswers, saveAnswers;
    // The print dialog: answered OK when printerAnswer is set, after onPrinter has set up the
    // printer as the user would there (output file, copies).
    bool printerAnswer = false;
    int printerRequests = 0;
    std::function<void(QPrinter &)> onPrinter;
    // Drives each modal dialog (fills fields, clicks buttons); unset, the dialog is cancelled.
    std::function<void(QDialog &)> onDialog;
    int dialogsShown = 0;

    void message(const QString &text, const QString &title, lv::MessageIcon icon) override
    {
        messages.append(Message{text, title, icon});
        if (onMessage)
            onMessage(messages.last());
    }
    lv::SaveAnswer askSave(const QString &text, const QString &title) override
    {
        questions.append(title + " | " + text);
        return saveChangesAnswers.isEmpty() ? lv::SaveAnswer::Discard
                                            : saveChangesAnswers.takeFirst();
    }
    bool askYesNo(const QString &text, const QString &title) override
    {
        questions.append(title + " | " + text);
        return yesNoAnswers.isEmpty() || yesNoAnswers.takeFirst();
    }
    QString openFileName(QWidget *, const QString &title, const QString &filter) override
    {
        fileDialogs.append(title + " | " + filter);
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    QString saveFileName(QWidget *, const QString &title, const QString &filter,
                         const QString &) override
    {
        fileDialogs.append(title + " | " + filter);
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
    bool choosePrinter(QWidget *, QPrinter &printer) override
    {
        ++printerRequests;
        if (printerAnswer && onPrinter)
            onPrinter(printer);
        return printerAnswer;
    }
    int runDialog(QDialog &dialog) override
    {
        ++dialogsShown;
        dialog.setResult(QDialog::Rejected);
        if (onDialog)
            onDialog(dialog);
        return dialog.result();
    }
};
