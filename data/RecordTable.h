#pragma once
// An in-memory table of typed rows with one cursor, an edit state, hooks that
// carry the data rules, a filter, a sort order, views that follow it, and
// persistence in the ADO persisted-recordset XML format.

#include "data/TableData.h"
#include "data/TableField.h"
#include "data/TableListener.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <functional>
#include <memory>
#include <vector>

class QIODevice;
class TRowFilter;

enum class TDataSetState { Inactive, Browse, Edit, Insert };

enum TLocateOption { loCaseInsensitive = 1, loPartialKey = 2 };
using TLocateOptions = int;

enum class TAffectRecords { Current, All };

class TRecordTable
{
public:
    using TableHook = std::function<void(TRecordTable &)>;

    explicit TRecordTable(QString name = {});
    ~TRecordTable();
    TRecordTable(const TRecordTable &) = delete;
    TRecordTable &operator=(const TRecordTable &) = delete;

    const QString &Name() const { return m_name; }

    // --- definition -------------------------------------------------------------
    /// Adds a field to the definition; stored fields only while the table is inactive.
    TTableField &AddField(const TFieldDef &def);
    const std::vector<std::unique_ptr<TTableField>> &Fields() const { return m_fields; }
    int FieldCount() const { return int(m_fields.size()); }
    TTableField &Field(int i) const { return *m_fields[std::size_t(i)]; }
    /// The field with that name, case ignored; raises EDatabaseError when there is none.
    TTableField &FieldByName(QStringView name) const;
    TTableField *FindField(QStringView name) const;
    /// Definitions of the stored fields in their order.
    std::vector<TColumnDef> StoredDefs() const;

    // --- opening and files ---------------------------------------------------------
    bool Active() const { return m_state != TDataSetState::Inactive; }
    TDataSetState State() const { return m_state; }
    /// Opens the table empty with the stored fields of its definition.
    void CreateDataSet();
    /// Opens the table from a persisted-recordset file (see RecordsetXml.h);
    /// raises EDatabaseError naming the file, line and fault, leaving the table unopened.
    void LoadFromFile(const QString &path);
    void LoadFromStream(QIODevice &device, const QString &sourceName);
    /// Writes the rows that pass the filter, atomically; raises EDatabaseError on failure.
    void SaveToFile(const QString &path) const;
    void SaveToStream(QIODevice &device) const;
    /// The rows that pass the filter as persisted-recordset XML, and the way back.
    QByteArray Snapshot() const;
    void Restore(const QByteArray &snapshot);
    /// Closes the table (state inactive, no rows).
    void Close();

    // --- cursor --------------------------------------------------------------------
    int RecordCount() const;
    bool IsEmpty() const { return RecordCount() == 0; }
    bool Eof() const { return m_eof; }
    bool Bof() const { return m_bof; }
    void First();
    void Next();
    void Prior();
    void Last();
    /// Position of the current row among the rows that pass the filter; -1 when none.
    int RecNo() const { return m_cursor; }
    /// Makes the row at that position current (the leaving rules apply).
    void MoveTo(int position);
    QString Bookmark() const;
    /// Returns to a remembered row; raises EDatabaseError when it is gone.
    void SetBookmark(const QString &bookmark);
    bool BookmarkValid(const QString &bookmark) const;
    bool Locate(const QString &fields, const QVariantList &values, TLocateOptions options = 0);
    bool Locate(const QString &field, const QVariant &value, TLocateOptions options = 0)
    {
        return Locate(field, QVariantList{value}, options);
    }

    // --- editing -------------------------------------------------------------------
    bool Modified() const { return m_modified; }
    void Edit();
    void Insert();
    void Append();
    void Post();
    void Cancel();
    void Delete();
    void UpdateBatch(TAffectRecords scope = TAffectRecords::All);
    /// Posts a modified pending row and drops one that was not modified.
    void CheckBrowseMode();

    // --- clones, filter, sort ----------------------------------------------------------
    /// Opens this table as a second cursor over the source's rows, with the
    /// source's stored fields, no filter, no sort, on the first row.
    void Clone(const TRecordTable &source);
    const QString &Filter() const { return m_filterText; }
    void SetFilter(const QString &text);
    bool Filtered() const { return m_filtered; }
    void SetFiltered(bool filtered);
    const QString &Sort() const { return m_sortText; }
    void SetSort(const QString &text);

    // --- values by name ------------------------------------------------------------------
    QVariant FieldValue(QStringView name) const { return FieldByName(name).Value(); }
    void SetFieldValue(QStringView name, const QVariant &value) { FieldByName(name).SetValue(value); }

    // --- reading any row without moving the cursor (views) -------------------------------
    QVariant ValueAt(int position, const TTableField &field) const;
    QString TextAt(int position, const TTableField &field, bool displayText = true) const;

    // --- views ---------------------------------------------------------------------------
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return m_disableCount > 0; }
    void AddListener(TTableListener *listener);
    void RemoveListener(TTableListener *listener);

    // --- tag (the data module's changed flag) -----------------------------------------------
    int Tag() const { return m_tag; }
    void SetTag(int tag) { m_tag = tag; }

    // --- hooks ---------------------------------------------------------------------------
    TableHook AfterInsert;
    TableHook BeforePost;
    TableHook AfterPost;
    TableHook BeforeDelete;
    TableHook AfterDelete;
    TableHook AfterScroll;
    TableHook OnCalcFields;

    /// The shared rows (for the file format and clones).
    const std::shared_ptr<TTableData> &Data() const { return m_data; }

private:
    friend class TTableField;

    static constexpr std::uint32_t NoRow = UINT32_MAX;

    // Value access for the fields.
    QVariant ReadValue(const TTableField &field) const;
    QVariant ReadStored(const TTableField &field) const;
    void WriteValue(TTableField &field, const QVariant &value);
    std::uint32_t ReadSlot() const;
    bool ReadingPending() const;
    QVariant LookupValue(const TTableField &field, std::uint32_t slot, bool pending) const;

    void CheckActive() const;
    void RequireRows(std::shared_ptr<TTableData> data);
    void OpenWith(std::shared_ptr<TTableData> data);
    void BindFieldsToData();
    void RebuildView(bool keepCurrent);
    /// After the filter text or flag changed: rebuild the rows when they are
    /// affected, then make the first passing row current.
    void FilterChanged(bool rowsChanged);
    template <typename F> auto ReadAt(int position, bool keepCalc, F &&read) const;
    void SortView();
    void SetCurrent(int position, bool scrolled);
    std::uint32_t CurrentSlot() const;
    void BeginPending(bool insert, int position);
    void DropPending();
    void StorePending();
    void LeavePending();
    void RecalcCurrent();
    void RunCalcFields(std::uint32_t slot, bool pending) const;
    void ForgetSlot(std::uint32_t slot);

    // Notifications.
    template <typename F> void Notify(F &&f);
    void NotifyCurrent();

    // Other cursors over the same rows.
    void OtherCommitted(std::uint32_t slot);
    void OtherRemoved(std::uint32_t slot);
    void OtherChanged(std::uint32_t slot);

    QString m_name;
    std::vector<std::unique_ptr<TTableField>> m_fields;
    std::shared_ptr<TTableData> m_data;
    TDataSetState m_state = TDataSetState::Inactive;

    std::vector<std::uint32_t> m_view; // slots that pass the filter, in sort order
    int m_cursor = -1;
    bool m_eof = true;
    bool m_bof = true;

    // The pending row: stored values and calculated values of the current record.
    std::vector<QVariant> m_pending;
    bool m_modified = false;
    std::uint32_t m_insertSlot = NoRow;
    mutable std::vector<QVariant> m_calc;
    mutable std::uint32_t m_calcSlot = NoRow;
    mutable bool m_inCalc = false;
    int m_calcCount = 0;
    // While set, field reads come from this slot instead of the cursor (views, calc).
    mutable std::uint32_t m_readOverride = NoRow;

    QString m_filterText;
    bool m_filtered = false;
    std::unique_ptr<TRowFilter> m_filter;
    QString m_sortText;
    struct SortKey
    {
        int column;
        bool descending;
    };
    std::vector<SortKey> m_sortKeys;

    int m_disableCount = 0;
    bool m_changedWhileDisabled = false;
    std::vector<TTableListener *> m_listeners;
    int m_tag = 0;
};
