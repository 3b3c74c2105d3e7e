#pragma once

#include "core/input/segmentrow.h"

#include <QDialog>

#include <array>

class QLineEdit;
class QPushButton;

namespace lv::gui {

class Prompts;

// The segment dialog: number, length, slope, and speed and flow of the three vehicle classes.
// "OK" checks the fields and accepts only when they pass; the caller then places row() in the
// segment list. The texts are handed on exactly as typed.
class SegmentDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SegmentDialog(Prompts &prompts, QWidget *parent = nullptr);

    // Fills the fields from a row of the segment list ("Ändra...").
    void setRow(const input::SegmentRow &row);
    input::SegmentRow row() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void acceptSegment();

    Prompts &m_prompts;
    QLineEdit *m_numberEdit = nullptr;
    // Indexed by SegmentRow::Cell.
    std::array<QLineEdit *, 8> m_cellFields{};
    QPushButton *m_okButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
};

} // namespace lv::gui
