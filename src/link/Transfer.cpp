#include "link/Transfer.h"

#include "app/MessageSink.h"
#include "app/ScreenModel.h"
#include "link/Commands.h"
#include "link/Pauses.h"
#include "link/ProgressWindow.h"
#include "link/ReceiveEvent.h"
#include "protocol/ReceptionPass.h"
#include "tables/Modes.h"

namespace {
const QString kStart = QStringLiteral("Start");
const QString kStop = QStringLiteral("Stop");
const QString kStopRequest = QStringLiteral("QTP");
const QString kLiveRequest = QStringLiteral("QTRQ");
const QByteArray kClosingLine = QByteArrayLiteral("</BTInstReading>");

enum : qint16 { Infrared = 1, Bluetooth = 2 };

QString requestOf(int mode)
{
    const ModeInfo *info = modeInfo(mode);
    return info ? QString::fromLatin1(info->request) : QString();
}
} // namespace

Transfer::Transfer(ScreenModel &model, SerialPort &port, MessageSink &messages,
                   const Pauses &pauses, ReceptionPass &reception, QObject *parent)
    : QObject(parent), m_model(model), m_port(port), m_messages(messages), m_pauses(pauses),
      m_reception(reception)
{
    m_timer3.setInterval(kTimer3Ms);
    // The quiet gap is what ends an answer; a coarse timer would stretch it by up to 5 %.
    m_timer3.setTimerType(Qt::PreciseTimer);
    m_timer4.setInterval(kTimer4Ms);
    m_timer4.setSingleShot(true);
    connect(&m_timer3, &QTimer::timeout, this, &Transfer::onTimer3);
    connect(&m_timer4, &QTimer::timeout, this, &Transfer::onTimer4);
    connect(&m_port, &SerialPort::commEvent, this, &Transfer::onCommEvent);
}

LinkState Transfer::state() const
{
    if (!m_port.isOpen()) return LinkState::Closed;
    if (liveRunInProgress()) return LinkState::Live;
    if (m_model.CurrentMode != Real && (m_awaitingAnswer || m_timer3.isActive()))
        return LinkState::Downloading;
    return LinkState::Idle;
}

bool Transfer::liveRunInProgress() const
{
    return m_model.CurrentMode == Real && m_model.cmdStart.caption == kStop;
}

void Transfer::startStop()
{
    m_model.ReceivedCount = 0;
    m_sendFailed = false;
    m_awaitingAnswer = false;
    m_droppedEnd.clear();
    // A live run whose device went away (adapter pulled) has nothing left to stop, and opening
    // the port again here would restart the instrument's stream behind a "Start" caption.
    if (liveRunInProgress() && !m_port.isOpen())
        endLiveRunWithoutPort();
    else if (m_model.LinkType == Infrared)
        startStopInfrared();
    else if (m_model.LinkType == Bluetooth)
        startStopBluetooth();
    m_model.notify();
}

// The infrared adapter is opened for each live run and closed at its end; any failure after
// the opening ends the run of StartStop with "Port Error".
void Transfer::startStopInfrared()
{
    if (!m_port.isOpen()) {
        if (!openPort()) return;
    } else if (liveRunInProgress()) {
        m_timer3.stop();
        const bool stopped = send(kStopRequest);
        if (stopped) m_pauses.shortPause();
        m_port.close();
        if (!stopped) {
            // The run ends all the same: with the menus left disabled the user could never
            // get out of it.
            setLiveRun(false);
            m_model.ReceiveBuffer.clear();
            reportSendFailure();
            return;
        }
    }
    if (m_model.CurrentMode == Real) {
        const bool starting = m_model.cmdStart.caption == kStart;
        setLiveRun(starting);
        if (!starting) m_model.ReceiveBuffer.clear();
    }
    if (!m_port.isOpen()) return;
    m_pauses.longPause();
    if (!send(requestOf(m_model.CurrentMode))) {
        if (m_model.CurrentMode == Real) setLiveRun(false);
        m_port.close();
        reportSendFailure();
    }
}

// The Bluetooth port stays open; the instrument is told twice to stop, since the first
// request may be lost while the link wakes up.
void Transfer::startStopBluetooth()
{
    if (!m_port.isOpen()) {
        if (!openPort()) return;
    } else if (liveRunInProgress()) {
        m_pauses.shortPause();
        send(kStopRequest);
        m_pauses.longPause();
        send(kStopRequest);
    }
    if (m_model.CurrentMode == Real) {
        if (m_model.cmdStart.caption == kStart) {
            setLiveRun(true);
        } else {
            m_model.cmdStart.caption = kStart;
            if (!m_model.ReceiveBuffer.isEmpty()) {
                m_pauses.shortPause();
                send(kStopRequest);
                m_pauses.longPause();
                send(kStopRequest);
            }
            setLiveRun(false);
        }
        if (m_model.cmdStart.caption == kStop && !sendPaused(kLiveRequest)) setLiveRun(false);
    } else if (m_model.cmdStart.caption == kStart) {
        sendPaused(requestOf(m_model.CurrentMode));
    }
    if (m_sendFailed) reportSendFailure();
}

// A request on the Bluetooth link, between two short pauses on either side.
bool Transfer::sendPaused(const QString &command)
{
    m_pauses.shortPause();
    m_pauses.shortPause();
    const bool sent = send(command);
    m_pauses.shortPause();
    m_pauses.shortPause();
    return sent;
}

bool Transfer::openPort()
{
    QString error;
    if (m_port.open(&error)) return true;
    showPortError(error.isEmpty() ? QStringLiteral("The port could not be opened.") : error);
    return false;
}

bool Transfer::send(const QString &command)
{
    if (command.isEmpty()) return true;
    if (!sendCommand(m_port, command)) {
        m_sendFailed = true;
        return false;
    }
    if (command != kStopRequest && m_model.CurrentMode != Real) {
        m_awaitingAnswer = true;
        m_requestMode = m_model.CurrentMode;
        m_progress.begin();
    }
    return true;
}

void Transfer::setLiveRun(bool live)
{
    m_model.cmdStart.caption = live ? kStop : kStart;
    for (Element *e : {&m_model.mnuFile, &m_model.mnuMode, &m_model.mnuSetup, &m_model.cmdHeader})
        e->enabled = !live;
}

void Transfer::endLiveRunWithoutPort()
{
    m_timer3.stop();
    setLiveRun(false);
    m_model.ReceiveBuffer.clear();
}

void Transfer::reportSendFailure()
{
    const QString text = m_port.errorText();
    showPortError(text.isEmpty() ? QStringLiteral("The request could not be sent.") : text);
}

void Transfer::showPortError(const QString &text)
{
    m_model.notify();
    m_messages.show(QStringLiteral("Port Error"), text, MessageIcon::Exclamation);
}

void Transfer::onCommEvent(CommEvent kind)
{
    switch (kind) {
    case CommEvent::Received:
        onReceived();
        break;
    case CommEvent::Break:
        m_awaitingAnswer = false;
        if (!m_timer4.isActive()) m_timer4.start();
        break;
    case CommEvent::FramingError:
        if (m_model.LinkType == Infrared) onFramingError();
        break;
    }
}

// No parsing here: the receive event only collects, so a fast line never waits on the parser.
void Transfer::onReceived()
{
    const QByteArray bytes = m_port.takeWaiting();
    if (bytes.isEmpty()) return;
    if (answerOfOtherMode()) {
        dropAnswer(bytes);
        return;
    }
    takeReceived(m_model, bytes);
    m_progress.add(bytes);
    if (!m_timer3.isActive()) m_timer3.start();
    // Only the receive lamp of Real Mode shows a receive event; other modes redraw nothing.
    if (m_model.CurrentMode == Real) m_model.notify();
}

// The user switched modes after pressing Start: the answer belongs to a table that is gone.
bool Transfer::answerOfOtherMode() const
{
    return m_awaitingAnswer && m_model.CurrentMode != m_requestMode;
}

// An answer for another mode is let go as it arrives, with whatever of it was received or
// assembled before the switch, until its closing line has passed; no pass runs over it and no
// progress window stands for it.
void Transfer::dropAnswer(const QByteArray &bytes)
{
    const QByteArray seen = m_droppedEnd + m_model.ReceiveBuffer + bytes;
    m_model.ReceiveBuffer.clear();
    m_model.tokens.StreamText.clear();
    m_model.tokens.SplitLine.clear();
    m_model.LinkQuiet = true;
    m_timer3.stop();
    m_droppedEnd = seen.right(kClosingLine.size() - 1);
    if (seen.contains(kClosingLine)) {
        m_awaitingAnswer = false;
        m_droppedEnd.clear();
    }
    closeProgressWindow(m_model);
    m_model.notify();
}

// The infrared adapter loses framing when the beam is interrupted; reconnecting resyncs it.
void Transfer::onFramingError()
{
    m_port.close();
    m_pauses.longPause();
    // A reconnect that fails leaves the port closed; the user is told, as for any open.
    openPort();
    m_model.notify();
}

// The first tick after data marks the link quiet; a second one with nothing new in between
// ends the answer.
void Transfer::onTimer3()
{
    if (answerOfOtherMode()) {
        dropAnswer(QByteArray());
        return;
    }
    if (!m_model.LinkQuiet) {
        m_model.LinkQuiet = true;
        if (m_model.CurrentMode != Real && !m_model.frmSplash.visible) {
            openProgressWindow(m_model);
            m_model.notify();
        }
        return;
    }
    m_timer3.stop();
    m_lastPassComplete = m_reception.run();
    if (m_lastPassComplete) {
        m_awaitingAnswer = false;
        m_progress.finish();
    }
    emit receptionFinished();
}

void Transfer::onTimer4()
{
    m_model.notify();
    m_messages.show(
        QStringLiteral("Communication Error"),
        QStringLiteral("Check Analyser and Adapter, or Change the Communication Setup."),
        MessageIcon::Information);
    // Only a run that is still going is ended; with none in progress Start is not pressed,
    // which would start one the user never asked for.
    if (liveRunInProgress()) startStop();
    m_timer4.stop();
    m_model.notify();
    emit communicationError();
}
