#pragma once

#include "link/PortDiscovery.h"

#include <QSet>
#include <QStringList>

// A scripted list of serial ports for tests, written one port per entry:
//   "/dev/ttyUSB1 serial=A12B34 usb=0403:6001 desc=USB_Serial maker=Acme busy"
// (underscores in desc and maker stand for spaces). Devices named by hand (NRV508_COM<n>) exist
// when listed in `existing`, and are busy when in `held`.
class ScriptedPorts : public PortDiscovery {
public:
    ScriptedPorts() = default;
    explicit ScriptedPorts(const QStringList &entries) { set(entries); }

    void set(const QStringList &entries)
    {
        m_ports.clear();
        for (const QString &entry : entries)
            m_ports << parse(entry);
    }
    QList<DiscoveredPort> ports() const override { return m_ports; }
    bool deviceExists(const QString &device) const override { return existing.contains(device); }
    bool deviceBusy(const QString &device) const override { return held.contains(device); }

    static DiscoveredPort parse(const QString &entry)
    {
        const QStringList words = entry.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        DiscoveredPort port;
        port.device = words.value(0);
        port.name = port.device.section(QLatin1Char('/'), -1);
        for (const QString &word : words.mid(1)) {
            const QString key = word.section(QLatin1Char('='), 0, 0);
            const QString value = word.section(QLatin1Char('='), 1).replace(QLatin1Char('_'), ' ');
            if (key == QLatin1String("serial")) port.serialNumber = value;
            if (key == QLatin1String("desc")) port.description = value;
            if (key == QLatin1String("maker")) port.manufacturer = value;
            if (key == QLatin1String("busy")) port.busy = true;
            if (key == QLatin1String("usb")) {
                port.vendorId = value.section(QLatin1Char(':'), 0, 0).toInt(nullptr, 16);
                port.productId = value.section(QLatin1Char(':'), 1).toInt(nullptr, 16);
            }
        }
        return port;
    }

    QSet<QString> existing;
    QSet<QString> held;

private:
    QList<DiscoveredPort> m_ports;
};
