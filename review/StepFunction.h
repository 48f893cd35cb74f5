#pragma once
// The step function: cuts every day duration of the weekly sheet down to a
// whole number of steps of the minimum task duration.

#include <functional>

class TdmTasks_Form;

class TStepFunction
{
public:
    explicit TStepFunction(TdmTasks_Form &dm);

    /// Hands a value still being typed in a grid cell to its field; called
    /// just before the pending edit is posted.
    std::function<void()> CommitPendingInput;
    /// Redisplays the grid's day totals after the pass.
    std::function<void()> DisplayTotal;

    /// Rounds every day duration of every task line down to whole steps of
    /// MinimumTaskDuration minutes; does nothing at all when that is 0 or less.
    /// The day totals follow through the day-duration rule; the cursor ends
    /// on the line that was current, in edit mode.
    void StepExecute();

private:
    TdmTasks_Form &m_dm;
};
