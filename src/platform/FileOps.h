#pragma once

#include <QString>
#include <QtGlobal>

// The few file operations that the checked writer needs below QFile: an exclusive create, a
// data sync, an atomic replace over an existing name, and what kind of thing a name is. Every
// function that can fail returns 0 or the system's error code (errno on POSIX), so the caller
// can name the reason. One implementation per system: FileOps_posix.cpp, FileOps_win.cpp.
namespace FileOps {

enum class PathKind { Missing, Regular, Directory, Other };

// What the name leads to, symbolic links followed. Other: a device, a FIFO, a socket.
PathKind pathKind(const QString &path);

// A new file that must not exist yet, write-only, with the default permissions.
int createNew(const QString &path, int *handle);
// An existing name, opened for writing without truncating or replacing it (devices, FIFOs).
int openExisting(const QString &path, int *handle);
// Every byte, retrying short and interrupted writes.
int writeAll(int handle, const char *data, qint64 size);
// The file's data on the disk.
int syncData(int handle);
int closeHandle(int handle);
// The permission bits of an existing file onto an open handle (a replaced file keeps them).
int copyPermissions(const QString &from, int handle);
// Renames from over to in one step, replacing to if it exists.
int replace(const QString &from, const QString &to);
// Makes a rename in the directory durable; best effort, where the system has such a thing.
void syncDirectory(const QString &directory);
// Removes a file; errors are ignored (used for temporaries only).
void removeFile(const QString &path);

qint64 processId();
// Whether a process of this number runs now (true when that cannot be told).
bool processAlive(qint64 pid);

QString errorText(int code);

} // namespace FileOps
