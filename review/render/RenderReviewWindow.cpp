// Renders the review window offscreen to PNG files: a week of several lines
// with time on several days, one of them completed, with the first-run display
// options and with every weekday and the client column shown.
//     zelbra_render_review <output dir> <file suffix>
#include "app/core/Clock.h"
#include "app/core/Currency.h"
#include "app/core/DateTimeValue.h"
#include "data/DataModule.h"
#include "review/SubmitForm.h"
#include "tracking/TimeTrackerFrame.h"

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>

#include <array>
#include <cstdio>

namespace {

void AddTaskCode(TdmTasks_Form &dm, const QString &code, const QString &description, int project)
{
    TRecordTable &t = dm.adsTaskCodes;
    t.Append();
    t.FieldByName(u"TaskCode").SetAsString(code);
    t.FieldByName(u"TaskDescription").SetAsString(description);
    t.FieldByName(u"ProjectNumber").SetAsInteger(project);
    t.FieldByName(u"DailyRate").SetAsCurrency(TCurrency());
    t.FieldByName(u"TotalCost").SetAsCurrency(TCurrency());
    t.FieldByName(u"CompletionDate").SetAsDateTime(0.0);
    t.Post();
}

// Minutes by day number, 1 = Sunday … 7 = Saturday (index 0 unused).
void AddLine(TdmTasks_Form &dm, const QString &code, const QString &description, int project, int client,
             const std::array<int, 8> &minutes, bool completed)
{
    TRecordTable &t = dm.adsTasks;
    t.Append();
    t.FieldByName(u"TaskCode").SetAsString(code);
    t.FieldByName(u"TaskDescription").SetAsString(description);
    t.FieldByName(u"ProjectNumber").SetAsInteger(project);
    t.FieldByName(u"ClientId").SetAsInteger(client);
    for (int day = 1; day <= 7; ++day) {
        TTableField &field = t.FieldByName(TdmTasks_Form::DayFieldName(day));
        dm.rCurrentField.Value = DateTimeValue::Frac(field.AsFloat());
        field.SetAsDateTime(minutes[std::size_t(day)] / DateTimeValue::MinutesPerDay);
    }
    t.FieldByName(u"Completed").SetAsBoolean(completed);
    t.Post();
}

void SetOption(TdmTasks_Form &dm, QStringView name, const QVariant &value)
{
    TRecordTable &defaults = dm.adsDefaults;
    if (defaults.State() == TDataSetState::Browse)
        defaults.Edit();
    defaults.FieldByName(name).SetValue(value);
    defaults.Post();
}

bool Render(TdmTasks_Form &dm, const QString &path)
{
    TForm_Submit_Form window(dm);
    window.show();
    QApplication::processEvents();
    // The height settles on whole rows a moment after the window appears.
    static_cast<TBaseFormVRQ_Common &>(window).ResizeRequired();
    QApplication::processEvents();
    const bool ok = window.grab().save(path);
    std::printf("%s %s (%dx%d)\n", ok ? "wrote" : "FAILED", qPrintable(path), window.width(), window.height());
    window.hide();
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    QApplication::setApplicationName(QStringLiteral("Zelbra"));
    QApplication::setApplicationDisplayName(QStringLiteral("Zelbra"));
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const QString suffix = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    QDir().mkpath(outDir);

    // Friday 11 December 2026, 16:40: the week that began on Sunday 6 December.
    TClock::SetFixed(QDateTime(QDate(2026, 12, 11), QTime(16, 40)));

    QTemporaryDir sandbox;
    const QString exeDir = sandbox.path() + QStringLiteral("/Zelbra/Bin/");
    QDir().mkpath(exeDir);
    TDataModuleEnvironment env;
    env.exeName = exeDir + QStringLiteral("zelbra");
    const QString ini = sandbox.path() + QStringLiteral("/settings.ini");
    env.settings = [ini](const QString &) { return std::make_unique<QSettings>(ini, QSettings::IniFormat); };
    env.userSaveDirectory = sandbox.path() + QStringLiteral("/user");
    TdmTasks_Form dm(env);
    dm.DataModuleCreate();
    dm.SetSetupRequired(false);

    dm.CreateClient(QStringLiteral("Harbour Logistics"), QStringLiteral("Ana"), QStringLiteral("Ruiz"), QString(),
                    QString(), 1, 1);
    const int client = dm.adsClients.FieldByName(u"ClientId").AsInteger();
    const int website = dm.CreateProject(QStringLiteral("Website relaunch"), TCurrency(), TCurrency(), 0.0);
    const int billing = dm.CreateProject(QStringLiteral("Billing system"), TCurrency(), TCurrency(), 0.0);
    AddTaskCode(dm, QStringLiteral("WEB-12"), QStringLiteral("Landing page layout"), website);
    AddTaskCode(dm, QStringLiteral("BIL-3"), QStringLiteral("Invoice export"), billing);
    AddTaskCode(dm, QStringLiteral("MEET"), QStringLiteral("Weekly planning meeting"), 0);

    AddLine(dm, QStringLiteral("WEB-12"), QStringLiteral("Landing page layout"), website, client,
            {0, 0, 210, 185, 0, 240, 95, 0}, false);
    AddLine(dm, QStringLiteral("BIL-3"), QStringLiteral("Invoice export"), billing, client,
            {0, 0, 90, 150, 300, 75, 180, 0}, false);
    AddLine(dm, QStringLiteral("MEET"), QStringLiteral("Weekly planning meeting"), 0, 0, {0, 0, 60, 0, 0, 0, 45, 0},
            false);
    AddLine(dm, QStringLiteral("SUP-7"), QStringLiteral("Customer support call-backs"), 0, client,
            {0, 30, 20, 35, 50, 15, 0, 40}, true);
    dm.adsTasks.First();

    // Last submitted: the week before, stored with a time of day as a first run leaves it.
    SetOption(dm, u"WeekStartDate", DateTimeValue::FromDateTime(QDateTime(QDate(2026, 11, 29), QTime(9, 12, 5))));

    bool ok = Render(dm, outDir + QStringLiteral("/review-window") + suffix + QStringLiteral(".png"));
    for (const char16_t *name : {u"DisplaySat", u"DisplaySun", u"DisplayClients"})
        SetOption(dm, QStringView(name), true);
    ok &= Render(dm, outDir + QStringLiteral("/review-window-all-days") + suffix + QStringLiteral(".png"));
    TClock::Release();
    return ok ? 0 : 1;
}
