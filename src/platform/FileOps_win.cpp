#include "platform/FileOps.h"

#ifndef Q_OS_WIN
#error "FileOps_win.cpp is for Windows; POSIX systems build FileOps_posix.cpp"
#endif

#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

namespace FileOps {

namespace {
const wchar_t *wide(const QString &path)
{
    return reinterpret_cast<const wchar_t *>(path.utf16());
}

int resultOf(int rc)
{
    return rc == 0 ? 0 : errno;
}

int fromLastError()
{
    switch (GetLastError()) {
    case ERROR_ACCESS_DENIED:
        return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    default:
        return EIO;
    }
}
} // namespace

PathKind pathKind(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists()) return PathKind::Missing;
    if (info.isDir()) return PathKind::Directory;
    return info.isFile() ? PathKind::Regular : PathKind::Other;
}

int createNew(const QString &path, int *handle)
{
    *handle = _wopen(wide(path), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                     _S_IREAD | _S_IWRITE);
    return *handle >= 0 ? 0 : errno;
}

int openExisting(const QString &path, int *handle)
{
    *handle = _wopen(wide(path), _O_WRONLY | _O_BINARY | _O_NOINHERIT);
    return *handle >= 0 ? 0 : errno;
}

int writeAll(int handle, const char *data, qint64 size)
{
    while (size > 0) {
        const unsigned chunk = unsigned(qMin<qint64>(size, 1 << 30));
        const int n = _write(handle, data, chunk);
        if (n < 0) return errno;
        if (n == 0) return EIO;
        data += n;
        size -= n;
    }
    return 0;
}

int syncData(int handle)
{
    return resultOf(_commit(handle));
}

int closeHandle(int handle)
{
    return resultOf(_close(handle));
}

int copyPermissions(const QString &, int)
{
    return 0; // the read-only attribute is the only permission bit, and a replace keeps none
}

int replace(const QString &from, const QString &to)
{
    if (MoveFileExW(wide(from), wide(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    return fromLastError();
}

void syncDirectory(const QString &)
{
    // MOVEFILE_WRITE_THROUGH has already made the rename durable.
}

void removeFile(const QString &path)
{
    _wunlink(wide(path));
}

qint64 processId()
{
    return qint64(GetCurrentProcessId());
}

bool processAlive(qint64 pid)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
}

QString errorText(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

} // namespace FileOps
