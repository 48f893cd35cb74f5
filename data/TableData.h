#pragma once
// The rows of a record table, shared by the table and its clones. Values are
// kept typed, one column per stored field: numbers, dates and booleans in an
// 8-byte cell, texts and bytes as an index into the column's pool of distinct
// values (history rows repeat the same few codes and descriptions). Rows have a
// stable physical slot; the natural order lists the committed slots.

#include "app/core/Currency.h"
#include "data/FieldKind.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <vector>

class TRecordTable;

/// Definition of one stored column.
struct TColumnDef
{
    QString name;
    TFieldKind kind = TFieldKind::String;
    int size = 20; ///< characters, for String
};

/// One typed cell. Which member is live depends on the column's kind:
/// i for integers, booleans (0/1), currency units and pool indexes; d for
/// floats, date-times and times.
union TCell
{
    std::int64_t i;
    double d;
};

class TColumn
{
public:
    explicit TColumn(TColumnDef def);

    const TColumnDef &Def() const { return m_def; }

    bool IsNull(std::uint32_t row) const { return m_null[row] != 0; }
    TCell Cell(std::uint32_t row) const { return m_cells[row]; }

    /// The value of a row as a variant (null kept): QString, int, bool, double,
    /// TCurrency or QByteArray by kind.
    QVariant Value(std::uint32_t row) const;
    /// Stores a variant converted to the column's kind (texts cut to size); an
    /// invalid variant stores null. Returns false when the value cannot be converted.
    bool SetValue(std::uint32_t row, const QVariant &value);

    // Typed fast paths used by the file reader and the filters.
    void SetNull(std::uint32_t row) { m_null[row] = 1; m_cells[row].i = 0; }
    void SetInt(std::uint32_t row, std::int64_t v) { m_null[row] = 0; m_cells[row].i = v; }
    void SetDouble(std::uint32_t row, double v) { m_null[row] = 0; m_cells[row].d = v; }
    void SetText(std::uint32_t row, QStringView text);
    void SetBytes(std::uint32_t row, const QByteArray &bytes);
    /// Points a row of a text column at an existing pool entry (index < TextPool().size()),
    /// so a reader that has seen a text before stores it without building a QString.
    void SetTextIndex(std::uint32_t row, std::uint32_t index) { m_null[row] = 0; m_cells[row].i = index; }
    const QString &Text(std::uint32_t row) const { return m_texts[std::size_t(m_cells[row].i)]; }
    const QByteArray &Bytes(std::uint32_t row) const { return m_bytes[std::size_t(m_cells[row].i)]; }
    std::uint32_t TextIndex(std::uint32_t row) const { return std::uint32_t(m_cells[row].i); }
    const std::vector<QString> &TextPool() const { return m_texts; }

    void Resize(std::size_t rows);
    void Reserve(std::size_t rows);

private:
    std::uint32_t Intern(QStringView text);

    TColumnDef m_def;
    std::vector<TCell> m_cells;
    std::vector<std::uint8_t> m_null;
    std::vector<QString> m_texts;          // pool of distinct texts; index 0 is ""
    QHash<QString, std::uint32_t> m_index; // text -> pool index
    std::vector<QByteArray> m_bytes;       // blobs, one per assignment
};

class TTableData
{
public:
    explicit TTableData(std::vector<TColumnDef> columns = {});

    int ColumnCount() const { return int(m_columns.size()); }
    TColumn &Column(int i) { return m_columns[std::size_t(i)]; }
    const TColumn &Column(int i) const { return m_columns[std::size_t(i)]; }
    /// Index of a column by name, case ignored; -1 when there is none.
    int ColumnIndex(QStringView name) const;

    /// Allocates a slot for a new row, all values null, not yet in the natural order.
    std::uint32_t NewSlot();
    /// Adds a slot at the end of the natural order (the file reader's path).
    std::uint32_t AppendRow();
    /// Adds count rows, all values null, at the end of the natural order in one
    /// step (the file reader's bulk path); returns the first new slot.
    std::uint32_t AppendRows(std::size_t count);
    /// Puts a slot into the natural order before the given position (size() appends).
    void Commit(std::uint32_t slot, std::size_t position);
    /// Takes a slot out of the natural order and frees it.
    void Remove(std::uint32_t slot);
    /// Frees a slot that was never committed.
    void Discard(std::uint32_t slot);

    /// Committed rows in natural order.
    const std::vector<std::uint32_t> &Rows() const { return m_rows; }
    std::size_t RowCount() const { return m_rows.size(); }
    bool IsCommitted(std::uint32_t slot) const { return slot < m_committed.size() && m_committed[slot]; }
    std::size_t SlotCount() const { return m_committed.size(); }
    void Reserve(std::size_t rows);

    /// Bumped on every change of rows or values; lookups cache by it.
    std::uint64_t Version() const { return m_version; }
    void Touch() { ++m_version; }

    // Cursors over these rows, told when another cursor changes them.
    void Attach(TRecordTable *cursor);
    void Detach(TRecordTable *cursor);
    const std::vector<TRecordTable *> &Cursors() const { return m_cursors; }

private:
    std::vector<TColumn> m_columns;
    std::vector<std::uint32_t> m_rows;
    std::vector<std::uint8_t> m_committed;
    std::vector<std::uint32_t> m_free;
    std::vector<TRecordTable *> m_cursors;
    std::uint64_t m_version = 0;
};
