#include "link/Commands.h"

#include "link/SerialPort.h"

QByteArray commandBytes(const QString &text)
{
    return text.toLatin1() + "\n\r";
}

bool sendCommand(SerialPort &port, const QString &text)
{
    return port.send(commandBytes(text));
}
