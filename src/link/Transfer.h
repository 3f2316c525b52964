#pragma once

#include "link/AnswerProgress.h"
#include "link/SerialPort.h"

#include <QObject>
#include <QTimer>

class MessageSink;
class Pauses;
class ReceptionPass;
class ScreenModel;

// Where the conversation with the instrument stands.
enum class LinkState { Closed, Idle, Downloading, Live };

// The conversation with the instrument: the Start button (StartStop), the receive event, the
// receive timer Timer3 whose first quiet tick ends an answer, and the communication error
// timer Timer4 raised by a line fault.
class Transfer : public QObject {
    Q_OBJECT
public:
    static constexpr int kTimer3Ms = 500;
    static constexpr int kTimer4Ms = 1500;

    Transfer(ScreenModel &model, SerialPort &port, MessageSink &messages, const Pauses &pauses,
             ReceptionPass &reception, QObject *parent = nullptr);

    // StartStop: the click of cmdStart.
    void startStop();

    LinkState state() const;

    // Tests shorten the timers where they are about logic rather than the link.
    void setTimer3Interval(int ms) { m_timer3.setInterval(ms); }
    bool timer3Active() const { return m_timer3.isActive(); }
    bool timer4Active() const { return m_timer4.isActive(); }

    // Whether the latest reception pass found a complete reading stream (a download's answer,
    // or a live reading shown), as opposed to a pass over a partial answer or noise.
    bool lastPassCompletedStream() const { return m_lastPassComplete; }

    // Whatever arrives from here on is no longer the answer to the latest request (a header
    // line was written meanwhile, for example).
    void forgetAnswer()
    {
        m_awaitingAnswer = false;
        m_progress.finish();
    }

    // The bytes and records of the answer arriving, for the progress window.
    const AnswerProgress &progress() const { return m_progress; }

public slots:
    void onCommEvent(CommEvent kind);
    void onTimer3();
    void onTimer4();

signals:
    // After every reception pass that Timer3 ran.
    void receptionFinished();
    // After the "Communication Error" box of a line fault has been closed.
    void communicationError();

private:
    void startStopInfrared();
    void startStopBluetooth();
    bool openPort();
    bool send(const QString &command);
    bool sendPaused(const QString &command);
    void setLiveRun(bool live);
    void endLiveRunWithoutPort();
    bool liveRunInProgress() const;
    void reportSendFailure();
    void onReceived();
    void onFramingError();
    void showPortError(const QString &text);
    bool answerOfOtherMode() const;
    void dropAnswer(const QByteArray &bytes);

    ScreenModel &m_model;
    SerialPort &m_port;
    MessageSink &m_messages;
    const Pauses &m_pauses;
    ReceptionPass &m_reception;
    QTimer m_timer3;
    QTimer m_timer4;
    AnswerProgress m_progress;
    bool m_awaitingAnswer = false;
    int m_requestMode = 0;   // the mode whose request the awaited answer answers
    QByteArray m_droppedEnd; // the last bytes dropped, to find a closing line split in two
    bool m_lastPassComplete = false;
    bool m_sendFailed = false;
};
