#include "link/SystemPortDiscovery.h"

#include "link/DeviceHolders.h"

#include <QFileInfo>
#include <QSerialPortInfo>

const SystemPortDiscovery &SystemPortDiscovery::shared()
{
    static const SystemPortDiscovery discovery;
    return discovery;
}

QList<DiscoveredPort> SystemPortDiscovery::ports() const
{
    QList<DiscoveredPort> result;
    QStringList devices;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        DiscoveredPort port;
        port.device = info.systemLocation();
        port.name = info.portName();
        port.description = info.description();
        port.manufacturer = info.manufacturer();
        port.serialNumber = info.serialNumber();
        if (info.hasVendorIdentifier()) port.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier()) port.productId = info.productIdentifier();
        result << port;
        devices << port.device;
    }
    const QSet<QString> held = DeviceHolders::held(devices);
    for (DiscoveredPort &port : result)
        port.busy = held.contains(port.device);
    return result;
}

bool SystemPortDiscovery::deviceExists(const QString &device) const
{
#ifdef Q_OS_WIN
    // "COM7" names no file; the system's list is all there is to ask.
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        if (info.portName().compare(device, Qt::CaseInsensitive) == 0) return true;
    }
    return false;
#else
    return QFileInfo::exists(device);
#endif
}

bool SystemPortDiscovery::deviceBusy(const QString &device) const
{
    return DeviceHolders::held({device}).contains(device);
}
