#include "app/core/DateTimeValue.h"

#include "app/core/Clock.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace DateTimeValue {

QDate Epoch()
{
    return QDate(1899, 12, 30);
}

double FromDate(QDate date)
{
    return date.isValid() ? double(Epoch().daysTo(date)) : 0.0;
}

double FromTime(QTime time)
{
    return time.isValid() ? time.msecsSinceStartOfDay() / MSecsPerDay : 0.0;
}

double FromDateTime(const QDateTime &moment)
{
    const double day = FromDate(moment.date());
    const double time = FromTime(moment.time());
    // Before day 0 the fraction still counts forward from midnight.
    return day < 0 ? day - time : day + time;
}

double EncodeTime(int hours, int minutes, int seconds, int msecs)
{
    return (((hours * 60.0 + minutes) * 60.0 + seconds) * 1000.0 + msecs) / MSecsPerDay;
}

double Frac(double value)
{
    return value - std::trunc(value);
}

double Trunc(double value)
{
    return std::trunc(value);
}

Decoded Decode(double value)
{
    if (!std::isfinite(value))
        return {Epoch(), QTime(0, 0)};
    double days = std::trunc(value);
    double ms = std::round(std::fabs(value - days) * MSecsPerDay);
    if (ms >= MSecsPerDay) {
        // The time of day reached midnight: that is the next calendar day, also
        // before day 0, where the fraction still counts forward from midnight.
        ms -= MSecsPerDay;
        days += 1;
    }
    return {Epoch().addDays(qint64(days)), QTime::fromMSecsSinceStartOfDay(int(ms))};
}

QDate ToDate(double value)
{
    return Decode(value).date;
}

QTime ToTime(double value)
{
    return Decode(value).time;
}

QDateTime ToDateTime(double value)
{
    const Decoded d = Decode(value);
    return QDateTime(d.date, d.time);
}

int DayOfWeek(QDate date)
{
    return date.dayOfWeek() % 7 + 1; // Qt: Monday 1 … Sunday 7
}

int DayOfWeek(double value)
{
    return DayOfWeek(ToDate(value));
}

double Now()
{
    return FromDateTime(TClock::Now());
}

double Today()
{
    return FromDate(TClock::Now().date());
}

// --- Locale formats -----------------------------------------------------------

namespace {

QString WithoutTimeZone(QString pattern)
{
    pattern.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*")));
    return pattern.trimmed();
}

} // namespace

QString ShortDateFormat()
{
    QString pattern = QLocale().dateFormat(QLocale::ShortFormat);
    static const QRegularExpression years(QStringLiteral("y+"));
    pattern.replace(years, QStringLiteral("yyyy"));
    return pattern;
}

QString LongTimeFormat()
{
    return WithoutTimeZone(QLocale().timeFormat(QLocale::LongFormat));
}

QString ShortTimeFormat()
{
    return WithoutTimeZone(QLocale().timeFormat(QLocale::ShortFormat));
}

QString LongDateFormat()
{
    return QLocale().dateFormat(QLocale::LongFormat);
}

namespace {

QString TwoDigits(int n)
{
    return QString::number(n).rightJustified(2, u'0');
}

int CountRun(const QString &f, qsizetype i, QChar c)
{
    int n = 0;
    while (i + n < f.size() && f[i + n].toLower() == c)
        ++n;
    return n;
}

} // namespace

QString Format(const QString &format, double value)
{
    const Decoded d = Decode(value);
    const QLocale locale;
    if (format.isEmpty() || format == u"c")
        return DateTimeToStr(value);

    QString out;
    bool lastWasHour = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar ch = format[i];
        const QChar lower = ch.toLower();
        if (ch == u'"' || ch == u'\'') {
            const qsizetype end = format.indexOf(ch, i + 1);
            const qsizetype stop = end < 0 ? format.size() : end;
            out += format.mid(i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        if (lower == u'd') {
            const int n = CountRun(format, i, u'd');
            switch (n) {
            case 1: out += QString::number(d.date.day()); break;
            case 2: out += TwoDigits(d.date.day()); break;
            case 3: out += locale.dayName(d.date.dayOfWeek(), QLocale::ShortFormat); break;
            case 4: out += locale.dayName(d.date.dayOfWeek(), QLocale::LongFormat); break;
            case 5: out += locale.toString(d.date, ShortDateFormat()); break;
            default: out += locale.toString(d.date, LongDateFormat()); break;
            }
            i += n;
            lastWasHour = false;
            continue;
        }
        if (lower == u'y') {
            const int n = CountRun(format, i, u'y');
            out += n <= 2 ? TwoDigits(d.date.year() % 100) : QString::number(d.date.year());
            i += n;
            continue;
        }
        if (lower == u'm') {
            const int n = CountRun(format, i, u'm');
            if (lastWasHour && n <= 2) {
                out += n == 1 ? QString::number(d.time.minute()) : TwoDigits(d.time.minute());
            } else {
                switch (n) {
                case 1: out += QString::number(d.date.month()); break;
                case 2: out += TwoDigits(d.date.month()); break;
                case 3: out += locale.monthName(d.date.month(), QLocale::ShortFormat); break;
                default: out += locale.monthName(d.date.month(), QLocale::LongFormat); break;
                }
            }
            i += n;
            lastWasHour = false;
            continue;
        }
        if (lower == u'h') {
            const int n = CountRun(format, i, u'h');
            out += n == 1 ? QString::number(d.time.hour()) : TwoDigits(d.time.hour());
            i += n;
            lastWasHour = true;
            continue;
        }
        if (lower == u'n') {
            const int n = CountRun(format, i, u'n');
            out += n == 1 ? QString::number(d.time.minute()) : TwoDigits(d.time.minute());
            i += n;
            lastWasHour = false;
            continue;
        }
        if (lower == u's') {
            const int n = CountRun(format, i, u's');
            out += n == 1 ? QString::number(d.time.second()) : TwoDigits(d.time.second());
            i += n;
            lastWasHour = false;
            continue;
        }
        if (lower == u'z') {
            const int n = CountRun(format, i, u'z');
            out += n == 1 ? QString::number(d.time.msec()) : QString::number(d.time.msec()).rightJustified(3, u'0');
            i += n;
            continue;
        }
        if (lower == u't') {
            const int n = CountRun(format, i, u't');
            out += locale.toString(d.time, n == 1 ? ShortTimeFormat() : LongTimeFormat());
            i += n;
            lastWasHour = false;
            continue;
        }
        if (format.mid(i, 5).compare(u"am/pm", Qt::CaseInsensitive) == 0) {
            out += d.time.hour() < 12 ? locale.amText() : locale.pmText();
            i += 5;
            continue;
        }
        if (ch == u'/') {
            out += locale.dateFormat(QLocale::ShortFormat).contains(u'.') ? u'.' : u'/';
            ++i;
            continue;
        }
        out += ch;
        ++i;
        if (ch != u':' && ch != u' ')
            lastWasHour = false;
    }
    return out;
}

QString DateToStr(double value)
{
    return QLocale().toString(ToDate(value), ShortDateFormat());
}

QString TimeToStr(double value)
{
    return QLocale().toString(ToTime(value), LongTimeFormat());
}

QString DateTimeToStr(double value)
{
    const Decoded d = Decode(value);
    QString text = QLocale().toString(d.date, ShortDateFormat());
    if (d.time.msecsSinceStartOfDay() != 0)
        text += u' ' + QLocale().toString(d.time, LongTimeFormat());
    return text;
}

namespace {

bool TryDate(const QString &text, QDate &date)
{
    const QLocale locale;
    const QString trimmed = text.trimmed();
    for (const QString &pattern : {ShortDateFormat(), locale.dateFormat(QLocale::ShortFormat)}) {
        date = locale.toDate(trimmed, pattern);
        if (date.isValid())
            return true;
    }
    // Days and months written with or without leading zeros.
    QString loose = ShortDateFormat();
    loose.replace(QStringLiteral("dd"), QStringLiteral("d")).replace(QStringLiteral("MM"), QStringLiteral("M"));
    date = locale.toDate(trimmed, loose);
    return date.isValid();
}

} // namespace

bool TryStrToTime(const QString &text, double &value)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2})(?:[.,](\\d{1,3}))?)?\\s*$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (m.hasMatch()) {
        const int h = m.captured(1).toInt();
        const int mi = m.captured(2).toInt();
        const int s = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
        const int ms = m.captured(4).isEmpty() ? 0 : m.captured(4).leftJustified(3, u'0').toInt();
        if (h > 23 || mi > 59 || s > 59)
            return false;
        value = EncodeTime(h, mi, s, ms);
        return true;
    }
    const QTime t = QLocale().toTime(text.trimmed(), LongTimeFormat());
    if (t.isValid()) {
        value = FromTime(t);
        return true;
    }
    const QTime shortTime = QLocale().toTime(text.trimmed(), ShortTimeFormat());
    if (shortTime.isValid()) {
        value = FromTime(shortTime);
        return true;
    }
    return false;
}

bool TryStrToDateTime(const QString &text, double &value)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    QDate date;
    if (TryDate(trimmed, date)) {
        value = FromDate(date);
        return true;
    }
    const qsizetype blank = trimmed.indexOf(u' ');
    if (blank > 0 && TryDate(trimmed.left(blank), date)) {
        double time = 0;
        if (!TryStrToTime(trimmed.mid(blank + 1), time))
            return false;
        value = FromDate(date) + time;
        return true;
    }
    return false;
}

} // namespace DateTimeValue
