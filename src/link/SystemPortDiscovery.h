#pragma once

#include "link/PortDiscovery.h"

// The serial ports the operating system reports, through QSerialPortInfo, each marked busy
// when another program holds it.
class SystemPortDiscovery : public PortDiscovery {
public:
    // One instance serves the whole program: it keeps no state.
    static const SystemPortDiscovery &shared();

    QList<DiscoveredPort> ports() const override;
    bool deviceExists(const QString &device) const override;
    bool deviceBusy(const QString &device) const override;
};
