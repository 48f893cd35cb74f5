#pragma once
// The clock of the timesheet: a minute tick that adds the elapsed minutes to
// every active line on today's weekday field, keeps the data module's weekday
// totals in step and refreshes each line's priority, and a second tick that
// lets the current task's display run between minutes and measures how long ago
// the user last typed, so a minute falling while the user types is held back.
//
// The grid frame owns one tracker; the tracker needs no widgets.

#include "tracking/CurrentTask.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class TdmTasks_Form;

class TTimeTracker : public QObject
{
    Q_OBJECT

public:
    /// Interval of the minute tick and of the second tick, in milliseconds.
    static constexpr int MinuteInterval = 60000;
    static constexpr int SecondInterval = 1000;
    /// FLastUsedCounter stops counting here (seconds).
    static constexpr int LastUsedLimit = 120;
    /// A minute tick is held back while the last key press is at most this many seconds old.
    static constexpr int TypingGrace = 3;

    explicit TTimeTracker(TdmTasks_Form &dataModule, QObject *parent = nullptr);
    ~TTimeTracker() override;

    /// Resets the current task and the counters, loads the current task from
    /// the first active line and starts the timers (the minute timer only while
    /// it is enabled, see SetMinuteTimerEnabled).
    void Initialise();

    /// Loads the current task from the task table. With bAllRows the first
    /// active line is searched from the top; otherwise the current line is
    /// taken when it is active. Without an active line the current task is
    /// emptied. The table returns to the line it was on, in edit.
    void SetCurrentTaskValue(bool bAllRows);

    /// The user typed in the grid or opened a lookup list: the next minute
    /// tick within TypingGrace seconds is held back.
    void ResetLastUsed();

    /// The second tick: one second more on the current task while the minute
    /// timer is enabled, and one more second since the user last typed.
    void tLastUsedTimerTimer();

    /// The minute tick. Errors other than a conversion error on one line end
    /// the tick and are raised; whatever happens, the view notifications of the
    /// task table resume, FTimerActive is cleared and FTimerIncrement returns to 1.
    void TimeTrackerTimerTimer();

    /// Switches the minute timer on or off; switching it on starts a full
    /// minute from now. Before Initialise only the choice is stored.
    void SetMinuteTimerEnabled(bool enabled);
    bool MinuteTimerEnabled() const { return FMinuteTimerEnabled; }

    const TCurrentTask &CurrentTask() const { return FCurrentTask; }
    int TimerIncrement() const { return FTimerIncrement; }
    int LastUsedCounter() const { return FLastUsedCounter; }
    const QTimer &MinuteTimer() const { return *TimeTrackerTimer; }
    const QTimer &SecondTimer() const { return *tLastUsedTimer; }

    /// Refreshes the grid's totals bar; called once by every complete minute tick.
    std::function<void()> DisplayTotal;

public slots:
    /// What the timers run: the tick, with an error reported through
    /// TickFailed instead of escaping into the event loop.
    void OnMinuteTimer();
    /// The second tick followed by SecondTick (errors reported through TickFailed).
    void OnSecondTimer();

signals:
    /// The current task's text changed (also every second while it runs).
    void CurrentTaskChanged(const QString &currentTaskDetail);
    /// Emitted by the second timer after the tracker's own second tick; the
    /// main window hangs its lunch rule, date change and caption here.
    void SecondTick();
    /// A tick run by a timer ended with this error message.
    void TickFailed(const QString &message);

private:
    void EmitIfChanged(const QString &before);

    TdmTasks_Form &m_dm;
    QTimer *TimeTrackerTimer;
    QTimer *tLastUsedTimer;
    bool m_initialised = false;
    bool FMinuteTimerEnabled = true;
    int FTimerIncrement = 1;
    int FLastUsedCounter = LastUsedLimit;
    TCurrentTask FCurrentTask;
};
