#pragma once

#include "link/SerialPort.h"

class QSerialPort;

// The serial port on a real device (or a pseudo-terminal), over QSerialPort.
class DevicePort : public SerialPort {
    Q_OBJECT
public:
    explicit DevicePort(QObject *parent = nullptr);
    ~DevicePort() override;

    // The device behind port number 1 to 6: "COMn" on Windows; elsewhere the device named by
    // the environment variable NRV508_COM<n>, or /dev/ttyS<n-1>.
    static QString deviceFor(int portNumber);

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

private:
    void onReadyRead();
    void onError();
    void reportVanished();

    QSerialPort *m_port;
    int m_number = 1;
    QString m_settings = QStringLiteral("9600,N,8,1");
    QString m_override;
    bool m_vanishing = false;
};
