#pragma once
// The task being timed: the code and today's duration of the active line, with
// the text the main window shows for it.

#include <QString>

class TCurrentTask
{
public:
    const QString &TaskCode() const { return FTaskCode; }
    /// Stores the code; the text is rebuilt by the next SetDuration or UpdateSelf.
    void SetTaskCode(const QString &value);

    double Duration() const { return FDuration; }
    /// Stores the duration (a day fraction) and rebuilds the text.
    void SetDuration(double value);

    /// Adds one second to the duration and rebuilds the text.
    void AddASecond();

    /// Rebuilds CurrentTaskDetail from the code and the duration.
    void UpdateSelf();

    /// Code, a blank and the duration as "hh:mm:ss"; empty without a code or
    /// without a duration above zero.
    const QString &CurrentTaskDetail() const { return FCurrentTaskDetail; }

private:
    QString FTaskCode;
    double FDuration = 0.0;
    QString FCurrentTaskDetail;
};
