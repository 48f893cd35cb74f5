#include "support/DataModuleFixture.h"

#include <QDir>
#include <QFile>

TDataModuleSandbox::TDataModuleSandbox(Layout layout)
{
    const QString root = m_dir.path();
    m_exeDir = root + QStringLiteral("/Tools/Zelbra/Bin/");
    m_userDir = root + QStringLiteral("/user-data");
    QDir().mkpath(m_exeDir);
    QDir().mkpath(m_userDir);
    if (layout == Portable) {
        QFile marker(m_exeDir + QStringLiteral("Portable.ini"));
        marker.open(QIODevice::WriteOnly);
    }
}

std::unique_ptr<TdmTasks_Form> TDataModuleSandbox::Make()
{
    TDataModuleEnvironment env;
    env.exeName = m_exeDir + QStringLiteral("zelbra");
    const QString ini = SettingsFile();
    env.settings = [ini](const QString &) { return std::make_unique<QSettings>(ini, QSettings::IniFormat); };
    env.userSaveDirectory = m_userDir;
    env.messages = &recorder;
    return std::make_unique<TdmTasks_Form>(env);
}

std::unique_ptr<TdmTasks_Form> TDataModuleSandbox::Create()
{
    auto dm = Make();
    dm->DataModuleCreate();
    return dm;
}
