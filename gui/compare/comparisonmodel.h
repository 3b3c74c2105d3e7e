#pragma once

#include "core/results/comparison.h"

#include <QAbstractTableModel>
#include <QList>

namespace lv::gui {

// A comparison as a table: a row per stretch and quantity, the core's headers as columns.
// Numbers are shown in the user's locale, the texts of cells without one as they are.
class ComparisonModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ComparisonModel(results::Comparison comparison, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    const results::Comparison &comparison() const { return m_comparison; }

    // The header line and the given rows (in table order) as shown, TAB between cells, CR LF
    // after each line, as spreadsheets paste it cell by cell.
    QString rowsAsText(QList<int> rows) const;

private:
    QString cellText(int row, int column) const;

    results::Comparison m_comparison;
};

} // namespace lv::gui
