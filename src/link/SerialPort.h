#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// Kinds of event the serial component raises, with the codes the instrument link uses.
enum class CommEvent { Received = 2, Break = 1001, FramingError = 1004 };

// Why the latest open failed, as far as the system tells.
enum class OpenFailure { None, Absent, Busy, NoPermission, Other };

// The one serial port of the program (MSComm1). Everything the link does with the instrument
// goes through this small interface, so tests can put a scripted port behind it.
class SerialPort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // 1 to 6 for COM1 to COM6; taken by the next open.
    virtual void setPortNumber(int number) = 0;
    virtual int portNumber() const = 0;
    // "9600,N,8,1" and its siblings; taken by the next open.
    virtual void setSettings(const QString &settings) = 0;
    virtual QString settings() const = 0;

    virtual bool isOpen() const = 0;
    // On failure returns false and puts the system's description in *error.
    virtual bool open(QString *error) = 0;
    // Closing a closed port is harmless.
    virtual void close() = 0;
    // The bytes go out as they are, nothing added.
    virtual bool send(const QByteArray &bytes) = 0;
    virtual int waitingCount() const = 0;
    // Every waiting byte in order of arrival; afterwards nothing waits.
    virtual QByteArray takeWaiting() = 0;
    // What went wrong with the latest failed send, for the "Port Error" message.
    virtual QString errorText() const { return QString(); }
    // What kind of failure the latest failed open was.
    virtual OpenFailure openFailure() const { return OpenFailure::Other; }
    // The device the port opens, for messages; "" where there is none to name.
    virtual QString deviceName() const { return QString(); }

signals:
    // Raised on the user-interface thread, never during another action.
    void commEvent(CommEvent kind);
};
