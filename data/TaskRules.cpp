// Rules of the weekly task lines: defaults of a new line, the task code check
// and copy, one active line, the week split, the per-weekday totals and the
// priority picture. The same duration texts serve the submitted time and the
// lunch times; submitted durations are protected once invoiced or authorised,
// and the report working set gets its duration text here too.
#include "data/DataModule.h"

#include "app/core/DateTimeValue.h"
#include "app/core/DurationText.h"
#include "app/core/Errors.h"
#include "app/core/ScopeExit.h"
#include "app/core/VRQ_Utils_Unit.h"
#include "data/PriorityImage.h"
#include "data/RowFilter.h"

#include <QTime>

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

namespace {


double TimeOfDay(const TTableField &field)
{
    return DateTimeValue::Frac(field.AsFloat());
}

// Whole working days of a week total and the rest. Minute-by-minute sums land
// a hair below a whole day, so a rest that rounds (to the millisecond) to a
// full working day counts as one more day, as the working-days text does.
double SplitWorkingDays(double total, double dayHours, int &days)
{
    double rest = DateTimeToDays(total, dayHours, days);
    if (dayHours > 0 && std::isfinite(rest) && days < INT_MAX) {
        const double dayMs = std::round(dayHours * 3600000.0);
        if (std::round(rest * DateTimeValue::MSecsPerDay) >= dayMs) {
            ++days;
            rest = std::max(0.0, rest - dayHours / 24.0);
        }
    }
    return rest;
}

} // namespace

void TdmTasks_Form::WireWeeklyTaskRules()
{
    adsTasks.AfterInsert = [this](TRecordTable &t) { adsTasksAfterInsert(t); };
    adsTasks.BeforePost = [this](TRecordTable &t) { adsTasksBeforePost(t); };
    adsTasks.BeforeDelete = [this](TRecordTable &t) { adsTasksBeforeDelete(t); };
    adsTasks.OnCalcFields = [this](TRecordTable &t) { adsTasksCalcFields(t); };

    TTableField &taskCode = adsTasks.FieldByName(u"TaskCode");
    taskCode.OnValidate = [this](TTableField &f, const QVariant &v) { adsTasksTaskCodeValidate(f, v); };
    taskCode.OnChange = [this](TTableField &f) { adsTasksTaskCodeChange(f); };
    adsTasks.FieldByName(u"Active").OnChange = [this](TTableField &f) { adsTasksActiveChange(f); };
    adsTasks.FieldByName(u"Priority").OnChange = [this](TTableField &f) { adsTasksPriorityChange(f); };

    const auto durationText = [this](TTableField &f, bool displayText) {
        return adsTasksMonDurationGetText(f, displayText);
    };
    const auto durationEntry = [this](TTableField &f, const QString &text) { TimeSetText(f, text); };
    for (int day = 1; day <= 7; ++day) {
        TTableField &duration = adsTasks.FieldByName(DayFieldName(day));
        duration.OnChange = [this](TTableField &f) { DayDurationChange(f); };
        duration.OnGetText = durationText;
        duration.OnSetText = durationEntry;
    }
    for (TTableField *field : {&adsReporting.FieldByName(u"Duration"), &adsDefaults.FieldByName(u"StartTime"),
                               &adsDefaults.FieldByName(u"EndTime")}) {
        field->OnGetText = durationText;
        field->OnSetText = durationEntry;
    }

    const auto dateText = [this](TTableField &f, bool displayText) { return DateGetText(f, displayText); };
    adsTaskCodes.FieldByName(u"CompletionDate").OnGetText = dateText;
    adsProjects.FieldByName(u"CompletionDate").OnGetText = dateText;

    adsChartData.OnCalcFields = [this](TRecordTable &t) { adsChartDataCalcFields(t); };

    adsReporting.FieldByName(u"Duration").OnValidate = [this](TTableField &f, const QVariant &v) {
        adsReportingDurationValidate(f, v);
    };
    adsReporting.AfterScroll = [this](TRecordTable &t) { adsReportingAfterScroll(t); };

    adsDefaults.FieldByName(u"StartTime").OnChange = [this](TTableField &f) { adsDefaultsStartTimeChange(f); };
    adsDefaults.FieldByName(u"EndTime").OnChange = [this](TTableField &f) { adsDefaultsEndTimeChange(f); };
}

// --- task lines ---------------------------------------------------------------------

void TdmTasks_Form::adsTasksAfterInsert(TRecordTable &DataSet)
{
    DataSet.Edit();
    {
        // The new line's zeros are no change of the week's time, whatever
        // cell value an earlier edit left behind.
        const auto totals = FTotalDurationArray;
        const TCurrentFieldRec entered = rCurrentField;
        const TScopeExit restore([&] {
            FTotalDurationArray = totals;
            rCurrentField = entered;
        });
        for (int day = 1; day <= 7; ++day)
            DataSet.FieldByName(DayFieldName(day)).SetAsFloat(0.0);
    }
    DataSet.FieldByName(u"Completed").SetAsBoolean(false);
    DataSet.FieldByName(u"Active").SetAsBoolean(false);
    const double now = DateTimeValue::Now();
    DataSet.FieldByName(u"DateTimeCreated").SetAsDateTime(now);
    DataSet.FieldByName(u"DateTimeAmended").SetAsDateTime(now);
    DataSet.FieldByName(u"Priority").SetAsInteger(0);
    DataSet.FieldByName(u"ProjectNumber").SetAsInteger(0);
    DataSet.FieldByName(u"ClientId").SetAsInteger(0);
    if (FbGenerateNextJobId) {
        // Handed out at once, so a line that is dropped again never shares its number.
        ++FMaxJobId;
        DataSet.FieldByName(u"JobId").SetAsInteger(FMaxJobId);
    }
}

void TdmTasks_Form::adsTasksBeforePost(TRecordTable &)
{
    // A task line is stored as it stands; its fields are checked as they are assigned.
}

void TdmTasks_Form::adsTasksBeforeDelete(TRecordTable &DataSet)
{
    for (int day = 1; day <= 7; ++day)
        FTotalDurationArray[std::size_t(day)] -= TimeOfDay(DataSet.FieldByName(DayFieldName(day)));
}

void TdmTasks_Form::adsTasksCalcFields(TRecordTable &DataSet)
{
    double total = 0.0;
    for (int day = 1; day <= 7; ++day)
        total += TimeOfDay(DataSet.FieldByName(DayFieldName(day)));
    int days = 0;
    const double rest = SplitWorkingDays(total, FDayDuration, days);
    DataSet.FieldByName(u"Days").SetAsInteger(days);
    DataSet.FieldByName(u"PartDay").SetAsFloat(rest);
}

void TdmTasks_Form::adsTasksTaskCodeValidate(TTableField &Sender, const QVariant &proposed)
{
    if (FCreationPhase)
        return;
    const QString code = proposed.toString();
    if (code.trimmed().isEmpty())
        throw EVRQException(QStringLiteral("Task code cannot be blank"));
    // A change of letter case only; the line holds this code already.
    if (code.toUpper() == Sender.OldValue().toString().toUpper())
        return;
    // The clone sees every line, completed ones too, with their stored codes.
    if (CountInClone(Sender.DataSet(), TRowFilter::Equals(QStringLiteral("TaskCode"), code)) > 0)
        throw EVRQException(QStringLiteral("Task code already selected"));
}

void TdmTasks_Form::adsTasksTaskCodeChange(TTableField &Sender)
{
    if (!adsTaskCodes.Active())
        return;
    TRecordTable &line = Sender.DataSet();
    const QString code = Sender.AsString().trimmed().toUpper();
    const TTableField &codeOfTask = adsTaskCodes.FieldByName(u"TaskCode");
    for (adsTaskCodes.First(); !adsTaskCodes.Eof(); adsTaskCodes.Next()) {
        if (codeOfTask.AsString().trimmed().toUpper() != code)
            continue;
        line.Edit();
        line.FieldByName(u"TaskDescription").SetValue(adsTaskCodes.FieldValue(u"TaskDescription"));
        line.FieldByName(u"ProjectNumber").SetValue(adsTaskCodes.FieldValue(u"ProjectNumber"));
        line.FieldByName(u"Priority").SetAsInteger(
            GetPriority(adsTaskCodes.FieldByName(u"CompletionDate").AsDateTime()));
    }
}

void TdmTasks_Form::adsTasksActiveChange(TTableField &Sender)
{
    if (!FOneTaskActive || FActivating || !Sender.AsBoolean())
        return;
    TRecordTable &tasks = Sender.DataSet();
    FActivating = true;
    tasks.DisableControls();
    const TScopeExit restore([&] {
        tasks.EnableControls();
        FActivating = false;
    });

    const TTableField &taskCode = tasks.FieldByName(u"TaskCode");
    const TTableField &projectNumber = tasks.FieldByName(u"ProjectNumber");
    const TTableField &clientId = tasks.FieldByName(u"ClientId");
    TTableField &active = tasks.FieldByName(u"Active");
    const QString code = taskCode.AsString();
    const int project = projectNumber.AsInteger();
    const int client = clientId.AsInteger();
    // The key keeps nulls, so a line without a code is found again too.
    const QVariantList key{clientId.Value(), projectNumber.Value(), taskCode.Value()};

    // Going to the first line posts the line just activated.
    for (tasks.First(); !tasks.Eof(); tasks.Next()) {
        const bool same =
            taskCode.AsString() == code && projectNumber.AsInteger() == project && clientId.AsInteger() == client;
        if (!same && active.AsBoolean()) {
            tasks.Edit();
            active.SetAsBoolean(false);
        }
    }
    tasks.Locate(QStringLiteral("ClientId;ProjectNumber;TaskCode"), key, loCaseInsensitive);
    tasks.Edit();
}

void TdmTasks_Form::adsTasksPriorityChange(TTableField &Sender)
{
    Sender.DataSet().FieldByName(u"PriorityImage").SetAsBytes(PriorityImage::PriorityBitmap(Sender.AsInteger()));
}

void TdmTasks_Form::DayDurationChange(TTableField &Sender)
{
    if (FTimerActive)
        return;
    const int day = DayNumberOfField(Sender.FieldName());
    if (day == 0)
        return;
    const double value = TimeOfDay(Sender);
    FTotalDurationArray[std::size_t(day)] += value - rCurrentField.Value;
    // The cell now holds the new value: a second change before the cell is
    // entered again must count only its own difference.
    rCurrentField.Value = value;
}

// --- duration and date texts ------------------------------------------------------------

QString TdmTasks_Form::adsTasksMonDurationGetText(TTableField &Sender, bool DisplayText)
{
    const double value = Sender.AsFloat();
    // Zero durations show as blank cells; the time of day is taken as the
    // clock text rounds it, so a sum a hair below a full day shows blank too.
    if (DisplayText && DateTimeValue::ToTime(value) == QTime(0, 0))
        return QString();
    return ClockText(value);
}

void TdmTasks_Form::TimeSetText(TTableField &Sender, const QString &Text)
{
    double value = 0.0;
    try {
        value = ParseClockEntry(Text);
    } catch (const EConvertError &) {
        if (Sender.Kind() == TFieldKind::DateTime)
            throw EConvertError(QStringLiteral("'%1' is not a valid date and time").arg(Text));
        throw;
    }
    Sender.SetAsDateTime(value);
}

QString TdmTasks_Form::DateGetText(TTableField &Sender, bool DisplayText)
{
    static const QString shortDate = QStringLiteral("ddddd");
    const double value = Sender.AsDateTime();
    if (value != 0.0)
        return DateTimeValue::Format(shortDate, value);
    // No date: blank on show, and the editor opens on today.
    return DisplayText ? QString() : DateTimeValue::Format(shortDate, DateTimeValue::Today());
}

void TdmTasks_Form::adsChartDataCalcFields(TRecordTable &DataSet)
{
    DataSet.FieldByName(u"DurationText")
        .SetAsString(WorkingDaysText(DataSet.FieldByName(u"Duration").AsFloat(), FDayDuration));
}

// --- submitted time -------------------------------------------------------------------

void TdmTasks_Form::adsReportingDurationValidate(TTableField &Sender, const QVariant &)
{
    const TRecordTable &row = Sender.DataSet();
    if (row.FieldByName(u"InvoiceNumber").AsInteger() > 0)
        throw EVRQException(QStringLiteral("Unable to amend duration because the task has already been invoiced"));
    if (row.FieldByName(u"AuthUserId").AsInteger() > 0)
        throw EVRQException(QStringLiteral("Unable to amend duration because the task has already authorised"));
}

void TdmTasks_Form::adsReportingAfterScroll(TRecordTable &DataSet)
{
    const bool locked =
        DataSet.FieldByName(u"InvoiceNumber").AsInteger() > 0 || DataSet.FieldByName(u"AuthUserId").AsInteger() > 0;
    DataSet.FieldByName(u"Duration").SetReadOnly(locked);
}

// --- lunch times ------------------------------------------------------------------------

// Assigning the other time runs its rule too; it then finds the two equal and stops.
void TdmTasks_Form::adsDefaultsStartTimeChange(TTableField &Sender)
{
    TTableField &endTime = Sender.DataSet().FieldByName(u"EndTime");
    if (endTime.AsDateTime() < Sender.AsDateTime())
        endTime.SetAsDateTime(Sender.AsDateTime());
}

void TdmTasks_Form::adsDefaultsEndTimeChange(TTableField &Sender)
{
    TTableField &startTime = Sender.DataSet().FieldByName(u"StartTime");
    if (startTime.AsDateTime() > Sender.AsDateTime())
        startTime.SetAsDateTime(Sender.AsDateTime());
}
