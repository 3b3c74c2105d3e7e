#pragma once

#include "core/text/expected.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

namespace lv::text {

// Windows-1252, the code page of the data files and of older workbooks. Qt 6 has no codec for
// it, so the table lives here. The five bytes the code page leaves undefined (81, 8D, 8F, 90,
// 9D hex) map to the control characters of the same value, as Windows does, so every byte
// round-trips.
QString decode1252(const QByteArray &bytes);

// Encodes text as Windows-1252; a character the code page cannot hold is an error naming it
// (never silently written as "?").
Expected<QByteArray> encode1252(const QString &text);

// Splits file text into lines: a CR ends a line and an LF right after it belongs to the same
// line end; a bare LF also ends a line. Text after the last line end is a last line of its own.
QStringList splitLines(const QString &text);

// The same lines as views into text, which must outlive them: a file of many lines is read
// without a copy of each.
std::vector<QStringView> lineViews(QStringView text);

// Joins lines for a file: every line, the last one included, followed by CR LF.
QString joinLines(const QStringList &lines);

// Writes a file atomically: the bytes go to a temporary file beside it, which then replaces
// the target. On failure the old file is left as it was and the error says why, in Swedish.
Expected<void> saveFileAtomically(const QString &path, const QByteArray &bytes);

// Saves the bytes a file writer produced, or says why nothing was written: the writer's error
// (a text the file cannot hold) or the atomic save's.
Expected<void> saveFile(const QString &path, const Expected<QByteArray> &bytes);

// Reads a whole file, or says in Swedish why it could not.
Expected<QByteArray> readWholeFile(const QString &path);

} // namespace lv::text
