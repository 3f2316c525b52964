// The serial port over a pseudo-terminal whose far end the test holds: a busy port, the bytes both
// ways, and a device that goes away.

#include "link/DevicePort.h"

#include <QtTest>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace {
// The far end of a pseudo-terminal: what an adapter would be.
struct FarEnd {
    int fd = posix_openpt(O_RDWR | O_NOCTTY);
    FarEnd()
    {
        if (grantpt(fd) != 0 || unlockpt(fd) != 0 || fcntl(fd, F_SETFL, O_NONBLOCK) != 0) hangUp();
    }
    ~FarEnd() { hangUp(); }
    QString device() const { return QString::fromLatin1(ptsname(fd)); }
    QByteArray readSome() const
    {
        char buffer[256];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        return n > 0 ? QByteArray(buffer, n) : QByteArray();
    }
    void hangUp()
    {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
};

// The port opened on the far end's device.
bool openOn(DevicePort &port, const FarEnd &far, QString *error)
{
    port.setDeviceOverride(far.device());
    return port.open(error);
}
} // namespace

class TestDevicePort : public QObject {
    Q_OBJECT
private slots:
    void busyPortNamesDeviceAndReason();
    void bytesBothWaysUntilTheDeviceVanishes();
};

// A missing port is the command line's (tst_link_emulator); here the plain COM mapping and a
// port another program holds.
void TestDevicePort::busyPortNamesDeviceAndReason()
{
    qunsetenv("NRV508_COM6");
    DevicePort first, second;
    first.setPortNumber(6);
    QCOMPARE(first.device(), QStringLiteral("/dev/ttyS5"));

    FarEnd far;
    QString error;
    QVERIFY2(openOn(first, far, &error), qPrintable(error));
    QVERIFY(!openOn(second, far, &error));
    QCOMPARE(error.section(QStringLiteral(": "), 0, 0), far.device());
    QVERIFY2(error.contains(QStringLiteral("in use by another program")), qPrintable(error));
    QVERIFY(first.isOpen());
    QVERIFY(!second.send("QTP\n\r"));
}

void TestDevicePort::bytesBothWaysUntilTheDeviceVanishes()
{
    FarEnd far;
    DevicePort port;
    QString error;
    QVERIFY2(openOn(port, far, &error), qPrintable(error));
    QList<CommEvent> events;
    QByteArray taken;
    connect(&port, &SerialPort::commEvent, this, [&](CommEvent kind) {
        events << kind;
        if (kind == CommEvent::Received) taken += port.takeWaiting();
    });

    QVERIFY(port.send("QTRQ\n\r"));
    QByteArray sent;
    QTRY_VERIFY((sent += far.readSome()).size() >= 6);
    QCOMPARE(sent, QByteArray("QTRQ\n\r"));

    // The kernel drops what the far end wrote but nobody read when it hangs up, so the test
    // lets the answer arrive first.
    const QByteArray answer("<BTInstReading\n\r</BTInstReading>\n\r\x01\xff", 36);
    QCOMPARE(::write(far.fd, answer.data(), answer.size()), ssize_t(answer.size()));
    QTRY_COMPARE(taken, answer);
    far.hangUp();

    QTRY_COMPARE(events.count(CommEvent::Break), 1);
    QVERIFY(!port.isOpen());
    // Received events come before the break, never after it; and the break comes once.
    QCOMPARE(events.last(), CommEvent::Break);
    QTest::qWait(300);
    QCOMPARE(events.count(CommEvent::Break), 1);
}

QTEST_GUILESS_MAIN(TestDevicePort)
#include "tst_deviceport.moc"
