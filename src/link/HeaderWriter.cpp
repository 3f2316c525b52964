#include "link/HeaderWriter.h"

#include "app/ScreenModel.h"
#include "link/Commands.h"
#include "link/Pauses.h"
#include "link/Transfer.h"

#include <utility>

const QString HeaderWriter::kErrorText = QStringLiteral("Error !");

namespace {
enum : qint16 { Infrared = 1 };
}

HeaderWriter::HeaderWriter(ScreenModel &model, SerialPort &port, const Pauses &pauses,
                           Transfer &transfer, QObject *parent)
    : QObject(parent), m_model(model), m_port(port), m_pauses(pauses), m_transfer(transfer)
{
    m_timer2.setInterval(kTimer2Ms);
    m_timer2.setSingleShot(true);
    connect(&m_timer2, &QTimer::timeout, this, &HeaderWriter::onTimer2);
    // Connected after the transfer's own handler, so the received characters are already in
    // ReceiveBuffer when this one looks.
    connect(&m_port, &SerialPort::commEvent, this, &HeaderWriter::onCommEvent);
    // The reception pass empties ReceiveBuffer: whatever arrives next starts it afresh.
    connect(&transfer, &Transfer::receptionFinished, this, [this] { m_mark = 0; });
}

void HeaderWriter::headerButton()
{
    if (!m_timer2.isActive()) m_timer2.start();
    if (m_port.isOpen()) {
        m_pauses.shortPause();
        // A failed stop request is passed over: the instrument may simply be switched off.
        sendCommand(m_port, QStringLiteral("QTP"));
        for (int i = 0; i < 3; ++i)
            m_pauses.shortPause();
        if (m_model.LinkType == Infrared) m_port.close();
    }
    m_model.notify();
}

bool HeaderWriter::writeLine(int line)
{
    // Once the user has asked to leave, the window takes no new line.
    if ((line != 1 && line != 2) || ending()) return false;
    resultBox(line).clear();
    const QString text = line == 1 ? m_texts.Text1 : m_texts.Text2;
    if (!isSendable(text)) {
        emit changed();
        return false;
    }
    if (m_model.HeaderWritePending != 0) {
        // One check at a time: with two lines on their way, each check would see both echoes
        // and fail. The line goes out once the earlier check is done.
        for (qsizetype i = 0; i < m_queue.size(); ++i) {
            if (m_queue.at(i).first == line) m_queue.removeAt(i--);
        }
        m_queue.append({line, text});
        emit changed();
        return true;
    }
    write(line, text);
    return true;
}

// The port's failures do not stop the write: a line that did not go out brings no echo, and
// the check then says "Error !".
void HeaderWriter::write(int line, const QString &text)
{
    QString &stored = storedLine(line);
    stored = centred(text);
    m_failure.clear();
    if (!m_port.isOpen()) {
        QString error;
        if (!m_port.open(&error))
            m_failure = error.isEmpty()
                            ? QStringLiteral("the port could not be opened")
                            : QStringLiteral("the port could not be opened: %1").arg(error);
    }
    m_pauses.shortPause();
    // Only what arrives from here on can be the echo: anything older in ReceiveBuffer belongs
    // to an earlier conversation, and the receive timer may empty ReceiveBuffer before the
    // check runs.
    m_echo.clear();
    m_mark = m_model.ReceiveBuffer.size();
    m_listening = true;
    // The echo is no part of a download answer still awaited, whatever the mode.
    m_transfer.forgetAnswer();
    if (!m_port.send(commandBytes(line, stored)) && m_failure.isEmpty()) {
        const QString error = m_port.errorText();
        m_failure = error.isEmpty() ? QStringLiteral("the line could not be sent")
                                    : QStringLiteral("the line could not be sent: %1").arg(error);
    }
    m_timer2.start();
    m_model.HeaderWritePending = static_cast<qint16>(line);
    emit changed();
    m_model.notify();
}

void HeaderWriter::onCommEvent(CommEvent kind)
{
    if (kind != CommEvent::Received) return;
    const QByteArray &buffer = m_model.ReceiveBuffer;
    if (buffer.size() < m_mark) m_mark = 0;
    if (m_listening) m_echo += buffer.mid(m_mark);
    m_mark = buffer.size();
}

// The instrument sends the line back followed by a two-character line end.
void HeaderWriter::onTimer2()
{
    m_timer2.stop();
    m_model.HeaderEcho = m_echo.size() >= 2 ? QString::fromLatin1(m_echo.chopped(2)) : QString();
    const int line = m_model.HeaderWritePending;
    if (line == 1 || line == 2) {
        resultBox(line) = m_model.HeaderEcho == storedLine(line) ? m_model.HeaderEcho : kErrorText;
    }
    m_model.HeaderWritePending = 0;
    m_echo.clear();
    m_listening = false;
    emit changed();
    m_model.notify();
    if (line == 1 || line == 2) emit echoChecked(line);
    if (!m_queue.isEmpty()) {
        const QPair<int, QString> next = m_queue.takeFirst();
        write(next.first, next.second);
    } else if (ending()) {
        finishEnd(std::exchange(m_endRequest, EndRequest::None));
        emit ended();
    }
}

bool HeaderWriter::endWrite()
{
    return requestEnd(EndRequest::EndWrite);
}

bool HeaderWriter::closeBox()
{
    return requestEnd(EndRequest::CloseBox);
}

// A line still queued behind an earlier check goes out, and is checked, before the window
// may go; a line already sent is checked as it always is.
bool HeaderWriter::requestEnd(EndRequest request)
{
    if (ending()) return false;
    if (!m_queue.isEmpty()) {
        m_endRequest = request;
        emit changed();
        return false;
    }
    finishEnd(request);
    return true;
}

// End Write stops Timer2 with a line still pending; the close box leaves its check running,
// and the result waits for the next time the window opens.
void HeaderWriter::finishEnd(EndRequest request)
{
    if (request == EndRequest::EndWrite) m_timer2.stop();
    emptyStreamText();
    forgetWindowTexts();
}

void HeaderWriter::setInput(int line, const QString &text)
{
    if (line == 1) m_texts.Text1 = text;
    if (line == 2) m_texts.Text2 = text;
}

// The window is gone with everything typed into it.
void HeaderWriter::forgetWindowTexts()
{
    m_texts = HeaderTexts();
    m_queue.clear();
    emit changed();
}

// The echoed lines never end in the closing line of a reading stream, so they would stay in
// front of the next download.
void HeaderWriter::emptyStreamText()
{
    m_model.tokens.StreamText.clear();
}

bool HeaderWriter::isSendable(const QString &text)
{
    if (text.isEmpty() || text.size() > kLineWidth) return false;
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e) return false;
    }
    return true;
}

QString HeaderWriter::centred(const QString &text)
{
    const qsizetype spaces = text.size() < kLineWidth ? (kLineWidth - text.size()) / 2 : 0;
    return QString(spaces, QLatin1Char(' ')) + text;
}

QByteArray HeaderWriter::commandBytes(int line, const QString &preparedLine)
{
    return (line == 1 ? QByteArrayLiteral("QTH0") : QByteArrayLiteral("QTH1")) +
           preparedLine.toLatin1() + "\r\n";
}

QString &HeaderWriter::resultBox(int line)
{
    return line == 1 ? m_texts.Text3 : m_texts.Text4;
}

QString &HeaderWriter::storedLine(int line)
{
    return line == 1 ? m_model.HeaderLine1 : m_model.HeaderLine2;
}
