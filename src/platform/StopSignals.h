#pragma once

#include <QObject>

// The requests to end a command-line run that come from outside the program: SIGINT, SIGTERM
// and SIGHUP on POSIX systems, Ctrl+C, Ctrl+Break and closing the console on Windows. They
// arrive as a Qt signal in the event loop, so the run can end through its own code (the Stop
// of a live run) instead of dying where it stands. One watcher at a time.
class StopSignals : public QObject {
    Q_OBJECT
public:
    explicit StopSignals(QObject *parent = nullptr);
    ~StopSignals() override;

    // The exit status a command-line tool ends with after this request: 128 + its number.
    static int exitStatusFor(int signalNumber) { return 128 + signalNumber; }
    // The number of the broken-pipe signal (for the exit status after a closed pipe).
    static int brokenPipeSignal();
    // A write to a closed pipe then fails with an error instead of killing the process.
    static void ignoreBrokenPipe();

signals:
    void stopRequested(int signalNumber);

private:
    void deliver();
};
