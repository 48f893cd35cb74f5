#include "tracking/CheckBoxDelegate.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

TCheckBoxDelegate::TCheckBoxDelegate(TFrame_TimeTracker_Form &frame, TTimesheetView &view,
                                     std::function<void()> changed)
    : TGridDelegate(frame, view)
    , m_changed(std::move(changed))
{
}

QRect TCheckBoxDelegate::BoxRect(const QStyleOptionViewItem &option)
{
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    const int width = style->pixelMetric(QStyle::PM_IndicatorWidth, &option, widget);
    const int height = style->pixelMetric(QStyle::PM_IndicatorHeight, &option, widget);
    QRect box(0, 0, width, height);
    box.moveCenter(option.rect.center());
    return box;
}

void TCheckBoxDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const Qt::CheckState state = opt.checkState;
    opt.features &= ~QStyleOptionViewItem::HasCheckIndicator;
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    QStyleOptionButton box;
    box.initFrom(widget);
    box.rect = BoxRect(option);
    box.state = QStyle::State_Enabled | (state == Qt::Checked ? QStyle::State_On : QStyle::State_Off);
    if (option.state & QStyle::State_MouseOver)
        box.state |= QStyle::State_MouseOver;
    // A box on a highlighted row is drawn in the normal colours, so it stays legible.
    box.palette = option.palette;
    style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, widget);
}

bool TCheckBoxDelegate::Toggle(QAbstractItemModel *model, const QModelIndex &index)
{
    if (!(model->flags(index) & Qt::ItemIsUserCheckable))
        return false;
    const bool checked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    if (!Commit(model, index, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole))
        return true;
    if (m_changed)
        m_changed();
    return true;
}

bool TCheckBoxDelegate::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                                    const QModelIndex &index)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        // Taken so a double click does not toggle twice; the release toggles.
        return mouse->button() == Qt::LeftButton && option.rect.contains(mouse->position().toPoint())
               && event->type() == QEvent::MouseButtonDblClick;
    }
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton || !option.rect.contains(mouse->position().toPoint()))
            return false;
        return Toggle(model, index);
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Space && key != Qt::Key_Select)
            return false;
        return Toggle(model, index);
    }
    default:
        return false;
    }
}
