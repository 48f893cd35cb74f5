#include "app/core/DurationText.h"

#include "app/core/DateTimeValue.h"
#include "app/core/Errors.h"
#include "app/core/VRQ_Utils_Unit.h"

#include <QRegularExpression>
#include <QTime>

#include <climits>
#include <cmath>

namespace {

QString TwoDigits(int n)
{
    return QString::number(n).rightJustified(2, u'0');
}

} // namespace

QString ClockText(double duration)
{
    // Decode rounds to the millisecond and carries a full 24:00 into the date.
    const QTime t = DateTimeValue::ToTime(duration);
    return TwoDigits(t.hour()) + u':' + TwoDigits(t.minute());
}

double ParseClockEntry(const QString &text)
{
    QString clock = text.left(5);
    clock.replace(u' ', u'0');
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{1,2}):([0-9]{1,2})$"));
    const QRegularExpressionMatch m = pattern.match(clock);
    if (m.hasMatch()) {
        const int hours = m.captured(1).toInt();
        const int minutes = m.captured(2).toInt();
        if (hours <= 23 && minutes <= 59)
            return hours / 24.0 + minutes / DateTimeValue::MinutesPerDay;
    }
    throw EConvertError(QStringLiteral("'%1' is not a valid time").arg(text));
}

QString CurrentTaskText(const QString &taskCode, double duration)
{
    if (taskCode.isEmpty() || !(duration > 0))
        return QString();
    const QTime t = DateTimeValue::ToTime(duration);
    return taskCode + u' ' + TwoDigits(t.hour()) + u':' + TwoDigits(t.minute()) + u':' + TwoDigits(t.second());
}

QString WorkingDaysText(double duration, double dayHours)
{
    int days = 0;
    double rest = DateTimeToDays(duration, dayHours, days);
    if (dayHours > 0 && std::isfinite(rest)) {
        // Minute ticks summed in floating point land a hair below a whole day;
        // the truncated split then leaves a rest that shows as a full day
        // ("0 Days 7 Hours" for a 7-hour day). Count that rest as the day it is.
        const double dayLength = dayHours / 24.0;
        const double dayMs = std::round(dayHours * 3600000.0);
        const double restMs = std::round(rest * DateTimeValue::MSecsPerDay);
        if (restMs >= dayMs && days < INT_MAX) {
            ++days;
            rest -= dayLength;
        } else if (restMs <= -dayMs && days > INT_MIN) {
            --days;
            rest += dayLength;
        }
    }
    const QTime t = DateTimeValue::ToTime(rest);
    return QStringLiteral("%1 Days %2 Hours %3 Minutes ").arg(days).arg(t.hour()).arg(t.minute());
}
