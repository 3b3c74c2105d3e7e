#include "gui/input/segmentlist.h"

#include "gui/input/segmentdialog.h"
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
    m_segmentView = new QTreeWidget(this);
    m_segmentView->setObjectName(QStringLiteral("segmentView"));
    m_segmentView->setAccessibleName(QStringLiteral("Segment"));
    m_segmentView->setRootIsDecorated(false);
    m_segmentView->setItemsExpandable(false);
    m_segmentView->setUniformRowHeights(true);
    m_segmentView->setAllColumnsShowFocus(true);
    m_segmentView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_segmentView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_segmentView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Exactly these headers: two end in a blank, and one has a capital H.
    m_segmentView->setHeaderLabels({
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
    m_segmentView->header()->setSectionsMovable(false);
    m_segmentView->header()->resizeSections(QHeaderView::ResizeToContents);
    m_segmentView->setMinimumHeight(m_segmentView->fontMetrics().height() * 8);

    m_addButton = new QPushButton(QStringLiteral("Lägg till..."), this);
    m_addButton->setObjectName(QStringLiteral("addButton"));
    m_editButton = new QPushButton(QStringLiteral("Ändra..."), this);
    m_editButton->setObjectName(QStringLiteral("editButton"));
    m_editButton->setEnabled(false);
    m_removeButton = new QPushButton(QStringLiteral("Ta bort"), this);
    m_removeButton->setObjectName(QStringLiteral("removeButton"));
    m_removeButton->setEnabled(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_addButton);
    buttons->addWidget(m_editButton);
    buttons->addWidget(m_removeButton);
    buttons->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_segmentView, 1);
    layout->addLayout(buttons);

    setTabOrder(m_segmentView, m_addButton);
    setTabOrder(m_addButton, m_editButton);
    setTabOrder(m_editButton, m_removeButton);

    connect(m_addButton, &QPushButton::clicked, this, &SegmentList::addSegment);
    connect(m_editButton, &QPushButton::clicked, this, &SegmentList::editSegment);
    connect(m_removeButton, &QPushButton::clicked, this, &SegmentList::removeSegment);
    connect(m_segmentView, &QTreeWidget::itemSelectionChanged, this, &SegmentList::updateButtons);
}

std::vector<SegmentRow> SegmentList::rows() const
{
    std::vector<SegmentRow> rows;
    rows.reserve(std::size_t(m_segmentView->topLevelItemCount()));
    for (int i = 0; i < m_segmentView->topLevelItemCount(); ++i)
        rows.push_back(readItem(*m_segmentView->topLevelItem(i)));
    return rows;
}

void SegmentList::setRows(const std::vector<SegmentRow> &rows)
{
    m_segmentView->clear();
    QList<QTreeWidgetItem *> items;
    items.reserve(qsizetype(rows.size()));
    for (const SegmentRow &row : rows) {
        auto *item = new QTreeWidgetItem;
        writeItem(*item, row);
        items.append(item);
    }
    m_segmentView->addTopLevelItems(items);
}

void SegmentList::putRow(const SegmentRow &row)
{
    std::vector<QString> numbers;
    numbers.reserve(std::size_t(m_segmentView->topLevelItemCount()));
    for (int i = 0; i < m_segmentView->topLevelItemCount(); ++i)
        numbers.push_back(m_segmentView->topLevelItem(i)->text(0));

    const input::InsertPosition position = input::findInsertPosition(numbers, row.number);
    if (position.overwrite) {
        writeItem(*m_segmentView->topLevelItem(position.index), row);
        return;
    }
    auto *item = new QTreeWidgetItem;
    writeItem(*item, row);
    m_segmentView->insertTopLevelItem(position.index, item);
}

void SegmentList::clear()
{
    m_segmentView->clear();
    m_removeButton->setEnabled(false);
    m_editButton->setEnabled(false);
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
    SegmentDialog dialog(m_prompts, window());
    dialog.setRow(start);
    if (m_prompts.runDialog(dialog) != QDialog::Accepted)
        return;
    const SegmentRow row = dialog.row();
    // An edit that keeps the number goes back into its own row: placing it by number could hit
    // another row with that number (rows read from a file need not be in order) or miss it for
    // a twin such as "05". A new number is placed by number and the edited row stays (a copy).
    if (openedFrom >= 0 && openedFrom < m_segmentView->topLevelItemCount() &&
        row.number == start.number)
        writeItem(*m_segmentView->topLevelItem(openedFrom), row);
    else
        putRow(row);
}

void SegmentList::addSegment()
{
    editInDialog(SegmentRow{}, -1);
}

void SegmentList::editSegment()
{
    // Editing needs a selected row; after a removal the button may be enabled without one.
    const QList<QTreeWidgetItem *> selected = m_segmentView->selectedItems();
    if (selected.isEmpty())
        return;
    editInDialog(readItem(*selected.first()), m_segmentView->indexOfTopLevelItem(selected.first()));
}

void SegmentList::removeSegment()
{
    const QList<QTreeWidgetItem *> selected = m_segmentView->selectedItems();
    if (selected.isEmpty())
        return;
    delete m_segmentView->takeTopLevelItem(m_segmentView->indexOfTopLevelItem(selected.first()));
    // The next row is not chosen for the user: a removal leaves no row selected.
    m_segmentView->clearSelection();
    m_removeButton->setEnabled(false);
}

void SegmentList::updateButtons()
{
    if (m_segmentView->selectedItems().isEmpty())
        return;
    m_editButton->setEnabled(true);
    m_removeButton->setEnabled(true);
}

} // namespace lv::gui
