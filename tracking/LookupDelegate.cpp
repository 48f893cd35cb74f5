#include "tracking/LookupDelegate.h"

#include "data/DataModule.h"
#include "data/RecordTable.h"
#include "tracking/TimeTrackerFrame.h"
#include "tracking/TimesheetModel.h"
#include "tracking/TimesheetView.h"

#include <QAbstractItemView>
#include <QFontDatabase>
#include <QLineEdit>

// --- list model -------------------------------------------------------------------------

TLookupListModel::TLookupListModel(std::vector<TLookupItem> items, QObject *parent)
    : QAbstractListModel(parent)
    , m_items(std::move(items))
{
}

int TLookupListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant TLookupListModel::data(const QModelIndex &index, int role) const
{
    // The box asks for its current row's data while it has none.
    if (!index.isValid())
        return {};
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const TLookupItem &item = m_items[std::size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return item.display;
    case Qt::EditRole:
        return item.edit;
    case Qt::UserRole:
        return item.key;
    case Qt::FontRole:
        return m_font ? QVariant(*m_font) : QVariant();
    default:
        return {};
    }
}

int TLookupListModel::RowOfKey(const QVariant &key) const
{
    if (!key.isValid() || key.isNull())
        return -1;
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].key == key)
            return int(i);
    return -1;
}

std::vector<TLookupItem> TLookupListModel::ItemsOf(const TRecordTable &table, QStringView keyField,
                                                   QStringView displayField, QStringView editField)
{
    std::vector<TLookupItem> items;
    if (!table.Active())
        return items;
    const TTableField &key = table.FieldByName(keyField);
    const TTableField &display = table.FieldByName(displayField);
    const TTableField &edit = table.FieldByName(editField);
    items.reserve(std::size_t(table.RecordCount()));
    for (int row = 0; row < table.RecordCount(); ++row)
        items.push_back({table.ValueAt(row, display).toString(), table.ValueAt(row, edit).toString(),
                         table.ValueAt(row, key)});
    return items;
}

// --- combo --------------------------------------------------------------------------------

TLookupCombo::TLookupCombo(std::function<void()> onDropDown, QWidget *parent)
    : QComboBox(parent)
    , m_onDropDown(std::move(onDropDown))
{
}

void TLookupCombo::showPopup()
{
    if (m_onDropDown)
        m_onDropDown();
    QComboBox::showPopup();
}

// --- delegate -----------------------------------------------------------------------------

TLookupDelegate::TLookupDelegate(TFrame_TimeTracker_Form &frame, TTimesheetView &view, TKind kind)
    : TGridDelegate(frame, view)
    , m_kind(kind)
{
}

int TLookupDelegate::KeyColumn() const
{
    return m_kind == lkClient ? TTimesheetModel::ClientIdColumn : TTimesheetModel::ProjectNumberColumn;
}

QWidget *TLookupDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    TdmTasks_Form &dm = m_frame.DataModule();
    auto *combo = new TLookupCombo([frame = &m_frame] { frame->ResetLastUsed(); }, parent);
    combo->setFrame(false);
    std::vector<TLookupItem> items;
    switch (m_kind) {
    case lkTaskCode:
        items = TLookupListModel::ItemsOf(dm.adsTaskCodes, u"TaskCode", u"TaskSummary", u"TaskCode");
        break;
    case lkProject:
        items = TLookupListModel::ItemsOf(dm.adsProjects, u"ProjectNumber", u"ProjectName", u"ProjectName");
        break;
    case lkClient:
        items = TLookupListModel::ItemsOf(dm.adsClients, u"ClientId", u"ClientName", u"ClientName");
        break;
    }
    auto *list = new TLookupListModel(std::move(items), combo);
    combo->setModel(list);

    if (m_kind == lkTaskCode) {
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->lineEdit()->setMaxLength(dm.adsTasks.FieldByName(u"TaskCode").Size());
        combo->lineEdit()->setToolTip(QStringLiteral("Task Code"));
        // The summaries pad the code to 20 characters: a fixed-pitch face lines
        // the descriptions up.
        list->SetFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        combo->view()->setMinimumWidth(m_frame.ColumnWidth(TFrame_TimeTracker_Form::gcTaskCode)
                                       + m_frame.ColumnWidth(TFrame_TimeTracker_Form::gcDescription));
    } else {
        // A pick is written at once, as a lookup box does.
        connect(combo, &QComboBox::activated, combo, [view = &m_view, combo] { view->CommitEditor(combo); });
    }
    Opened(combo, index, m_kind == lkTaskCode ? combo->lineEdit() : nullptr);
    return combo;
}

void TLookupDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (LastRefused())
        return;
    auto *combo = static_cast<QComboBox *>(editor);
    if (m_kind == lkTaskCode) {
        combo->setCurrentIndex(-1);
        combo->setEditText(index.data(Qt::EditRole).toString());
        return;
    }
    const auto *list = static_cast<const TLookupListModel *>(combo->model());
    combo->setCurrentIndex(list->RowOfKey(index.siblingAtColumn(KeyColumn()).data(TRecordTableModel::ValueRole)));
}

void TLookupDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    auto *combo = static_cast<QComboBox *>(editor);
    if (m_kind == lkTaskCode) {
        const QString text = combo->currentText();
        if (text == index.data(Qt::EditRole).toString())
            return;
        Commit(model, index, text, Qt::EditRole);
        return;
    }
    if (combo->currentIndex() < 0)
        return;
    const QVariant key = combo->currentData(Qt::UserRole);
    const QModelIndex keyIndex = index.siblingAtColumn(KeyColumn());
    if (key == keyIndex.data(TRecordTableModel::ValueRole))
        return;
    Commit(model, keyIndex, key, TRecordTableModel::ValueRole);
}
