#include "tracking/DurationDelegate.h"

#include "tracking/TimeTrackerFrame.h"
#include "tracking/TimesheetModel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPainter>
#include <QToolTip>

QWidget *TDurationDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                         const QModelIndex &index) const
{
    // The cell's value as entered is remembered before the user changes it.
    m_frame.dbeDayEnter(TTimesheetModel::TagOfColumn(index.column()));
    auto *edit = new QLineEdit(parent);
    edit->setFrame(false);
    edit->setAlignment(Qt::AlignCenter);
    edit->setInputMask(EntryMask);
    edit->setToolTip(QStringLiteral("Hours : Minutes"));
    Opened(edit, index);
    return edit;
}

void TDurationDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (LastRefused())
        return;
    auto *edit = static_cast<QLineEdit *>(editor);
    edit->setText(index.data(Qt::EditRole).toString());
    // Typing overwrites from the first digit.
    edit->setCursorPosition(0);
}

void TDurationDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    // The displayed text holds every position, blanks shown as "0".
    const QString text = static_cast<QLineEdit *>(editor)->displayText();
    if (text == index.data(Qt::EditRole).toString())
        return;
    Commit(model, index, text, Qt::EditRole);
}

void TWeekDurationDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                  const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString days = opt.text;
    opt.text.clear();
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    const QRect cell = option.rect;
    const QRect daysRect(cell.left(), cell.top(), DaysWidth, cell.height());
    const QRect restRect(daysRect.right() + 1, cell.top(), cell.width() - DaysWidth, cell.height());
    painter->save();
    const QBrush foreground = index.data(Qt::ForegroundRole).value<QBrush>();
    painter->setPen(foreground.style() != Qt::NoBrush ? foreground.color() : opt.palette.color(QPalette::Text));
    painter->drawText(daysRect, Qt::AlignCenter, days);
    painter->drawText(restRect, Qt::AlignCenter, index.data(TTimesheetModel::PartDayRole).toString());
    QColor line = opt.palette.color(QPalette::Mid);
    painter->setPen(line);
    painter->drawLine(daysRect.topRight() + QPoint(0, 3), daysRect.bottomRight() - QPoint(0, 3));
    painter->restore();
}

bool TWeekDurationDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                                      const QModelIndex &index)
{
    if (event->type() != QEvent::ToolTip)
        return TGridDelegate::helpEvent(event, view, option, index);
    const bool onDays = event->pos().x() < option.rect.left() + DaysWidth;
    QToolTip::showText(event->globalPos(), onDays ? QStringLiteral("Days") : QStringLiteral("Hours : Minutes"), view);
    return true;
}
