// Arbitrary bytes as a file on disk, through the bounded reader and the data-file reader as
// "Open" uses them. The first byte picks a size limit, so reads that end just below, at and
// just above it are all tried: the reader must take exactly the files within the limit, byte
// for byte, and the file read from disk must give what the same bytes give from memory.
#include "files/BoundedRead.h"
#include "files/DataFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

namespace {
QTemporaryDir *dir = nullptr;
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    new QCoreApplication(*argc, *argv);
    dir = new QTemporaryDir;
    return dir->isValid() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0) return 0;
    const qint64 limit = qint64(data[0]) * 64;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), int(size - 1));
    const QString path = dir->filePath(QStringLiteral("page.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    if (file.write(bytes) != bytes.size()) return 0;
    file.close();

    QByteArray read;
    QString error;
    const bool taken = readBounded(path, limit, &read, &error);
    if (taken != (bytes.size() <= limit)) __builtin_trap();
    if (taken && read != bytes) __builtin_trap();
    if (!taken && !error.contains(QStringLiteral("too large"))) __builtin_trap();

    DataFile::Contents fromDisk, fromMemory;
    QString diskError, memoryError;
    const bool loaded = DataFile::load(path, &fromDisk, &diskError);
    const bool parsed = DataFile::parse(bytes, path, &fromMemory, &memoryError);
    if (loaded != parsed || diskError != memoryError) __builtin_trap();
    if (loaded && (fromDisk.mode != fromMemory.mode || fromDisk.values != fromMemory.values))
        __builtin_trap();
    return 0;
}
