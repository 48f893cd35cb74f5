#pragma once
// Keeps a second Zelbra away from a data directory in use: a lock file in the
// data directory, taken before any data file is read and held until the
// program ends. A lock left by a program that died is taken over.

#include <QString>

#include <memory>

class QLockFile;

class TSingleInstance
{
public:
    /// Name of the lock file in the data directory.
    static inline const QString LockFileName = QStringLiteral("Zelbra.lock");
    /// The message a second instance shows before it ends.
    static QString AlreadyRunningMessage();

    explicit TSingleInstance(QString dataDir);
    ~TSingleInstance();
    TSingleInstance(const TSingleInstance &) = delete;
    TSingleInstance &operator=(const TSingleInstance &) = delete;

    /// Takes the lock, making the data directory when it is missing. False
    /// when another running program holds it (or the lock cannot be made);
    /// no other file is touched then.
    bool TryAcquire();
    bool Acquired() const { return m_acquired; }
    /// The lock could not be made for another reason than a running owner
    /// (a read-only directory, say); the program then runs unguarded.
    bool LockUnavailable() const { return m_unavailable; }

    QString LockFilePath() const;

private:
    QString m_dataDir;
    std::unique_ptr<QLockFile> m_lock;
    bool m_acquired = false;
    bool m_unavailable = false;
};
