#pragma once
// Filter expressions of record tables: comparisons joined by " AND ", each a
// field name, an operator ("=", "<>", "<", ">", "<=", ">=") and a literal (a whole
// or decimal number, a text in single quotes with '' for a quote inside, True,
// False, or a date in the user's short date format with an optional time).
// Texts compare without regard to case; a null value never passes.

#include "data/TableData.h"

#include <QString>
#include <QVariant>

#include <vector>

class TRowFilter
{
public:
    /// Parses the text against the columns of the rows; raises EDatabaseError
    /// naming the text when it cannot be read.
    TRowFilter(const QString &text, const TTableData &data);

    bool Passes(const TTableData &data, std::uint32_t slot) const;

    /// A condition "field = 'value'" that stays readable and exact whatever the
    /// value holds (quotes inside are doubled).
    static QString Equals(const QString &field, const QString &value);
    static QString Equals(const QString &field, qint64 value);
    /// A text literal in single quotes with quotes inside doubled.
    static QString Quoted(const QString &value);

private:
    enum class Op { Eq, Ne, Lt, Gt, Le, Ge };
    struct Comparison
    {
        int column;
        Op op;
        TFieldKind kind;
        std::int64_t i = 0; // integers, booleans, currency units
        double d = 0;       // floats, date-times, times
        QString text;       // texts
    };
    static bool Holds(Op op, int order);

    std::vector<Comparison> m_comparisons;
};
