#include "gui/along/alongtablemodel.h"

#include "core/files/csvfile.h"

#include <QBrush>
#include <QColor>

#include <algorithm>

namespace lv::gui {

using results::AlongColumn;

AlongTableModel::AlongTableModel(QObject *parent)
    : QAbstractTableModel(parent), m_headers(results::alongTunnelHeaders())
{}

int AlongTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int AlongTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : results::kAlongColumnCount;
}

QVariant AlongTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const results::AlongTunnelRow &row = m_rows[std::size_t(index.row())];
    const int column = index.column();
    const bool marked =
        row.offGrid && (column == AlongColumn::Slope || column == AlongColumn::OffGrid);
    switch (role) {
    case Qt::DisplayRole:
        return results::alongTunnelText(row, column, m_decimals);
    case Qt::TextAlignmentRole:
        return column == AlongColumn::OffGrid ? int(Qt::AlignLeft | Qt::AlignVCenter)
                                              : int(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        return marked ? QVariant(QBrush(QColor(0xff, 0xe0, 0xa0))) : QVariant();
    case Qt::ToolTipRole:
        if (!marked)
            return {};
        return row.slope < 0 ? QStringLiteral("Under tabellernas -7 %: räknas som -7 %.")
                             : QStringLiteral("Över tabellernas 7 %: extrapoleras.");
    default:
        return {};
    }
}

QVariant AlongTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return m_headers.value(section);
}

void AlongTableModel::setRows(std::vector<results::AlongTunnelRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_decimals = results::alongDecimals(m_rows);
    endResetModel();
}

void AlongTableModel::clear()
{
    setRows({});
}

QString AlongTableModel::tabSeparated(QList<int> rows) const
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::vector<QStringList> texts;
    texts.reserve(std::size_t(rows.size()));
    for (int r : rows) {
        if (r >= 0 && r < rowCount())
            texts.push_back(results::alongTunnelTexts(m_rows[std::size_t(r)], m_decimals));
    }
    return files::tabSeparatedText(m_headers, texts);
}

} // namespace lv::gui
