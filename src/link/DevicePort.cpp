#include "link/DevicePort.h"

#include <QFileInfo>
#include <QSerialPort>

DevicePort::DevicePort(QObject *parent) : SerialPort(parent), m_port(new QSerialPort(this))
{
    connect(m_port, &QSerialPort::readyRead, this, &DevicePort::onReadyRead);
    connect(m_port, &QSerialPort::errorOccurred, this, [this] { onError(); });
}

DevicePort::~DevicePort() = default;

QString DevicePort::deviceFor(int portNumber)
{
    const QString mapped = PortResolver::environmentDevice(portNumber);
    return mapped.isEmpty() ? PortResolver::standardDevice(portNumber) : mapped;
}

ResolvedPort DevicePort::resolved() const
{
    if (m_resolution) return m_resolution(m_number);
    ResolvedPort r;
    r.com = m_number;
    r.device = deviceFor(m_number);
    return r;
}

QString DevicePort::device() const
{
    return m_override.isEmpty() ? resolved().device : m_override;
}

QString DevicePort::portLabel() const
{
    const QString path = device();
    const QString com = QStringLiteral("COM%1").arg(m_number);
    if (!m_override.isEmpty() || path == com) return path;
    return QStringLiteral("%1 (%2)").arg(com, path);
}

bool DevicePort::isOpen() const
{
    return m_port->isOpen();
}

bool DevicePort::open(QString *error)
{
    const ResolvedPort r = m_override.isEmpty() ? resolved() : ResolvedPort();
    if (!r.refusal().isEmpty()) {
        m_failure = OpenFailure::Absent;
        if (error) *error = r.refusal();
        return false;
    }
    const QString name = m_override.isEmpty() ? r.device : m_override;
    m_port->setPortName(name);
    const int baud = m_settings.section(QLatin1Char(','), 0, 0).toInt();
    m_port->setBaudRate(baud > 0 ? baud : 9600);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    m_vanishing = false;
    m_failure = OpenFailure::None;
    if (m_port->open(QIODevice::ReadWrite)) return true;
    m_failure = failureOf(name);
    if (!error) return false;
    *error = QStringLiteral("%1: %2").arg(portLabel(), m_port->errorString());
    // Qt says the same for a port that another program holds and for one this user may not
    // open; the user needs to know that both are possible.
    if (m_port->error() == QSerialPort::PermissionError)
        *error += QStringLiteral(" (the port is in use by another program, or this user may not "
                                 "open it)");
    // A port picked by its number is changed where it was picked.
    if (m_override.isEmpty()) {
        if (!error->endsWith(QLatin1Char('.'))) *error += QLatin1Char('.');
        *error += QStringLiteral(" Choose the port in Setup > Communication.");
    }
    return false;
}

// Qt tells a port held elsewhere and a port this user may not open by one error; the device's
// permissions tell them apart.
OpenFailure DevicePort::failureOf(const QString &device) const
{
    switch (m_port->error()) {
    case QSerialPort::DeviceNotFoundError:
        return OpenFailure::Absent;
    case QSerialPort::PermissionError: {
        const QFileInfo info(device);
        return info.isReadable() && info.isWritable() ? OpenFailure::Busy
                                                      : OpenFailure::NoPermission;
    }
    default:
        return OpenFailure::Other;
    }
}

void DevicePort::close()
{
    if (m_port->isOpen()) m_port->close();
}

bool DevicePort::send(const QByteArray &bytes)
{
    if (!m_port->isOpen()) return false;
    if (m_port->write(bytes) != bytes.size()) return false;
    // The pauses between commands block the event loop, so push the bytes out now.
    m_port->flush();
    return true;
}

int DevicePort::waitingCount() const
{
    return m_port->isOpen() ? static_cast<int>(m_port->bytesAvailable()) : 0;
}

QByteArray DevicePort::takeWaiting()
{
    return m_port->isOpen() ? m_port->readAll() : QByteArray();
}

QString DevicePort::errorText() const
{
    return QStringLiteral("%1: %2").arg(device(), m_port->errorString());
}

void DevicePort::onReadyRead()
{
    // A hung-up line can signal readability with nothing to read; that is no received event.
    if (m_port->bytesAvailable() > 0) emit commEvent(CommEvent::Received);
}

// A vanished device (adapter pulled, Bluetooth link lost, the far end of a pseudo-terminal
// closed) is the line fault the link reports as a break. Qt reports it as a ResourceError, or
// first as a storm of ReadErrors while the line stays hung up; either way it is reported once.
void DevicePort::onError()
{
    const QSerialPort::SerialPortError error = m_port->error();
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError) return;
    if (m_vanishing || !m_port->isOpen()) return;
    m_vanishing = true;
    // QSerialPort is still inside its read handler here; it is closed once that returns.
    QMetaObject::invokeMethod(this, &DevicePort::reportVanished, Qt::QueuedConnection);
}

void DevicePort::reportVanished()
{
    if (!m_port->isOpen()) return;
    // Whatever arrived before the line went down is still delivered.
    if (m_port->bytesAvailable() > 0) emit commEvent(CommEvent::Received);
    m_port->close();
    emit commEvent(CommEvent::Break);
}
