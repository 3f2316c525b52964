#pragma once

#include "link/CommSettings.h"

#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

class ConnectionTest;
class PortDiscovery;
class QButtonGroup;
class QLabel;
class QPushButton;
class SerialPort;

// The "Communication" window: port, speed and link type as three frames of options. "OK"
// accepts the choice; the close box leaves without one. The window only returns the
// choice: applying and saving it is the link's business. Beside each port option it shows
// the device that COM number stands for and whether it is there, kept current while the
// window is open; "Devices..." gives a discovered port a COM number, and "Test connection"
// asks the instrument for one reading with the options chosen.
class frmComm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPollMs = 1500;
    using PortFactory = std::function<std::unique_ptr<SerialPort>()>;

    frmComm(const CommChoice &shown, const PortDiscovery &discovery, PortFactory makePort,
            QWidget *parent = nullptr);
    ~frmComm() override;

    CommChoice choice() const;
    // The connection test running or last run; nullptr before the first.
    ConnectionTest *connectionTest() const { return m_test.get(); }

public slots:
    // Resolves COM1 to COM6 again and redraws the device beside each option.
    void refresh();

private:
    QWidget *optionFrame(const char *name, const QString &caption, QButtonGroup *group,
                         const QList<QPair<const char *, QString>> &options);
    QLayout *buttonRow();
    void addDeviceLabels(QWidget *portFrame);
    void openDevices();
    void testConnection();
    void showTestResult();

    const PortDiscovery &m_discovery;
    PortFactory m_makePort;
    QButtonGroup *m_ports;
    QButtonGroup *m_speeds;
    QButtonGroup *m_links;
    QList<QLabel *> m_deviceLabels;
    QLabel *m_testResult;
    QPushButton *m_testButton = nullptr;
    QTimer m_poll;
    std::unique_ptr<ConnectionTest> m_test;
};
