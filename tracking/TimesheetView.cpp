#include "tracking/TimesheetView.h"

#include "data/RecordTable.h"
#include "tracking/GridDelegate.h"
#include "tracking/TimeTrackerFrame.h"
#include "tracking/TimesheetModel.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

TTimesheetView::TTimesheetView(TFrame_TimeTracker_Form &frame, QWidget *parent)
    : QTableView(parent)
    , m_frame(frame)
{
    setObjectName(QStringLiteral("dbcgTasks"));
    // Lines are shown, not selected: the current line carries a frame instead,
    // so the row colours of active lines stay visible.
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked
                    | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setWordWrap(false);
    setTabKeyNavigation(true);
    setCornerButtonEnabled(false);
    setContextMenuPolicy(Qt::CustomContextMenu);

    QHeaderView *rows = verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(TFrame_TimeTracker_Form::RowHeight);
    rows->setDefaultSectionSize(TFrame_TimeTracker_Form::RowHeight);
    rows->setSectionResizeMode(QHeaderView::Fixed);

    QHeaderView *header = horizontalHeader();
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setHighlightSections(false);
    header->setMinimumSectionSize(8);
    header->setDefaultAlignment(Qt::AlignCenter);
    header->setStretchLastSection(false);
}

void TTimesheetView::setModel(QAbstractItemModel *model)
{
    QTableView::setModel(model);
    // Connected after the view's own handlers, so the editor is reopened once
    // the view has reset itself.
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, &TTimesheetView::SaveEditorState);
    connect(model, &QAbstractItemModel::modelReset, this, &TTimesheetView::RestoreEditorState);
}

void TTimesheetView::EditorOpened(QWidget *editor, const QModelIndex &index)
{
    m_editor = editor;
    m_editorIndex = index;
}

bool TTimesheetView::EditCell(const QModelIndex &index)
{
    if (!index.isValid())
        return false;
    if (currentIndex() != index)
        setCurrentIndex(index);
    if (currentIndex() != index)
        return false;
    if (m_editor && m_editorIndex == index)
        return true;
    edit(index);
    return m_editor && m_editorIndex == index;
}

void TTimesheetView::DiscardOpenEditor()
{
    if (m_editor)
        closeEditor(m_editor, QAbstractItemDelegate::RevertModelCache);
}

void TTimesheetView::CommitEditor(QWidget *editor)
{
    commitData(editor);
}

bool TTimesheetView::CommitOpenEditor()
{
    QWidget *editor = m_editor;
    if (!editor)
        return true;
    commitData(editor);
    if (m_lastCommitRefused)
        return false;
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

void TTimesheetView::FocusEditorLater(QWidget *editor)
{
    QPointer<QWidget> target(editor);
    QTimer::singleShot(0, this, [target] {
        if (target)
            target->setFocus(Qt::OtherFocusReason);
    });
}

void TTimesheetView::commitData(QWidget *editor)
{
    // Editors released by a reset may still report a focus change.
    if (m_committing || editor != m_editor)
        return;
    const auto *delegate = qobject_cast<const TGridDelegate *>(itemDelegateForIndex(m_editorIndex));
    m_committing = true;
    QTableView::commitData(editor);
    m_committing = false;
    m_lastCommitRefused = delegate && delegate->LastRefused();
    m_refusalSeen |= m_lastCommitRefused;
    if (m_lastCommitRefused && m_editor)
        FocusEditorLater(editor);
}

void TTimesheetView::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    // A focus change while a refusal is being shown does not end the edit,
    // nor does one of an editor the view has already released.
    if (m_committing || editor != m_editor)
        return;
    if (m_lastCommitRefused && hint != QAbstractItemDelegate::RevertModelCache) {
        m_lastCommitRefused = false;
        FocusEditorLater(editor);
        return;
    }
    m_lastCommitRefused = false;
    const int column = m_editorIndex.column();
    m_editor = nullptr;
    m_editorIndex = QPersistentModelIndex();
    // The leave rules run while the line left is still the current one; the
    // hint may move on to another row.
    if (hint != QAbstractItemDelegate::RevertModelCache)
        m_frame.OnEditorClosed(TTimesheetModel::TagOfColumn(column));
    QTableView::closeEditor(editor, hint);
}

void TTimesheetView::SetCurrentQuietly(const QModelIndex &index)
{
    m_reverting = true;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    m_reverting = false;
}

void TTimesheetView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    if (m_reverting) {
        QTableView::currentChanged(current, previous);
        return;
    }
    m_refusalSeen = false;
    const QPersistentModelIndex editorCell = m_editorIndex;
    // Commits and closes the editor of the cell left.
    QTableView::currentChanged(current, previous);
    if (m_editor && m_refusalSeen) {
        m_refusalSeen = false;
        SetCurrentQuietly(editorCell);
        FocusEditorLater(m_editor);
        return;
    }
    if (!current.isValid())
        return;
    TRecordTable &tasks = m_frame.Tasks();
    if (current.row() != tasks.RecNo() && !m_frame.Model().SetCurrentRow(current.row())) {
        // The line left could not be posted: stay on it.
        const int row = tasks.RecNo();
        if (row >= 0)
            SetCurrentQuietly(model()->index(row, current.column()));
    }
    viewport()->update();
}

void TTimesheetView::mouseReleaseEvent(QMouseEvent *event)
{
    QTableView::mouseReleaseEvent(event);
    // One click on a cell starts editing it, as in a form.
    if (event->button() != Qt::LeftButton || state() == QAbstractItemView::EditingState)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && index == currentIndex() && (index.flags() & Qt::ItemIsEditable))
        edit(index);
}

void TTimesheetView::paintEvent(QPaintEvent *event)
{
    QTableView::paintEvent(event);
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return;
    // A frame around the current line, across every visible column.
    int left = -1;
    int right = -1;
    for (int column = 0; column < model()->columnCount(); ++column) {
        if (isColumnHidden(column))
            continue;
        const QRect cell = visualRect(model()->index(current.row(), column));
        if (!cell.isValid())
            continue;
        left = left < 0 ? cell.left() : std::min(left, cell.left());
        right = std::max(right, cell.right());
    }
    const int top = rowViewportPosition(current.row());
    if (left < 0 || top < -TFrame_TimeTracker_Form::RowHeight)
        return;
    QPainter painter(viewport());
    QColor colour = palette().color(QPalette::Highlight).darker(160);
    painter.setPen(QPen(colour, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(left + 1, top + 1, right - left - 1, rowHeight(current.row()) - 2));
}

void TTimesheetView::SaveEditorState()
{
    m_saved = TSavedEditor();
    m_saved.column = currentIndex().isValid() ? currentIndex().column() : -1;
    if (!m_editor)
        return;
    m_saved.open = true;
    m_saved.column = m_editorIndex.column();
    m_saved.hadFocus = m_editor->hasFocus() || m_editor->isAncestorOf(QApplication::focusWidget());
    if (auto *combo = qobject_cast<QComboBox *>(m_editor.data())) {
        m_saved.comboIndex = combo->currentIndex();
        if (combo->lineEdit()) {
            m_saved.text = combo->lineEdit()->text();
            m_saved.cursor = combo->lineEdit()->cursorPosition();
        }
    } else if (auto *edit = qobject_cast<QLineEdit *>(m_editor.data())) {
        // A masked edit keeps its blanks as shown.
        m_saved.text = edit->inputMask().isEmpty() ? edit->text() : edit->displayText();
        m_saved.cursor = edit->cursorPosition();
    }
    // The view releases its editors on reset.
    m_editor = nullptr;
    m_editorIndex = QPersistentModelIndex();
}

void TTimesheetView::RestoreEditorState()
{
    const TSavedEditor saved = m_saved;
    m_saved = TSavedEditor();
    const int row = m_frame.Tasks().RecNo();
    if (row < 0 || row >= model()->rowCount())
        return;
    int column = saved.column;
    if (column < 0 || isColumnHidden(column))
        column = TTimesheetModel::ColumnOfTag(TFrame_TimeTracker_Form::gcTaskCode);
    const QModelIndex index = model()->index(row, column);
    SetCurrentQuietly(index);
    if (!saved.open)
        return;
    edit(index);
    if (!m_editor)
        return;
    if (auto *combo = qobject_cast<QComboBox *>(m_editor.data())) {
        if (combo->lineEdit()) {
            combo->lineEdit()->setText(saved.text);
            combo->lineEdit()->setCursorPosition(saved.cursor);
        } else {
            combo->setCurrentIndex(saved.comboIndex);
        }
    } else if (auto *edit = qobject_cast<QLineEdit *>(m_editor.data())) {
        edit->setText(saved.text);
        edit->setCursorPosition(saved.cursor);
    }
    if (saved.hadFocus)
        m_editor->setFocus(Qt::OtherFocusReason);
}
