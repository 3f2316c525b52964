#pragma once

#include <QByteArray>

class PortResolver;

// COM1 to COM6 with their devices, then every serial port the system reports: as text lines
// (tab-separated, "-" where unknown) or as one JSON object.
class PortListing {
public:
    explicit PortListing(const PortResolver &resolver) : m_resolver(resolver) {}

    // "COM3<TAB>/dev/ttyUSB0<TAB>present<TAB>assigned serial A12B34" per COM number, an
    // empty line, then "DEVICE<TAB>DESCRIPTION<TAB>MANUFACTURER<TAB>SERIAL<TAB>VID:PID<TAB>
    // free|busy<TAB>COMn" per port.
    QByteArray text() const;
    // {"com": [{"com", "device", "present", "busy", "source", "serial"}...],
    //  "ports": [{"device", "name", "description", "manufacturer", "serial", "vendorId",
    //             "productId", "busy", "com"}...]}; unknown values are null.
    QByteArray json() const;

private:
    const PortResolver &m_resolver;
};
