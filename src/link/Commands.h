#pragma once

#include <QByteArray>
#include <QString>

class SerialPort;

// The bytes of a request: its ASCII text, then LF and CR ("QTRQ" is 51 54 52 51 0A 0D).
QByteArray commandBytes(const QString &text);

// SendCommand: sends one request line to the instrument.
bool sendCommand(SerialPort &port, const QString &text);
