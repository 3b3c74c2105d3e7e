#pragma once

#include "core/results/alongtunnel.h"

#include <QByteArray>
#include <QChar>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <vector>

namespace lv::files {

// The field separator of a CSV file in a locale: ';' where the decimal separator is a comma
// (the comma is then part of the numbers), ',' otherwise.
QChar csvSeparator(const QLocale &locale = QLocale());

// One field of a line: in double quotes, its own quotes doubled, when it holds the separator,
// a quote or a line break; otherwise as it is.
QString csvField(const QString &text, QChar separator);

// A table as a CSV file: UTF-8 with a byte-order mark (so that spreadsheet programs read "ä"
// right), the header line, then the rows, every line ended by CR LF.
QByteArray writeCsv(const QStringList &headers, const std::vector<QStringList> &rows,
                    const QLocale &locale = QLocale());

// The same table as tab-separated text for the clipboard, which spreadsheets paste cell by cell:
// fields quoted as in a CSV file when they hold a TAB, a quote or a line break; lines ended by LF.
QString tabSeparatedText(const QStringList &headers, const std::vector<QStringList> &rows);

// The table along the tunnel as a CSV file, rates to seven significant digits.
QByteArray writeAlongTunnelCsv(const std::vector<results::AlongTunnelRow> &rows,
                               const QLocale &locale = QLocale());

} // namespace lv::files
