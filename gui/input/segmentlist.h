#pragma once

#include "core/input/segmentrow.h"

#include <QGroupBox>

class QPushButton;
class QTreeView;
class QUndoStack;

namespace lv::gui {

class Prompts;
class SegmentTableModel;

// The frame "Segment": a view of the tunnel's segments with the commands "Lägg till...",
// "Ändra..." and "Ta bort", which change the rows of the model it is given.
class SegmentList : public QGroupBox
{
    Q_OBJECT

public:
    SegmentList(SegmentTableModel &model, Prompts &prompts, QWidget *parent = nullptr);

    // "Rensa" on the input tab: no rows, "Ändra..." and "Ta bort" disabled.
    void clear();

    // "Ta bort" becomes a step of this stack, which "Ångra" takes back.
    void setUndoStack(QUndoStack *stack) { m_undoStack = stack; }

    QTreeView *view() const { return m_segmentView; }
    QPushButton *firstButton() const { return m_addButton; }
    QPushButton *lastButton() const { return m_removeButton; }

private:
    void addSegment();
    void editSegment();
    void removeSegment();
    void updateButtons();
    // The selected row's index, or -1.
    int selectedRow() const;
    // Runs the segment dialog filled with `start`; `openedFrom` is the edited row's index
    // ("Ändra..."), or -1 for a new segment.
    void editInDialog(const input::SegmentRow &start, int openedFrom);

    SegmentTableModel &m_model;
    Prompts &m_prompts;
    QTreeView *m_segmentView = nullptr;
    QPushButton *m_addButton = nullptr;
    QPushButton *m_editButton = nullptr;
    QPushButton *m_removeButton = nullptr;
    QUndoStack *m_undoStack = nullptr;
};

} // namespace lv::gui
