#pragma once

#include "link/SerialPort.h"

#include <QStringList>
#include <functional>

// A scripted serial port for tests. Everything the program does to the port, and every pause
// it takes (through pauseFunction()), lands in one log in order, so a test can check the exact
// bytes on the wire and the waits between them. Received bytes, line events, a vanishing
// device and a refused open are injected by the test.
//
// Log entries:
//   "open", "open failed", "close"           (close is logged only when the port was open)
//   "send QTRQ<0A><0D>"                       (printable ASCII as is, other bytes as <HH>)
//   "send failed QTP<0A><0D>"
//   "wait 255"                                (consecutive pauses merge; value in ms)
class FakePort : public SerialPort {
    Q_OBJECT
public:
    explicit FakePort(QObject *parent = nullptr);

    // SerialPort
    void setPortNumber(int number) override { m_number = number; }
    int portNumber() const override { return m_number; }
    void setSettings(const QString &settings) override { m_settings = settings; }
    QString settings() const override { return m_settings; }
    bool isOpen() const override { return m_open; }
    bool open(QString *error) override;
    void close() override;
    bool send(const QByteArray &bytes) override;
    int waitingCount() const override { return static_cast<int>(m_waiting.size()); }
    QByteArray takeWaiting() override;

    // A wait function for Pauses::setWait: logs the pause instead of sleeping.
    std::function<void(int ms)> pauseFunction();

    // --- Script ---
    // Every open fails with this text until cleared with an empty text.
    void failOpenWith(const QString &text) { m_openError = text; }
    // Every send fails (the bytes are logged as "send failed ...") while set.
    void setSendFails(bool fails) { m_sendFails = fails; }
    // Called after each successful send with its bytes, for a scripted instrument.
    void setResponder(std::function<void(const QByteArray &sent)> responder)
    {
        m_responder = std::move(responder);
    }
    // Puts the port in the open state without logging, as if opened earlier.
    void setOpenQuietly(bool open) { m_open = open; }

    // Bytes arrive and wait in the port; no event is raised (as during a pause).
    void arrive(const QByteArray &bytes) { m_waiting += bytes; }
    // Bytes arrive and the received event is raised.
    void receive(const QByteArray &bytes);
    // Raises one event of the given kind.
    void raise(CommEvent kind) { emit commEvent(kind); }
    // The device goes away: the port closes and reports a break, as DevicePort does.
    void vanish();

    // --- Record ---
    QStringList log() const { return m_log; }
    void clearLog() { m_log.clear(); }
    // Every byte sent successfully, in order.
    QByteArray sentBytes() const { return m_sent; }
    // Just the sends and opens/closes, without the waits.
    QStringList logWithoutWaits() const;
    int openCount() const { return m_openCount; }

    // "QTRQ<0A><0D>": the log's spelling of bytes.
    static QString spell(const QByteArray &bytes);

private:
    void logPause(int ms);

    int m_number = 1;
    QString m_settings = QStringLiteral("9600,N,8,1");
    bool m_open = false;
    bool m_sendFails = false;
    int m_openCount = 0;
    QString m_openError;
    QByteArray m_waiting;
    QByteArray m_sent;
    QStringList m_log;
    std::function<void(const QByteArray &)> m_responder;
};
