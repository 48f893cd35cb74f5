#include "tracking/TrackingPause.h"

#include "app/core/DateTimeValue.h"
#include "data/DataModule.h"
#include "tracking/TimeTracker.h"

TTrackingPause::TTrackingPause(TTimeTracker &tracker, TdmTasks_Form &dataModule, QObject *parent)
    : QObject(parent)
    , m_tracker(tracker)
    , m_dm(dataModule)
{
}

void TTrackingPause::ApplyMinuteTimer()
{
    m_tracker.SetMinuteTimerEnabled(!FPaused && !m_suspended);
}

void TTrackingPause::SetPaused(bool Value)
{
    FPaused = Value;
    ApplyMinuteTimer();
    m_look = Value ? TPauseActionLook{QStringLiteral("&Start"), QStringLiteral("Start"), StartImage}
                   : TPauseActionLook{QStringLiteral("Pau&se"), QStringLiteral("Pause"), PauseImage};
    emit PauseChanged(FPaused);
}

void TTrackingPause::aPauseRestartExecute()
{
    SetPaused(!FPaused);
}

void TTrackingPause::SetLunchtime(bool Value)
{
    FLunchtime = Value;
    if (Value)
        FbSetLunch = true;
    if (FLunchtime && !FPaused) {
        SetPaused(true);
    } else if (!FLunchtime && FPaused) {
        // Leaving lunch restarts tracking, also after a pause by hand before or
        // during lunch: the end of lunch is when work starts again.
        SetPaused(false);
    }
}

void TTrackingPause::CheckLunchtime()
{
    TRecordTable &defaults = m_dm.adsDefaults;
    if (!defaults.Active() || defaults.IsEmpty())
        return;
    const double startTime = defaults.FieldByName(u"StartTime").AsDateTime();
    const double endTime = defaults.FieldByName(u"EndTime").AsDateTime();
    if (!(startTime > 0) || !(endTime > 0))
        return;
    // Compared in whole milliseconds of the day, so the ends are included
    // whatever the rounding of the stored fractions.
    const auto msOfDay = [](double value) {
        return qRound64(DateTimeValue::Frac(value) * DateTimeValue::MSecsPerDay);
    };
    const qint64 t = msOfDay(DateTimeValue::Now());
    const bool inside = msOfDay(startTime) <= t && t <= msOfDay(endTime);
    if (inside && !FLunchtime && !FbSetLunch)
        SetLunchtime(true);
    else if (!inside && FLunchtime)
        SetLunchtime(false);
}

void TTrackingPause::SetSuspended(bool suspended)
{
    m_suspended = suspended;
    ApplyMinuteTimer();
}
