#pragma once

#include <QObject>

class QSocketNotifier;

// Turns a request to terminate (SIGINT, SIGTERM) into a Qt signal, so the emulator leaves its
// event loop and closes the line in an orderly way. The handler only writes the signal number
// into a socket pair. POSIX only (SignalWatcher_posix.cpp), like the pseudo-terminal.
class SignalWatcher : public QObject {
    Q_OBJECT
public:
    explicit SignalWatcher(QObject *parent = nullptr);
    ~SignalWatcher() override;

    // Watches SIGINT and SIGTERM; a closed pipe on stdout no longer ends the process.
    bool watchTermination();

signals:
    void terminationRequested(int signalNumber);

private:
    bool watch(int signalNumber);
    static void handler(int signalNumber);
    void readSignal();

    static int s_pipe[2];
    QSocketNotifier *m_notifier = nullptr;
};
