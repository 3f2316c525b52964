#pragma once

#include <QList>
#include <QString>

// One serial port as the system reports it.
struct DiscoveredPort {
    QString device;       // what opening it takes: /dev/ttyUSB0, \\.\COM7
    QString name;         // the system's short name: ttyUSB0, COM7
    QString description;  // "" where the system tells nothing
    QString manufacturer; // likewise
    QString serialNumber; // an adapter's own serial number; "" for built-in ports
    int vendorId = -1;    // USB ids, -1 where unknown
    int productId = -1;
    bool busy = false; // held by another program

    // "0403:6001", or "" where the ids are unknown.
    QString usbIds() const;
};

// Where the serial ports of the system are found: the system itself in the program, a scripted
// list in tests.
class PortDiscovery {
public:
    virtual ~PortDiscovery() = default;

    // Every serial port the system reports now, in the system's order.
    virtual QList<DiscoveredPort> ports() const = 0;
    // Whether a device named by hand exists (a pseudo-terminal or a link named by
    // NRV508_COM<n>, which the system's list leaves out).
    virtual bool deviceExists(const QString &device) const = 0;
    // Whether another program holds such a device.
    virtual bool deviceBusy(const QString &device) const = 0;
};
