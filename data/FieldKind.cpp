#include "data/FieldKind.h"

QString FieldKindName(TFieldKind kind)
{
    switch (kind) {
    case TFieldKind::String: return QStringLiteral("string");
    case TFieldKind::Integer: return QStringLiteral("integer");
    case TFieldKind::SmallInt: return QStringLiteral("small integer");
    case TFieldKind::AutoInc: return QStringLiteral("auto-increment");
    case TFieldKind::Boolean: return QStringLiteral("boolean");
    case TFieldKind::Float: return QStringLiteral("float");
    case TFieldKind::Currency: return QStringLiteral("currency");
    case TFieldKind::DateTime: return QStringLiteral("date-time");
    case TFieldKind::Time: return QStringLiteral("time");
    case TFieldKind::Memo: return QStringLiteral("memo");
    case TFieldKind::Blob: return QStringLiteral("blob");
    }
    return QStringLiteral("unknown");
}
