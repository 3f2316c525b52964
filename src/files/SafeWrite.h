#pragma once

#include <QByteArray>
#include <QString>

// Writes bytes to path all or nothing: into a temporary file beside it, renamed over the old
// file only once every byte is on disk. On failure the old file is untouched and *error names
// the file and the reason.
bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *error);
