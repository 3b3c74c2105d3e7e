#include "gui/input/segmentlist.h"

#include "gui/input/frmdelstracka.h"
#include "gui/prompts/prompts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace lv::gui {

using input::SegmentRow;

SegmentList::SegmentList(Prompts &prompts, QWidget *parent)
    : QGroupBox(QStringLiteral("Segment"), parent), m_prompts(prompts)
{
    lvwBlock = new QTreeWidget(this);
    lvwBlock->setObjectName(QStringLiteral("lvwBlock"));
    lvwBlock->setAccessibleName(QStringLiteral("Segment"));
    lvwBlock->setRootIsDecorated(false);
    lvwBlock->setItemsExpandable(false);
    lvwBlock->setUniformRowHeights(true);
    lvwBlock->setAllColumnsShowFocus(true);
    lvwBlock->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwBlock->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwBlock->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Exactly these headers: two end in a blank, and one has a capital H.
    lvwBlock->setHeaderLabels({
        QStringLiteral("Segment nr:"),
        QStringLiteral("Längd: [m]"),
        QStringLiteral("Lutning: [%]"),
        QStringLiteral("Pb, Medelhastighet: [km/h]"),
        QStringLiteral("Pb, Flöde: [f/h] "),
        QStringLiteral("Lb, MedelHastighet: [km/h]"),
        QStringLiteral("Lb, Flöde: [f/h] "),
        QStringLiteral("Lbs, Medelhastighet: [km/h]"),
        QStringLiteral("Lbs, Flöde: [f/h]"),
    });
    lvwBlock->header()->setSectionsMovable(false);
    lvwBlock->header()->resizeSections(QHeaderView::ResizeToContents);
    lvwBlock->setMinimumHeight(lvwBlock->fontMetrics().height() * 8);

    cmdLaggtill = new QPushButton(QStringLiteral("Lägg till..."), this);
    cmdLaggtill->setObjectName(QStringLiteral("cmdLaggtill"));
    cmdAndra = new QPushButton(QStringLiteral("Ändra..."), this);
    cmdAndra->setObjectName(QStringLiteral("cmdAndra"));
    cmdAndra->setEnabled(false);
    cmdTaBort = new QPushButton(QStringLiteral("Ta bort"), this);
    cmdTaBort->setObjectName(QStringLiteral("cmdTaBort"));
    cmdTaBort->setEnabled(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdLaggtill);
    buttons->addWidget(cmdAndra);
    buttons->addWidget(cmdTaBort);
    buttons->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lvwBlock, 1);
    layout->addLayout(buttons);

    setTabOrder(lvwBlock, cmdLaggtill);
    setTabOrder(cmdLaggtill, cmdAndra);
    setTabOrder(cmdAndra, cmdTaBort);

    connect(cmdLaggtill, &QPushButton::clicked, this, &SegmentList::cmdLaggtill_Click);
    connect(cmdAndra, &QPushButton::clicked, this, &SegmentList::cmdAndra_Click);
    connect(cmdTaBort, &QPushButton::clicked, this, &SegmentList::cmdTaBort_Click);
    connect(lvwBlock, &QTreeWidget::itemSelectionChanged, this,
            &SegmentList::lvwBlock_SelectionChanged);
}

std::vector<SegmentRow> SegmentList::rows() const
{
    std::vector<SegmentRow> rows;
    rows.reserve(std::size_t(lvwBlock->topLevelItemCount()));
    for (int i = 0; i < lvwBlock->topLevelItemCount(); ++i)
        rows.push_back(readItem(*lvwBlock->topLevelItem(i)));
    return rows;
}

void SegmentList::setRows(const std::vector<SegmentRow> &rows)
{
    lvwBlock->clear();
    QList<QTreeWidgetItem *> items;
    items.reserve(qsizetype(rows.size()));
    for (const SegmentRow &row : rows) {
        auto *item = new QTreeWidgetItem;
        writeItem(*item, row);
        items.append(item);
    }
    lvwBlock->addTopLevelItems(items);
}

void SegmentList::putRow(const SegmentRow &row)
{
    std::vector<QString> numbers;
    numbers.reserve(std::size_t(lvwBlock->topLevelItemCount()));
    for (int i = 0; i < lvwBlock->topLevelItemCount(); ++i)
        numbers.push_back(lvwBlock->topLevelItem(i)->text(0));

    const input::InsertPosition position = input::findInsertPosition(numbers, row.number);
    if (position.overwrite) {
        writeItem(*lvwBlock->topLevelItem(position.index), row);
        return;
    }
    auto *item = new QTreeWidgetItem;
    writeItem(*item, row);
    lvwBlock->insertTopLevelItem(position.index, item);
}

void SegmentList::clear()
{
    lvwBlock->clear();
    cmdTaBort->setEnabled(false);
    cmdAndra->setEnabled(false);
}

SegmentRow SegmentList::readItem(const QTreeWidgetItem &item)
{
    SegmentRow row;
    row.number = item.text(0);
    for (std::size_t c = 0; c < row.cells.size(); ++c)
        row.cells[c] = item.text(int(c) + 1);
    return row;
}

void SegmentList::writeItem(QTreeWidgetItem &item, const SegmentRow &row)
{
    item.setText(0, row.number);
    for (std::size_t c = 0; c < row.cells.size(); ++c)
        item.setText(int(c) + 1, row.cells[c]);
}

void SegmentList::editInDialog(const SegmentRow &start, int openedFrom)
{
    FrmDelstracka dialog(m_prompts, window());
    dialog.setRow(start);
    if (m_prompts.runDialog(dialog) != QDialog::Accepted)
        return;
    const SegmentRow row = dialog.row();
    // An edit that keeps the number goes back into its own row: placing it by number could hit
    // another row with that number (rows read from a file need not be in order) or miss it for
    // a twin such as "05". A new number is placed by number and the edited row stays (a copy).
    if (openedFrom >= 0 && openedFrom < lvwBlock->topLevelItemCount() && row.number == start.number)
        writeItem(*lvwBlock->topLevelItem(openedFrom), row);
    else
        putRow(row);
}

void SegmentList::cmdLaggtill_Click()
{
    editInDialog(SegmentRow{}, -1);
}

void SegmentList::cmdAndra_Click()
{
    // Editing needs a selected row; after a removal the button may be enabled without one.
    const QList<QTreeWidgetItem *> selected = lvwBlock->selectedItems();
    if (selected.isEmpty())
        return;
    editInDialog(readItem(*selected.first()), lvwBlock->indexOfTopLevelItem(selected.first()));
}

void SegmentList::cmdTaBort_Click()
{
    const QList<QTreeWidgetItem *> selected = lvwBlock->selectedItems();
    if (selected.isEmpty())
        return;
    delete lvwBlock->takeTopLevelItem(lvwBlock->indexOfTopLevelItem(selected.first()));
    // The next row is not chosen for the user: a removal leaves no row selected.
    lvwBlock->clearSelection();
    cmdTaBort->setEnabled(false);
}

void SegmentList::lvwBlock_SelectionChanged()
{
    if (lvwBlock->selectedItems().isEmpty())
        return;
    cmdAndra->setEnabled(true);
    cmdTaBort->setEnabled(true);
}

} // namespace lv::gui
