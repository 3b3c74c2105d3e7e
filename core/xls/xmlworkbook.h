#pragma once

#include "core/text/expected.h"
#include "core/xls/workbook.h"

#include <QByteArray>
#include <QString>

// The readers of the zipped XML workbooks: Office Open XML (.xlsx) and OpenDocument
// spreadsheets (.ods). liborcus unpacks the zip and parses the XML; the cells are read here, with
// the same meaning as in an .xls file: the cached result of a formula, booleans as booleans,
// error values by their code, and a used range that counts formatted blank cells.
namespace lv::xls::xml {

// Reads a zip file as an .xlsx or .ods workbook, told apart by their parts; `fileName` names
// it in errors.
Expected<Workbook> readZipFile(const QByteArray &bytes, const QString &fileName);

} // namespace lv::xls::xml
