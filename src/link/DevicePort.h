#pragma once

#include "link/PortResolver.h"
#include "link/SerialPort.h"

#include <functional>

class QSerialPort;

// The serial port on a real device (or a pseudo-terminal), over QSerialPort.
class DevicePort : public SerialPort {
    Q_OBJECT
public:
    explicit DevicePort(QObject *parent = nullptr);
    ~DevicePort() override;

    // The device behind port number 1 to 6 without assignments: the device named by the
    // environment variable NRV508_COM<n>, or "COMn" on Windows and /dev/ttyS<n-1> elsewhere.
    static QString deviceFor(int portNumber);
    // How port numbers resolve to devices (the program's: with the ports assigned in
    // "Devices..."); without one, deviceFor().
    void setResolution(std::function<ResolvedPort(int)> resolution)
    {
        m_resolution = std::move(resolution);
    }

    // Opens this device path instead of the one the port number maps to (the command line's
    // --port /dev/ttyUSB0).
    void setDeviceOverride(const QString &device) { m_override = device; }
    QString device() const;
    // The port as the user knows it: "COM2 (/dev/ttyS1)", or the device alone where it was
    // named directly or is the COM name itself.
    QString portLabel() const;

    void setPortNumber(int number) override { m_number = number; }
    int portNumber() const override { return m_number; }
    void setSettings(const QString &settings) override { m_settings = settings; }
    QString settings() const override { return m_settings; }

    bool isOpen() const override;
    bool open(QString *error) override;
    void close() override;
    bool send(const QByteArray &bytes) override;
    int waitingCount() const override;
    QByteArray takeWaiting() override;
    QString errorText() const override;
    OpenFailure openFailure() const override { return m_failure; }
    QString deviceName() const override { return device(); }

private:
    void onReadyRead();
    void onError();
    void reportVanished();
    ResolvedPort resolved() const;
    OpenFailure failureOf(const QString &device) const;

    QSerialPort *m_port;
    int m_number = 1;
    QString m_settings = QStringLiteral("9600,N,8,1");
    QString m_override;
    std::function<ResolvedPort(int)> m_resolution;
    OpenFailure m_failure = OpenFailure::None;
    bool m_vanishing = false;
};
