#include "link/DeviceHolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#endif

namespace {
// Where serial programs leave their lock files, Qt's own among them.
QStringList lockDirectories()
{
    return {QStringLiteral("/var/lock"),       QStringLiteral("/run/lock"),
            QStringLiteral("/etc/locks"),      QStringLiteral("/var/spool/locks"),
            QStringLiteral("/var/spool/uucp"), QDir::tempPath()};
}

bool processLives(qint64 pid)
{
    if (pid <= 0 || pid == QCoreApplication::applicationPid()) return false;
#ifdef Q_OS_UNIX
    // EPERM: the process exists but belongs to someone else.
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
#else
    return false;
#endif
}
} // namespace

QSet<QString> DeviceHolders::held(const QStringList &devices)
{
    QSet<QString> result;
    QSet<QString> canonical;
    for (const QString &device : devices) {
        if (lockedByLivingProcess(device)) result.insert(device);
        const QString path = QFileInfo(device).canonicalFilePath();
        if (!path.isEmpty()) canonical.insert(path);
    }
    const QSet<QString> open = openElsewhere(canonical);
    for (const QString &device : devices) {
        if (open.contains(QFileInfo(device).canonicalFilePath())) result.insert(device);
    }
    return result;
}

bool DeviceHolders::lockedByLivingProcess(const QString &device)
{
    // "LCK..ttyUSB0"; a device below /dev/ with a folder of its own locks as "LCK..pts_5".
    QString name = device;
    if (name.startsWith(QLatin1String("/dev/"))) name = name.mid(5);
    const QStringList names = {QFileInfo(device).fileName(), name.replace(QLatin1Char('/'), '_')};
    for (const QString &dir : lockDirectories()) {
        for (const QString &lockName : names) {
            QFile lock(dir + QStringLiteral("/LCK..") + lockName);
            if (!lock.open(QIODevice::ReadOnly)) continue;
            // The holder's process id, as text, leads the file.
            const qint64 pid = QString::fromLatin1(lock.readLine(64)).trimmed().toLongLong();
            if (processLives(pid)) return true;
        }
    }
    return false;
}

// The open files of every process this user may look into.
QSet<QString> DeviceHolders::openElsewhere(const QSet<QString> &canonical)
{
    QSet<QString> found;
    if (canonical.isEmpty()) return found;
    const QString own = QString::number(QCoreApplication::applicationPid());
    const QDir proc(QStringLiteral("/proc"));
    for (const QString &pid : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (pid == own || pid.isEmpty() || !pid.at(0).isDigit()) continue;
        const QDir fds(proc.filePath(pid + QStringLiteral("/fd")));
        for (const QString &fd : fds.entryList(QDir::AllEntries | QDir::System)) {
            const QString target = QFile::symLinkTarget(fds.filePath(fd));
            if (canonical.contains(target)) found.insert(target);
        }
    }
    return found;
}
