#pragma once
// The one place the program reads "now". Tests set a fixed moment or move it
// forward, so weeks, midnights and minute ticks are tested without waiting.

#include <QDateTime>

#include <optional>

class TClock
{
public:
    /// The current local date and time (the fixed moment while one is set).
    static QDateTime Now();
    /// Fixes "now" at the given moment until Release() is called.
    static void SetFixed(const QDateTime &moment);
    /// Moves a fixed "now" forward by the given number of milliseconds.
    static void Advance(qint64 milliseconds);
    /// Returns to the system clock.
    static void Release();
    static bool IsFixed();

private:
    static std::optional<QDateTime> s_fixed;
};
