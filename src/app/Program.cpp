#include "app/Program.h"

#include "link/DevicePort.h"
#include "link/SystemPortDiscovery.h"

Program::Program(SerialPort &port, MessageSink &messages)
    : port(port), messages(messages), reception(model, messages), modes(model, port, pauses),
      transfer(model, port, messages, pauses, reception), comm(model, port, pauses, messages),
      commands(model, port, messages, reception), header(model, port, pauses, transfer),
      portDiscovery(&SystemPortDiscovery::shared()),
      archiver(model, transfer, port, messages)
{
    makeTestPort = [this]() -> std::unique_ptr<SerialPort> {
        auto port = std::make_unique<DevicePort>();
        port->setResolution(PortResolver::programResolution(*portDiscovery));
        return port;
    };
}

void Program::startUp()
{
    comm.load();
    modes.startUp();
}
