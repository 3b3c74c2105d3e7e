#include "gui/compare/comparisonmodel.h"

#include <algorithm>

namespace lv::gui {

ComparisonModel::ComparisonModel(results::Comparison comparison, QObject *parent)
    : QAbstractTableModel(parent), m_comparison(std::move(comparison))
{}

int ComparisonModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_comparison.lines.size());
}

int ComparisonModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_comparison.headers.size());
}

QString ComparisonModel::cellText(int row, int column) const
{
    const results::ComparisonLine &line = m_comparison.lines[std::size_t(row)];
    if (column == 0)
        return line.stretch;
    if (column == 1)
        return line.quantity;
    const std::size_t cell = std::size_t(column - 2);
    return cell < line.cells.size() ? results::cellText(line.cells[cell]) : QString();
}

QVariant ComparisonModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    if (role == Qt::DisplayRole)
        return cellText(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && index.column() >= 2)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::ToolTipRole && index.column() >= 2) {
        // A run's message may be longer than its cell.
        const auto &cells = m_comparison.lines[std::size_t(index.row())].cells;
        const std::size_t cell = std::size_t(index.column() - 2);
        if (cell < cells.size() && cells[cell].kind == results::ComparisonCell::Kind::Text)
            return cells[cell].text;
    }
    return {};
}

QVariant ComparisonModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return m_comparison.headers.value(section);
}

QString ComparisonModel::rowsAsText(QList<int> rows) const
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // A cell never breaks the line or the row: its TABs and line breaks become blanks.
    const auto clean = [](QString text) {
        for (QChar &c : text) {
            if (c == u'\t' || c == u'\n' || c == u'\r')
                c = u' ';
        }
        return text;
    };
    QStringList lines;
    QStringList headers;
    for (const QString &header : m_comparison.headers)
        headers << clean(header);
    lines << headers.join(u'\t');
    for (int row : rows) {
        if (row < 0 || row >= rowCount())
            continue;
        QStringList cells;
        for (int column = 0; column < columnCount(); ++column)
            cells << clean(cellText(row, column));
        lines << cells.join(u'\t');
    }
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

} // namespace lv::gui
