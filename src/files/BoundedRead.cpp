#include "files/BoundedRead.h"

#include "app/PrintableText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
constexpr qint64 kChunk = 1 << 20;

QString quoted(const QString &path)
{
    return QStringLiteral("\"%1\"").arg(printableText(QDir::toNativeSeparators(path)));
}

QString tooLarge(const QString &path, qint64 limit)
{
    return QStringLiteral("Cannot open %1: it is too large (more than %2 bytes).")
        .arg(quoted(path))
        .arg(limit);
}
} // namespace

bool readBounded(const QString &path, qint64 limit, QByteArray *bytes, QString *error)
{
    if (QFileInfo(path).isDir()) {
        *error = QStringLiteral("Cannot open %1: it is a directory.").arg(quoted(path));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        *error = QStringLiteral("Cannot open %1: %2").arg(quoted(path), file.errorString());
        return false;
    }
    // Room for a regular file's reported size at once; a device or pipe reports 0 and grows
    // the buffer as bytes come. Never more room than one byte past the limit.
    QByteArray out;
    const qint64 reported = file.isSequential() ? 0 : file.size();
    if (reported > limit) {
        *error = tooLarge(path, limit);
        return false;
    }
    out.reserve(qMin(reported, limit) + 1);
    // A small file needs no megabyte of buffer: its size and one byte to see the end.
    const qint64 chunk = qMin(kChunk, qMax<qint64>(reported + 1, 64 * 1024));
    QByteArray buffer(chunk, Qt::Uninitialized);
    while (out.size() <= limit) {
        const qint64 got = file.read(buffer.data(), qMin(chunk, limit + 1 - out.size()));
        if (got < 0) {
            *error = QStringLiteral("Cannot read %1: %2").arg(quoted(path), file.errorString());
            return false;
        }
        if (got == 0) break;
        if (out.size() + got > out.capacity())
            out.reserve(qMin(limit + 1, qMax(out.capacity() * 2, out.size() + got)));
        out.append(buffer.constData(), got);
    }
    if (out.size() > limit) {
        *error = tooLarge(path, limit);
        return false;
    }
    *bytes = std::move(out);
    return true;
}
