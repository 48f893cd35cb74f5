#pragma once
// Base of the timesheet grid's delegates: rows 25 pixels high, editors that
// fill their cell, key presses reported to the grid (they hold the minute tick
// back), and a commit that remembers whether the table refused the value.
// Also the delegates of the description cell and of the priority picture.

#include <QObject>
#include <QStyledItemDelegate>

#include <functional>

class TFrame_TimeTracker_Form;
class TTimesheetView;

/// Calls a function on every key press of the widgets it watches.
class TKeyPressWatcher : public QObject
{
    Q_OBJECT

public:
    TKeyPressWatcher(std::function<void()> onKeyPress, QObject *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void()> m_onKeyPress;
};

class TGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    TGridDelegate(TFrame_TimeTracker_Form &frame, TTimesheetView &view);

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

    /// Whether the table refused the value of the last setModelData.
    bool LastRefused() const { return m_refused; }

protected:
    /// Hands a value to the model, remembering a refusal.
    bool Commit(QAbstractItemModel *model, const QModelIndex &index, const QVariant &value, int role) const;
    /// Tells the view about a new editor and watches its key presses (and those of `typingWidget`).
    void Opened(QWidget *editor, const QModelIndex &index, QWidget *typingWidget = nullptr) const;

    TFrame_TimeTracker_Form &m_frame;
    TTimesheetView &m_view;

private:
    mutable bool m_refused = false;
};

/// The description cell: a plain edit as long as the field.
class TTextDelegate : public TGridDelegate
{
    Q_OBJECT

public:
    using TGridDelegate::TGridDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
};

/// The priority column: the warning picture, centred.
class TPriorityDelegate : public TGridDelegate
{
    Q_OBJECT

public:
    using TGridDelegate::TGridDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
