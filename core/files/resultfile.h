#pragma once

#include "core/results/resulttable.h"
#include "core/text/expected.h"

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>

#include <vector>

namespace lv::files {

// The result file (*.eff) for the result list as shown: header, column header line for the
// mode, one line per row with the values in the "#.##" form of the locale the rows were made
// in. Windows-1252, CR LF, TABs.
Expected<QByteArray> writeResultFile(const QString &scenario, results::Mode mode,
                                     const std::vector<results::ResultRow> &rows,
                                     const QDateTime &savedAt, const QLocale &locale = QLocale());

} // namespace lv::files
