#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// The one checked writer of the program: data files, the settings file and every export go
// through it.
//
// A regular file (or a name not yet taken) is replaced all or nothing: the bytes go into a
// short hidden temporary beside it (".nrv508-PID-XXXXXX.tmp"), are synced to the disk, and
// the temporary is renamed over the name. On any failure the old file is untouched, the
// temporary is gone, and *error names the file and the reason. Temporaries that an earlier,
// killed run of this program left in that directory are removed by the next save there.
//
// A name that is not a regular file (a device such as /dev/null, a FIFO, a terminal) is
// written through: opened and written, never replaced. "-" is standard output.
bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *error);

namespace SafeWrite {

// The steps of a replace that can fail after the bytes were accepted.
enum class Step { Write, Sync, Close, Rename };

// A test's way to make a step fail: called before each step, it returns 0 to let the step run
// or an error code (errno) that the step then fails with. An empty function removes it.
using FaultInjector = std::function<int(Step)>;
void setFaultInjector(FaultInjector injector);

// Whether a file name is one of this program's temporaries.
bool isTemporaryName(const QString &fileName);

} // namespace SafeWrite
