#pragma once

#include "core/text/expected.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <optional>

namespace lv::files {

// Helpers shared by the writers of the data files (not part of their public API).

// The date line of a file: the date and time text of a locale. A character the file's code page
// cannot hold (some locales put a narrow no-break space before "PM") becomes a blank, so that
// a locale's date format never keeps the user from saving; the readers skip this line.
QString fileDateLine(const QDateTime &moment, const QLocale &locale);

// Checks that a text can stand as one field of a line: no line break (it would shift every
// following line), no TAB unless `tabAllowed` (it would shift the following fields), and only
// characters the code page holds. The error names the field (`where`, capitalised) and says why.
std::optional<Error> checkFileField(const QString &text, const QString &where, bool tabAllowed);

} // namespace lv::files
