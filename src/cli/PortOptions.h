#pragma once

#include <QString>

struct Args;
class DevicePort;
class Program;

// The link options of the commands that talk to an instrument: --port DEVICE, --baud and
// --link. On the command line they stand in for the settings file.
struct PortOptions {
    QString device;
    int baud = 9600;
    int linkType = 1; // 1 infrared, 2 Bluetooth
};

// BaudIndex 1 to 4 of a line speed, 0 for a speed the instrument does not offer.
int baudIndexOf(int baud);

// The port number of "COM1" to "COM6" (any case), 0 for anything else.
int comPortNumber(const QString &device);

// Reads --port, --baud and --link; returns the problem for the usage message, or "".
QString readPortOptions(const Args &args, PortOptions *options);

// Sets the program's link settings and points the port at the device. COM1 to COM6 resolve
// as the program resolves its port numbers; anything else is a device path.
void applyPortOptions(const PortOptions &options, Program &program, DevicePort &port);
