#pragma once

#include "app/ScreenModel.h"
#include "archive/Archiver.h"
#include "link/CommSettings.h"
#include "link/HeaderWriter.h"
#include "link/Pauses.h"
#include "link/Transfer.h"
#include "protocol/ReceptionPass.h"
#include "tables/MainCommands.h"
#include "tables/ModeSwitch.h"

#include <functional>
#include <memory>

class MessageSink;
class PortDiscovery;
class SerialPort;

// The program's core, shared by the windows and the command line: the screen model and the
// behaviour that works on it, over one serial port and one message sink given by the front end.
class Program {
public:
    Program(SerialPort &port, MessageSink &messages);

    // Start-up of the main window: the start-up layout in Real Mode, port closed.
    void startUp();

    ScreenModel model;
    Pauses pauses;
    SerialPort &port;
    MessageSink &messages;
    ReceptionPass reception;
    ModeSwitch modes;
    Transfer transfer;
    CommSettings comm;
    MainCommands commands;
    HeaderWriter header;

    // The serial ports of the system, as the Communication window shows them.
    const PortDiscovery *portDiscovery;
    // A port of its own for "Test connection", its COM numbers resolved as Start resolves them.
    std::function<std::unique_ptr<SerialPort>()> makeTestPort;

    // Off until a front end enables it: tests and one-off commands leave no trace.
    Archiver archiver;
};
