#pragma once

#include <QByteArray>

#include <cstdint>

// The OLE2 compound file around a workbook's BIFF stream.
namespace lv::xls::ole {

struct WorkbookStream
{
    enum class Status : uint8_t {
        Ok,
        NotCompoundFile, // not an OLE2 compound file at all
        Damaged,         // an OLE2 compound file that cannot be read
        NoWorkbook,      // a compound file without a "Workbook" or "Book" stream
        Encrypted,       // a password-protected Office file (encrypted package)
    };
    Status status = Status::Ok;
    QByteArray bytes;
};

// Whether the bytes start with the signature of an OLE2 compound file.
bool isCompoundFile(const QByteArray &bytes);

// The BIFF stream of a workbook file: "Workbook" (Excel 97-2003) before "Book" (Excel 5/95),
// names compared without regard to case.
WorkbookStream readWorkbookStream(const QByteArray &file);

} // namespace lv::xls::ole
