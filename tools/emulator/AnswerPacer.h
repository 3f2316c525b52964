#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

class PseudoTerminal;

// Puts answers on the line one after the other at the speed of the serial line, in small
// chunks, as a UART would. Also carries out the line faults that concern the answer bytes: a
// quiet pause inside every answer and a hang-up after a number of bytes.
class AnswerPacer : public QObject {
    Q_OBJECT
public:
    struct Settings {
        int bytesPerSecond = 960; // 0: as fast as the line takes them
        qint64 gapAfter = -1;     // bytes of each answer before its pause; -1: no pause
        int gapMs = 0;
        qint64 hangupAfter = -1; // answer bytes in all before the hang-up; -1: never
    };

    AnswerPacer(PseudoTerminal *line, const Settings &settings, QObject *parent = nullptr);

    void enqueue(const QByteArray &answer);
    // Drops the answers that have not started; the one on the line is finished.
    void dropWaiting();
    bool isIdle() const { return m_current.isEmpty() && m_waiting.isEmpty(); }
    // Starts afresh on a new line after a hang-up, without the hang-up fault.
    void plugIn();
    qint64 bytesSent() const { return m_sent; }

signals:
    void answerFinished();
    void hungUp();

private:
    void step();
    void startNext();
    qint64 allowance() const;
    void restartClock();
    void beginHangUp();
    void checkDrained();

    PseudoTerminal *m_line;
    Settings m_settings;
    QList<QByteArray> m_waiting;
    QByteArray m_current;
    qint64 m_position = 0; // bytes of m_current already written
    bool m_gapTaken = false;
    qint64 m_sent = 0;        // answer bytes written since start-up
    QElapsedTimer m_clock;    // pacing reference
    qint64 m_sentOnClock = 0; // bytes written since m_clock started
    QTimer m_tick;
    QTimer m_gap;
    QTimer m_drain;
    QElapsedTimer m_drainClock;
    int m_drainedChecks = 0;
};
