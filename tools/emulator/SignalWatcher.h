#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a Qt signal, so the emulator leaves its event loop and closes
// the line in an orderly way. The handler only writes the signal number into a socket pair.
class SignalWatcher : public QObject {
    Q_OBJECT
public:
    explicit SignalWatcher(QObject *parent = nullptr);
    ~SignalWatcher() override;

    bool watch(int signalNumber);

signals:
    void signalled(int signalNumber);

private:
    static void handler(int signalNumber);
    void readSignal();

    static int s_pipe[2];
    QSocketNotifier *m_notifier = nullptr;
};
