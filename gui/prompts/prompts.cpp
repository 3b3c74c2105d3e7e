#include "gui/prompts/prompts.h"

#include <QLineEdit>

namespace lv::gui {

namespace {

struct Presentation
{
    QString title;
    MessageIcon icon;
};

// How each kind of error is shown. Faults of the workbooks and the year come under the
// program's name: the user cannot mend them in the input.
Presentation presentation(ErrorKind kind)
{
    const QString program = QStringLiteral("Luftvaka");
    switch (kind) {
    case ErrorKind::NoSegments:
        return {QStringLiteral("Ange indata"), MessageIcon::Exclamation};
    case ErrorKind::InvalidYear:
    case ErrorKind::LabelWarning:
        return {program, MessageIcon::None};
    case ErrorKind::Workbook:
        return {program, MessageIcon::Critical};
    case ErrorKind::InputFile:
        return {QStringLiteral("Indata fel"), MessageIcon::Exclamation};
    case ErrorKind::InputCheck:
    case ErrorKind::File: // usually shown under the title of its command
    case ErrorKind::Printer:
        break;
    }
    return {QStringLiteral("Felaktig indata"), MessageIcon::Exclamation};
}

} // namespace

Prompts::~Prompts() = default;

void showError(Prompts &prompts, const Error &error)
{
    const Presentation shown = presentation(error.kind);
    prompts.message(error.message, shown.title, shown.icon);
}

void showError(Prompts &prompts, const Error &error, const QString &commandTitle)
{
    prompts.message(error.message, commandTitle, presentation(error.kind).icon);
}

void focusFaultyField(QWidget *field)
{
    if (!field)
        return;
    field->setFocus(Qt::OtherFocusReason);
    if (auto *edit = qobject_cast<QLineEdit *>(field))
        edit->selectAll();
}

} // namespace lv::gui
