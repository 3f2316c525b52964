#include "link/ConnectionTest.h"

#include <QFileInfo>

namespace {
QString linkName(int linkType)
{
    return linkType == 2 ? QStringLiteral("Bluetooth") : QStringLiteral("IRDA");
}
} // namespace

ConnectionTest::ConnectionTest(std::unique_ptr<SerialPort> port, const CommChoice &choice,
                               QObject *parent)
    : QObject(parent), m_port(std::move(port)), m_choice(choice), m_reception(m_model, *this),
      m_modes(m_model, *m_port, m_pauses),
      m_transfer(m_model, *m_port, *this, m_pauses, m_reception)
{
    m_modes.startUp(); // Real Mode: Start asks for live readings
    m_model.BaudIndex = static_cast<qint16>(choice.baudIndex);
    m_model.PortNumber = static_cast<qint16>(choice.portNumber);
    m_model.LinkType = static_cast<qint16>(choice.linkType);
    m_port->close();
    m_port->setPortNumber(choice.portNumber);
    m_port->setSettings(CommSettings::settingsString(choice.baudIndex));
    m_deadline.setSingleShot(true);
    m_deadline.setInterval(kWaitMs);
    connect(&m_deadline, &QTimer::timeout, this, &ConnectionTest::onDeadline);
    connect(&m_transfer, &Transfer::receptionFinished, this, &ConnectionTest::onReception);
    connect(&m_transfer, &Transfer::communicationError, this, [this] {
        finish(ConnectionResult::LineFault,
               QStringLiteral("%1 went away during the test: check the adapter and its cable.")
                   .arg(portName()));
    });
    connect(m_port.get(), &SerialPort::commEvent, this,
            [this](CommEvent kind) { m_received = m_received || kind == CommEvent::Received; });
}

ConnectionTest::~ConnectionTest()
{
    if (m_running) stopInstrument();
}

QString ConnectionTest::portName() const
{
    const QString device = m_port->deviceName();
    return device.isEmpty() ? QStringLiteral("COM%1").arg(m_choice.portNumber)
                            : QStringLiteral("COM%1 (%2)").arg(m_choice.portNumber).arg(device);
}

void ConnectionTest::start()
{
    if (m_running) return;
    m_running = true;
    m_received = false;
    m_lastBox.clear();
    m_transfer.startStop(); // Start, as the button does
    if (!m_port->isOpen()) return openFailed();
    if (m_transfer.state() != LinkState::Live) {
        return finish(
            ConnectionResult::SendFailed,
            QStringLiteral("The request could not be sent on %1: %2").arg(portName(), m_lastBox));
    }
    m_deadline.start();
}

void ConnectionTest::openFailed()
{
    const QString name = portName();
    switch (m_port->openFailure()) {
    case OpenFailure::Absent:
        return finish(ConnectionResult::Absent,
                      QStringLiteral("%1 is not present: plug the adapter in, or choose the COM "
                                     "number it has (Devices...).")
                          .arg(name));
    case OpenFailure::Busy:
        return finish(ConnectionResult::Busy,
                      QStringLiteral("%1 is busy: another program holds it. Close that program "
                                     "and test again.")
                          .arg(name));
    case OpenFailure::NoPermission: {
        // The group that owns the device is the one a user joins to be allowed in.
        const QString group = QFileInfo(m_port->deviceName()).group();
        const QString hint = group.isEmpty()
                                 ? QString()
                                 : QStringLiteral(" (it belongs to the group \"%1\")").arg(group);
        return finish(ConnectionResult::NoPermission,
                      QStringLiteral("%1: this user may not open it%2.").arg(name, hint));
    }
    case OpenFailure::None:
    case OpenFailure::Other:
        break;
    }
    finish(ConnectionResult::OpenFailed,
           QStringLiteral("%1 could not be opened: %2").arg(name, m_lastBox));
}

void ConnectionTest::onReception()
{
    if (!m_running || !m_transfer.lastPassCompletedStream()) return;
    m_result.version = m_model.txtVersion.caption;
    stopInstrument();
    finish(ConnectionResult::Answered,
           QStringLiteral("Instrument answered (version %1)").arg(m_result.version));
}

void ConnectionTest::onDeadline()
{
    if (!m_running) return;
    stopInstrument();
    const QString settings =
        QStringLiteral("%1 at %2 baud over %3")
            .arg(portName(),
                 CommSettings::settingsString(m_choice.baudIndex).section(QLatin1Char(','), 0, 0),
                 linkName(m_choice.linkType));
    if (m_received) {
        finish(ConnectionResult::NoReading,
               QStringLiteral("Characters arrived on %1, but no reading: check the speed and "
                              "the link type.")
                   .arg(settings));
    } else {
        finish(ConnectionResult::Silent,
               QStringLiteral("No answer on %1: check the speed, the link type, and that the "
                              "instrument is on.")
                   .arg(settings));
    }
}

// Stop, as the button does, so the instrument stops streaming; then the port is let go
// whatever the link type.
void ConnectionTest::stopInstrument()
{
    m_deadline.stop();
    if (m_transfer.state() == LinkState::Live) m_transfer.startStop();
    m_port->close();
}

void ConnectionTest::finish(ConnectionResult::Kind kind, const QString &text)
{
    if (!m_running) return;
    m_running = false;
    m_deadline.stop();
    m_port->close();
    m_result.kind = kind;
    m_result.text = text;
    emit finished();
}

MessageAnswer ConnectionTest::show(const QString &, const QString &text, MessageIcon,
                                   MessageButtons)
{
    m_lastBox = text;
    return MessageAnswer::Ok;
}
