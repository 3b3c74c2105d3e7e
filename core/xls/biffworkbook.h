#pragma once

#include "core/text/expected.h"
#include "core/xls/workbook.h"

#include <QByteArray>
#include <QString>

// The reader of Excel files in the BIFF formats: Excel 97-2003 (BIFF8) and Excel 5/95 (BIFF5)
// workbooks, stored in an OLE2 compound file (.xls). Files of older Excel versions are
// recognised, to be refused in words the user can act on.
namespace lv::xls::biff {

// Whether the bytes are those of an Excel file this reader is responsible for: an OLE2
// compound file, or the bare BIFF stream of Excel 2.1-4.0.
bool isExcelFile(const QByteArray &bytes);

// Reads a workbook from the bytes of a file; `fileName` names it in errors.
Expected<Workbook> readFile(const QByteArray &bytes, const QString &fileName);
// Reads a workbook from the bytes of its BIFF stream ("Workbook" or "Book").
Expected<Workbook> readStream(const QByteArray &stream, const QString &fileName);

} // namespace lv::xls::biff
