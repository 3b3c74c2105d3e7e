#pragma once

#include "core/results/resulttable.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <optional>
#include <vector>

namespace lv::gui {

// The rows of the result list: the label, then the eleven value texts, as the core computed
// them. At most one value cell is marked (for "Kopiera värde"); the mark belongs to its cell and
// moves with its row when rows above it go, and goes with its row.
class ResultTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Role {
        // true for the marked cell; a view draws it apart from the row's selection
        MarkedRole = Qt::UserRole,
    };

    explicit ResultTableModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;

    const std::vector<results::ResultRow> &rows() const { return m_rows; }
    void appendRow(const results::ResultRow &row);
    // Puts a row back at `index` (0..rowCount()); a marked cell below moves with its row.
    void insertRowAt(int index, const results::ResultRow &row);
    // New texts for the rows (the same rows recomputed in another mode keep their selection and
    // mark); a different number of rows replaces the list.
    void setRows(std::vector<results::ResultRow> rows);
    void clear();

    // The column headers, label column first.
    void setHeaders(const QStringList &headers);

    // The marked cell, or an invalid index.
    QModelIndex markedCell() const;
    // Marks one cell, or none for an invalid index; a previous mark goes.
    void setMarkedCell(const QModelIndex &index);

private:
    struct Cell
    {
        int row;
        int column;
    };

    // A cell of this model's rows as they are now.
    bool holds(const QModelIndex &index) const;
    void emitCellChanged(const Cell &cell);

    std::vector<results::ResultRow> m_rows;
    QStringList m_headers;
    std::optional<Cell> m_marked;
};

} // namespace lv::gui
