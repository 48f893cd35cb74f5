#include "data/RowFilter.h"

#include "app/core/DateTimeValue.h"
#include "app/core/Errors.h"

#include <QRegularExpression>

#include <cmath>

namespace {

[[noreturn]] void Unreadable(const QString &text, const QString &why)
{
    throw EDatabaseError(QStringLiteral("Cannot read the filter \"%1\": %2").arg(text, why));
}

// Splits on " AND " outside quoted texts.
QStringList SplitConditions(const QString &text)
{
    QStringList parts;
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\'') {
            quoted = !quoted;
            current += c;
            continue;
        }
        if (!quoted && c.isSpace() && text.mid(i + 1, 4).compare(u"AND ", Qt::CaseInsensitive) == 0
            && !current.trimmed().isEmpty()) {
            parts << current;
            current.clear();
            i += 4;
            continue;
        }
        current += c;
    }
    parts << current;
    return parts;
}

} // namespace

TRowFilter::TRowFilter(const QString &text, const TTableData &data)
{
    if (text.trimmed().isEmpty())
        return;
    static const QRegularExpression comparison(
        QStringLiteral("^\\s*([A-Za-z_][A-Za-z0-9_]*)\\s*(<>|<=|>=|=|<|>)\\s*(.*?)\\s*$"),
        QRegularExpression::DotMatchesEverythingOption);
    for (const QString &part : SplitConditions(text)) {
        const QRegularExpressionMatch m = comparison.match(part);
        if (!m.hasMatch())
            Unreadable(text, QStringLiteral("\"%1\" is not a comparison").arg(part.trimmed()));
        Comparison c;
        c.column = data.ColumnIndex(m.captured(1));
        if (c.column < 0)
            Unreadable(text, QStringLiteral("there is no field \"%1\"").arg(m.captured(1)));
        const QString op = m.captured(2);
        c.op = op == u"=" ? Op::Eq : op == u"<>" ? Op::Ne : op == u"<" ? Op::Lt : op == u">" ? Op::Gt
             : op == u"<=" ? Op::Le : Op::Ge;
        c.kind = data.Column(c.column).Def().kind;

        QString literal = m.captured(3);
        bool quoted = false;
        if (literal.startsWith(u'\'')) {
            if (literal.size() < 2 || !literal.endsWith(u'\''))
                Unreadable(text, QStringLiteral("the text %1 has no closing quote").arg(literal));
            const QString inner = literal.mid(1, literal.size() - 2);
            // A single quote inside must be doubled.
            QString value;
            for (qsizetype i = 0; i < inner.size(); ++i) {
                if (inner[i] == u'\'') {
                    if (i + 1 < inner.size() && inner[i + 1] == u'\'') {
                        value += u'\'';
                        ++i;
                        continue;
                    }
                    Unreadable(text, QStringLiteral("a quote inside the text %1 is not doubled").arg(literal));
                }
                value += inner[i];
            }
            literal = value;
            quoted = true;
        } else if (literal.isEmpty()) {
            Unreadable(text, QStringLiteral("the comparison \"%1\" has no value").arg(part.trimmed()));
        }

        bool ok = true;
        switch (c.kind) {
        case TFieldKind::String:
        case TFieldKind::Memo:
            c.text = literal;
            break;
        case TFieldKind::Integer:
        case TFieldKind::SmallInt:
        case TFieldKind::AutoInc:
            c.i = literal.trimmed().toLongLong(&ok);
            break;
        case TFieldKind::Boolean: {
            const QString b = literal.trimmed().toLower();
            ok = b == u"true" || b == u"false";
            c.i = b == u"true" ? 1 : 0;
            break;
        }
        case TFieldKind::Float:
            c.d = literal.trimmed().toDouble(&ok);
            break;
        case TFieldKind::Currency: {
            const auto v = TCurrency::FromPlainText(literal);
            ok = v.has_value();
            c.i = v ? v->Units() : 0;
            break;
        }
        case TFieldKind::DateTime:
        case TFieldKind::Time:
            ok = DateTimeValue::TryStrToDateTime(literal, c.d)
                 || (c.kind == TFieldKind::Time && DateTimeValue::TryStrToTime(literal, c.d));
            if (!ok) {
                // A plain number is a day number.
                c.d = literal.trimmed().toDouble(&ok);
            }
            break;
        case TFieldKind::Blob:
            Unreadable(text, QStringLiteral("the field \"%1\" cannot be compared").arg(m.captured(1)));
        }
        if (!ok)
            Unreadable(text, QStringLiteral("%1 is not a value for the %2 field \"%3\"")
                                 .arg(quoted ? Quoted(literal) : literal, FieldKindName(c.kind), m.captured(1)));
        m_comparisons.push_back(std::move(c));
    }
}

bool TRowFilter::Holds(Op op, int order)
{
    switch (op) {
    case Op::Eq: return order == 0;
    case Op::Ne: return order != 0;
    case Op::Lt: return order < 0;
    case Op::Gt: return order > 0;
    case Op::Le: return order <= 0;
    case Op::Ge: return order >= 0;
    }
    return false;
}

bool TRowFilter::Passes(const TTableData &data, std::uint32_t slot) const
{
    for (const Comparison &c : m_comparisons) {
        const TColumn &column = data.Column(c.column);
        if (column.IsNull(slot))
            return false;
        int order = 0;
        switch (c.kind) {
        case TFieldKind::String:
        case TFieldKind::Memo:
            order = column.Text(slot).compare(c.text, Qt::CaseInsensitive);
            break;
        case TFieldKind::Float:
        case TFieldKind::DateTime:
        case TFieldKind::Time: {
            const double v = column.Cell(slot).d;
            order = v < c.d ? -1 : v > c.d ? 1 : 0;
            break;
        }
        default: {
            const std::int64_t v = column.Cell(slot).i;
            order = v < c.i ? -1 : v > c.i ? 1 : 0;
            break;
        }
        }
        if (!Holds(c.op, order))
            return false;
    }
    return true;
}

QString TRowFilter::Quoted(const QString &value)
{
    QString escaped = value;
    escaped.replace(u'\'', QStringLiteral("''"));
    return u'\'' + escaped + u'\'';
}

QString TRowFilter::Equals(const QString &field, const QString &value)
{
    return field + QStringLiteral(" = ") + Quoted(value);
}

QString TRowFilter::Equals(const QString &field, qint64 value)
{
    return field + QStringLiteral(" = ") + QString::number(value);
}
