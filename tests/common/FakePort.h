#pragma once

#include "link/SerialPort.h"

#include <QRegularExpression>
#include <QStringList>
#include <functional>
#include <utility>

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
//   "vanish"
class FakePort : public SerialPort {
public:
    using SerialPort::SerialPort;

    // SerialPort
    void setPortNumber(int number) override { m_number = number; }
    int portNumber() const override { return m_number; }
    void setSettings(const QString &settings) override { m_settings = settings; }
    QString settings() const override { return m_settings; }
    bool isOpen() const override { return m_open; }
    bool open(QString *error) override
    {
        const bool ok = m_openError.isEmpty();
        m_log << (ok ? QStringLiteral("open") : QStringLiteral("open failed"));
        if (!ok && error) *error = m_openError;
        m_open = m_open || ok;
        return ok;
    }
    void close() override
    {
        if (m_open) m_log << QStringLiteral("close");
        m_open = false;
        m_waiting.clear();
    }
    bool send(const QByteArray &bytes) override
    {
        const bool ok = m_open && !m_sendFails;
        m_log << (ok ? QStringLiteral("send ") : QStringLiteral("send failed ")) + spell(bytes);
        if (ok) m_sent += bytes;
        if (ok && m_responder) m_responder(bytes);
        return ok;
    }
    int waitingCount() const override { return static_cast<int>(m_waiting.size()); }
    QByteArray takeWaiting() override { return std::exchange(m_waiting, QByteArray()); }

    // A wait function for Pauses::setWait: logs the pause instead of sleeping.
    std::function<void(int ms)> pauseFunction()
    {
        return [this](int ms) {
            // Consecutive pauses are one wait on the wire.
            if (!m_log.isEmpty() && m_log.last().startsWith(QLatin1String("wait ")))
                ms += m_log.takeLast().mid(5).toInt();
            m_log << QStringLiteral("wait %1").arg(ms);
        };
    }

    // --- Script ---
    // Every open fails with this text until cleared with an empty text.
    void failOpenWith(const QString &text) { m_openError = text; }
    // Every send fails (the bytes are logged as "send failed ...") while set.
    void setSendFails(bool fails) { m_sendFails = fails; }
    // Called after each successful send with its bytes, for a scripted instrument.
    void setResponder(std::function<void(const QByteArray &)> r) { m_responder = std::move(r); }
    // Puts the port in the open state without logging, as if opened earlier.
    void setOpenQuietly(bool open) { m_open = open; }
    // Bytes arrive and the received event is raised.
    void receive(const QByteArray &bytes)
    {
        m_waiting += bytes;
        emit commEvent(CommEvent::Received);
    }
    // Raises one event of the given kind.
    void raise(CommEvent kind) { emit commEvent(kind); }
    // The device goes away: the port closes and reports a break, as DevicePort does.
    void vanish()
    {
        if (!m_open) return;
        m_log << QStringLiteral("vanish");
        m_open = false;
        m_waiting.clear();
        emit commEvent(CommEvent::Break);
    }

    // --- Record ---
    QStringList log() const { return m_log; }
    void clearLog() { m_log.clear(); }
    // Every byte sent successfully, in order.
    QByteArray sentBytes() const { return m_sent; }
    // Just the sends and opens/closes, without the waits.
    QStringList logWithoutWaits() const
    {
        return m_log.filter(QRegularExpression(QStringLiteral("^(?!wait )")));
    }

    // "QTRQ<0A><0D>": the log's spelling of bytes.
    static QString spell(const QByteArray &bytes)
    {
        QString text;
        for (const char c : bytes)
            text += c >= 0x20 && c < 0x7f
                        ? QString(QLatin1Char(c))
                        : QStringLiteral("<%1>").arg(uchar(c), 2, 16, QLatin1Char('0')).toUpper();
        return text;
    }

private:
    int m_number = 1;
    QString m_settings = QStringLiteral("9600,N,8,1");
    bool m_open = false;
    bool m_sendFails = false;
    QString m_openError;
    QByteArray m_waiting;
    QByteArray m_sent;
    QStringList m_log;
    std::function<void(const QByteArray &)> m_responder;
};
