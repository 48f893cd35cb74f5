#pragma once
// The lookup cells of the timesheet grid: the task code (typed, or picked from
// a list of task summaries as wide as the task-code and description columns),
// the project and the client (picked by name). The lists show only their
// reference table; picking writes the line's key.

#include "tracking/GridDelegate.h"

#include <QAbstractListModel>
#include <QComboBox>
#include <QFont>

#include <functional>
#include <optional>
#include <vector>

class TRecordTable;

/// One reference row of a lookup list: what the list shows, what the edit
/// shows once it is picked, and the key written to the line.
struct TLookupItem
{
    QString display;
    QString edit;
    QVariant key;
};

/// The rows of a lookup list. DisplayRole shows the list text, EditRole the
/// text an editable box takes when a row is picked, Qt::UserRole the key.
class TLookupListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    TLookupListModel(std::vector<TLookupItem> items, QObject *parent);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    /// Row of a key, -1 when the list does not hold it.
    int RowOfKey(const QVariant &key) const;
    /// The face the list shows its rows in (Qt::FontRole).
    void SetFont(const QFont &font) { m_font = font; }

    /// The rows of a reference table in its order: key field, shown field and
    /// the field an editable box takes.
    static std::vector<TLookupItem> ItemsOf(const TRecordTable &table, QStringView keyField,
                                            QStringView displayField, QStringView editField);

private:
    std::vector<TLookupItem> m_items;
    std::optional<QFont> m_font;
};

/// A lookup box that reports when its list drops down.
class TLookupCombo : public QComboBox
{
    Q_OBJECT

public:
    TLookupCombo(std::function<void()> onDropDown, QWidget *parent);
    void showPopup() override;

private:
    std::function<void()> m_onDropDown;
};

class TLookupDelegate : public TGridDelegate
{
    Q_OBJECT

public:
    enum TKind { lkTaskCode, lkProject, lkClient };

    TLookupDelegate(TFrame_TimeTracker_Form &frame, TTimesheetView &view, TKind kind);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

private:
    /// Model column of the key a pick writes (project number, client id).
    int KeyColumn() const;

    TKind m_kind;
};
