#pragma once

#include "app/MessageSink.h"
#include "app/ScreenModel.h"
#include "link/CommSettings.h"
#include "link/Pauses.h"
#include "link/Transfer.h"
#include "protocol/ReceptionPass.h"
#include "tables/ModeSwitch.h"

#include <QObject>
#include <QTimer>
#include <memory>

// How a connection test ended.
struct ConnectionResult {
    enum Kind {
        Answered,
        Absent,
        Busy,
        NoPermission,
        OpenFailed,
        SendFailed,
        Silent,
        NoReading,
        LineFault
    };
    Kind kind = Silent;
    QString version; // the instrument's, when it answered
    QString text;    // what the user reads: the answer, or why there was none and what to check
};

// "Test connection": one live reading asked for through the ordinary Start button code on a
// port of its own, then Stop. It runs on a screen of its own, so the main window's tables,
// panels and link settings stay as they are; its message boxes become the result instead.
class ConnectionTest : public QObject, private MessageSink {
    Q_OBJECT
public:
    // How long to wait for a whole reading after asking.
    static constexpr int kWaitMs = 6000;

    // `port` is opened as COM choice.portNumber at the chosen speed and link type.
    ConnectionTest(std::unique_ptr<SerialPort> port, const CommChoice &choice,
                   QObject *parent = nullptr);
    // A test still running is stopped first, so the instrument is not left streaming.
    ~ConnectionTest() override;

    void setWaitMs(int ms) { m_deadline.setInterval(ms); }
    // Tests shorten the quiet gap that ends a reading.
    void setQuietGapMs(int ms) { m_transfer.setTimer3Interval(ms); }

    // Opens the port and asks; finished() follows, at once when the port does not open.
    void start();
    bool running() const { return m_running; }
    const ConnectionResult &result() const { return m_result; }
    // "COM3 (/dev/ttyUSB0)".
    QString portName() const;

signals:
    void finished();

private:
    MessageAnswer show(const QString &title, const QString &text, MessageIcon icon,
                       MessageButtons buttons) override;
    void onReception();
    void onDeadline();
    void openFailed();
    void finish(ConnectionResult::Kind kind, const QString &text);
    void stopInstrument();

    std::unique_ptr<SerialPort> m_port;
    CommChoice m_choice;
    ScreenModel m_model;
    Pauses m_pauses;
    ReceptionPass m_reception;
    ModeSwitch m_modes;
    Transfer m_transfer;
    QTimer m_deadline;
    QString m_lastBox; // the text of the latest message box the Start code raised
    bool m_received = false;
    bool m_running = false;
    ConnectionResult m_result;
};
