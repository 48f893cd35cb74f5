#pragma once
// The text forms of a duration (a day fraction, 1/1440 = one minute), used by
// every window, table field and report that shows or reads one.

#include <QString>

/// Edit mask of a duration cell: two digits, ":", two digits, blanks shown as "0".
inline constexpr const char *ClockEntryMask = "!99:99;1;0";

/// "hh:mm" of the time-of-day part: rounded to the millisecond first (so sums of
/// minutes a hair short still show the full minute), then whole hours 00–23 and
/// minutes; whole days and seconds are dropped.
QString ClockText(double duration);

/// Reads a committed duration entry: its first five characters with every blank
/// made "0", as "hh:mm" → hh/24 + mm/1440. Raises EConvertError
/// "'<text>' is not a valid time" for hours above 23, minutes above 59 or
/// text that is not of that form.
double ParseClockEntry(const QString &text);

/// Task code, one blank, "hh:mm:ss" of the duration's time of day; empty when
/// the code is empty or the duration is not above zero.
QString CurrentTaskText(const QString &taskCode, double duration);

/// "<D> Days <H> Hours <M> Minutes " (ending with a blank) for a working day of
/// dayHours hours: D whole working days, H and M the rest in whole hours and
/// minutes after millisecond rounding. A rest that rounds to a full working day
/// counts as one more day, so 420 one-minute ticks with a 7-hour day read
/// "1 Days 0 Hours 0 Minutes ".
QString WorkingDaysText(double duration, double dayHours);
