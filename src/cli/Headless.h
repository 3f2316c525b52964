#pragma once

#include "app/Program.h"
#include "cli/StderrMessages.h"
#include "link/DevicePort.h"
#include "link/SystemPortDiscovery.h"

// The core as a command-line run has it: started up as the main window starts, its port a
// real device that stays closed until a command opens it, its message boxes lines on stderr.
struct Headless {
    DevicePort port;
    StderrMessages messages;
    Program program{port, messages};

    Headless()
    {
        // COM numbers resolve as in the window, assigned adapters included.
        port.setResolution(PortResolver::programResolution(SystemPortDiscovery::shared()));
        program.startUp();
    }

    // Reads a data file into the screen as "Open OK" does; on failure the reason goes to
    // stderr and nothing changes.
    bool open(const QString &path);
};
