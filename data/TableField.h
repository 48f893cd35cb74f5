#pragma once
// One field of a record table: its definition, text properties and hooks, and
// typed access to its value in the table's current record.

#include "app/core/Currency.h"
#include "data/FieldKind.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <functional>

class TRecordTable;
class TTableData;
class TTableField;

/// Everything that defines a field; TRecordTable::AddField turns it into a field.
struct TFieldDef
{
    QString name;
    TFieldKind kind = TFieldKind::String;
    int size = 20;
    TFieldRole role = TFieldRole::Stored;
    QString displayLabel; ///< the field name when empty
    int displayWidth = 0; ///< characters; 0 means the kind's default
    bool visible = true;
    bool readOnly = false;
    QString displayFormat;
    QString editFormat;
    QString editMask;
    // Lookup fields: own key fields (";"-separated), the table looked in, its key
    // fields and the field whose value is shown.
    QString keyFields;
    TRecordTable *lookupDataSet = nullptr;
    QString lookupKeyFields;
    QString lookupResultField;
};

class TTableField
{
public:
    using FieldHook = std::function<void(TTableField &)>;
    using ValidateHook = std::function<void(TTableField &, const QVariant &proposed)>;
    using GetTextHook = std::function<QString(TTableField &, bool displayText)>;
    using SetTextHook = std::function<void(TTableField &, const QString &text)>;

    TTableField(TRecordTable &table, TFieldDef def, int index, int storageColumn);

    // --- definition -----------------------------------------------------------
    const QString &FieldName() const { return m_def.name; }
    TFieldKind Kind() const { return m_def.kind; }
    int Size() const { return m_def.size; }
    TFieldRole Role() const { return m_def.role; }
    bool IsStored() const { return m_def.role == TFieldRole::Stored; }
    const TFieldDef &Def() const { return m_def; }
    TRecordTable &DataSet() const { return m_table; }
    int Index() const { return m_index; }
    /// Column of the shared rows for a stored field, slot in the calculated
    /// buffer for a calculated one, -1 for a lookup.
    int StorageColumn() const { return m_storage; }

    QString DisplayLabel() const { return m_def.displayLabel.isEmpty() ? m_def.name : m_def.displayLabel; }
    int DisplayWidth() const;
    bool Visible() const { return m_def.visible; }
    void SetVisible(bool visible) { m_def.visible = visible; }
    bool ReadOnly() const { return m_def.readOnly; }
    void SetReadOnly(bool readOnly) { m_def.readOnly = readOnly; }
    const QString &DisplayFormat() const { return m_def.displayFormat; }
    const QString &EditFormat() const { return m_def.editFormat; }
    const QString &EditMask() const { return m_def.editMask; }
    void SetDisplayFormat(const QString &f) { m_def.displayFormat = f; }
    void SetEditMask(const QString &m) { m_def.editMask = m; }

    // --- hooks ----------------------------------------------------------------
    FieldHook OnChange;       ///< after a value was stored (also when it did not change)
    ValidateHook OnValidate;  ///< before a value is stored; raise to refuse
    GetTextHook OnGetText;    ///< produces the text instead of the formats
    SetTextHook OnSetText;    ///< turns entered text into the value itself

    // --- value of the current record --------------------------------------------
    bool IsNull() const;
    /// The value as a variant, null kept (QString, int, bool, double, TCurrency, QByteArray).
    QVariant Value() const;
    /// The stored value of the current row, before pending edits (null for a new row).
    QVariant OldValue() const;

    int AsInteger() const;
    double AsFloat() const;
    TCurrency AsCurrency() const;
    double AsDateTime() const;
    bool AsBoolean() const;
    QString AsString() const;
    QByteArray AsBytes() const;

    /// Assigns a value (see TRecordTable for the rules); an invalid variant assigns null.
    void SetValue(const QVariant &value);
    void SetAsInteger(int value) { SetValue(value); }
    void SetAsFloat(double value) { SetValue(value); }
    void SetAsCurrency(TCurrency value) { SetValue(QVariant::fromValue(value)); }
    void SetAsDateTime(double value) { SetValue(value); }
    void SetAsBoolean(bool value) { SetValue(value); }
    void SetAsString(const QString &value) { SetValue(value); }
    void SetAsBytes(const QByteArray &value) { SetValue(value); }
    void Clear() { SetValue(QVariant()); }

    /// The display text (or the edit text while editing when displayText is false).
    QString Text(bool displayText = true) const;
    QString DisplayText() const { return Text(true); }
    QString EditText() const { return Text(false); }
    /// Assigns text as a bound control does: the on-set-text hook, or the
    /// default conversion by kind. Refused while the field is read-only.
    void SetText(const QString &text);

    /// The default conversion of a text to this field's value (raises EConvertError).
    QVariant ConvertText(const QString &text) const;
    /// The default text of a value (no hook involved).
    QString FormatValue(const QVariant &value, bool displayText) const;

private:
    friend class TRecordTable;

    // Index of the lookup table's rows by key, rebuilt when those rows change.
    struct LookupCache
    {
        const TTableData *data = nullptr;
        std::uint64_t version = ~std::uint64_t(0);
        QHash<QString, std::uint32_t> index;
    };
    mutable LookupCache m_lookup;

    TRecordTable &m_table;
    TFieldDef m_def;
    int m_index;
    int m_storage;
};
