#include "platform/DeviceLink.h"

#if !defined(__unix__) && !defined(__APPLE__)
#error "DeviceLink_posix.cpp needs POSIX symbolic links; see tools/emulator/CMakeLists.txt"
#endif

#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError(const QString &what)
{
    return QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
}

// True when nothing has the name, or a symbolic link has it (the emulator's own, or one left
// behind by an emulator that died).
bool isFreeOrLink(const QByteArray &path)
{
    struct stat status {};
    if (::lstat(path.constData(), &status) != 0) return errno == ENOENT;
    return S_ISLNK(status.st_mode);
}

} // namespace

DeviceLink::DeviceLink(const QString &path)
    : m_path(QFileInfo(path).absoluteFilePath()), m_lock(m_path + QStringLiteral(".lock"))
{
    m_lock.setStaleLockTime(0); // a lock is stale only when its process is gone
}

DeviceLink::~DeviceLink()
{
    remove();
}

bool DeviceLink::claim(QString *error)
{
    if (!m_lock.tryLock(0)) {
        qint64 pid = 0;
        QString host, application;
        m_lock.getLockInfo(&pid, &host, &application);
        *error =
            m_lock.error() == QLockFile::LockFailedError
                ? QStringLiteral("%1 belongs to another emulator (process %2)").arg(m_path).arg(pid)
                : QStringLiteral("%1: cannot create the lock file %2.lock").arg(m_path, m_path);
        return false;
    }
    if (!isFreeOrLink(m_path.toLocal8Bit())) {
        *error =
            QStringLiteral("%1 exists and is not a symbolic link; it is left as it is").arg(m_path);
        m_lock.unlock();
        return false;
    }
    m_claimed = true;
    return true;
}

bool DeviceLink::pointAt(const QString &device, QString *error)
{
    if (!m_claimed) {
        *error = QStringLiteral("%1 is not claimed").arg(m_path);
        return false;
    }
    // A new link beside the old one, renamed over it: the name never leads nowhere or
    // elsewhere while the link changes.
    const QByteArray path = m_path.toLocal8Bit();
    const QByteArray fresh = path + ".new";
    ::unlink(fresh.constData());
    if (::symlink(device.toLocal8Bit().constData(), fresh.constData()) != 0) {
        *error = systemError(QString::fromLocal8Bit(fresh));
        return false;
    }
    if (!isFreeOrLink(path)) {
        *error = QStringLiteral("%1 is no longer a symbolic link; it is left as it is").arg(m_path);
        ::unlink(fresh.constData());
        return false;
    }
    if (::rename(fresh.constData(), path.constData()) != 0) {
        *error = systemError(m_path);
        ::unlink(fresh.constData());
        return false;
    }
    return true;
}

void DeviceLink::remove()
{
    if (m_claimed && isFreeOrLink(m_path.toLocal8Bit())) ::unlink(m_path.toLocal8Bit().constData());
}
