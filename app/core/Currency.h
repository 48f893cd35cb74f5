#pragma once
// Exact money: a fixed-point value with four decimals, so sums never pick up
// binary rounding.

#include <QMetaType>
#include <QString>

#include <compare>
#include <cstdint>
#include <optional>

class TCurrency
{
public:
    static constexpr std::int64_t Scale = 10000;

    constexpr TCurrency() = default;
    static constexpr TCurrency FromUnits(std::int64_t units) { TCurrency c; c.m_units = units; return c; }
    static TCurrency FromDouble(double value);
    static constexpr TCurrency FromInteger(std::int64_t value) { return FromUnits(value * Scale); }
    /// Parses a plain "."-decimal text such as "-12.3456"; more than four decimals are rounded half away from zero.
    static std::optional<TCurrency> FromPlainText(QStringView text);

    constexpr std::int64_t Units() const { return m_units; }
    double ToDouble() const { return double(m_units) / Scale; }
    /// Plain "."-decimal text without trailing zeros ("12.5", "-3", "0.0001").
    QString ToPlainText() const;

    constexpr TCurrency operator+(TCurrency o) const { return FromUnits(m_units + o.m_units); }
    constexpr TCurrency operator-(TCurrency o) const { return FromUnits(m_units - o.m_units); }
    constexpr TCurrency operator-() const { return FromUnits(-m_units); }
    TCurrency &operator+=(TCurrency o) { m_units += o.m_units; return *this; }
    constexpr auto operator<=>(const TCurrency &) const = default;

private:
    std::int64_t m_units = 0;
};

Q_DECLARE_METATYPE(TCurrency)
