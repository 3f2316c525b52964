#include "files/SafeWrite.h"

#include <QSaveFile>

#include <cerrno>
#include <cstring>

bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    // Unbuffered, so a short write (disk full, file size limit) shows in write()'s count: a
    // buffered flush may lose the tail of the file and still let commit() succeed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *error = QStringLiteral("Cannot write \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    errno = 0;
    const qint64 written = file.write(bytes);
    if (written != bytes.size()) {
        const QString reason =
            errno != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : file.errorString();
        *error = QStringLiteral("Cannot write \"%1\": %2 (%3 of %4 bytes written); the file "
                                "that was there is unchanged.")
                     .arg(path, reason)
                     .arg(qMax<qint64>(written, 0))
                     .arg(bytes.size());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = QStringLiteral("Cannot write \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    return true;
}
