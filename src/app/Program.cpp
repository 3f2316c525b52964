#include "app/Program.h"

Program::Program(SerialPort &port, MessageSink &messages)
    : port(port), messages(messages), reception(model, messages), modes(model, port, pauses),
      transfer(model, port, messages, pauses, reception), comm(model, port, pauses, messages),
      commands(model, port, messages, reception), header(model, port, pauses, transfer),
      archiver(model, transfer, port, messages)
{
}

void Program::startUp()
{
    comm.load();
    modes.startUp();
}
