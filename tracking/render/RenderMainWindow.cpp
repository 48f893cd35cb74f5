// Renders the main window offscreen to PNG files: a sheet of a few lines with
// one active, running and paused, and the grid with every weekday as the
// review window shows it.
//     zelbra_render_main <output dir> <file suffix>
#include "app/core/Clock.h"
#include "app/core/Currency.h"
#include "app/core/DateTimeValue.h"
#include "data/DataModule.h"
#include "tracking/MainForm.h"
#include "tracking/TimeTrackerFrame.h"

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QMainWindow>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>

namespace {

void AddTaskCode(TdmTasks_Form &dm, const QString &code, const QString &description, double completion)
{
    TRecordTable &t = dm.adsTaskCodes;
    t.Append();
    t.FieldByName(u"TaskCode").SetAsString(code);
    t.FieldByName(u"TaskDescription").SetAsString(description);
    t.FieldByName(u"DailyRate").SetAsCurrency(TCurrency());
    t.FieldByName(u"TotalCost").SetAsCurrency(TCurrency());
    t.FieldByName(u"CompletionDate").SetAsDateTime(completion);
    t.Post();
}

void AddLine(TdmTasks_Form &dm, const QString &code, const QString &description, const std::array<int, 8> &minutes,
             int priority, bool active)
{
    TRecordTable &t = dm.adsTasks;
    t.Append();
    t.FieldByName(u"TaskCode").SetAsString(code);
    t.FieldByName(u"TaskDescription").SetAsString(description);
    for (int day = 1; day <= 7; ++day) {
        dm.rCurrentField.Value = 0.0;
        t.FieldByName(TdmTasks_Form::DayFieldName(day)).SetAsDateTime(minutes[std::size_t(day)] / 1440.0);
    }
    t.FieldByName(u"Priority").SetAsInteger(priority);
    t.FieldByName(u"Active").SetAsBoolean(active);
    t.Post();
}

bool Save(QWidget &widget, const QString &path)
{
    const bool ok = widget.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
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

    // Wednesday 9 December 2026, 14:05.
    TClock::SetFixed(QDateTime(QDate(2026, 12, 9), QTime(14, 5)));

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

    const double today = DateTimeValue::Today();
    AddTaskCode(dm, QStringLiteral("DEV-142"), QStringLiteral("Timesheet grid and main window"), today + 2);
    AddTaskCode(dm, QStringLiteral("MEET"), QStringLiteral("Weekly planning meeting"), 0);
    AddTaskCode(dm, QStringLiteral("SUP-7"), QStringLiteral("Customer support call-backs"), today + 1);
    // The seeded line (GEN) stays; four more with the week so far (Sun … Sat).
    AddLine(dm, QStringLiteral("ADMIN"), QStringLiteral("Administration"), {0, 0, 45, 30, 20, 0, 0, 0}, 0,
            false);
    AddLine(dm, QStringLiteral("DEV-142"), QStringLiteral("Timesheet grid and main window"),
            {0, 0, 320, 385, 212, 0, 0, 0}, 1, true);
    AddLine(dm, QStringLiteral("MEET"), QStringLiteral("Weekly planning meeting"), {0, 0, 60, 0, 0, 0, 0, 0}, 0, false);
    AddLine(dm, QStringLiteral("SUP-7"), QStringLiteral("Customer support call-backs"), {0, 0, 35, 50, 15, 0, 0, 0},
            2, false);
    dm.adsTasks.First();
    dm.adsTasks.Edit();
    // The totals as start-up builds them from the lines.
    dm.ResetTotalsArray();
    for (int row = 0; row < dm.adsTasks.RecordCount(); ++row)
        for (int day = 1; day <= 7; ++day)
            dm.FTotalDurationArray[std::size_t(day)] += DateTimeValue::Frac(
                dm.adsTasks.ValueAt(row, dm.adsTasks.FieldByName(TdmTasks_Form::DayFieldName(day))).toDouble());

    bool ok = true;
    {
        TMainFormOptions options;
        options.showSplash = false;
        TForm_Main_Form main(dm, options);
        main.Frame_TimeTracker_Form1->SetCurrentTaskValue(true);
        main.UpdateDisplay();
        main.show();
        QApplication::processEvents();
        // The height snaps to whole rows a moment after the window appears.
        main.ResizeRequired();
        QApplication::processEvents();
        ok &= Save(main, outDir + QStringLiteral("/main-window") + suffix + QStringLiteral(".png"));
        main.SetPaused(true);
        QApplication::processEvents();
        ok &= Save(main, outDir + QStringLiteral("/main-window-paused") + suffix + QStringLiteral(".png"));
        main.hide();
    }
    {
        // The grid as a review window shows it: every weekday, Complete, no Active.
        QMainWindow window;
        window.setObjectName(QStringLiteral("Form_Render_Form"));
        auto *grid = TBaseFrameVRQ_BaseForm::Create<TFrame_TimeTracker_Form>(&window, dm);
        grid->SetTimerEnabled(false);
        grid->SetActiveVisible(false);
        grid->SetCompleteVisible(true);
        window.setCentralWidget(grid);
        window.resize(944, 250);
        window.show();
        QApplication::processEvents();
        ok &= Save(window, outDir + QStringLiteral("/timesheet-week") + suffix + QStringLiteral(".png"));
    }
    TClock::Release();
    return ok ? 0 : 1;
}
