#include "files/SafeWrite.h"

#include "app/PrintableText.h"
#include "platform/FileOps.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>

namespace SafeWrite {

namespace {
// Short, so a name near the 255-byte limit still has a temporary beside it; hidden and named
// after the program, so a user who finds one left by a crash knows where it came from.
const char *const kPrefix = ".nrv508-";
const char *const kSuffix = ".tmp";

FaultInjector &injector()
{
    static FaultInjector function;
    return function;
}

int injected(Step step)
{
    return injector() ? injector()(step) : 0;
}

QString temporaryName()
{
    return QStringLiteral("%1%2-%3%4")
        .arg(QLatin1String(kPrefix))
        .arg(FileOps::processId())
        .arg(QRandomGenerator::global()->generate() & 0xffffff, 6, 16, QLatin1Char('0'))
        .arg(QLatin1String(kSuffix));
}

// The pid in a temporary's name, or -1 for a name that is not one.
qint64 ownerOf(const QString &fileName)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\.nrv508-(\\d{1,10})-[0-9a-f]{6}\\.tmp$"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

// A temporary is stale once its writer is gone: a running writer's file, this process's own
// included (another thread may be saving there), is left alone.
void removeStaleTemporaries(const QDir &dir)
{
    const QStringList names = dir.entryList({QLatin1String(kPrefix) + QLatin1Char('*')},
                                            QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        const qint64 owner = ownerOf(name);
        if (owner > 0 && owner != FileOps::processId() && !FileOps::processAlive(owner))
            FileOps::removeFile(dir.filePath(name));
    }
}

QString failure(const QString &path, int code, const QString &detail = QString())
{
    return QStringLiteral("Cannot write \"%1\": %2%3")
        .arg(printableText(QDir::toNativeSeparators(path)), FileOps::errorText(code), detail);
}

const QString kUnchanged = QStringLiteral("; the file that was there is unchanged.");

// Opens, writes and closes a name that is not replaced: a device, a FIFO.
bool writeThrough(const QString &path, const QByteArray &bytes, QString *error)
{
    int handle = -1;
    int code = FileOps::openExisting(path, &handle);
    if (code == 0) code = FileOps::writeAll(handle, bytes.constData(), bytes.size());
    if (handle >= 0) {
        const int closed = FileOps::closeHandle(handle);
        if (code == 0) code = closed;
    }
    if (code != 0) *error = failure(path, code);
    return code == 0;
}

bool writeStandardOutput(const QByteArray &bytes, QString *error)
{
    errno = 0;
    const size_t n = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    if (n == size_t(bytes.size()) && std::fflush(stdout) == 0) return true;
    *error = QStringLiteral("Cannot write to standard output: %1")
                 .arg(FileOps::errorText(errno != 0 ? errno : EIO));
    return false;
}

// The steps of a replace into the open temporary; 0 or the code of the step that failed.
int fillTemporary(int handle, const QString &target, bool targetExists, const QByteArray &bytes)
{
    if (targetExists) FileOps::copyPermissions(target, handle);
    int code = injected(Step::Write);
    if (code == 0) code = FileOps::writeAll(handle, bytes.constData(), bytes.size());
    if (code == 0) code = injected(Step::Sync);
    if (code == 0) code = FileOps::syncData(handle);
    const int closeFault = injected(Step::Close);
    const int closed = FileOps::closeHandle(handle);
    if (code == 0) code = closeFault != 0 ? closeFault : closed;
    return code;
}

bool replaceRegular(const QString &target, bool exists, const QByteArray &bytes, QString *error)
{
    const QDir dir = QFileInfo(target).absoluteDir();
    removeStaleTemporaries(dir);
    QString temporary;
    int handle = -1;
    int code = EEXIST;
    for (int attempt = 0; attempt < 16 && code == EEXIST; ++attempt) {
        temporary = dir.filePath(temporaryName());
        code = FileOps::createNew(temporary, &handle);
    }
    if (code != 0) {
        *error = failure(target, code, exists ? kUnchanged : QString());
        return false;
    }
    code = fillTemporary(handle, target, exists, bytes);
    if (code == 0) code = injected(Step::Rename);
    if (code == 0) code = FileOps::replace(temporary, target);
    if (code != 0) {
        FileOps::removeFile(temporary);
        *error = failure(target, code, exists ? kUnchanged : QString());
        return false;
    }
    FileOps::syncDirectory(dir.path());
    return true;
}
} // namespace

void setFaultInjector(FaultInjector function)
{
    injector() = std::move(function);
}

bool isTemporaryName(const QString &fileName)
{
    return ownerOf(fileName) > 0;
}

} // namespace SafeWrite

bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    using namespace SafeWrite;
    if (path == QLatin1String("-")) return writeStandardOutput(bytes, error);
    switch (FileOps::pathKind(path)) {
    case FileOps::PathKind::Other:
        return writeThrough(path, bytes, error);
    case FileOps::PathKind::Directory:
        *error = QStringLiteral("Cannot write \"%1\": it is a directory.")
                     .arg(printableText(QDir::toNativeSeparators(path)));
        return false;
    case FileOps::PathKind::Regular: {
        // A link to a file stays a link: the file it leads to is the one replaced.
        const QFileInfo info(path);
        const QString target = info.isSymLink() ? info.canonicalFilePath() : path;
        return replaceRegular(target, true, bytes, error);
    }
    case FileOps::PathKind::Missing:
        break;
    }
    return replaceRegular(path, false, bytes, error);
}
