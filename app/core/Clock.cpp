#include "app/core/Clock.h"

std::optional<QDateTime> TClock::s_fixed;

QDateTime TClock::Now()
{
    return s_fixed ? *s_fixed : QDateTime::currentDateTime();
}

void TClock::SetFixed(const QDateTime &moment)
{
    s_fixed = moment;
}

void TClock::Advance(qint64 milliseconds)
{
    if (s_fixed)
        s_fixed = s_fixed->addMSecs(milliseconds);
}

void TClock::Release()
{
    s_fixed.reset();
}

bool TClock::IsFixed()
{
    return s_fixed.has_value();
}
