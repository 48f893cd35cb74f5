#pragma once
// The program's start-up, step by step: the application title, the guard
// against a second Zelbra on the same data directory, the data module, the
// main window (with its splash), then the other long-lived windows; and the
// ways the program is asked to end (the window, termination signals, the
// desktop session) all close the main window, which saves the data.

#include "data/DataModule.h"
#include "tracking/MainForm.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class TMessageReporter;
class TSingleInstance;

struct TStartUpOptions
{
    /// Where the data module finds its directories (exeName: the running program).
    TDataModuleEnvironment environment;
    TMainFormOptions mainForm;
    /// Message boxes (the real ones when null).
    TMessageReporter *messages = nullptr;
};

class TZelbraStartUp
{
public:
    static inline const QString AppTitle = QStringLiteral("Zelbra");

    enum TResult {
        srRunning,        ///< the main window is shown; run the message loop
        srAlreadyRunning, ///< another Zelbra uses the data directory (the user was told)
        srNoMainWindow,   ///< the main window could not be created (the error was shown)
    };

    explicit TZelbraStartUp(TStartUpOptions options);
    ~TZelbraStartUp();
    TZelbraStartUp(const TZelbraStartUp &) = delete;
    TZelbraStartUp &operator=(const TZelbraStartUp &) = delete;

    /// Runs the start-up up to showing the main window. An error while the
    /// data module or a window is created is shown and start-up goes on.
    TResult Start();

    /// Creates the long-lived windows that come after the main window (the
    /// review window, the report windows); runs inside Start().
    std::function<void(TZelbraStartUp &)> CreateLongLivedWindows;

    /// Keeps a long-lived window until the end of the run; the windows kept
    /// go before the main window and the data module.
    void KeepWindow(std::unique_ptr<QWidget> window) { m_windows.push_back(std::move(window)); }

    /// Closes the main window the normal way (placement and data saved).
    /// False when it stayed open (the user kept it, or a cell refused).
    bool RequestShutdown();

    TdmTasks_Form *DataModule() const { return m_dm.get(); }
    TForm_Main_Form *MainForm() const { return m_main.get(); }
    TMessageReporter &Messages() const { return *m_messages; }

    /// The steps taken, in order ("DataModule", "MainForm", ...).
    const QStringList &Steps() const { return m_steps; }
    void NoteStep(const QString &step) { m_steps << step; }

private:
    bool TakeInstanceLock();

    TStartUpOptions m_options;
    TMessageReporter *m_messages;
    std::unique_ptr<TUserMessages> m_dataMessages;
    std::unique_ptr<TSingleInstance> m_instance;
    std::unique_ptr<TdmTasks_Form> m_dm;
    std::unique_ptr<TForm_Main_Form> m_main;
    std::vector<std::unique_ptr<QWidget>> m_windows;
    QStringList m_steps;
};
