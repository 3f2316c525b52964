#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

// Which of some devices another program holds open. Qt 6 no longer tells; the system does:
// a UUCP-style lock file naming a living process, or (on Linux) an open file of another process
// of this user. A holder that is neither (another user's program without a lock file) is only
// found when opening the port fails.
class DeviceHolders {
public:
    // The subset of `devices` held by a process other than this one.
    static QSet<QString> held(const QStringList &devices);

private:
    static bool lockedByLivingProcess(const QString &device);
    static QSet<QString> openElsewhere(const QSet<QString> &canonical);
};
