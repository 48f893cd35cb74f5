#pragma once
// The row area of the timesheet grid: a table view whose cells are edited in
// place. A value the table refuses keeps its cell in edit, with the focus and
// the row; a move to another row goes through the table, which posts the line
// it leaves. Whenever the table resets its views (the minute tick, a new
// order), a cell being edited is opened again with what the user had typed.

#include <QAbstractItemDelegate>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTableView>

class TFrame_TimeTracker_Form;

class TTimesheetView : public QTableView
{
    Q_OBJECT

public:
    explicit TTimesheetView(TFrame_TimeTracker_Form &frame, QWidget *parent);

    void setModel(QAbstractItemModel *model) override;

    /// The editor open on a cell, or null; and its cell.
    QWidget *OpenEditor() const { return m_editor; }
    QModelIndex EditorIndex() const { return m_editorIndex; }
    /// Opens the editor of a cell (making its row current first).
    bool EditCell(const QModelIndex &index);
    /// Hands the open editor's value to the table and closes it. False when
    /// the value was refused: the editor stays open with the focus.
    bool CommitOpenEditor();
    /// Closes the open editor, dropping what was typed in it.
    void DiscardOpenEditor();
    /// Hands an editor's value to the table without closing it (a lookup pick).
    void CommitEditor(QWidget *editor);

    /// Called by the delegates for every editor they create.
    void EditorOpened(QWidget *editor, const QModelIndex &index);

protected:
    void commitData(QWidget *editor) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void SaveEditorState();
    void RestoreEditorState();
    void SetCurrentQuietly(const QModelIndex &index);
    void FocusEditorLater(QWidget *editor);

    TFrame_TimeTracker_Form &m_frame;
    QPointer<QWidget> m_editor;
    QPersistentModelIndex m_editorIndex;
    bool m_committing = false;
    bool m_lastCommitRefused = false; // consumed by the close that follows the commit
    bool m_refusalSeen = false;       // a commit was refused while the current cell changed
    bool m_reverting = false;

    // A cell in edit when the table reset its views.
    struct TSavedEditor
    {
        bool open = false;
        int column = -1;
        QString text;
        int cursor = 0;
        int comboIndex = -1;
        bool hadFocus = false;
    } m_saved;
};
