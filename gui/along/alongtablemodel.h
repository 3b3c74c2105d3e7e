#pragma once

#include "core/results/alongtunnel.h"

#include <QAbstractTableModel>
#include <QList>

#include <vector>

namespace lv::gui {

// The segments of a run along the tunnel, one row each, as the core computed them; the texts
// are written in the user's locale with each column's decimals.
class AlongTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit AlongTableModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    const std::vector<results::AlongTunnelRow> &rows() const { return m_rows; }
    void setRows(std::vector<results::AlongTunnelRow> rows);
    void clear();

    // The given rows (in list order, whatever order they come in) with the header line, as
    // tab-separated text with the texts shown.
    QString tabSeparated(QList<int> rows) const;

private:
    std::vector<results::AlongTunnelRow> m_rows;
    std::array<int, results::kAlongColumnCount> m_decimals{};
    QStringList m_headers;
};

} // namespace lv::gui
