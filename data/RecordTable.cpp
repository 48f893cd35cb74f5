#include "data/RecordTable.h"

#include "app/core/Errors.h"
#include "app/core/ScopeExit.h"
#include "data/RecordsetXml.h"
#include "data/RowFilter.h"

#include <QBuffer>
#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

namespace {

// Makes a value of the field's kind out of any variant (texts cut to the size,
// times reduced to the time of day), the way storing it would.
QVariant Normalized(const TTableField &field, const QVariant &value)
{
    if (!value.isValid())
        return {};
    TColumn scratch(TColumnDef{field.FieldName(), field.Kind(), field.Size()});
    scratch.Resize(1);
    if (!scratch.SetValue(0, value))
        throw EConvertError(QStringLiteral("'%1' is not a valid %2 value for the field \"%3\"")
                                .arg(value.toString(), FieldKindName(field.Kind()), field.FieldName()));
    return scratch.Value(0);
}

QString NormalizedKey(const QVariant &value)
{
    if (!value.isValid())
        return QStringLiteral("\x1fnull");
    if (value.metaType().id() == QMetaType::QString)
        return value.toString().toLower();
    if (value.metaType() == QMetaType::fromType<TCurrency>())
        return QString::number(value.value<TCurrency>().Units());
    if (value.metaType().id() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    if (value.metaType().id() == QMetaType::Double) {
        const double d = value.toDouble();
        if (d == std::floor(d) && std::fabs(d) < 9e15)
            return QString::number(qint64(d));
        return QString::number(d, 'g', 17);
    }
    return value.toString();
}

} // namespace

TRecordTable::TRecordTable(QString name)
    : m_name(std::move(name))
{
}

TRecordTable::~TRecordTable()
{
    if (m_data)
        m_data->Detach(this);
}

// --- definition -----------------------------------------------------------------

TTableField &TRecordTable::AddField(const TFieldDef &def)
{
    if (FindField(def.name))
        throw EDatabaseError(QStringLiteral("%1: the field \"%2\" is defined twice").arg(m_name, def.name));
    int storage = -1;
    if (def.role == TFieldRole::Stored) {
        if (Active())
            throw EDatabaseError(QStringLiteral("%1: stored fields cannot be added to an open table").arg(m_name));
        storage = int(std::count_if(m_fields.begin(), m_fields.end(), [](const auto &f) { return f->IsStored(); }));
    } else if (def.role == TFieldRole::Calculated) {
        storage = m_calcCount++;
        m_calc.resize(std::size_t(m_calcCount));
    }
    m_fields.push_back(std::make_unique<TTableField>(*this, def, int(m_fields.size()), storage));
    return *m_fields.back();
}

TTableField *TRecordTable::FindField(QStringView name) const
{
    for (const auto &f : m_fields)
        if (f->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

TTableField &TRecordTable::FieldByName(QStringView name) const
{
    TTableField *field = FindField(name);
    if (!field)
        throw EDatabaseError(QStringLiteral("%1: Field '%2' not found").arg(m_name, name.toString()));
    return *field;
}

std::vector<TColumnDef> TRecordTable::StoredDefs() const
{
    std::vector<TColumnDef> defs;
    for (const auto &f : m_fields)
        if (f->IsStored())
            defs.push_back(TColumnDef{f->FieldName(), f->Kind(), f->Size()});
    return defs;
}

// --- opening ------------------------------------------------------------------------

void TRecordTable::CheckActive() const
{
    if (!Active())
        throw EDatabaseError(QStringLiteral("%1: Cannot perform this operation on a closed dataset").arg(m_name));
}

void TRecordTable::OpenWith(std::shared_ptr<TTableData> data)
{
    Notify([](TTableListener *l) { l->AboutToReset(); });
    if (m_data)
        m_data->Detach(this);
    m_data = std::move(data);
    m_data->Attach(this);
    m_state = TDataSetState::Browse;
    m_modified = false;
    m_insertSlot = NoRow;
    m_pending.clear();
    m_calcSlot = NoRow;
    // A filter text set while closed is applied now; one that no longer reads is dropped.
    m_filter.reset();
    if (!m_filterText.trimmed().isEmpty()) {
        try {
            m_filter = std::make_unique<TRowFilter>(m_filterText, *m_data);
        } catch (const EDatabaseError &) {
            m_filterText.clear();
        }
    }
    m_sortKeys.clear();
    m_sortText.clear();
    RebuildView(false);
    Notify([](TTableListener *l) { l->Reset(); });
    SetCurrent(m_view.empty() ? -1 : 0, true);
    m_bof = true;
    m_eof = m_view.empty();
}

void TRecordTable::CreateDataSet()
{
    if (StoredDefs().empty())
        throw EDatabaseError(QStringLiteral("%1: the table has no fields").arg(m_name));
    OpenWith(std::make_shared<TTableData>(StoredDefs()));
}

void TRecordTable::RequireRows(std::shared_ptr<TTableData> data)
{
    if (StoredDefs().empty()) {
        // No definition of its own: the table takes the columns of the file.
        for (int i = 0; i < data->ColumnCount(); ++i) {
            const TColumnDef &c = data->Column(i).Def();
            TFieldDef def;
            def.name = c.name;
            def.kind = c.kind;
            def.size = c.size;
            AddField(def);
        }
    }
    OpenWith(std::move(data));
}

void TRecordTable::LoadFromFile(const QString &path)
{
    auto data = RecordsetXml::ReadFile(path, StoredDefs());
    if (Active())
        Close();
    RequireRows(std::move(data));
}

void TRecordTable::LoadFromStream(QIODevice &device, const QString &sourceName)
{
    auto data = RecordsetXml::Read(device.readAll(), sourceName, StoredDefs());
    if (Active())
        Close();
    RequireRows(std::move(data));
}

void TRecordTable::SaveToFile(const QString &path) const
{
    CheckActive();
    RecordsetXml::WriteFile(path, *m_data, m_view);
}

void TRecordTable::SaveToStream(QIODevice &device) const
{
    CheckActive();
    RecordsetXml::Write(device, *m_data, m_view);
}

QByteArray TRecordTable::Snapshot() const
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    SaveToStream(buffer);
    return bytes;
}

void TRecordTable::Restore(const QByteArray &snapshot)
{
    auto data = RecordsetXml::Read(snapshot, m_name, StoredDefs());
    // The restored rows replace the shared rows in place, so clones follow.
    if (Active() && (m_state == TDataSetState::Edit || m_state == TDataSetState::Insert))
        DropPending();
    RequireRows(std::move(data));
}

void TRecordTable::Close()
{
    if (!Active())
        return;
    if (m_insertSlot != NoRow && m_data)
        m_data->Discard(m_insertSlot);
    Notify([](TTableListener *l) { l->AboutToReset(); });
    m_data->Detach(this);
    m_data.reset();
    m_view.clear();
    m_cursor = -1;
    m_state = TDataSetState::Inactive;
    m_pending.clear();
    m_modified = false;
    m_insertSlot = NoRow;
    m_calcSlot = NoRow;
    m_eof = m_bof = true;
    Notify([](TTableListener *l) { l->Reset(); });
}

// --- view -------------------------------------------------------------------------

void TRecordTable::RebuildView(bool keepCurrent)
{
    const std::uint32_t current = keepCurrent ? CurrentSlot() : NoRow;
    m_view.clear();
    const auto &rows = m_data->Rows();
    if (m_filtered && m_filter) {
        m_view.reserve(rows.size() / 4);
        for (const std::uint32_t slot : rows)
            if (m_filter->Passes(*m_data, slot))
                m_view.push_back(slot);
    } else {
        m_view = rows;
    }
    SortView();
    if (keepCurrent) {
        const auto it = std::find(m_view.begin(), m_view.end(), current);
        m_cursor = it == m_view.end() ? (m_view.empty() ? -1 : 0) : int(it - m_view.begin());
    }
}

namespace {

// An order-preserving unsigned form of a double.
std::uint64_t OrderedBits(double d)
{
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    return (bits & 0x8000000000000000ull) ? ~bits : bits | 0x8000000000000000ull;
}

} // namespace

void TRecordTable::SortView()
{
    if (m_sortKeys.empty() || m_view.size() < 2)
        return;
    // Every key becomes one unsigned ordinal per row (texts by their rank among
    // the distinct texts, ignoring case), so the sort compares plain numbers.
    const std::size_t keyCount = m_sortKeys.size();
    const std::size_t rows = m_view.size();
    std::vector<std::uint64_t> ordinals(rows * keyCount);
    std::vector<std::uint8_t> nulls(rows * keyCount);
    for (std::size_t k = 0; k < keyCount; ++k) {
        const TColumn &column = m_data->Column(m_sortKeys[k].column);
        std::vector<std::uint32_t> rank;
        if (IsTextKind(column.Def().kind)) {
            const auto &pool = column.TextPool();
            std::vector<std::uint32_t> order(pool.size());
            std::iota(order.begin(), order.end(), 0u);
            std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
                return pool[a].compare(pool[b], Qt::CaseInsensitive) < 0;
            });
            rank.assign(pool.size(), 0);
            std::uint32_t r = 0;
            for (std::size_t i = 0; i < order.size(); ++i) {
                if (i > 0 && pool[order[i - 1]].compare(pool[order[i]], Qt::CaseInsensitive) != 0)
                    ++r;
                rank[order[i]] = r;
            }
        }
        const TFieldKind kind = column.Def().kind;
        for (std::size_t i = 0; i < rows; ++i) {
            const std::uint32_t slot = m_view[i];
            std::uint64_t &ordinal = ordinals[i * keyCount + k];
            if (column.IsNull(slot)) {
                nulls[i * keyCount + k] = 1;
                ordinal = 0;
                continue;
            }
            switch (kind) {
            case TFieldKind::String:
            case TFieldKind::Memo:
                ordinal = rank[column.TextIndex(slot)];
                break;
            case TFieldKind::Float:
            case TFieldKind::DateTime:
            case TFieldKind::Time:
                ordinal = OrderedBits(column.Cell(slot).d);
                break;
            case TFieldKind::Blob:
                ordinal = 0;
                break;
            default:
                ordinal = std::uint64_t(column.Cell(slot).i) ^ 0x8000000000000000ull;
                break;
            }
        }
    }
    // When every key's span of ordinals fits, pack the keys into one number per
    // row (descending keys inverted) and sort those: the common report orders
    // by a project number and a task code fit easily.
    {
        std::vector<std::uint64_t> low(keyCount, ~0ull), span(keyCount, 0);
        int bitsNeeded = 0;
        for (std::size_t k = 0; k < keyCount; ++k) {
            std::uint64_t lo = ~0ull, hi = 0;
            for (std::size_t i = 0; i < rows; ++i) {
                lo = std::min(lo, ordinals[i * keyCount + k]);
                hi = std::max(hi, ordinals[i * keyCount + k]);
            }
            low[k] = lo;
            if (hi - lo > (1ull << 62)) {
                bitsNeeded = 65;
                break;
            }
            span[k] = hi - lo + 2; // room for null below every value
            int bits = 0;
            while (bits < 64 && (span[k] - 1) >> bits)
                ++bits;
            bitsNeeded += span[k] < 2 ? 1 : bits;
        }
        if (bitsNeeded <= 64 && keyCount > 0) {
            std::vector<std::pair<std::uint64_t, std::uint32_t>> packed(rows);
            for (std::size_t i = 0; i < rows; ++i) {
                std::uint64_t key = 0;
                for (std::size_t k = 0; k < keyCount; ++k) {
                    const std::size_t at = i * keyCount + k;
                    std::uint64_t v = nulls[at] ? 0 : ordinals[at] - low[k] + 1;
                    if (m_sortKeys[k].descending)
                        v = span[k] - 1 - v;
                    key = key * span[k] + v;
                }
                packed[i] = {key, std::uint32_t(i)};
            }
            std::sort(packed.begin(), packed.end());
            std::vector<std::uint32_t> sorted(rows);
            for (std::size_t i = 0; i < rows; ++i)
                sorted[i] = m_view[packed[i].second];
            m_view = std::move(sorted);
            return;
        }
    }
    // Sort positions; ties keep their previous order.
    std::vector<std::uint32_t> order(rows);
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        for (std::size_t k = 0; k < keyCount; ++k) {
            const std::size_t ia = a * keyCount + k;
            const std::size_t ib = b * keyCount + k;
            int cmp = 0;
            if (nulls[ia] != nulls[ib])
                cmp = nulls[ia] ? -1 : 1;
            else if (ordinals[ia] != ordinals[ib])
                cmp = ordinals[ia] < ordinals[ib] ? -1 : 1;
            if (cmp != 0)
                return m_sortKeys[k].descending ? cmp > 0 : cmp < 0;
        }
        return a < b;
    });
    std::vector<std::uint32_t> sorted(rows);
    for (std::size_t i = 0; i < rows; ++i)
        sorted[i] = m_view[order[i]];
    m_view = std::move(sorted);
}

std::uint32_t TRecordTable::CurrentSlot() const
{
    return m_cursor >= 0 && m_cursor < int(m_view.size()) ? m_view[std::size_t(m_cursor)] : NoRow;
}

void TRecordTable::SetCurrent(int position, bool scrolled)
{
    m_cursor = position;
    m_calcSlot = NoRow;
    if (scrolled && AfterScroll && Active())
        AfterScroll(*this);
    NotifyCurrent();
}

int TRecordTable::RecordCount() const
{
    return Active() ? int(m_view.size()) : 0;
}

// --- cursor -----------------------------------------------------------------------

void TRecordTable::First()
{
    CheckActive();
    LeavePending();
    SetCurrent(m_view.empty() ? -1 : 0, true);
    m_bof = true;
    m_eof = m_view.empty();
}

void TRecordTable::Last()
{
    CheckActive();
    LeavePending();
    SetCurrent(int(m_view.size()) - 1, true);
    m_eof = true;
    m_bof = m_view.empty();
}

void TRecordTable::Next()
{
    CheckActive();
    LeavePending();
    if (m_cursor + 1 >= int(m_view.size())) {
        m_eof = true;
        return;
    }
    m_bof = false;
    m_eof = false;
    SetCurrent(m_cursor + 1, true);
}

void TRecordTable::Prior()
{
    CheckActive();
    LeavePending();
    if (m_cursor <= 0) {
        m_bof = true;
        return;
    }
    m_bof = false;
    m_eof = false;
    SetCurrent(m_cursor - 1, true);
}

void TRecordTable::MoveTo(int position)
{
    CheckActive();
    if (position < 0 || position >= int(m_view.size()))
        throw EDatabaseError(QStringLiteral("%1: there is no row %2").arg(m_name).arg(position + 1));
    if (position == m_cursor && m_state != TDataSetState::Inactive)
        return;
    const std::uint32_t target = m_view[std::size_t(position)];
    LeavePending();
    // Leaving may have dropped a new row before the target: find it again.
    const auto it = std::find(m_view.begin(), m_view.end(), target);
    if (it == m_view.end())
        return;
    m_bof = m_eof = false;
    SetCurrent(int(it - m_view.begin()), true);
}

QString TRecordTable::Bookmark() const
{
    const std::uint32_t slot = CurrentSlot();
    return slot == NoRow ? QString() : QString::number(slot);
}

bool TRecordTable::BookmarkValid(const QString &bookmark) const
{
    bool ok = false;
    const std::uint32_t slot = bookmark.toUInt(&ok);
    return ok && Active() && std::find(m_view.begin(), m_view.end(), slot) != m_view.end();
}

void TRecordTable::SetBookmark(const QString &bookmark)
{
    CheckActive();
    bool ok = false;
    const std::uint32_t slot = bookmark.toUInt(&ok);
    if (ok && slot == CurrentSlot() && m_state == TDataSetState::Browse)
        return;
    LeavePending();
    const auto it = ok ? std::find(m_view.begin(), m_view.end(), slot) : m_view.end();
    if (it == m_view.end())
        throw EDatabaseError(QStringLiteral("%1: Record not found").arg(m_name));
    m_bof = m_eof = false;
    SetCurrent(int(it - m_view.begin()), true);
}

bool TRecordTable::Locate(const QString &fields, const QVariantList &values, TLocateOptions options)
{
    CheckActive();
    const QStringList names = fields.split(u';', Qt::SkipEmptyParts);
    if (names.size() != values.size())
        throw EDatabaseError(QStringLiteral("%1: Locate needs one value per field").arg(m_name));
    std::vector<const TTableField *> keyFields;
    std::vector<QVariant> wanted;
    for (int i = 0; i < names.size(); ++i) {
        const TTableField &f = FieldByName(names[i].trimmed());
        keyFields.push_back(&f);
        wanted.push_back(values[i]);
    }
    LeavePending();
    const Qt::CaseSensitivity cs = (options & loCaseInsensitive) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    for (std::size_t pos = 0; pos < m_view.size(); ++pos) {
        bool all = true;
        for (std::size_t k = 0; k < keyFields.size() && all; ++k) {
            const QVariant have = ValueAt(int(pos), *keyFields[k]);
            const QVariant &want = wanted[k];
            if (!want.isValid() || !have.isValid()) {
                all = !want.isValid() && !have.isValid();
                continue;
            }
            if (IsTextKind(keyFields[k]->Kind())) {
                const QString h = have.toString();
                const QString w = want.toString();
                all = (options & loPartialKey) ? h.startsWith(w, cs) : h.compare(w, cs) == 0;
            } else {
                all = NormalizedKey(Normalized(*keyFields[k], want)) == NormalizedKey(have);
            }
        }
        if (all) {
            m_bof = m_eof = false;
            SetCurrent(int(pos), true);
            return true;
        }
    }
    return false;
}

// --- editing ------------------------------------------------------------------------

void TRecordTable::BeginPending(bool insert, int position)
{
    if (insert) {
        const std::uint32_t slot = m_data->NewSlot();
        m_insertSlot = slot;
        Notify([position](TTableListener *l) { l->RowsAboutToBeInserted(position, position); });
        m_view.insert(m_view.begin() + position, slot);
        Notify([position](TTableListener *l) { l->RowsInserted(position, position); });
        m_pending.assign(std::size_t(m_data->ColumnCount()), QVariant());
        m_state = TDataSetState::Insert;
        m_modified = false;
        m_bof = m_eof = false;
        SetCurrent(position, false);
        if (AfterInsert)
            AfterInsert(*this);
        if (AfterScroll)
            AfterScroll(*this);
        return;
    }
    const std::uint32_t slot = CurrentSlot();
    m_pending.resize(std::size_t(m_data->ColumnCount()));
    for (int c = 0; c < m_data->ColumnCount(); ++c)
        m_pending[std::size_t(c)] = m_data->Column(c).Value(slot);
    m_state = TDataSetState::Edit;
    m_modified = false;
    m_calcSlot = NoRow;
}

void TRecordTable::Edit()
{
    CheckActive();
    if (m_state == TDataSetState::Edit || m_state == TDataSetState::Insert)
        return;
    if (m_view.empty()) {
        Append();
        return;
    }
    if (m_cursor < 0)
        SetCurrent(0, true);
    BeginPending(false, m_cursor);
}

void TRecordTable::Insert()
{
    CheckActive();
    LeavePending();
    BeginPending(true, m_cursor < 0 ? 0 : m_cursor);
}

void TRecordTable::Append()
{
    CheckActive();
    LeavePending();
    BeginPending(true, int(m_view.size()));
}

void TRecordTable::StorePending()
{
    const std::uint32_t slot = m_state == TDataSetState::Insert ? m_insertSlot : CurrentSlot();
    for (int c = 0; c < m_data->ColumnCount(); ++c)
        m_data->Column(c).SetValue(slot, m_pending[std::size_t(c)]);
    const bool inserted = m_state == TDataSetState::Insert;
    if (inserted) {
        m_data->Commit(slot, m_data->RowCount());
        m_insertSlot = NoRow;
    } else {
        m_data->Touch();
    }
    m_state = TDataSetState::Browse;
    m_modified = false;
    m_pending.clear();
    m_calcSlot = NoRow;
    for (TRecordTable *other : std::vector<TRecordTable *>(m_data->Cursors()))
        if (other != this) {
            if (inserted)
                other->OtherCommitted(slot);
            else
                other->OtherChanged(slot);
        }
    const int row = m_cursor;
    Notify([row](TTableListener *l) { l->RowDataChanged(row); });
}

void TRecordTable::Post()
{
    CheckActive();
    if (m_state != TDataSetState::Edit && m_state != TDataSetState::Insert)
        return;
    if (BeforePost)
        BeforePost(*this);
    StorePending();
    if (AfterPost)
        AfterPost(*this);
}

void TRecordTable::DropPending()
{
    if (m_state == TDataSetState::Insert) {
        const int row = m_cursor;
        m_data->Discard(m_insertSlot);
        m_insertSlot = NoRow;
        m_state = TDataSetState::Browse;
        m_modified = false;
        m_pending.clear();
        Notify([row](TTableListener *l) { l->RowsAboutToBeRemoved(row, row); });
        m_view.erase(m_view.begin() + row);
        Notify([row](TTableListener *l) { l->RowsRemoved(row, row); });
        const int next = m_view.empty() ? -1 : std::min(row, int(m_view.size()) - 1);
        m_eof = m_view.empty();
        m_bof = m_view.empty();
        SetCurrent(next, true);
        return;
    }
    if (m_state == TDataSetState::Edit) {
        m_state = TDataSetState::Browse;
        m_modified = false;
        m_pending.clear();
        m_calcSlot = NoRow;
        const int row = m_cursor;
        Notify([row](TTableListener *l) { l->RowDataChanged(row); });
    }
}

void TRecordTable::Cancel()
{
    CheckActive();
    DropPending();
}

void TRecordTable::LeavePending()
{
    if (m_state != TDataSetState::Edit && m_state != TDataSetState::Insert)
        return;
    if (m_modified)
        Post();
    else
        DropPending();
}

void TRecordTable::CheckBrowseMode()
{
    CheckActive();
    LeavePending();
}

void TRecordTable::Delete()
{
    CheckActive();
    if (m_state == TDataSetState::Insert) {
        DropPending();
        return;
    }
    if (m_view.empty() || m_cursor < 0)
        throw EDatabaseError(QStringLiteral("%1: Cannot perform this operation on an empty dataset").arg(m_name));
    if (BeforeDelete)
        BeforeDelete(*this);
    if (m_state == TDataSetState::Edit)
        DropPending();
    const int row = m_cursor;
    const std::uint32_t slot = m_view[std::size_t(row)];
    const bool wasLast = row == int(m_view.size()) - 1;
    Notify([row](TTableListener *l) { l->RowsAboutToBeRemoved(row, row); });
    m_view.erase(m_view.begin() + row);
    m_data->Remove(slot);
    Notify([row](TTableListener *l) { l->RowsRemoved(row, row); });
    for (TRecordTable *other : std::vector<TRecordTable *>(m_data->Cursors()))
        if (other != this)
            other->OtherRemoved(slot);
    const int next = m_view.empty() ? -1 : std::min(row, int(m_view.size()) - 1);
    SetCurrent(next, true);
    // Removing the last row leaves the cursor past the end, so a walk that
    // deletes as it goes stops there.
    m_eof = m_view.empty() || wasLast;
    m_bof = m_view.empty();
    if (AfterDelete)
        AfterDelete(*this);
}

void TRecordTable::UpdateBatch(TAffectRecords)
{
    CheckActive();
    // Posted rows are the table's content at once; committing adds nothing more.
    LeavePending();
}

// --- clones, filter, sort -----------------------------------------------------------

void TRecordTable::Clone(const TRecordTable &source)
{
    source.CheckActive();
    if (Active())
        Close();
    m_fields.clear();
    m_calcCount = 0;
    m_calc.clear();
    for (const auto &f : source.m_fields)
        if (f->IsStored()) {
            TFieldDef def = f->Def();
            AddField(def);
        }
    m_filterText.clear();
    m_filtered = false;
    OpenWith(source.m_data);
}

void TRecordTable::SetFilter(const QString &text)
{
    if (!Active()) {
        m_filterText = text;
        return;
    }
    std::unique_ptr<TRowFilter> filter;
    if (!text.trimmed().isEmpty())
        filter = std::make_unique<TRowFilter>(text, *m_data);
    LeavePending();
    m_filterText = text;
    m_filter = std::move(filter);
    // With filtering off the rows stay as they are; only the cursor goes back.
    FilterChanged(m_filtered);
}

void TRecordTable::SetFiltered(bool filtered)
{
    if (!Active()) {
        m_filtered = filtered;
        return;
    }
    LeavePending();
    m_filtered = filtered;
    FilterChanged(true);
}

void TRecordTable::FilterChanged(bool rowsChanged)
{
    if (rowsChanged) {
        Notify([](TTableListener *l) { l->AboutToReset(); });
        RebuildView(false);
        Notify([](TTableListener *l) { l->Reset(); });
    }
    m_bof = true;
    m_eof = m_view.empty();
    SetCurrent(m_view.empty() ? -1 : 0, true);
}

void TRecordTable::SetSort(const QString &text)
{
    CheckActive();
    std::vector<SortKey> keys;
    for (const QString &part : text.split(u',', Qt::SkipEmptyParts)) {
        QStringList words = part.simplified().split(u' ');
        bool descending = false;
        if (words.size() == 2 && words[1].compare(u"DESC", Qt::CaseInsensitive) == 0)
            descending = true;
        else if (words.size() == 2 && words[1].compare(u"ASC", Qt::CaseInsensitive) == 0)
            descending = false;
        else if (words.size() != 1)
            throw EDatabaseError(QStringLiteral("Cannot read the sort order \"%1\": \"%2\" is not a field name followed by ASC or DESC")
                                     .arg(text, part.trimmed()));
        const int column = m_data->ColumnIndex(words[0]);
        if (column < 0)
            throw EDatabaseError(QStringLiteral("Cannot read the sort order \"%1\": there is no stored field \"%2\"").arg(text, words[0]));
        keys.push_back(SortKey{column, descending});
    }
    LeavePending();
    m_sortText = text;
    m_sortKeys = std::move(keys);
    const std::uint32_t current = CurrentSlot();
    Notify([](TTableListener *l) { l->AboutToReset(); });
    if (m_sortKeys.empty())
        RebuildView(false); // back to the natural order
    else
        SortView(); // the rows that pass stay; only their order changes
    Notify([](TTableListener *l) { l->Reset(); });
    const auto it = std::find(m_view.begin(), m_view.end(), current);
    SetCurrent(it == m_view.end() ? (m_view.empty() ? -1 : 0) : int(it - m_view.begin()), true);
}

// --- other cursors over the same rows -----------------------------------------------------

void TRecordTable::OtherCommitted(std::uint32_t slot)
{
    if (m_filtered && m_filter && !m_filter->Passes(*m_data, slot))
        return;
    const int row = int(m_view.size());
    Notify([row](TTableListener *l) { l->RowsAboutToBeInserted(row, row); });
    m_view.push_back(slot);
    Notify([row](TTableListener *l) { l->RowsInserted(row, row); });
    if (m_cursor < 0)
        SetCurrent(0, false);
}

void TRecordTable::ForgetSlot(std::uint32_t slot)
{
    const auto it = std::find(m_view.begin(), m_view.end(), slot);
    if (it == m_view.end())
        return;
    const int row = int(it - m_view.begin());
    if (row == m_cursor && m_state == TDataSetState::Edit)
        DropPending();
    Notify([row](TTableListener *l) { l->RowsAboutToBeRemoved(row, row); });
    m_view.erase(m_view.begin() + row);
    Notify([row](TTableListener *l) { l->RowsRemoved(row, row); });
    if (m_cursor > row || m_cursor >= int(m_view.size()))
        SetCurrent(m_view.empty() ? -1 : std::max(0, m_cursor > row ? m_cursor - 1 : int(m_view.size()) - 1), row == m_cursor);
    else if (row == m_cursor)
        SetCurrent(m_cursor, true);
}

void TRecordTable::OtherRemoved(std::uint32_t slot)
{
    ForgetSlot(slot);
}

void TRecordTable::OtherChanged(std::uint32_t slot)
{
    const auto it = std::find(m_view.begin(), m_view.end(), slot);
    if (it == m_view.end())
        return;
    const int row = int(it - m_view.begin());
    if (row == m_cursor)
        m_calcSlot = NoRow;
    Notify([row](TTableListener *l) { l->RowDataChanged(row); });
}

// --- values -------------------------------------------------------------------------

std::uint32_t TRecordTable::ReadSlot() const
{
    return m_readOverride != NoRow ? m_readOverride : CurrentSlot();
}

bool TRecordTable::ReadingPending() const
{
    return (m_state == TDataSetState::Edit || m_state == TDataSetState::Insert)
           && (m_readOverride == NoRow || m_readOverride == CurrentSlot());
}

QVariant TRecordTable::ReadStored(const TTableField &field) const
{
    if (!Active() || !field.IsStored())
        return {};
    const std::uint32_t slot = ReadSlot();
    if (slot == NoRow || !m_data->IsCommitted(slot))
        return {};
    return m_data->Column(field.StorageColumn()).Value(slot);
}

void TRecordTable::RunCalcFields(std::uint32_t slot, bool pending) const
{
    std::fill(m_calc.begin(), m_calc.end(), QVariant());
    m_calcSlot = slot;
    if (!OnCalcFields || m_calcCount == 0)
        return;
    const std::uint32_t savedOverride = m_readOverride;
    m_readOverride = pending ? NoRow : slot;
    const bool wasInCalc = m_inCalc;
    m_inCalc = true;
    try {
        OnCalcFields(const_cast<TRecordTable &>(*this));
    } catch (...) {
        m_inCalc = wasInCalc;
        m_readOverride = savedOverride;
        throw;
    }
    m_inCalc = wasInCalc;
    m_readOverride = savedOverride;
}

QVariant TRecordTable::ReadValue(const TTableField &field) const
{
    if (!Active())
        return {};
    switch (field.Role()) {
    case TFieldRole::Stored: {
        if (ReadingPending())
            return m_pending[std::size_t(field.StorageColumn())];
        const std::uint32_t slot = ReadSlot();
        if (slot == NoRow)
            return {};
        return m_data->Column(field.StorageColumn()).Value(slot);
    }
    case TFieldRole::Calculated: {
        const std::uint32_t slot = ReadSlot();
        if (!m_inCalc && m_calcSlot != slot) {
            if (slot == NoRow)
                return {};
            RunCalcFields(slot, ReadingPending());
        }
        return m_calc[std::size_t(field.StorageColumn())];
    }
    case TFieldRole::Lookup:
        return LookupValue(field, ReadSlot(), ReadingPending());
    }
    return {};
}

QVariant TRecordTable::LookupValue(const TTableField &field, std::uint32_t slot, bool pending) const
{
    const TFieldDef &def = field.Def();
    TRecordTable *lookup = def.lookupDataSet;
    if (!lookup || !lookup->Active() || (slot == NoRow && !pending))
        return {};
    const QStringList ownKeys = def.keyFields.split(u';', Qt::SkipEmptyParts);
    QString key;
    for (const QString &name : ownKeys) {
        const QVariant v = ReadValue(FieldByName(name.trimmed()));
        if (!v.isValid())
            return {};
        key += NormalizedKey(v) + u'\x1f';
    }
    // Index the lookup table's committed rows by their key (first row wins).
    TTableField::LookupCache &cache = field.m_lookup;
    const TTableData *data = lookup->m_data.get();
    if (cache.data != data || cache.version != data->Version()) {
        cache.index.clear();
        const QStringList lookupKeys = def.lookupKeyFields.split(u';', Qt::SkipEmptyParts);
        std::vector<int> columns;
        for (const QString &name : lookupKeys)
            columns.push_back(data->ColumnIndex(name.trimmed()));
        if (std::find(columns.begin(), columns.end(), -1) == columns.end()) {
            cache.index.reserve(qsizetype(data->RowCount()));
            for (const std::uint32_t s : data->Rows()) {
                QString k;
                for (const int c : columns)
                    k += NormalizedKey(data->Column(c).Value(s)) + u'\x1f';
                if (!cache.index.contains(k))
                    cache.index.insert(k, s);
            }
        }
        cache.data = data;
        cache.version = data->Version();
    }
    const auto found = cache.index.constFind(key);
    if (found == cache.index.constEnd())
        return {};
    const TTableField &result = lookup->FieldByName(def.lookupResultField);
    QVariant value;
    if (result.IsStored()) {
        value = data->Column(result.StorageColumn()).Value(found.value());
    } else {
        const std::uint32_t saved = lookup->m_readOverride;
        lookup->m_readOverride = found.value();
        try {
            value = lookup->ReadValue(result);
        } catch (...) {
            lookup->m_readOverride = saved;
            lookup->m_calcSlot = NoRow;
            throw;
        }
        lookup->m_readOverride = saved;
        lookup->m_calcSlot = NoRow;
    }
    if (value.isValid() && field.Kind() == TFieldKind::String && value.metaType().id() == QMetaType::QString)
        value = value.toString().left(field.Size());
    return value;
}

void TRecordTable::WriteValue(TTableField &field, const QVariant &value)
{
    CheckActive();
    if (field.Role() == TFieldRole::Calculated) {
        m_calc[std::size_t(field.StorageColumn())] = Normalized(field, value);
        return;
    }
    if (field.Role() == TFieldRole::Lookup) {
        // A lookup takes the key of the lookup row whose result is the value.
        const TFieldDef &def = field.Def();
        TRecordTable *lookup = def.lookupDataSet;
        const QStringList ownKeys = def.keyFields.split(u';', Qt::SkipEmptyParts);
        const QStringList lookupKeys = def.lookupKeyFields.split(u';', Qt::SkipEmptyParts);
        if (!lookup || !lookup->Active() || ownKeys.size() != lookupKeys.size())
            throw EDatabaseError(QStringLiteral("%1: the lookup field \"%2\" cannot be assigned").arg(m_name, field.FieldName()));
        if (!value.isValid()) {
            for (const QString &k : ownKeys)
                FieldByName(k.trimmed()).SetValue(QVariant());
            return;
        }
        const TTableField &result = lookup->FieldByName(def.lookupResultField);
        for (int pos = 0; pos < lookup->RecordCount(); ++pos) {
            if (NormalizedKey(lookup->ValueAt(pos, result)) == NormalizedKey(value)) {
                for (int i = 0; i < ownKeys.size(); ++i)
                    FieldByName(ownKeys[i].trimmed()).SetValue(lookup->ValueAt(pos, lookup->FieldByName(lookupKeys[i].trimmed())));
                return;
            }
        }
        throw EDatabaseError(QStringLiteral("%1: '%2' is not a value of the field \"%3\"").arg(m_name, value.toString(), field.FieldName()));
    }
    if (m_state != TDataSetState::Edit && m_state != TDataSetState::Insert)
        throw EDatabaseError(QStringLiteral("%1: Dataset not in edit or insert mode").arg(m_name));
    if (m_readOverride != NoRow && m_readOverride != CurrentSlot())
        throw EDatabaseError(QStringLiteral("%1: Dataset not in edit or insert mode").arg(m_name));
    const QVariant proposed = Normalized(field, value);
    if (field.OnValidate)
        field.OnValidate(field, proposed);
    // The hook may have moved the table; the value belongs to the pending row only.
    if (m_state != TDataSetState::Edit && m_state != TDataSetState::Insert)
        throw EDatabaseError(QStringLiteral("%1: Dataset not in edit or insert mode").arg(m_name));
    m_pending[std::size_t(field.StorageColumn())] = proposed;
    m_modified = true;
    RunCalcFields(CurrentSlot(), true);
    if (field.OnChange)
        field.OnChange(field);
    const int row = m_cursor;
    Notify([row](TTableListener *l) { l->RowDataChanged(row); });
}

template <typename F> auto TRecordTable::ReadAt(int position, bool keepCalc, F &&read) const
{
    // Reads come from that row until the scope ends; the current record's
    // calculated values are kept aside meanwhile.
    const std::uint32_t savedOverride = m_readOverride;
    std::vector<QVariant> savedCalc;
    const std::uint32_t savedCalcSlot = m_calcSlot;
    if (keepCalc)
        savedCalc = m_calc;
    m_readOverride = m_view[std::size_t(position)];
    const TScopeExit restore([&] {
        m_readOverride = savedOverride;
        if (keepCalc) {
            m_calc = std::move(savedCalc);
            m_calcSlot = savedCalcSlot;
        }
    });
    return read();
}

QVariant TRecordTable::ValueAt(int position, const TTableField &field) const
{
    if (!Active() || position < 0 || position >= int(m_view.size()))
        return {};
    if (position == m_cursor && m_readOverride == NoRow)
        return ReadValue(field);
    return ReadAt(position, field.Role() != TFieldRole::Stored, [&] { return ReadValue(field); });
}

QString TRecordTable::TextAt(int position, const TTableField &field, bool displayText) const
{
    if (!Active() || position < 0 || position >= int(m_view.size()))
        return {};
    if (position == m_cursor && m_readOverride == NoRow)
        return field.Text(displayText);
    return ReadAt(position, true, [&] { return field.Text(displayText); });
}

// --- views ---------------------------------------------------------------------------

template <typename F> void TRecordTable::Notify(F &&f)
{
    if (m_disableCount > 0) {
        m_changedWhileDisabled = true;
        return;
    }
    for (TTableListener *l : std::vector<TTableListener *>(m_listeners))
        f(l);
}

void TRecordTable::NotifyCurrent()
{
    const int row = m_cursor;
    Notify([row](TTableListener *l) { l->CurrentRowChanged(row); });
}

void TRecordTable::DisableControls()
{
    ++m_disableCount;
}

void TRecordTable::EnableControls()
{
    if (m_disableCount == 0)
        return;
    if (--m_disableCount > 0)
        return;
    m_changedWhileDisabled = false;
    Notify([](TTableListener *l) { l->AboutToReset(); });
    Notify([](TTableListener *l) { l->Reset(); });
    NotifyCurrent();
}

void TRecordTable::AddListener(TTableListener *listener)
{
    if (std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
        m_listeners.push_back(listener);
}

void TRecordTable::RemoveListener(TTableListener *listener)
{
    m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
}
