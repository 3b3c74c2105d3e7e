#include "core/files/filetext.h"

#include "core/text/numbertext.h"
#include "core/text/textfile.h"

namespace lv::files {

QString fileDateLine(const QDateTime &moment, const QLocale &locale)
{
    QString line = text::formatDateTime(moment, locale);
    for (QChar &c : line) {
        if (!text::encode1252(QString(c)).ok())
            c = u' ';
    }
    return line;
}

std::optional<Error> checkFileField(const QString &text, const QString &where, bool tabAllowed)
{
    if (text.contains(u'\r') || text.contains(u'\n')) {
        return Error{
            ErrorKind::File,
            QStringLiteral("%1 innehåller en radbrytning, som filen inte kan hålla.").arg(where)};
    }
    if (!tabAllowed && text.contains(u'\t')) {
        return Error{
            ErrorKind::File,
            QStringLiteral("%1 innehåller ett tabbtecken, som filen inte kan hålla.").arg(where)};
    }
    const auto encoded = text::encode1252(text);
    if (!encoded.ok())
        return Error{ErrorKind::File, where + QStringLiteral(": ") + encoded.error().message};
    return std::nullopt;
}

} // namespace lv::files
