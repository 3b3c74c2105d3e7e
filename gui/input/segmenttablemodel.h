#pragma once

#include "core/input/segmentrow.h"

#include <QAbstractTableModel>

#include <vector>

namespace lv::gui {

// The tunnel's segments, one row each: the number, then the eight cells, all as typed. The
// model keeps the rows in the order they were placed; it never sorts or reformats them.
class SegmentTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit SegmentTableModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;

    const std::vector<input::SegmentRow> &rows() const { return m_rows; }
    // Replaces every row (an input file read back).
    void setRows(std::vector<input::SegmentRow> rows);
    // Overwrites the row at `index` in place.
    void setRow(int index, const input::SegmentRow &row);
    // Places a row by its number: overwrites the row with the identical number text, or
    // inserts it before the first row with a greater or equal number, or appends it.
    void putRow(const input::SegmentRow &row);
    // Puts a row back at `index` (0..rowCount()), the rows from there one further down.
    void insertRowAt(int index, const input::SegmentRow &row);
    void clear();

private:
    std::vector<input::SegmentRow> m_rows;
};

} // namespace lv::gui
