#pragma once

#include "link/PortDiscovery.h"

#include <array>

// The discovered port a COM number was given in "Devices...". An adapter with a serial number
// is known by it (and its USB ids), so it keeps its number in another USB socket or under
// another device name; a port without one is known by its device.
struct PortAssignment {
    QString device; // where it was when assigned
    QString serialNumber;
    int vendorId = -1;
    int productId = -1;
    QString description;

    bool isSet() const { return !device.isEmpty() || !serialNumber.isEmpty(); }
    bool bySerial() const { return !serialNumber.isEmpty(); }
    // Whether this is the port assigned.
    bool matches(const DiscoveredPort &port) const;
};

// COM1 to COM6 and the ports assigned to them, kept in the program's own settings (never in
// the settings file of the link, which keeps its three documented lines).
class PortAssignments {
public:
    static constexpr int kComCount = 6;

    // As stored in the user's settings of this program.
    static PortAssignments load();
    // Stores them; returns the reason when the settings cannot be written.
    bool save(QString *error) const;

    // The assignment of COM1 to COM6; an unset one for any other number.
    PortAssignment of(int com) const;
    // Gives the port to COM `com`; a port has one number, so any other number it had is freed.
    void assign(int com, const DiscoveredPort &port);
    void clear(int com);
    // The COM number the port is assigned to, 0 for none.
    int comOf(const DiscoveredPort &port) const;

    bool operator==(const PortAssignments &o) const;

private:
    std::array<PortAssignment, kComCount> m_com;
};
