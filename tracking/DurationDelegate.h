#pragma once
// The duration cells of the timesheet grid: the day cells, edited through the
// clock mask ("hh:mm", blanks shown as 0), and the read-only "Task Duration"
// cell, which shows the whole working days and the rest side by side.

#include "tracking/GridDelegate.h"

/// A day cell (Mon … Sun, or the main window's Today column).
class TDurationDelegate : public TGridDelegate
{
    Q_OBJECT

public:
    /// Input mask of the editor: two digits, ":", two digits; a blank shows as "0".
    static inline const QString EntryMask = QStringLiteral("00:00;0");

    using TGridDelegate::TGridDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
};

/// The "Task Duration" cell: days (22 pixels) and hours : minutes (52 pixels).
class TWeekDurationDelegate : public TGridDelegate
{
    Q_OBJECT

public:
    static constexpr int DaysWidth = 22;

    using TGridDelegate::TGridDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;
};
