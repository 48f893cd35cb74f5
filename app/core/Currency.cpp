#include "app/core/Currency.h"

#include <cmath>

TCurrency TCurrency::FromDouble(double value)
{
    return FromUnits(static_cast<std::int64_t>(std::llround(value * Scale)));
}

std::optional<TCurrency> TCurrency::FromPlainText(QStringView text)
{
    text = text.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool negative = false;
    qsizetype i = 0;
    if (text[0] == u'-' || text[0] == u'+') {
        negative = text[0] == u'-';
        ++i;
    }
    std::int64_t whole = 0;
    std::int64_t fraction = 0;
    int fractionDigits = 0;
    bool roundUp = false;
    bool anyDigit = false;
    bool inFraction = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'.' && !inFraction) {
            inFraction = true;
            continue;
        }
        if (c == u'e' || c == u'E') {
            // Exponent form: fall back to the double reading, then round to units.
            bool ok = false;
            const double d = text.toDouble(&ok);
            if (!ok || !std::isfinite(d) || std::fabs(d) > 9e14)
                return std::nullopt;
            return FromDouble(d);
        }
        if (c < u'0' || c > u'9')
            return std::nullopt;
        anyDigit = true;
        const int digit = c.unicode() - u'0';
        if (!inFraction) {
            if (whole > (INT64_MAX / Scale - 9) / 10)
                return std::nullopt;
            whole = whole * 10 + digit;
        } else if (fractionDigits < 4) {
            fraction = fraction * 10 + digit;
            ++fractionDigits;
        } else if (fractionDigits == 4) {
            roundUp = digit >= 5;
            ++fractionDigits;
        }
    }
    if (!anyDigit)
        return std::nullopt;
    for (int d = std::min(fractionDigits, 4); d < 4; ++d)
        fraction *= 10;
    std::int64_t units = whole * Scale + fraction + (roundUp ? 1 : 0);
    return FromUnits(negative ? -units : units);
}

QString TCurrency::ToPlainText() const
{
    const bool negative = m_units < 0;
    const std::uint64_t magnitude = negative ? std::uint64_t(-(m_units + 1)) + 1 : std::uint64_t(m_units);
    QString text = QString::number(magnitude / Scale);
    std::uint64_t fraction = magnitude % Scale;
    if (fraction != 0) {
        QString digits = QString::number(fraction).rightJustified(4, u'0');
        while (digits.endsWith(u'0'))
            digits.chop(1);
        text += u'.' + digits;
    }
    return negative ? u'-' + text : text;
}
