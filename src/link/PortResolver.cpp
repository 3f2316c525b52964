#include "link/PortResolver.h"

#include <QFileInfo>

QString ResolvedPort::name() const
{
    return QStringLiteral("COM%1 (%2)").arg(com).arg(device);
}

QString ResolvedPort::state() const
{
    if (!present) return QStringLiteral("absent");
    return busy ? QStringLiteral("busy") : QStringLiteral("present");
}

QString ResolvedPort::summary() const
{
    const QString description = present ? port.description : assignment.description;
    const QString suffix =
        description.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(description);
    if (!refusal().isEmpty())
        return QStringLiteral("adapter %1%2: not plugged in").arg(assignment.serialNumber, suffix);
    return QStringLiteral("%1%2: %3").arg(device, suffix, state());
}

QString ResolvedPort::details() const
{
    QStringList lines{QStringLiteral("COM%1 opens %2 (%3)").arg(com).arg(device, origin())};
    const auto add = [&lines](const QString &label, const QString &value) {
        if (!value.isEmpty()) lines << label + QStringLiteral(": ") + value;
    };
    add(QStringLiteral("Description"), port.description);
    add(QStringLiteral("Manufacturer"), port.manufacturer);
    add(QStringLiteral("Serial number"), present ? port.serialNumber : assignment.serialNumber);
    add(QStringLiteral("USB ids"), port.usbIds());
    if (busy) lines << QStringLiteral("Held by another program");
    return lines.join(QLatin1Char('\n'));
}

QString ResolvedPort::origin() const
{
    switch (source) {
    case PortSource::Environment:
        return QStringLiteral("NRV508_COM%1").arg(com);
    case PortSource::Assigned:
        return assignment.bySerial()
                   ? QStringLiteral("assigned serial %1").arg(assignment.serialNumber)
                   : QStringLiteral("assigned");
    case PortSource::Standard:
        break;
    }
    return QStringLiteral("standard");
}

QString ResolvedPort::refusal() const
{
    if (source != PortSource::Assigned || !assignment.bySerial() || present) return QString();
    QString adapter =
        QStringLiteral("the adapter with serial number %1").arg(assignment.serialNumber);
    if (!assignment.description.isEmpty())
        adapter += QStringLiteral(" (%1)").arg(assignment.description);
    adapter += QStringLiteral(" is not plugged in");
    return com > 0 ? QStringLiteral("COM%1: %2").arg(com).arg(adapter) : adapter;
}

PortResolver::PortResolver(const PortDiscovery &discovery, PortAssignments assignments)
    : m_discovery(discovery), m_assignments(std::move(assignments))
{
}

ResolvedPort PortResolver::resolve(int com) const
{
    ResolvedPort r;
    r.com = com;
    const QString environment = environmentDevice(com);
    const PortAssignment assigned = m_assignments.of(com);
    if (!environment.isEmpty()) {
        r.source = PortSource::Environment;
        r.device = environment;
    } else if (assigned.isSet()) {
        r.source = PortSource::Assigned;
        r.assignment = assigned;
        r.device = assigned.device;
        for (const DiscoveredPort &port : ports()) {
            if (!assigned.matches(port)) continue;
            r.device = port.device; // the adapter under its name of today
            break;
        }
    } else {
        r.source = PortSource::Standard;
        r.device = standardDevice(com);
    }
    settle(&r);
    return r;
}

// Present and busy as the system reports the device; a device named by hand that the system
// does not list (a pseudo-terminal) is present when it exists.
void PortResolver::settle(ResolvedPort *r) const
{
    const std::optional<DiscoveredPort> port = listed(r->device);
    if (port && (r->source != PortSource::Assigned || r->assignment.matches(*port))) {
        r->port = *port;
        r->present = true;
        r->busy = port->busy;
    } else if (r->source == PortSource::Environment) {
        r->present = m_discovery.deviceExists(r->device);
        r->busy = r->present && m_discovery.deviceBusy(r->device);
    }
}

const QList<DiscoveredPort> &PortResolver::ports() const
{
    if (!m_ports) m_ports = m_discovery.ports();
    return *m_ports;
}

std::optional<DiscoveredPort> PortResolver::listed(const QString &device) const
{
    if (device.isEmpty()) return std::nullopt;
    const QString canonical = QFileInfo(device).canonicalFilePath();
    for (const DiscoveredPort &port : ports()) {
        if (port.device == device || port.name.compare(device, Qt::CaseInsensitive) == 0)
            return port;
        if (!canonical.isEmpty() && QFileInfo(port.device).canonicalFilePath() == canonical)
            return port;
    }
    return std::nullopt;
}

QList<DiscoveredPort> PortResolver::withSerial(const QString &serial) const
{
    QList<DiscoveredPort> found;
    for (const DiscoveredPort &port : ports()) {
        if (!serial.isEmpty() && port.serialNumber == serial) found << port;
    }
    return found;
}

QString PortResolver::environmentDevice(int com)
{
    return QString::fromLocal8Bit(qgetenv(QStringLiteral("NRV508_COM%1").arg(com).toLatin1()));
}

QString PortResolver::standardDevice(int com)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(com);
#else
    return QStringLiteral("/dev/ttyS%1").arg(com - 1);
#endif
}

std::function<ResolvedPort(int)> PortResolver::programResolution(const PortDiscovery &discovery)
{
    return [&discovery](int com) {
        return PortResolver(discovery, PortAssignments::load()).resolve(com);
    };
}
