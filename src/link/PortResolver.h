#pragma once

#include "link/PortAssignments.h"

#include <QList>
#include <functional>
#include <optional>

// Where a COM number's device comes from, strongest first.
enum class PortSource { Environment, Assigned, Standard };

// What one COM number stands for at this moment.
struct ResolvedPort {
    int com = 0;
    // What opening COM `com` opens; for an assigned adapter that is not plugged in, where it was
    // last seen.
    QString device;
    PortSource source = PortSource::Standard;
    bool present = false;
    bool busy = false;
    DiscoveredPort port;       // the system's entry, when the system lists the device
    PortAssignment assignment; // set when source is Assigned

    // "COM3 (/dev/ttyUSB0)".
    QString name() const;
    // "present", "busy", "absent".
    QString state() const;
    // One line for the Communication window: "/dev/ttyUSB0 (USB serial): present", or for an
    // adapter away "adapter A12B34 (USB serial): not plugged in".
    QString summary() const;
    // The details behind it: where the device comes from, maker, serial number, USB ids.
    QString details() const;
    // Where the device comes from: "NRV508_COM3", "assigned serial A12B34", "assigned",
    // "standard".
    QString origin() const;
    // Why COM `com` cannot be opened now: an adapter known by its serial number that is not
    // plugged in (its old device name may belong to another device by now). "" otherwise.
    // Without a COM number (0) the text names the adapter alone.
    QString refusal() const;
};

// Resolves COM1 to COM6 to devices: NRV508_COM<n> first, then the port assigned in
// "Devices...", then the system's standard name. The system is asked at most once per resolver,
// and only when a COM number needs it.
class PortResolver {
public:
    PortResolver(const PortDiscovery &discovery, PortAssignments assignments);

    ResolvedPort resolve(int com) const;
    // Every serial port the system reports.
    const QList<DiscoveredPort> &ports() const;
    // The port a device name denotes, also through a link such as /dev/serial/by-id/...
    std::optional<DiscoveredPort> listed(const QString &device) const;
    // The ports whose serial number is `serial`.
    QList<DiscoveredPort> withSerial(const QString &serial) const;
    const PortAssignments &assignments() const { return m_assignments; }

    // NRV508_COM<n>, or "".
    static QString environmentDevice(int com);
    // "COMn" on Windows, /dev/ttyS<n-1> elsewhere.
    static QString standardDevice(int com);
    // The resolution Start uses: the user's assignments as stored at the moment of asking.
    static std::function<ResolvedPort(int)> programResolution(const PortDiscovery &discovery);

private:
    void settle(ResolvedPort *r) const;

    const PortDiscovery &m_discovery;
    PortAssignments m_assignments;
    mutable std::optional<QList<DiscoveredPort>> m_ports;
};
