#include "gui/air/airtablemodel.h"

namespace lv::gui {

AirTableModel::AirTableModel(QObject *parent)
    : QAbstractTableModel(parent), m_headers(air::demandHeaders(air::Criteria{}))
{}

int AirTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_texts.size());
}

int AirTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_headers.size());
}

QVariant AirTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole)
        return rowTexts(index.row()).value(index.column());
    // Numbers to the right; the label, the criterion and the warnings to the left.
    if (role == Qt::TextAlignmentRole) {
        const bool text =
            index.column() == 0 || index.column() == 6 || index.column() == columnCount() - 1;
        return int((text ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    }
    return {};
}

QVariant AirTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_headers.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void AirTableModel::setDemands(const air::Criteria &criteria,
                               std::vector<air::StretchDemand> demands)
{
    beginResetModel();
    m_headers = air::demandHeaders(criteria);
    m_demands = std::move(demands);
    m_texts.clear();
    for (const auto &demand : m_demands)
        m_texts.push_back(air::demandTexts(demand, criteria));
    endResetModel();
}

void AirTableModel::clear()
{
    beginResetModel();
    m_demands.clear();
    m_texts.clear();
    endResetModel();
}

} // namespace lv::gui
