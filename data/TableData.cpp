#include "data/TableData.h"

// cursors are held by pointer only

#include <algorithm>
#include <cmath>
#include <limits>

TColumn::TColumn(TColumnDef def)
    : m_def(std::move(def))
{
    if (IsTextKind(m_def.kind)) {
        m_texts.emplace_back();
        m_index.insert(QString(), 0);
    }
}

void TColumn::Resize(std::size_t rows)
{
    m_cells.resize(rows, TCell{0});
    m_null.resize(rows, 1);
}

void TColumn::Reserve(std::size_t rows)
{
    m_cells.reserve(rows);
    m_null.reserve(rows);
}

std::uint32_t TColumn::Intern(QStringView text)
{
    const QString key = text.toString();
    const auto found = m_index.constFind(key);
    if (found != m_index.constEnd())
        return found.value();
    const auto index = std::uint32_t(m_texts.size());
    m_texts.push_back(key);
    m_index.insert(key, index);
    return index;
}

void TColumn::SetText(std::uint32_t row, QStringView text)
{
    if (m_def.kind == TFieldKind::String && text.size() > m_def.size)
        text = text.left(m_def.size);
    m_null[row] = 0;
    m_cells[row].i = Intern(text);
}

void TColumn::SetBytes(std::uint32_t row, const QByteArray &bytes)
{
    m_null[row] = 0;
    m_cells[row].i = std::int64_t(m_bytes.size());
    m_bytes.push_back(bytes);
}

QVariant TColumn::Value(std::uint32_t row) const
{
    if (m_null[row])
        return {};
    const TCell c = m_cells[row];
    switch (m_def.kind) {
    case TFieldKind::String:
    case TFieldKind::Memo:
        return m_texts[std::size_t(c.i)];
    case TFieldKind::Integer:
    case TFieldKind::SmallInt:
    case TFieldKind::AutoInc:
        return int(c.i);
    case TFieldKind::Boolean:
        return c.i != 0;
    case TFieldKind::Float:
    case TFieldKind::DateTime:
    case TFieldKind::Time:
        return c.d;
    case TFieldKind::Currency:
        return QVariant::fromValue(TCurrency::FromUnits(c.i));
    case TFieldKind::Blob:
        return m_bytes[std::size_t(c.i)];
    }
    return {};
}

bool TColumn::SetValue(std::uint32_t row, const QVariant &value)
{
    if (!value.isValid() || value.isNull()) {
        // A null QString is still a text value for text kinds: an empty string is not null.
        if (value.isValid() && IsTextKind(m_def.kind) && value.metaType().id() == QMetaType::QString) {
            SetText(row, QString());
            return true;
        }
        SetNull(row);
        return true;
    }
    bool ok = true;
    switch (m_def.kind) {
    case TFieldKind::String:
    case TFieldKind::Memo:
        SetText(row, value.toString());
        return true;
    case TFieldKind::Integer:
    case TFieldKind::AutoInc:
    case TFieldKind::SmallInt: {
        qlonglong v = 0;
        if (value.metaType() == QMetaType::fromType<TCurrency>())
            v = qlonglong(std::llround(value.value<TCurrency>().ToDouble()));
        else if (value.metaType().id() == QMetaType::Double || value.metaType().id() == QMetaType::Float) {
            const double d = value.toDouble();
            ok = std::isfinite(d);
            v = ok ? qlonglong(std::llround(d)) : 0;
        } else
            v = value.toLongLong(&ok);
        if (!ok)
            return false;
        if (m_def.kind == TFieldKind::SmallInt)
            v = std::int16_t(v);
        else
            v = std::int32_t(v);
        SetInt(row, v);
        return true;
    }
    case TFieldKind::Boolean:
        if (value.metaType().id() == QMetaType::QString) {
            const QString s = value.toString().trimmed().toLower();
            if (s == u"true" || s == u"1" || s == u"-1")
                SetInt(row, 1);
            else if (s == u"false" || s == u"0")
                SetInt(row, 0);
            else
                return false;
            return true;
        }
        SetInt(row, value.toBool() ? 1 : 0);
        return true;
    case TFieldKind::Float:
    case TFieldKind::DateTime:
    case TFieldKind::Time: {
        double d = 0;
        if (value.metaType() == QMetaType::fromType<TCurrency>())
            d = value.value<TCurrency>().ToDouble();
        else
            d = value.toDouble(&ok);
        if (!ok || !std::isfinite(d))
            return false;
        if (m_def.kind == TFieldKind::Time)
            d = d - std::trunc(d);
        if (m_def.kind == TFieldKind::Time && d < 0)
            d = -d;
        SetDouble(row, d);
        return true;
    }
    case TFieldKind::Currency: {
        if (value.metaType() == QMetaType::fromType<TCurrency>()) {
            SetInt(row, value.value<TCurrency>().Units());
            return true;
        }
        if (value.metaType().id() == QMetaType::QString) {
            const auto c = TCurrency::FromPlainText(value.toString());
            if (!c)
                return false;
            SetInt(row, c->Units());
            return true;
        }
        const double d = value.toDouble(&ok);
        if (!ok || !std::isfinite(d))
            return false;
        SetInt(row, TCurrency::FromDouble(d).Units());
        return true;
    }
    case TFieldKind::Blob:
        SetBytes(row, value.toByteArray());
        return true;
    }
    return false;
}

TTableData::TTableData(std::vector<TColumnDef> columns)
{
    m_columns.reserve(columns.size());
    for (auto &def : columns)
        m_columns.emplace_back(std::move(def));
}

int TTableData::ColumnIndex(QStringView name) const
{
    for (std::size_t i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].Def().name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

std::uint32_t TTableData::NewSlot()
{
    std::uint32_t slot;
    if (!m_free.empty()) {
        slot = m_free.back();
        m_free.pop_back();
        for (auto &c : m_columns)
            c.SetNull(slot);
    } else {
        slot = std::uint32_t(m_committed.size());
        m_committed.push_back(0);
        for (auto &c : m_columns)
            c.Resize(m_committed.size());
    }
    m_committed[slot] = 0;
    return slot;
}

std::uint32_t TTableData::AppendRow()
{
    const std::uint32_t slot = NewSlot();
    m_committed[slot] = 1;
    m_rows.push_back(slot);
    ++m_version;
    return slot;
}

std::uint32_t TTableData::AppendRows(std::size_t count)
{
    const auto first = std::uint32_t(m_committed.size());
    const std::size_t total = m_committed.size() + count;
    m_committed.resize(total, 1);
    for (auto &c : m_columns)
        c.Resize(total);
    m_rows.reserve(m_rows.size() + count);
    for (std::size_t slot = first; slot < total; ++slot)
        m_rows.push_back(std::uint32_t(slot));
    ++m_version;
    return first;
}

void TTableData::Commit(std::uint32_t slot, std::size_t position)
{
    m_committed[slot] = 1;
    position = std::min(position, m_rows.size());
    m_rows.insert(m_rows.begin() + std::ptrdiff_t(position), slot);
    ++m_version;
}

void TTableData::Remove(std::uint32_t slot)
{
    const auto it = std::find(m_rows.begin(), m_rows.end(), slot);
    if (it != m_rows.end())
        m_rows.erase(it);
    m_committed[slot] = 0;
    m_free.push_back(slot);
    ++m_version;
}

void TTableData::Discard(std::uint32_t slot)
{
    m_committed[slot] = 0;
    m_free.push_back(slot);
}

void TTableData::Reserve(std::size_t rows)
{
    m_rows.reserve(rows);
    m_committed.reserve(rows);
    for (auto &c : m_columns)
        c.Reserve(rows);
}

void TTableData::Attach(TRecordTable *cursor)
{
    if (std::find(m_cursors.begin(), m_cursors.end(), cursor) == m_cursors.end())
        m_cursors.push_back(cursor);
}

void TTableData::Detach(TRecordTable *cursor)
{
    m_cursors.erase(std::remove(m_cursors.begin(), m_cursors.end(), cursor), m_cursors.end());
}
