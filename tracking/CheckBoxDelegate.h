#pragma once
// The Active and Complete cells: a check box centred in its cell, toggled by a
// click anywhere in the cell or by the space bar; the grid's handler for the
// box runs after the table took the new value.

#include "tracking/GridDelegate.h"

#include <functional>

class TCheckBoxDelegate : public TGridDelegate
{
    Q_OBJECT

public:
    /// `changed` runs after the box's new value was accepted.
    TCheckBoxDelegate(TFrame_TimeTracker_Form &frame, TTimesheetView &view, std::function<void()> changed);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

    /// Where the box is drawn in a cell.
    static QRect BoxRect(const QStyleOptionViewItem &option);

private:
    bool Toggle(QAbstractItemModel *model, const QModelIndex &index);

    std::function<void()> m_changed;
};
