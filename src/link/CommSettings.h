#pragma once

#include <QString>

class MessageSink;
class Pauses;
class ScreenModel;
class SerialPort;

// The options chosen in the "Communication" window, as the variables they stand for:
// BaudIndex 1 to 4, PortNumber 1 to 6, LinkType 1 or 2.
struct CommChoice {
    int baudIndex = 2;
    int portNumber = 1;
    int linkType = 1;

    bool operator==(const CommChoice &o) const
    {
        return baudIndex == o.baudIndex && portNumber == o.portNumber && linkType == o.linkType;
    }
};

// The link settings BaudIndex, PortNumber and LinkType: their file "set508_21.txt" in the
// working directory, and what applying them does to the serial port.
class CommSettings {
public:
    static const char *const kFileName;

    CommSettings(ScreenModel &model, SerialPort &port, const Pauses &pauses, MessageSink &messages);

    // "4800,N,8,1" to "38400,N,8,1" for BaudIndex 1 to 4; "" for any other index.
    static QString settingsString(int baudIndex);

    // LoadCommSettings: at start-up. Values out of range stay in the variables unapplied.
    void load();
    // SaveCommSettings. A failed write keeps the previous file and returns the reason.
    bool save(QString *error);

    // "Communication Setup" up to the window: the instrument is told to stop and the port
    // closes, so the port accepts a new number.
    void prepareSetup();
    // What the window shows when it opens: the variables, or the initial choices where a
    // variable is out of range.
    CommChoice currentChoice() const;
    // ApplyCommOptions.
    void apply(const CommChoice &choice);
    // "OK": apply, save, and say so if the file could not be written.
    void accept(const CommChoice &choice);

private:
    void applyToPort();

    ScreenModel &m_model;
    SerialPort &m_port;
    const Pauses &m_pauses;
    MessageSink &m_messages;
};
