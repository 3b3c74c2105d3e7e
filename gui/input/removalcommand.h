#pragma once

#include <QUndoCommand>

#include <algorithm>
#include <vector>

namespace lv::gui {

// "Ta bort" of a row as a step that "Ångra" takes back: the row goes back to its place, and
// "Gör om" removes it again. The list may have changed in between (rows added, a list read from
// a file), so a row is removed again only while its place still holds it, and put back no
// further down than the list's end.
template <class Model, class Row>
class RemovalCommand : public QUndoCommand
{
public:
    RemovalCommand(const QString &text, Model &model, int row)
        : QUndoCommand(text), m_model(model), m_row(row), m_removed(model.rows()[std::size_t(row)])
    {}

    void redo() override
    {
        const auto &rows = m_model.rows();
        if (m_row < int(rows.size()) && rows[std::size_t(m_row)] == m_removed)
            m_model.removeRow(m_row);
    }
    void undo() override { m_model.insertRowAt(std::min(m_row, m_model.rowCount()), m_removed); }

private:
    Model &m_model;
    int m_row;
    Row m_removed;
};

} // namespace lv::gui
