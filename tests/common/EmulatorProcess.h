#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// The analyser emulator nrv508-emu as a child process: started with the given options, it
// opens a pseudo-terminal and names it on its first line; every request it receives is logged.
class EmulatorProcess {
public:
    ~EmulatorProcess() { stop(); }

    // The built emulator, or "" when this build has none.
    static QString binary() { return QStringLiteral(NRV508_EMU_BINARY); }

    // Starts it and waits for the device line. On failure returns false with the reason.
    bool start(const QStringList &options, QString *error);
    QString device() const { return m_device; }
    // Every request the emulator received so far, with its line ending as "\x0a\x0d".
    QStringList requests() const;
    void stop();

private:
    QString logPath() const { return m_dir.filePath(QStringLiteral("requests.log")); }

    QProcess m_process;
    QTemporaryDir m_dir;
    QString m_device;
};
