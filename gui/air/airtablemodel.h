#pragma once

#include "core/air/airtable.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

namespace lv::gui {

// The air demand of every stretch, one row each, with the texts the core gives them.
class AirTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit AirTableModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Replaces the rows (and the columns, which depend on whether a flow is available).
    void setDemands(const air::Criteria &criteria, std::vector<air::StretchDemand> demands);
    void clear();

    const std::vector<air::StretchDemand> &demands() const { return m_demands; }
    const QStringList &headers() const { return m_headers; }
    // The texts of one row in column order.
    const QStringList &rowTexts(int row) const { return m_texts[std::size_t(row)]; }

private:
    QStringList m_headers;
    std::vector<air::StretchDemand> m_demands;
    std::vector<QStringList> m_texts;
};

} // namespace lv::gui
