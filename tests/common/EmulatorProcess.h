#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// The analyser emulator nrv508-emu as a child process: started with the given options, it
// opens a pseudo-terminal and names it on its first line; every request it receives is logged.
class EmulatorProcess {
public:
    EmulatorProcess() = default;
    ~EmulatorProcess() { stop(); }
    EmulatorProcess(const EmulatorProcess &) = delete;
    EmulatorProcess &operator=(const EmulatorProcess &) = delete;

    // The built emulator, or "" when this build has none.
    static QString binary();

    // Starts it and waits for the device line. On failure returns false with the reason.
    bool start(const QStringList &options, QString *error);
    QString device() const { return m_device; }
    // Every request the emulator received so far, with its line ending as "\x0a\x0d".
    QStringList requests() const;
    void stop();

private:
    QProcess m_process;
    QTemporaryDir m_dir;
    QString m_device;
};
