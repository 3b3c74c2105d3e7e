#include "gui/input/segmenttablemodel.h"

#include <array>

namespace lv::gui {

using input::SegmentRow;

namespace {

constexpr int kColumnCount = 1 + int(std::tuple_size_v<decltype(SegmentRow::cells)>);

// Exactly these headers: two end in a blank, and one has a capital H.
const std::array<QString, kColumnCount> kHeaders = {
    QStringLiteral("Segment nr:"),       QStringLiteral("Längd: [m]"),
    QStringLiteral("Lutning: [%]"),      QStringLiteral("Pb, Medelhastighet: [km/h]"),
    QStringLiteral("Pb, Flöde: [f/h] "), QStringLiteral("Lb, MedelHastighet: [km/h]"),
    QStringLiteral("Lb, Flöde: [f/h] "), QStringLiteral("Lbs, Medelhastighet: [km/h]"),
    QStringLiteral("Lbs, Flöde: [f/h]"),
};

} // namespace

SegmentTableModel::SegmentTableModel(QObject *parent) : QAbstractTableModel(parent) {}

int SegmentTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int SegmentTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant SegmentTableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const SegmentRow &row = m_rows[std::size_t(index.row())];
    return index.column() == 0 ? row.number : row.cells[std::size_t(index.column() - 1)];
}

QVariant SegmentTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumnCount)
        return {};
    return kHeaders[std::size_t(section)];
}

Qt::ItemFlags SegmentTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

bool SegmentTableModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || count <= 0 || row + count > rowCount())
        return false;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    m_rows.erase(m_rows.begin() + row, m_rows.begin() + row + count);
    endRemoveRows();
    return true;
}

void SegmentTableModel::insertRowAt(int index, const SegmentRow &row)
{
    beginInsertRows(QModelIndex(), index, index);
    m_rows.insert(m_rows.begin() + index, row);
    endInsertRows();
}

void SegmentTableModel::setRows(std::vector<SegmentRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void SegmentTableModel::setRow(int index, const SegmentRow &row)
{
    if (index < 0 || index >= rowCount())
        return;
    m_rows[std::size_t(index)] = row;
    emit dataChanged(this->index(index, 0), this->index(index, kColumnCount - 1));
}

void SegmentTableModel::putRow(const SegmentRow &row)
{
    std::vector<QString> numbers;
    numbers.reserve(m_rows.size());
    for (const SegmentRow &r : m_rows)
        numbers.push_back(r.number);

    const input::InsertPosition position = input::findInsertPosition(numbers, row.number);
    if (position.overwrite) {
        setRow(position.index, row);
        return;
    }
    beginInsertRows(QModelIndex(), position.index, position.index);
    m_rows.insert(m_rows.begin() + position.index, row);
    endInsertRows();
}

void SegmentTableModel::clear()
{
    setRows({});
}

} // namespace lv::gui
