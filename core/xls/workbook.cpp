#include "core/xls/workbook.h"

#include "core/xls/biffworkbook.h"
#include "core/xls/workbookbuilder.h"
#include "core/xls/xmlworkbook.h"
#include "core/xls/zippackage.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace lv::xls {

namespace {

// The workbooks are tables of a few hundred cells; a file this large is not one of them, and
// reading it whole would only hold the program up.
constexpr qint64 kMaxFileSize = qint64(256) * 1024 * 1024;

Error openError(const QString &fileName, const QString &reason)
{
    return Error{ErrorKind::Workbook,
                 QStringLiteral("Arbetsboken %1 kunde inte öppnas: %2.").arg(fileName, reason)};
}

} // namespace

const Cell &Sheet::at(int row, int column) const
{
    static const Cell empty;
    Q_ASSERT(contains(row, column));
    if (!contains(row, column))
        return empty;
    const uint32_t position = uint32_t(row - 1) * uint32_t(m_columns) + uint32_t(column - 1);
    if (!m_dense.empty()) {
        const uint32_t index = m_dense[position];
        return index ? m_cells[index - 1] : empty;
    }
    const auto found = std::lower_bound(m_positions.begin(), m_positions.end(), position);
    if (found == m_positions.end() || *found != position)
        return empty;
    return m_cells[std::size_t(found - m_positions.begin())];
}

QString Sheet::reference(int row, int column) const
{
    return cellReference(m_firstRow + row - 1, m_firstColumn + column - 1);
}

Expected<Workbook> Workbook::open(const QString &path)
{
    const QFileInfo info(path);
    const QString name = info.fileName().isEmpty() ? path : info.fileName();
    if (!info.exists())
        return openError(name, QStringLiteral("filen finns inte"));
    if (info.isDir())
        return openError(name, QStringLiteral("det är en mapp"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return openError(name, QStringLiteral("filen kunde inte läsas"));
    if (file.size() > kMaxFileSize)
        return openError(name, QStringLiteral("filen är större än 256 MB"));
    // Reading reserves as much as it is asked for: the file's size (checked above) and one byte
    // more, not the largest size allowed.
    const QByteArray bytes = file.read(file.size() + 1);
    if (file.error() != QFileDevice::NoError)
        return openError(name, QStringLiteral("filen kunde inte läsas"));
    if (bytes.size() > kMaxFileSize)
        return openError(name, QStringLiteral("filen är större än 256 MB"));
    return fromBytes(bytes, name);
}

Expected<Workbook> Workbook::fromBytes(const QByteArray &bytes, const QString &fileName)
{
    // Each reader recognises its own files by their first bytes.
    if (biff::isExcelFile(bytes))
        return biff::readFile(bytes, fileName);
    if (zip::isZipFile(bytes))
        return xml::readZipFile(bytes, fileName);
    return notWorkbook(fileName);
}

Expected<const Sheet *> Workbook::sheet(const QString &name) const
{
    for (const auto &sheet : m_sheets) {
        if (sheet->name().compare(name, Qt::CaseInsensitive) == 0)
            return sheet.get();
    }
    return Error{ErrorKind::Workbook,
                 QStringLiteral("Arbetsboken %1 saknar bladet \"%2\".").arg(m_fileName, name)};
}

Expected<const Sheet *> Workbook::sheet(int position) const
{
    if (position < 1 || position > sheetCount()) {
        return Error{
            ErrorKind::Workbook,
            QStringLiteral("Arbetsboken %1 saknar blad nummer %2.").arg(m_fileName).arg(position)};
    }
    return m_sheets[std::size_t(position - 1)].get();
}

QString cellReference(int row, int column)
{
    QString letters;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters + QString::number(row + 1);
}

QString errorText(uint8_t errorCode)
{
    switch (errorCode) {
    case 0x00:
        return QStringLiteral("#NULL!");
    case 0x07:
        return QStringLiteral("#DIV/0!");
    case 0x0F:
        return QStringLiteral("#VALUE!");
    case 0x17:
        return QStringLiteral("#REF!");
    case 0x1D:
        return QStringLiteral("#NAME?");
    case 0x24:
        return QStringLiteral("#NUM!");
    case 0x2A:
        return QStringLiteral("#N/A");
    case 0x2B:
        return QStringLiteral("#GETTING_DATA");
    default:
        return QStringLiteral("#ERR%1").arg(int(errorCode));
    }
}

} // namespace lv::xls
