#include "app/Program.h"

Program::Program(SerialPort &port, MessageSink &messages)
    : port(port), messages(messages), reception(model, messages), modes(model, port, pauses),
      transfer(model, port, messages, pauses, reception)
{
}

void Program::startUp()
{
    modes.startUp();
}
