#include "tracking/GridDelegate.h"

#include "data/RecordTableModel.h"
#include "tracking/TimeTrackerFrame.h"
#include "tracking/TimesheetView.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>

TKeyPressWatcher::TKeyPressWatcher(std::function<void()> onKeyPress, QObject *parent)
    : QObject(parent)
    , m_onKeyPress(std::move(onKeyPress))
{
}

bool TKeyPressWatcher::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && m_onKeyPress)
        m_onKeyPress();
    return QObject::eventFilter(watched, event);
}

TGridDelegate::TGridDelegate(TFrame_TimeTracker_Form &frame, TTimesheetView &view)
    : QStyledItemDelegate(&view)
    , m_frame(frame)
    , m_view(view)
{
}

QSize TGridDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(TFrame_TimeTracker_Form::RowHeight);
    return size;
}

void TGridDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                         const QModelIndex &) const
{
    // The grid line at the cell's right and bottom edge stays visible.
    editor->setGeometry(option.rect.adjusted(0, 0, -1, -1));
}

bool TGridDelegate::Commit(QAbstractItemModel *model, const QModelIndex &index, const QVariant &value,
                           int role) const
{
    m_refused = !model->setData(index, value, role);
    return !m_refused;
}

void TGridDelegate::Opened(QWidget *editor, const QModelIndex &index, QWidget *typingWidget) const
{
    m_refused = false;
    auto *watcher = new TKeyPressWatcher([frame = &m_frame] { frame->ResetLastUsed(); }, editor);
    editor->installEventFilter(watcher);
    if (typingWidget && typingWidget != editor)
        typingWidget->installEventFilter(watcher);
    m_view.EditorOpened(editor, index);
}

// --- description --------------------------------------------------------------------

QWidget *TTextDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    auto *edit = new QLineEdit(parent);
    edit->setFrame(false);
    const auto *model = qobject_cast<const TRecordTableModel *>(index.model());
    if (model)
        edit->setMaxLength(model->FieldOfColumn(index.column()).Size());
    Opened(edit, index);
    return edit;
}

void TTextDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *edit = static_cast<QLineEdit *>(editor);
    // A refused value stays in the edit for the user to correct.
    if (LastRefused())
        return;
    edit->setText(index.data(Qt::EditRole).toString());
}

void TTextDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    const QString text = static_cast<QLineEdit *>(editor)->text();
    if (text == index.data(Qt::EditRole).toString())
        return;
    Commit(model, index, text, Qt::EditRole);
}

// --- priority -------------------------------------------------------------------------

void TPriorityDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QPixmap picture = qvariant_cast<QPixmap>(index.data(Qt::DecorationRole));
    opt.icon = QIcon();
    opt.features &= ~QStyleOptionViewItem::HasDecoration;
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
    if (picture.isNull())
        return;
    const QSize size = picture.deviceIndependentSize().toSize();
    const QRect target(QPoint(0, 0), size);
    painter->drawPixmap(target.translated(option.rect.center() - target.center()), picture);
}
