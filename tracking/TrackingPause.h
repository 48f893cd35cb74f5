#pragma once
// Pausing and restarting the tracking of the main window, by hand and over the
// lunch interval of the options. Holds no widgets: the window applies the
// action's look and the "Paused" label from this state when PauseChanged is
// emitted.

#include <QObject>
#include <QString>

class TdmTasks_Form;
class TTimeTracker;

/// Caption, hint and image index of the pause/restart action.
struct TPauseActionLook
{
    QString caption;
    QString hint;
    int imageIndex = 0;

    friend bool operator==(const TPauseActionLook &, const TPauseActionLook &) = default;
};

class TTrackingPause : public QObject
{
    Q_OBJECT

public:
    static constexpr int StartImage = 37;
    static constexpr int PauseImage = 38;

    /// The tracker's minute timer follows this state; the options (lunch
    /// times) are read from the data module's adsDefaults.
    TTrackingPause(TTimeTracker &tracker, TdmTasks_Form &dataModule, QObject *parent = nullptr);

    /// Pauses (true) or restarts (false) tracking: the minute timer runs exactly
    /// when not paused (and not suspended); the action and label follow.
    void SetPaused(bool Value);
    /// Enters (true) or leaves (false) the lunch interval; entering pauses a
    /// running tracker, leaving restarts a tracker that the lunch rule paused.
    void SetLunchtime(bool Value);
    /// The pause/restart action: toggles the pause by hand.
    void aPauseRestartExecute();
    /// The lunch rule, run every second after the tracker's second tick: only
    /// with both lunch options above zero; the interval includes both ends;
    /// the automatic pause happens at most once per run.
    void CheckLunchtime();

    /// Holds the minute timer off while another window (the review window) is
    /// open, whatever the pause state; lifting it runs the timer again exactly
    /// when not paused, so a pause or restart that happened meanwhile counts.
    void SetSuspended(bool suspended);

    bool Paused() const { return FPaused; }
    bool Lunchtime() const { return FLunchtime; }
    /// The automatic lunch pause has happened in this run.
    bool LunchPauseTaken() const { return FbSetLunch; }
    bool Suspended() const { return m_suspended; }

    const TPauseActionLook &PauseRestartLook() const { return m_look; }
    /// The grid's red "Paused" label is shown exactly while paused.
    bool PausedLabelVisible() const { return FPaused; }

signals:
    /// SetPaused ran: apply PauseRestartLook and PausedLabelVisible.
    void PauseChanged(bool paused);

private:
    void ApplyMinuteTimer();

    TTimeTracker &m_tracker;
    TdmTasks_Form &m_dm;
    bool FPaused = false;
    bool FLunchtime = false;
    bool FbSetLunch = false;
    bool m_suspended = false;
    TPauseActionLook m_look{QStringLiteral("&Pause"), QStringLiteral("Pause"), PauseImage};
};
