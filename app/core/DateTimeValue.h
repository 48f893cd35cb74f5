#pragma once
// Date-time values as the program stores them: a double counting days, day 0 is
// 30 December 1899, the fraction is the time of day (1.0 = 24 hours). Durations
// use the same unit. Conversions, formatting in the user's locale and parsing.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

namespace DateTimeValue {

constexpr double MinutesPerDay = 1440.0;
constexpr double SecondsPerDay = 86400.0;
constexpr double MSecsPerDay = 86400000.0;

/// The date 30 December 1899, day 0.
QDate Epoch();

double FromDate(QDate date);
double FromTime(QTime time);
double FromDateTime(const QDateTime &moment);
/// Time-of-day value of hours, minutes, seconds and milliseconds.
double EncodeTime(int hours, int minutes, int seconds = 0, int msecs = 0);

/// Whole days of the value (toward zero) and the time of day rounded to the
/// nearest millisecond; a rounding that reaches 24:00 carries into the next day.
struct Decoded
{
    QDate date;
    QTime time;
};
Decoded Decode(double value);
QDate ToDate(double value);
QTime ToTime(double value);
QDateTime ToDateTime(double value);

/// The time-of-day part (value less its whole days).
double Frac(double value);
/// The date part, toward zero.
double Trunc(double value);

/// Day number 1 = Sunday … 7 = Saturday.
int DayOfWeek(double value);
int DayOfWeek(QDate date);

/// "Now" and "today" (midnight), read through TClock.
double Now();
double Today();

// --- Formats of the user's locale -------------------------------------------
/// Qt pattern of the short date (years always with four digits).
QString ShortDateFormat();
/// Qt pattern of the long time (hours, minutes, seconds; no time zone).
QString LongTimeFormat();
/// Qt pattern of the short time (hours and minutes).
QString ShortTimeFormat();
/// Qt pattern of the long date ("Tuesday, 8 December 2026").
QString LongDateFormat();

/// Formats with the format strings the program uses: "ddddd" (short date),
/// "dddddd" (long date), "t" (short time), "tt" (long time), "c" (short date and
/// long time, the time left out at midnight), "hh:mm", "hh:mm:ss" and Qt-style
/// patterns. Text between double quotes is copied as it stands.
QString Format(const QString &format, double value);

/// Default text of a date-time: the short date, followed by the long time
/// unless the time is midnight.
QString DateTimeToStr(double value);
QString DateToStr(double value);
QString TimeToStr(double value);

/// Parses a short date, optionally followed by a blank and a long or short
/// time. Returns false when the text is not a date.
bool TryStrToDateTime(const QString &text, double &value);
/// Parses "h:mm", "hh:mm" or "hh:mm:ss" (hours 0–23, minutes and seconds
/// 0–59). Returns false otherwise.
bool TryStrToTime(const QString &text, double &value);

} // namespace DateTimeValue
