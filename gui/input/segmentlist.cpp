#include "gui/input/segmentlist.h"

#include "gui/input/removalcommand.h"
#include "gui/input/segmentdialog.h"
#include "gui/input/segmenttablemodel.h"
#include "gui/prompts/prompts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTreeView>
#include <QUndoStack>
#include <QVBoxLayout>

namespace lv::gui {

using input::SegmentRow;

SegmentList::SegmentList(SegmentTableModel &model, Prompts &prompts, QWidget *parent)
    : QGroupBox(QStringLiteral("Segment"), parent), m_model(model), m_prompts(prompts)
{
    m_segmentView = new QTreeView(this);
    m_segmentView->setObjectName(QStringLiteral("segmentView"));
    m_segmentView->setAccessibleName(QStringLiteral("Segment"));
    m_segmentView->setModel(&m_model);
    m_segmentView->setRootIsDecorated(false);
    m_segmentView->setItemsExpandable(false);
    m_segmentView->setUniformRowHeights(true);
    m_segmentView->setAllColumnsShowFocus(true);
    m_segmentView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_segmentView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_segmentView->setEditTriggers(QAbstractItemView::NoEditTriggers);
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
    connect(m_segmentView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &SegmentList::updateButtons);
}

void SegmentList::clear()
{
    m_model.clear();
    m_removeButton->setEnabled(false);
    m_editButton->setEnabled(false);
}

int SegmentList::selectedRow() const
{
    const QModelIndexList selected = m_segmentView->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
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
    if (openedFrom >= 0 && openedFrom < m_model.rowCount() && row.number == start.number)
        m_model.setRow(openedFrom, row);
    else
        m_model.putRow(row);
}

void SegmentList::addSegment()
{
    editInDialog(SegmentRow{}, -1);
}

void SegmentList::editSegment()
{
    // Editing needs a selected row; after a removal the button may be enabled without one.
    const int row = selectedRow();
    if (row < 0)
        return;
    const SegmentRow start = m_model.rows()[std::size_t(row)]; // a copy: the rows may move
    editInDialog(start, row);
}

void SegmentList::removeSegment()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    // Removed at once; "Ångra" puts the segment back with its typed values.
    const QString text =
        QStringLiteral("ta bort segment %1").arg(m_model.rows()[std::size_t(row)].number);
    auto *removal = new RemovalCommand<SegmentTableModel, SegmentRow>(text, m_model, row);
    if (m_undoStack) {
        m_undoStack->push(removal);
    } else {
        removal->redo();
        delete removal;
    }
    // The next row is not chosen for the user: a removal leaves no row selected.
    m_segmentView->clearSelection();
    m_removeButton->setEnabled(false);
}

void SegmentList::updateButtons()
{
    if (!m_segmentView->selectionModel()->hasSelection())
        return;
    m_editButton->setEnabled(true);
    m_removeButton->setEnabled(true);
}

} // namespace lv::gui
