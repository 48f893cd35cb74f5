#include "app/ui/SingleInstance.h"

#include <QDir>
#include <QLockFile>

QString TSingleInstance::AlreadyRunningMessage()
{
    return QStringLiteral("Zelbra is already running with this data directory.\n"
                          "Switch to the window that is open, or close it before starting Zelbra again.");
}

TSingleInstance::TSingleInstance(QString dataDir)
    : m_dataDir(std::move(dataDir))
{
}

TSingleInstance::~TSingleInstance() = default;

QString TSingleInstance::LockFilePath() const
{
    return QDir(m_dataDir).filePath(LockFileName);
}

bool TSingleInstance::TryAcquire()
{
    if (m_acquired)
        return true;
    m_unavailable = false;
    if (!QDir().mkpath(m_dataDir)) {
        m_unavailable = true;
        return false;
    }
    m_lock = std::make_unique<QLockFile>(LockFilePath());
    // Only a lock whose owner is no longer running counts as stale, however old.
    m_lock->setStaleLockTime(0);
    m_acquired = m_lock->tryLock(0);
    if (!m_acquired) {
        m_unavailable = m_lock->error() != QLockFile::LockFailedError;
        m_lock.reset();
    }
    return m_acquired;
}
