#pragma once
// A data module over a private temporary installation: an executable path in
// a standard or portable layout, an INI file as the per-user settings store, a
// per-user data folder, and a recorder of the messages the rules show.

#include "data/DataModule.h"

#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class TRecordedMessages : public TUserMessages
{
public:
    void ShowMessage(const QString &text) override { messages << text; }
    QStringList messages;
};

class TDataModuleSandbox
{
public:
    enum Layout { Standard, Portable };

    explicit TDataModuleSandbox(Layout layout = Standard);

    /// A new data module over the sandbox (DataModuleCreate not yet run).
    std::unique_ptr<TdmTasks_Form> Make();
    /// A new data module, created.
    std::unique_ptr<TdmTasks_Form> Create();

    QString Root() const { return m_dir.path() + u'/'; }
    QString ExeDir() const { return m_exeDir; }
    QString UserDir() const { return m_userDir; }
    /// Where a standard installation keeps the user's data.
    QString UserDataDir() const { return m_userDir + QStringLiteral("/Zelbra/"); }
    QString SettingsFile() const { return m_dir.path() + QStringLiteral("/settings.ini"); }

    TRecordedMessages recorder;

private:
    QTemporaryDir m_dir;
    QString m_exeDir;
    QString m_userDir;
};
