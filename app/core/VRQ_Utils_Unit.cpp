#include "app/core/VRQ_Utils_Unit.h"

#include "app/core/Clock.h"
#include "app/core/DateTimeValue.h"
#include "app/core/Errors.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QThread>

#include <climits>
#include <cmath>

double DateTimeToDays(double dDateTime, double fDayDuration, int &iDays)
{
    iDays = 0;
    if (!(fDayDuration > 0))
        return dDateTime;
    const double dayLength = fDayDuration / 24.0;
    const double quotient = std::trunc(dDateTime / dayLength);
    if (std::isnan(quotient))
        return dDateTime;
    // Converting an out-of-range double to int is undefined; such durations
    // do not occur, but a corrupt value must not crash the program.
    if (quotient >= double(INT_MAX))
        iDays = INT_MAX;
    else if (quotient <= double(INT_MIN))
        iDays = INT_MIN;
    else
        iDays = int(quotient);
    return dDateTime - iDays * dayLength;
}

void GetThisWeek(int iStartDay, double &dStartDate, double &dEndDate)
{
    const double today = DateTimeValue::Today();
    const int current = DateTimeValue::DayOfWeek(today);
    if (iStartDay > current)
        dStartDate = today + (iStartDay - current) - 7;
    else
        dStartDate = today - (current - iStartDay);
    dEndDate = dStartDate + 6;
}

void GetLastWeek(int iStartDay, double &dStartDate, double &dEndDate)
{
    GetThisWeek(iStartDay, dStartDate, dEndDate);
    dStartDate -= 7;
    dEndDate -= 7;
}

void GetNextWeek(int iStartDay, double &dStartDate, double &dEndDate)
{
    GetThisWeek(iStartDay, dStartDate, dEndDate);
    dStartDate += 7;
    dEndDate += 7;
}

int DayToDayNumber(const QString &sDayString)
{
    const QLocale locale;
    // Qt numbers the days Monday 1 … Sunday 7.
    const int qtDays[] = {Qt::Sunday, Qt::Monday, Qt::Tuesday, Qt::Wednesday, Qt::Thursday, Qt::Friday};
    for (int i = 0; i < 6; ++i) {
        if (sDayString == locale.dayName(qtDays[i], QLocale::LongFormat))
            return i + 1;
    }
    return 7;
}

void WaitForXSecs(int iSecs)
{
    if (TClock::IsFixed())
        return;
    const double deadline = DateTimeValue::Now() + iSecs / DateTimeValue::SecondsPerDay;
    QElapsedTimer elapsed;
    elapsed.start();
    const qint64 limitMs = qint64(iSecs) * 1000;
    while (DateTimeValue::Now() < deadline && elapsed.elapsed() < limitMs)
        QThread::msleep(1); // no event processing: the caller wants the UI held
}

int EndOfMonth(int iMonth, int iYear)
{
    switch (iMonth) {
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    case 2: {
        const bool leap = (iYear % 4 == 0 && iYear % 100 != 0) || iYear % 400 == 0;
        return leap ? 29 : 28;
    }
    default:
        return 31;
    }
}

int GetPriority(double dtTaskCompDate)
{
    const double daysLeft = dtTaskCompDate - DateTimeValue::Now();
    if (daysLeft > 5)
        return 0;
    if (dtTaskCompDate == 0)
        return 0;
    if (daysLeft > 1)
        return 1;
    return 2;
}

QString CreateSpaceString(int NumSpaces)
{
    return NumSpaces > 0 ? QString(NumSpaces, u' ') : QString();
}

QString GetUserSaveDirectory()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dir.isEmpty())
        dir = QDir::currentPath();
    while (dir.endsWith(u'/'))
        dir.chop(1);
    return dir;
}

void CheckCreateDirectory(const QString &dir)
{
    if (QFileInfo(dir).isDir())
        return;
    if (!QDir().mkdir(dir))
        throw EVRQException(QStringLiteral("Cannot create ") + dir);
}
