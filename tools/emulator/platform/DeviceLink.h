#pragma once

#include <QLockFile>
#include <QString>

// A stable name for the emulator's line: a symbolic link that the emulator owns and points at
// its current pseudo-terminal. The program keeps one device name for COM1 while the pseudo-
// terminal behind it changes with every replug; while the line is unplugged the name does not
// exist, so it can never lead to another program's terminal that reused the number.
//
// A lock file beside the link (PATH.lock) makes the link one emulator's at a time; a lock left
// by an emulator that died is taken over. POSIX only (DeviceLink_posix.cpp).
class DeviceLink {
public:
    explicit DeviceLink(const QString &path);
    ~DeviceLink();
    DeviceLink(const DeviceLink &) = delete;
    DeviceLink &operator=(const DeviceLink &) = delete;

    // Takes the lock. Refuses while another emulator holds it, and when something other than a
    // symbolic link (a file, a directory) has the name.
    bool claim(QString *error);
    // Points the link at `device`, replacing the previous link in one step.
    bool pointAt(const QString &device, QString *error);
    // Removes the link (the line is unplugged).
    void remove();

    QString path() const { return m_path; }

private:
    QString m_path;
    QLockFile m_lock;
    bool m_claimed = false;
};
