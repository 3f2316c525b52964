#pragma once

#include <QByteArray>
#include <QString>

// The one reader of whole files: data files, captures and the settings file. It counts the
// bytes it actually reads, so a device (/dev/zero), an endless FIFO or a file that grows while
// it is read stops at the limit, whatever size the system reports. Memory stays near the
// bytes read: a refused input costs at most the limit and one chunk.
//
// On failure returns false and *error names the file and the reason ("too large" past the
// limit). limit is in bytes.
bool readBounded(const QString &path, qint64 limit, QByteArray *bytes, QString *error);
