#include "gui/results/resulttablemodel.h"

#include <QBrush>

namespace lv::gui {

using results::ResultRow;

namespace {

constexpr int kColumns = 1 + int(std::tuple_size_v<decltype(ResultRow::values)>);

} // namespace

ResultTableModel::ResultTableModel(QObject *parent) : QAbstractTableModel(parent) {}

int ResultTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ResultTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant ResultTableModel::data(const QModelIndex &index, int role) const
{
    if (!holds(index))
        return {};
    const int column = index.column();
    const bool marked =
        m_marked && m_marked->row == index.row() && m_marked->column == index.column();
    switch (role) {
    case Qt::DisplayRole: {
        const ResultRow &row = m_rows[std::size_t(index.row())];
        return column == 0 ? row.label : row.values[std::size_t(column - 1)];
    }
    case Qt::TextAlignmentRole:
        if (column > 0)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    case Qt::ForegroundRole:
        // Unmarked cells keep the list's own text colour.
        return marked ? QVariant(QBrush(Qt::red)) : QVariant();
    case MarkedRole:
        return marked;
    default:
        return {};
    }
}

QVariant ResultTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= m_headers.size())
        return {};
    return m_headers[section];
}

void ResultTableModel::insertRowAt(int index, const results::ResultRow &row)
{
    beginInsertRows(QModelIndex(), index, index);
    m_rows.insert(m_rows.begin() + index, row);
    if (m_marked && m_marked->row >= index)
        ++m_marked->row;
    endInsertRows();
}

bool ResultTableModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || count <= 0 || row + count > rowCount())
        return false;
    beginRemoveRows(parent, row, row + count - 1);
    m_rows.erase(m_rows.begin() + row, m_rows.begin() + row + count);
    if (m_marked && m_marked->row >= row) {
        if (m_marked->row < row + count)
            m_marked.reset();
        else
            m_marked->row -= count;
    }
    endRemoveRows();
    return true;
}

void ResultTableModel::appendRow(const ResultRow &row)
{
    const int at = rowCount();
    beginInsertRows(QModelIndex(), at, at);
    m_rows.push_back(row);
    endInsertRows();
}

void ResultTableModel::setRows(std::vector<ResultRow> rows)
{
    if (rows.size() != m_rows.size()) {
        beginResetModel();
        m_rows = std::move(rows);
        m_marked.reset();
        endResetModel();
        return;
    }
    m_rows = std::move(rows);
    if (!m_rows.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1), {Qt::DisplayRole});
}

void ResultTableModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_marked.reset();
    endResetModel();
}

void ResultTableModel::setHeaders(const QStringList &headers)
{
    m_headers = headers;
    emit headerDataChanged(Qt::Horizontal, 0, kColumns - 1);
}

QModelIndex ResultTableModel::markedCell() const
{
    return m_marked ? index(m_marked->row, m_marked->column) : QModelIndex();
}

void ResultTableModel::setMarkedCell(const QModelIndex &index)
{
    const std::optional<Cell> previous = m_marked;
    m_marked.reset();
    if (holds(index))
        m_marked = Cell{index.row(), index.column()};
    if (previous)
        emitCellChanged(*previous);
    if (m_marked)
        emitCellChanged(*m_marked);
}

bool ResultTableModel::holds(const QModelIndex &index) const
{
    return index.isValid() && index.model() == this && index.row() < rowCount() &&
           index.column() < kColumns;
}

void ResultTableModel::emitCellChanged(const Cell &cell)
{
    const QModelIndex changed = index(cell.row, cell.column);
    emit dataChanged(changed, changed, {Qt::ForegroundRole, MarkedRole});
}

} // namespace lv::gui
