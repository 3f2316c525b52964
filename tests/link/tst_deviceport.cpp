// The serial port over a pseudo-terminal whose far end the test holds: device names, the
// bytes both ways, a refused open, and a device that goes away.

#include "link/DevicePort.h"

#include <QSignalSpy>
#include <QtTest>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace {
// The far end of a pseudo-terminal: what an adapter would be.
class FarEnd {
public:
    FarEnd()
    {
        m_fd = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_fd >= 0 && (grantpt(m_fd) != 0 || unlockpt(m_fd) != 0)) hangUp();
    }
    ~FarEnd() { hangUp(); }
    bool ok() const { return m_fd >= 0; }
    QString device() const { return QString::fromLatin1(ptsname(m_fd)); }
    void write(const QByteArray &bytes) { QVERIFY(::write(m_fd, bytes.data(), bytes.size()) > 0); }
    QByteArray read(int size)
    {
        QByteArray bytes;
        QElapsedTimer clock;
        clock.start();
        fcntl(m_fd, F_SETFL, O_NONBLOCK);
        while (bytes.size() < size && clock.elapsed() < 5000) {
            char buffer[256];
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n > 0)
                bytes.append(buffer, n);
            else
                QTest::qWait(10);
        }
        return bytes;
    }
    void hangUp()
    {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd = -1;
};

int countOf(const QSignalSpy &spy, CommEvent kind)
{
    int n = 0;
    for (const QList<QVariant> &args : spy)
        n += args.at(0).value<CommEvent>() == kind ? 1 : 0;
    return n;
}
} // namespace

class TestDevicePort : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<CommEvent>(); }
    void deviceOfEachPortNumber_data();
    void deviceOfEachPortNumber();
    void refusedOpenNamesDeviceAndReason();
    void busyPortNamesDeviceAndReason();
    void bytesBothWays();
    void vanishedDeviceReportedOnceAsBreak();
};

void TestDevicePort::deviceOfEachPortNumber_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QString>("device");
    QTest::newRow("COM1 plain") << 1 << QByteArray() << "/dev/ttyS0";
    QTest::newRow("COM6 plain") << 6 << QByteArray() << "/dev/ttyS5";
    QTest::newRow("COM2 mapped") << 2 << QByteArray("/dev/ttyUSB0") << "/dev/ttyUSB0";
    QTest::newRow("COM5 mapped to a pty") << 5 << QByteArray("/dev/pts/7") << "/dev/pts/7";
}

void TestDevicePort::deviceOfEachPortNumber()
{
    QFETCH(int, number);
    QFETCH(QByteArray, variable);
    QFETCH(QString, device);
    const QByteArray name = "NRV508_COM" + QByteArray::number(number);
    if (variable.isEmpty())
        qunsetenv(name);
    else
        qputenv(name, variable);
    QCOMPARE(DevicePort::deviceFor(number), device);
    DevicePort port;
    port.setPortNumber(number);
    QCOMPARE(port.device(), device);
    qunsetenv(name);
}

void TestDevicePort::refusedOpenNamesDeviceAndReason()
{
    DevicePort port;
    port.setDeviceOverride(QStringLiteral("/dev/nrv508-no-such-port"));
    QString error;
    QVERIFY(!port.open(&error));
    QVERIFY(!port.isOpen());
    QVERIFY2(error.startsWith(QStringLiteral("/dev/nrv508-no-such-port: ")), qPrintable(error));
    QVERIFY(error.size() > QStringLiteral("/dev/nrv508-no-such-port: ").size());
    port.close(); // harmless on a closed port
    QVERIFY(!port.isOpen());
    QVERIFY(!port.send("QTP\n\r"));
}

void TestDevicePort::busyPortNamesDeviceAndReason()
{
    FarEnd far;
    QVERIFY(far.ok());
    DevicePort first;
    first.setDeviceOverride(far.device());
    QString error;
    QVERIFY2(first.open(&error), qPrintable(error));
    DevicePort second;
    second.setDeviceOverride(far.device());
    QVERIFY(!second.open(&error));
    QVERIFY2(error.startsWith(far.device() + QStringLiteral(": ")), qPrintable(error));
    QVERIFY2(error.contains(QStringLiteral("in use by another program")), qPrintable(error));
    QVERIFY(first.isOpen());
}

void TestDevicePort::bytesBothWays()
{
    FarEnd far;
    QVERIFY(far.ok());
    DevicePort port;
    port.setDeviceOverride(far.device());
    port.setSettings(QStringLiteral("38400,N,8,1"));
    QString error;
    QVERIFY2(port.open(&error), qPrintable(error));
    QSignalSpy events(&port, &SerialPort::commEvent);

    QVERIFY(port.send(QByteArray::fromHex("515452510a0d")));
    QCOMPARE(far.read(6), QByteArray::fromHex("515452510a0d"));

    const QByteArray answer("<BTInstReading\n\r</BTInstReading>\n\r\x01\xff", 36);
    far.write(answer);
    QByteArray taken;
    QTRY_VERIFY(countOf(events, CommEvent::Received) > 0 &&
                (taken += port.takeWaiting()).size() >= answer.size());
    QCOMPARE(taken, answer);
    QCOMPARE(port.waitingCount(), 0);
    QCOMPARE(port.takeWaiting(), QByteArray());
    port.close();
    QVERIFY(!port.isOpen());
}

void TestDevicePort::vanishedDeviceReportedOnceAsBreak()
{
    FarEnd far;
    QVERIFY(far.ok());
    DevicePort port;
    port.setDeviceOverride(far.device());
    QString error;
    QVERIFY2(port.open(&error), qPrintable(error));
    QByteArray taken;
    connect(&port, &SerialPort::commEvent, this, [&](CommEvent kind) {
        if (kind == CommEvent::Received) taken += port.takeWaiting();
    });
    QSignalSpy events(&port, &SerialPort::commEvent);

    // The kernel drops what the far end wrote but nobody read when it hangs up, so the test
    // lets the last words arrive first.
    far.write("last words");
    QTRY_COMPARE(taken, QByteArray("last words"));
    far.hangUp();

    QTRY_COMPARE(countOf(events, CommEvent::Break), 1);
    QVERIFY(!port.isOpen());
    // Received events come before the break, never after it.
    QCOMPARE(events.last().at(0).value<CommEvent>(), CommEvent::Break);
    QTest::qWait(300);
    QCOMPARE(countOf(events, CommEvent::Break), 1);
}

QTEST_GUILESS_MAIN(TestDevicePort)
#include "tst_deviceport.moc"
