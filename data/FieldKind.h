#pragma once
// Kinds and roles of record table fields.

#include <QString>

enum class TFieldKind {
    String,   ///< text of at most Size characters
    Integer,  ///< signed 32-bit
    SmallInt, ///< signed 16-bit
    AutoInc,  ///< signed 32-bit, always written explicitly
    Boolean,
    Float,    ///< 64-bit floating point
    Currency, ///< fixed point, four decimals
    DateTime, ///< day number with fraction
    Time,     ///< time of day only, in [0, 1)
    Memo,     ///< text of any length
    Blob,     ///< bytes of any length
};

enum class TFieldRole { Stored, Lookup, Calculated };

/// Whether a kind keeps its values in the shared string pool of its column.
constexpr bool IsTextKind(TFieldKind kind)
{
    return kind == TFieldKind::String || kind == TFieldKind::Memo;
}

QString FieldKindName(TFieldKind kind);
