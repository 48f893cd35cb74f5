#include "data/TableField.h"

#include "app/core/DateTimeValue.h"
#include "app/core/Errors.h"
#include "data/RecordTable.h"

#include <QLocale>

#include <cmath>

TTableField::TTableField(TRecordTable &table, TFieldDef def, int index, int storageColumn)
    : m_table(table)
    , m_def(std::move(def))
    , m_index(index)
    , m_storage(storageColumn)
{
}

int TTableField::DisplayWidth() const
{
    if (m_def.displayWidth > 0)
        return m_def.displayWidth;
    switch (m_def.kind) {
    case TFieldKind::String: return m_def.size;
    case TFieldKind::Boolean: return 5;
    case TFieldKind::DateTime: return 18;
    case TFieldKind::Time: return 10;
    case TFieldKind::Memo:
    case TFieldKind::Blob: return 10;
    default: return 10;
    }
}

bool TTableField::IsNull() const
{
    const QVariant v = Value();
    return !v.isValid();
}

QVariant TTableField::Value() const
{
    return m_table.ReadValue(*this);
}

QVariant TTableField::OldValue() const
{
    return m_table.ReadStored(*this);
}

int TTableField::AsInteger() const
{
    const QVariant v = Value();
    if (!v.isValid())
        return 0;
    if (v.metaType() == QMetaType::fromType<TCurrency>())
        return int(std::llround(v.value<TCurrency>().ToDouble()));
    if (v.metaType().id() == QMetaType::Double)
        return int(std::llround(v.toDouble()));
    return v.toInt();
}

double TTableField::AsFloat() const
{
    const QVariant v = Value();
    if (!v.isValid())
        return 0.0;
    if (v.metaType() == QMetaType::fromType<TCurrency>())
        return v.value<TCurrency>().ToDouble();
    return v.toDouble();
}

TCurrency TTableField::AsCurrency() const
{
    const QVariant v = Value();
    if (!v.isValid())
        return {};
    if (v.metaType() == QMetaType::fromType<TCurrency>())
        return v.value<TCurrency>();
    return TCurrency::FromDouble(v.toDouble());
}

double TTableField::AsDateTime() const
{
    return AsFloat();
}

bool TTableField::AsBoolean() const
{
    const QVariant v = Value();
    return v.isValid() && v.toBool();
}

QString TTableField::AsString() const
{
    const QVariant v = Value();
    if (!v.isValid())
        return {};
    switch (m_def.kind) {
    case TFieldKind::String:
    case TFieldKind::Memo:
        return v.toString();
    case TFieldKind::Blob:
        return QString::fromLatin1(v.toByteArray());
    default:
        return FormatValue(v, true);
    }
}

QByteArray TTableField::AsBytes() const
{
    const QVariant v = Value();
    return v.isValid() ? v.toByteArray() : QByteArray();
}

void TTableField::SetValue(const QVariant &value)
{
    m_table.WriteValue(*this, value);
}

QString TTableField::Text(bool displayText) const
{
    if (OnGetText)
        return OnGetText(const_cast<TTableField &>(*this), displayText);
    return FormatValue(Value(), displayText);
}

namespace {

QString FormatNumber(const QString &format, double value)
{
    if (format == u"####")
        return value == 0 ? QString() : QString::number(std::llround(value));
    const qsizetype dot = format.indexOf(u'.');
    if (dot >= 0 && format.count(u'#') + format.count(u'0') > 0) {
        const int decimals = int(format.size() - dot - 1);
        return QLocale().toString(value, 'f', decimals);
    }
    if (format.count(u'0') == format.size())
        return QString::number(std::llround(value)).rightJustified(format.size(), u'0');
    return QLocale().toString(value, 'g', 15);
}

} // namespace

QString TTableField::FormatValue(const QVariant &value, bool displayText) const
{
    if (!value.isValid())
        return {};
    const QString &format = displayText || m_def.editFormat.isEmpty() ? m_def.displayFormat : m_def.editFormat;
    const bool isDateKind = m_def.kind == TFieldKind::DateTime || m_def.kind == TFieldKind::Time;
    const bool useFormat = !format.isEmpty() && (displayText || !isDateKind || !m_def.editFormat.isEmpty());
    switch (m_def.kind) {
    case TFieldKind::String:
    case TFieldKind::Memo:
        return value.toString();
    case TFieldKind::Integer:
    case TFieldKind::SmallInt:
    case TFieldKind::AutoInc:
        return useFormat ? FormatNumber(format, value.toDouble()) : QString::number(value.toLongLong());
    case TFieldKind::Boolean:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case TFieldKind::Float:
        return useFormat ? FormatNumber(format, value.toDouble()) : QLocale().toString(value.toDouble(), 'g', 15);
    case TFieldKind::Currency: {
        const double d = value.value<TCurrency>().ToDouble();
        if (useFormat)
            return FormatNumber(format, d);
        return displayText ? QLocale().toCurrencyString(d) : QLocale().toString(d, 'f', 2);
    }
    case TFieldKind::DateTime:
        return useFormat ? DateTimeValue::Format(format, value.toDouble()) : DateTimeValue::DateTimeToStr(value.toDouble());
    case TFieldKind::Time:
        return useFormat ? DateTimeValue::Format(format, value.toDouble()) : DateTimeValue::TimeToStr(value.toDouble());
    case TFieldKind::Blob:
        return QStringLiteral("(Blob)");
    }
    return {};
}

QVariant TTableField::ConvertText(const QString &text) const
{
    const QString trimmed = text.trimmed();
    const auto fail = [&](const char *what) -> QVariant {
        throw EConvertError(QStringLiteral("'%1' is not a valid %2").arg(text, QLatin1String(what)));
    };
    switch (m_def.kind) {
    case TFieldKind::String:
    case TFieldKind::Memo:
        return text;
    case TFieldKind::Integer:
    case TFieldKind::SmallInt:
    case TFieldKind::AutoInc: {
        if (trimmed.isEmpty())
            return {};
        bool ok = false;
        const int v = QLocale().toInt(trimmed, &ok);
        if (!ok) {
            const int plain = trimmed.toInt(&ok);
            if (!ok)
                return fail("integer value");
            return plain;
        }
        return v;
    }
    case TFieldKind::Boolean: {
        if (trimmed.isEmpty())
            return {};
        const QString b = trimmed.toLower();
        if (b == u"true" || b == u"t" || b == u"yes" || b == u"y")
            return true;
        if (b == u"false" || b == u"f" || b == u"no" || b == u"n")
            return false;
        return fail("boolean value");
    }
    case TFieldKind::Float:
    case TFieldKind::Currency: {
        if (trimmed.isEmpty())
            return {};
        QString number = trimmed;
        number.remove(QLocale().currencySymbol()).remove(QLocale().groupSeparator());
        bool ok = false;
        double v = QLocale().toDouble(number.trimmed(), &ok);
        if (!ok)
            v = number.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v))
            return fail("floating point value");
        if (m_def.kind == TFieldKind::Currency)
            return QVariant::fromValue(TCurrency::FromDouble(v));
        return v;
    }
    case TFieldKind::DateTime: {
        // Edit masks hand over blanks or "_" for unfilled positions.
        QString cleaned = text;
        cleaned.replace(u'_', u' ');
        bool anyDigit = false;
        for (const QChar c : cleaned)
            anyDigit = anyDigit || c.isDigit();
        if (!anyDigit)
            return {};
        double v = 0;
        if (DateTimeValue::TryStrToDateTime(cleaned, v))
            return v;
        return fail("date and time");
    }
    case TFieldKind::Time: {
        if (trimmed.isEmpty())
            return {};
        double v = 0;
        if (DateTimeValue::TryStrToTime(text, v))
            return v;
        return fail("time");
    }
    case TFieldKind::Blob:
        throw EConvertError(QStringLiteral("The field \"%1\" cannot be entered as text").arg(m_def.name));
    }
    return {};
}

void TTableField::SetText(const QString &text)
{
    if (m_def.readOnly)
        throw EDatabaseError(QStringLiteral("Field '%1' cannot be modified").arg(m_def.name));
    if (OnSetText) {
        OnSetText(*this, text);
        return;
    }
    SetValue(ConvertText(text));
}
