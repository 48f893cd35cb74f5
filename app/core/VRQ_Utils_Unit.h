#pragma once
// Small date and week arithmetic of the timesheet, month lengths, task priority,
// a short busy wait, runs of spaces, and the two directory helpers.
//
// Day numbers are 1 = Sunday … 7 = Saturday. Date-times and durations are the
// doubles of DateTimeValue (1.0 = 24 hours). "Now" and "today" come from TClock.

#include <QString>

/// Splits a duration into whole working days of fDayDuration hours and returns
/// what is left. iDays is the quotient truncated toward zero, so a sum that lands
/// a hair below a whole number of days gives one day fewer. A working-day length
/// of zero or less (or not a number) gives zero days and the whole duration back.
double DateTimeToDays(double dDateTime, double fDayDuration, int &iDays);

/// The seven-day week that began on the most recent day numbered iStartDay,
/// today included. Both dates are at midnight; dEndDate is dStartDate + 6.
void GetThisWeek(int iStartDay, double &dStartDate, double &dEndDate);
/// The week before GetThisWeek's.
void GetLastWeek(int iStartDay, double &dStartDate, double &dEndDate);
/// The week after GetThisWeek's.
void GetNextWeek(int iStartDay, double &dStartDate, double &dEndDate);

/// Day number of a long day name of the current locale, compared exactly and
/// case-sensitively. Saturday's name and any unknown text give 7.
int DayToDayNumber(const QString &sDayString);

/// Blocks the calling thread, without processing events, until iSecs seconds
/// have passed on TClock. While TClock is fixed (tests) it returns at once, since
/// a fixed clock never reaches the deadline. The wait is also bounded by a
/// monotonic timer, so a system clock set back (or a change from summer time)
/// does not stretch it.
void WaitForXSecs(int iSecs);

/// Days in a month of the Gregorian calendar; month numbers outside 1..12 give 31.
int EndOfMonth(int iMonth, int iYear);

/// Urgency of a task code from its completion date (0 = none): 0 when more than
/// five days away or unset, 1 when more than a day away, 2 otherwise (due within
/// a day, or overdue).
int GetPriority(double dtTaskCompDate);

/// NumSpaces blanks; zero or a negative count gives the empty text.
QString CreateSpaceString(int NumSpaces);

/// The per-user data folder (the generic data location, e.g. ~/.local/share),
/// or the current directory when there is none. No trailing "/".
QString GetUserSaveDirectory();

/// Makes sure dir exists, creating its last level when missing. Raises
/// EVRQException("Cannot create " + dir) when that fails (also when a file of
/// that name is in the way).
void CheckCreateDirectory(const QString &dir);
