#include "platform/FileOps.h"

#ifdef Q_OS_WIN
#error "FileOps_posix.cpp is for POSIX systems; Windows builds FileOps_win.cpp"
#endif

#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileOps {

namespace {
QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

int resultOf(int rc)
{
    return rc == 0 ? 0 : errno;
}
} // namespace

PathKind pathKind(const QString &path)
{
    struct stat st;
    if (::stat(native(path).constData(), &st) != 0) return PathKind::Missing;
    if (S_ISREG(st.st_mode)) return PathKind::Regular;
    if (S_ISDIR(st.st_mode)) return PathKind::Directory;
    return PathKind::Other;
}

int createNew(const QString &path, int *handle)
{
    *handle = ::open(native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    return *handle >= 0 ? 0 : errno;
}

int openExisting(const QString &path, int *handle)
{
    *handle = ::open(native(path).constData(), O_WRONLY | O_CLOEXEC);
    return *handle >= 0 ? 0 : errno;
}

int writeAll(int handle, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(handle, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        data += n;
        size -= n;
    }
    return 0;
}

int syncData(int handle)
{
#if defined(__APPLE__)
    return resultOf(::fsync(handle));
#else
    return resultOf(::fdatasync(handle));
#endif
}

int closeHandle(int handle)
{
    return resultOf(::close(handle));
}

int copyPermissions(const QString &from, int handle)
{
    struct stat st;
    if (::stat(native(from).constData(), &st) != 0) return errno;
    return resultOf(::fchmod(handle, st.st_mode & 07777));
}

int replace(const QString &from, const QString &to)
{
    return resultOf(::rename(native(from).constData(), native(to).constData()));
}

void syncDirectory(const QString &directory)
{
    const int fd = ::open(native(directory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

void removeFile(const QString &path)
{
    ::unlink(native(path).constData());
}

qint64 processId()
{
    return qint64(::getpid());
}

bool processAlive(qint64 pid)
{
    if (pid <= 0 || pid != qint64(pid_t(pid))) return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

QString errorText(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

} // namespace FileOps
