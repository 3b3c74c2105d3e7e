#pragma once

#include "core/input/segmentrow.h"
#include "gui/recordingprompts.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QStringList>
#include <QWidget>
#include <QtGlobal>

// Helpers that drive the windows through their object names, as a user would.

// The child with this object name; a missing name is a broken window, not a failed check.
template <class T>
T *named(const QObject &root, const QString &name)
{
    T *child = root.findChild<T *>(name);
    if (!child)
        qFatal("no child named %s under %s", qPrintable(name), qPrintable(root.objectName()));
    return child;
}

inline lv::input::SegmentRow segment(const QString &number, const QString &length,
                                     const QString &slope, const QString &pbSpeed,
                                     const QString &pbFlow, const QString &lbSpeed,
                                     const QString &lbFlow, const QString &lbsSpeed,
                                     const QString &lbsFlow)
{
    return lv::input::SegmentRow{
        number, {length, slope, pbSpeed, pbFlow, lbSpeed, lbFlow, lbsSpeed, lbsFlow}};
}

// A plain valid segment with the given number.
inline lv::input::SegmentRow segment(const QString &number)
{
    return segment(number, "100", "0", "70", "1000", "70", "100", "70", "50");
}

inline const QStringList &segmentFieldNames()
{
    static const QStringList names = {"numberEdit",  "lengthEdit",   "slopeEdit",
                                      "pbSpeedEdit", "pbFlowEdit",   "lbSpeedEdit",
                                      "lbFlowEdit",  "lbsSpeedEdit", "lbsFlowEdit"};
    return names;
}

// Types a segment into the segment dialog's fields, replacing what they held.
inline void fillSegmentDialog(QDialog &dialog, const lv::input::SegmentRow &row)
{
    const QStringList &names = segmentFieldNames();
    named<QLineEdit>(dialog, names[0])->setText(row.number);
    for (int i = 0; i < 8; ++i)
        named<QLineEdit>(dialog, names[i + 1])->setText(row.cells[std::size_t(i)]);
}

// The segment dialog's fields as they stand.
inline lv::input::SegmentRow segmentDialogRow(const QDialog &dialog)
{
    const QStringList &names = segmentFieldNames();
    lv::input::SegmentRow row;
    row.number = named<QLineEdit>(dialog, names[0])->text();
    for (int i = 0; i < 8; ++i)
        row.cells[std::size_t(i)] = named<QLineEdit>(dialog, names[i + 1])->text();
    return row;
}

// "Lägg till...": types the segment into the dialog and presses OK.
inline void addSegment(QWidget &window, RecordingPrompts &prompts, const lv::input::SegmentRow &row)
{
    prompts.onDialog = [&row](QDialog &dialog) {
        fillSegmentDialog(dialog, row);
        named<QAbstractButton>(dialog, "okButton")->click();
    };
    named<QAbstractButton>(window, "addButton")->click();
    prompts.onDialog = nullptr;
}

// The number of rows a list shows.
inline int rowCount(const QAbstractItemView &list)
{
    return list.model()->rowCount();
}

// The text of one cell of a list.
inline QString cellText(const QAbstractItemView &list, int row, int column)
{
    return list.model()->index(row, column).data().toString();
}

// The texts of one column of a list, top to bottom, as its model gives them.
inline QStringList columnTexts(const QAbstractItemView &list, int column)
{
    const QAbstractItemModel &model = *list.model();
    QStringList texts;
    for (int r = 0; r < model.rowCount(); ++r)
        texts.append(model.index(r, column).data().toString());
    return texts;
}

// All cells of a list row: its text and the further columns.
inline QStringList rowTexts(const QAbstractItemView &list, int row)
{
    const QAbstractItemModel &model = *list.model();
    QStringList texts;
    for (int c = 0; c < model.columnCount(); ++c)
        texts.append(model.index(row, c).data().toString());
    return texts;
}

inline QStringList headerTexts(const QAbstractItemView &list)
{
    const QAbstractItemModel &model = *list.model();
    QStringList texts;
    for (int c = 0; c < model.columnCount(); ++c)
        texts.append(model.headerData(c, Qt::Horizontal).toString());
    return texts;
}

inline QString statusText(const QWidget &window)
{
    return named<QLabel>(*named<QStatusBar>(window, "statusBar"), "statusText")->text();
}
