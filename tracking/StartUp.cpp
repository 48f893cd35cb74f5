#include "tracking/StartUp.h"

#include "app/core/DirsObj.h"
#include "app/core/Errors.h"
#include "app/ui/ErrorReporter.h"
#include "app/ui/SingleInstance.h"
#include "app/ui/WindowPlacement.h"
#include "app/ui/ZelbraApplication.h"

#include <QApplication>

namespace {

// The data rules' own messages, shown as notices.
class TDataMessages : public TUserMessages
{
public:
    explicit TDataMessages(TMessageReporter &reporter)
        : m_reporter(reporter)
    {
    }
    void ShowMessage(const QString &text) override { m_reporter.ShowMessage(text); }

private:
    TMessageReporter &m_reporter;
};

} // namespace

TZelbraStartUp::TZelbraStartUp(TStartUpOptions options)
    : m_options(std::move(options))
    , m_messages(m_options.messages ? m_options.messages : &TMessageReporter::Default())
    , m_dataMessages(std::make_unique<TDataMessages>(*m_messages))
{
    if (!m_options.mainForm.messages)
        m_options.mainForm.messages = m_messages;
    if (!m_options.environment.messages)
        m_options.environment.messages = m_dataMessages.get();
    m_options.environment.appTitle = AppTitle;
}

TZelbraStartUp::~TZelbraStartUp()
{
    // Windows go before the data module they are bound to; the lock goes last.
    while (!m_windows.empty())
        m_windows.pop_back();
    m_main.reset();
    m_dm.reset();
    m_instance.reset();
}

bool TZelbraStartUp::TakeInstanceLock()
{
    // The data directory is resolved the way the data module will resolve it,
    // before any data file is read.
    TDirsObj dirs = m_options.environment.settings ? TDirsObj(m_options.environment.settings) : TDirsObj();
    dirs.SetAppTitle(AppTitle);
    dirs.SetExeName(m_options.environment.exeName);
    if (m_options.environment.userSaveDirectory)
        dirs.SetUserSaveDirectory(*m_options.environment.userSaveDirectory);
    try {
        dirs.LoadDirs();
    } catch (const std::exception &) {
        // The data module reports a data directory that cannot be made.
        return true;
    }
    m_instance = std::make_unique<TSingleInstance>(dirs.DataDir());
    if (m_instance->TryAcquire() || m_instance->LockUnavailable())
        return true;
    m_instance.reset();
    m_messages->ShowMessage(TSingleInstance::AlreadyRunningMessage());
    return false;
}

TZelbraStartUp::TResult TZelbraStartUp::Start()
{
    QApplication::setApplicationName(AppTitle);
    QApplication::setApplicationDisplayName(AppTitle);
    m_steps << QStringLiteral("Title");

    if (!TakeInstanceLock())
        return srAlreadyRunning;
    m_steps << QStringLiteral("InstanceLock");

    m_dm = std::make_unique<TdmTasks_Form>(m_options.environment);
    try {
        m_dm->DataModuleCreate();
    } catch (...) {
        TZelbraApplication::ShowException(std::current_exception(), *m_messages);
    }
    m_steps << QStringLiteral("DataModule");
    if (!m_dm->DirsObj().SettingsDir().isEmpty())
        TWindowPlacement::SetApplicationSettings(
            {m_dm->DirsObj().InstallType(), m_dm->DirsObj().SettingsDir(), AppTitle, QStringLiteral("Korvanti")});

    try {
        m_main = std::make_unique<TForm_Main_Form>(*m_dm, m_options.mainForm);
    } catch (...) {
        TZelbraApplication::ShowException(std::current_exception(), *m_messages);
    }
    if (!m_main)
        return srNoMainWindow;
    m_steps << QStringLiteral("MainForm");

    if (CreateLongLivedWindows) {
        try {
            CreateLongLivedWindows(*this);
        } catch (...) {
            TZelbraApplication::ShowException(std::current_exception(), *m_messages);
        }
    }

    m_main->show();
    m_steps << QStringLiteral("Shown");
    return srRunning;
}

bool TZelbraStartUp::RequestShutdown()
{
    if (!m_main || !m_main->isVisible())
        return true;
    m_main->close();
    return !m_main->isVisible();
}
