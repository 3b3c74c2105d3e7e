#pragma once

#include "core/input/segmentrow.h"

#include <QGroupBox>

#include <vector>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace lv::gui {

class Prompts;

// The frame "Segment": the segment list m_segmentView, the only store of the tunnel's segments,
// with its commands "Lägg till...", "Ändra..." and "Ta bort". Rows hold their texts as typed;
// the list never sorts or reformats them.
class SegmentList : public QGroupBox
{
    Q_OBJECT

public:
    explicit SegmentList(Prompts &prompts, QWidget *parent = nullptr);

    // The rows in list order.
    std::vector<input::SegmentRow> rows() const;
    // Replaces every row (an input file read back); the command buttons stay as they are.
    void setRows(const std::vector<input::SegmentRow> &rows);
    // Places a row by its number: overwrites the row with the identical number text, or
    // inserts it before the first row with a greater or equal number, or appends it.
    void putRow(const input::SegmentRow &row);
    // "Rensa" on the input tab: no rows, "Ändra..." and "Ta bort" disabled.
    void clear();

    QTreeWidget *list() const { return m_segmentView; }
    QPushButton *firstButton() const { return m_addButton; }
    QPushButton *lastButton() const { return m_removeButton; }

private:
    void addSegment();
    void editSegment();
    void removeSegment();
    void updateButtons();
    // Runs the segment dialog filled with `start`; `openedFrom` is the edited row's index
    // ("Ändra..."), or -1 for a new segment.
    void editInDialog(const input::SegmentRow &start, int openedFrom);
    static input::SegmentRow readItem(const QTreeWidgetItem &item);
    static void writeItem(QTreeWidgetItem &item, const input::SegmentRow &row);

    Prompts &m_prompts;
    QTreeWidget *m_segmentView = nullptr;
    QPushButton *m_addButton = nullptr;
    QPushButton *m_editButton = nullptr;
    QPushButton *m_removeButton = nullptr;
};

} // namespace lv::gui
