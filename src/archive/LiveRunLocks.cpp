#include "archive/LiveRunLocks.h"

#include <QLockFile>

LiveRunLocks::LiveRunLocks() = default;

LiveRunLocks::~LiveRunLocks()
{
    releaseAll();
}

void LiveRunLocks::setArchive(const QString &location)
{
    releaseAll();
    m_location = location;
}

QString LiveRunLocks::path(const QString &key) const
{
    return m_location + QStringLiteral("-run-") + key + QStringLiteral(".lock");
}

bool LiveRunLocks::hold(const QString &key, QString *error)
{
    if (m_location.isEmpty()) return true;
    auto lock = std::make_unique<QLockFile>(path(key));
    // Never stale by age: a run may go on for hours between two readings of the lock.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        *error = QStringLiteral("Cannot use the archive %1: the lock file %2 of a new live run "
                                "cannot be made.")
                     .arg(m_location, path(key));
        return false;
    }
    m_held[key] = std::move(lock);
    return true;
}

void LiveRunLocks::held(const QString &key, qint64 id)
{
    if (m_held.count(key)) m_keys[id] = key;
}

void LiveRunLocks::release(const QString &key)
{
    m_held.erase(key); // unlocking removes the file
}

void LiveRunLocks::release(qint64 id)
{
    const auto it = m_keys.find(id);
    if (it == m_keys.end()) return;
    release(it->second);
    m_keys.erase(it);
}

void LiveRunLocks::releaseAll()
{
    m_held.clear();
    m_keys.clear();
}

bool LiveRunLocks::holds(qint64 id) const
{
    return m_keys.count(id) > 0;
}

std::unique_ptr<QLockFile> LiveRunLocks::takeAbandoned(const QString &key) const
{
    if (m_location.isEmpty() || m_held.count(key)) return nullptr;
    auto lock = std::make_unique<QLockFile>(path(key));
    lock->setStaleLockTime(0);
    // Taken when there is no lock file, or when its process no longer runs on this computer.
    if (!lock->tryLock(0)) return nullptr;
    return lock;
}
