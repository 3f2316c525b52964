// Serial port discovery: what COM1 to COM6 resolve to, the assignments kept in the program's
// settings, the listing of nrv508-cli ports, Start on an assigned adapter, and the connection
// test against the analyser emulator.

#include "TestFiles.h"
#include "app/Program.h"
#include "common/EmulatorProcess.h"
#include "common/RecordingMessages.h"
#include "common/ScriptedPorts.h"
#include "files/DataFile.h"
#include "link/ConnectionTest.h"
#include "link/DevicePort.h"
#include "link/PortListing.h"
#include "link/PortResolver.h"
#include "tables/Modes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

namespace {
constexpr int kWaitMs = 20000; // generous: the build machine may be busy

// "3:/dev/ttyUSB0 serial=A12B34" gives COM3 the port written after the colon.
PortAssignments assignmentsOf(const QStringList &entries)
{
    PortAssignments a;
    for (const QString &entry : entries)
        a.assign(entry.section(QLatin1Char(':'), 0, 0).toInt(),
                 ScriptedPorts::parse(entry.section(QLatin1Char(':'), 1)));
    return a;
}

void clearEnvironment()
{
    for (int com = 1; com <= 6; ++com)
        qunsetenv(qPrintable(QStringLiteral("NRV508_COM%1").arg(com)));
}

} // namespace

class TestPorts : public QObject {
    Q_OBJECT
    QTemporaryDir m_settings;

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    }
    void init() { clearEnvironment(); }
    void cleanup()
    {
        clearEnvironment();
        PortAssignments().save(nullptr);
    }

    void resolution_data();
    void resolution();
    void oneNumberPerAdapter();
    void assignmentsKeptInProgramSettings();
    void listing();
    void startOpensTheAssignedAdapter_data();
    void startOpensTheAssignedAdapter();
    void connectionTest_data();
    void connectionTest();
    void cliPorts();
};

void TestPorts::resolution_data()
{
    QTest::addColumn<QString>("environment"); // "2=/dev/pts/9": NRV508_COM2
    QTest::addColumn<QStringList>("assigned");
    QTest::addColumn<QStringList>("ports"); // what the system reports
    QTest::addColumn<int>("com");
    QTest::addColumn<QString>("resolved"); // device|state|origin|refusal

    const QStringList adapter{"3:/dev/ttyUSB0 serial=A12B34 usb=0403:6001 desc=USB_Serial"};
    const QString away = "COM3: the adapter with serial number A12B34 (USB Serial) is not "
                         "plugged in";
    QTest::newRow("standard, absent")
        << "" << QStringList() << QStringList() << 1 << "/dev/ttyS0|absent|standard|";
    QTest::newRow("standard, busy") << "" << QStringList() << QStringList{"/dev/ttyS1 busy"} << 2
                                    << "/dev/ttyS1|busy|standard|";
    QTest::newRow("environment wins over an assignment")
        << "3=/dev/pts/9" << adapter << QStringList{"/dev/ttyUSB0 serial=A12B34 usb=0403:6001"} << 3
        << "/dev/pts/9|present|NRV508_COM3|";
    QTest::newRow("environment names a missing device")
        << "3=/dev/pts/404" << QStringList() << QStringList() << 3
        << "/dev/pts/404|absent|NRV508_COM3|";
    QTest::newRow("environment names a held device")
        << "3=/dev/pts/7" << QStringList() << QStringList() << 3 << "/dev/pts/7|busy|NRV508_COM3|";
    QTest::newRow("assigned adapter present")
        << "" << adapter << QStringList{"/dev/ttyS0", "/dev/ttyUSB0 serial=A12B34 usb=0403:6001"}
        << 3 << "/dev/ttyUSB0|present|assigned serial A12B34|";
    QTest::newRow("replugged elsewhere, a stranger on its old name")
        << "" << adapter
        << QStringList{"/dev/ttyUSB0 serial=ZZ9 usb=0403:6001",
                       "/dev/ttyUSB2 serial=A12B34 usb=0403:6001"}
        << 3 << "/dev/ttyUSB2|present|assigned serial A12B34|";
    QTest::newRow("away, a stranger on its old name")
        << "" << adapter << QStringList{"/dev/ttyUSB0 serial=ZZ9 usb=0403:6001"} << 3
        << "/dev/ttyUSB0|absent|assigned serial A12B34|" + away;
    QTest::newRow("same serial number from another maker")
        << "" << adapter << QStringList{"/dev/ttyUSB0 serial=A12B34 usb=1a86:7523"} << 3
        << "/dev/ttyUSB0|absent|assigned serial A12B34|" + away;
    QTest::newRow("assigned adapter busy")
        << "" << adapter << QStringList{"/dev/ttyUSB3 serial=A12B34 usb=0403:6001 busy"} << 3
        << "/dev/ttyUSB3|busy|assigned serial A12B34|";
    QTest::newRow("assigned without a serial number: by its device")
        << "" << QStringList{"5:/dev/rfcomm0"} << QStringList{"/dev/rfcomm0"} << 5
        << "/dev/rfcomm0|present|assigned|";
    QTest::newRow("assigned without a serial number, gone")
        << "" << QStringList{"5:/dev/rfcomm0"} << QStringList{"/dev/rfcomm1"} << 5
        << "/dev/rfcomm0|absent|assigned|";
    QTest::newRow("another COM number's assignment leaves this one standard")
        << "" << adapter << QStringList{"/dev/ttyUSB0 serial=A12B34 usb=0403:6001"} << 4
        << "/dev/ttyS3|absent|standard|";
}

void TestPorts::resolution()
{
    QFETCH(QString, environment);
    QFETCH(QStringList, assigned);
    QFETCH(QStringList, ports);
    QFETCH(int, com);
    if (!environment.isEmpty())
        qputenv(qPrintable("NRV508_COM" + environment.section('=', 0, 0)),
                environment.section('=', 1).toLocal8Bit());
    ScriptedPorts system(ports);
    system.existing = {"/dev/pts/9", "/dev/pts/7"};
    system.held = {"/dev/pts/7"};

    const ResolvedPort r = PortResolver(system, assignmentsOf(assigned)).resolve(com);
    QTEST(QStringList({r.device, r.state(), r.origin(), r.refusal()}).join('|'), "resolved");
    // What Start opens is what the window shows.
    DevicePort port;
    port.setResolution(PortResolver::programResolution(system));
    PortAssignments stored = assignmentsOf(assigned);
    QVERIFY(stored.save(nullptr));
    port.setPortNumber(com);
    QCOMPARE(port.device(), r.device);
}

void TestPorts::oneNumberPerAdapter()
{
    PortAssignments a = assignmentsOf({"2:/dev/ttyUSB0 serial=A1", "3:/dev/ttyUSB1 serial=B2"});
    a.assign(5, ScriptedPorts::parse("/dev/ttyUSB7 serial=A1")); // the same adapter, moved
    QVERIFY(!a.of(2).isSet());
    QCOMPARE(a.of(5).device, QStringLiteral("/dev/ttyUSB7"));
    QCOMPARE(a.comOf(ScriptedPorts::parse("/dev/ttyUSB9 serial=A1")), 5);
    QCOMPARE(a.comOf(ScriptedPorts::parse("/dev/ttyUSB1 serial=B2")), 3);
    a.clear(3);
    QCOMPARE(a.comOf(ScriptedPorts::parse("/dev/ttyUSB1 serial=B2")), 0);
    a.assign(7, ScriptedPorts::parse("/dev/ttyUSB1 serial=B2")); // no COM7 to give
    QCOMPARE(a.comOf(ScriptedPorts::parse("/dev/ttyUSB1 serial=B2")), 0);
}

void TestPorts::assignmentsKeptInProgramSettings()
{
    QTemporaryDir work;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(work.path());
    const PortAssignments a = assignmentsOf(
        {"1:/dev/rfcomm0", "4:/dev/ttyUSB0 serial=A12B34 usb=0403:6001 desc=USB_Serial"});
    QVERIFY(a.save(nullptr));
    const PortAssignments loaded = PortAssignments::load();
    QDir::setCurrent(previous);
    QVERIFY(loaded == a);
    QCOMPARE(loaded.of(4).description, QStringLiteral("USB Serial"));
    QVERIFY(!loaded.of(2).isSet());
    // The link's settings file is no place for them.
    QVERIFY(QDir(work.path()).entryList(QDir::Files).isEmpty());
    QVERIFY(PortAssignments().save(nullptr));
    QVERIFY(!PortAssignments::load().of(4).isSet());
}

void TestPorts::listing()
{
    qputenv("NRV508_COM2", "/dev/pts/9");
    ScriptedPorts system({"/dev/ttyS0", "/dev/ttyUSB1 serial=A12B34 usb=0403:6001 desc=USB_Serial "
                                        "maker=Acme busy"});
    system.existing = {"/dev/pts/9"};
    const PortResolver resolver(system,
                                assignmentsOf({"4:/dev/ttyUSB0 serial=A12B34 usb=0403:6001"}));
    const PortListing listing(resolver);
    QCOMPARE(listing.text(),
             QByteArray("COM1\t/dev/ttyS0\tpresent\tstandard\n"
                        "COM2\t/dev/pts/9\tpresent\tNRV508_COM2\n"
                        "COM3\t/dev/ttyS2\tabsent\tstandard\n"
                        "COM4\t/dev/ttyUSB1\tbusy\tassigned serial A12B34\n"
                        "COM5\t/dev/ttyS4\tabsent\tstandard\n"
                        "COM6\t/dev/ttyS5\tabsent\tstandard\n"
                        "\n"
                        "/dev/ttyS0\t-\t-\t-\t-\tfree\t-\n"
                        "/dev/ttyUSB1\tUSB Serial\tAcme\tA12B34\t0403:6001\tbusy\tCOM4\n"));
    const QJsonObject json = QJsonDocument::fromJson(listing.json()).object();
    const QJsonArray coms = json.value("com").toArray();
    QCOMPARE(coms.size(), 6);
    QCOMPARE(coms.at(3).toObject(), (QJsonObject{{"com", 4},
                                                 {"device", "/dev/ttyUSB1"},
                                                 {"present", true},
                                                 {"busy", true},
                                                 {"source", "assigned"},
                                                 {"serial", "A12B34"}}));
    QCOMPARE(coms.at(1).toObject().value("source"), QJsonValue("environment"));
    QCOMPARE(coms.at(0).toObject().value("serial"), QJsonValue());
    const QJsonArray ports = json.value("ports").toArray();
    QCOMPARE(ports.size(), 2);
    QCOMPARE(ports.at(1).toObject(), (QJsonObject{{"device", "/dev/ttyUSB1"},
                                                  {"name", "ttyUSB1"},
                                                  {"description", "USB Serial"},
                                                  {"manufacturer", "Acme"},
                                                  {"serial", "A12B34"},
                                                  {"vendorId", "0403"},
                                                  {"productId", "6001"},
                                                  {"busy", true},
                                                  {"com", 4}}));
    QCOMPARE(ports.at(0).toObject().value("vendorId"), QJsonValue());
    QCOMPARE(ports.at(0).toObject().value("com"), QJsonValue());
}

void TestPorts::startOpensTheAssignedAdapter_data()
{
    QTest::addColumn<bool>("pluggedIn");
    QTest::newRow("plugged in under another name") << true;
    QTest::newRow("not plugged in, a stranger on its old name") << false;
}

// The adapter was given COM4 as /dev/ttyUSB9; today it is the emulator's pseudo-terminal.
void TestPorts::startOpensTheAssignedAdapter()
{
    QFETCH(bool, pluggedIn);
    if (EmulatorProcess::binary().isEmpty()) QSKIP("this build has no emulator");
    EmulatorProcess adapter, stranger;
    QString error;
    QVERIFY2(adapter.start({"--fast"}, &error), qPrintable(error));
    QVERIFY2(stranger.start({"--fast"}, &error), qPrintable(error));
    QVERIFY(assignmentsOf({"4:/dev/ttyUSB9 serial=EMU1"}).save(nullptr));
    ScriptedPorts system({stranger.device() + " serial=OTHER"});
    if (pluggedIn)
        system.set({adapter.device() + " serial=EMU1", stranger.device() + " serial=OTHER"});

    DevicePort port;
    port.setResolution(PortResolver::programResolution(system));
    RecordingMessages messages;
    Program program(port, messages);
    program.startUp();
    port.setPortNumber(4);
    program.modes.switchTo(Store);
    program.transfer.setTimer3Interval(100);
    int passes = 0;
    connect(&program.transfer, &Transfer::receptionFinished, this, [&] { ++passes; });
    program.transfer.startStop();

    if (pluggedIn) {
        QTRY_COMPARE_WITH_TIMEOUT(passes, 1, kWaitMs);
        QCOMPARE(DataFile::serialize(program.model), testData("expected/store.txt"));
        QCOMPARE(adapter.requests(), QStringList{"QTS\\x0a\\x0d"});
        QCOMPARE(messages.count(), 0);
    } else {
        QVERIFY(!port.isOpen());
        QCOMPARE(messages.lines(),
                 QStringList{"Port Error: COM4: the adapter with serial number EMU1 is not "
                             "plugged in"});
        QCOMPARE(port.openFailure(), OpenFailure::Absent);
    }
    QTest::qWait(300);
    QVERIFY(stranger.requests().isEmpty());
}

void TestPorts::connectionTest_data()
{
    QTest::addColumn<QStringList>("emulator"); // empty: no device at all
    QTest::addColumn<int>("linkType");
    QTest::addColumn<bool>("holdPort"); // another program holds the port
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text"); // DEVICE stands for the device
    QTest::addColumn<QStringList>("requests");

    const QStringList live{"QTRQ\\x0a\\x0d", "QTP\\x0a\\x0d"};
    const QString at = "COM5 (DEVICE) at 9600 baud over ";
    QTest::newRow("answer, infrared")
        << QStringList{"--fast"} << 1 << false << int(ConnectionResult::Answered)
        << "Instrument answered (version 2.05)" << live;
    QTest::newRow("answer, bluetooth")
        << QStringList{"--fast"} << 2 << false << int(ConnectionResult::Answered)
        << "Instrument answered (version 2.05)" << (live + QStringList{"QTP\\x0a\\x0d"});
    QTest::newRow("silence") << QStringList{"--silent"} << 1 << false
                             << int(ConnectionResult::Silent)
                             << "No answer on " + at +
                                    "IRDA: check the speed, the link type, and that the "
                                    "instrument is on."
                             << live;
    QTest::newRow("noise") << QStringList{"--garbage"} << 2 << false
                           << int(ConnectionResult::NoReading)
                           << "Characters arrived on " + at +
                                  "Bluetooth, but no reading: check the speed and the link type."
                           << (live + QStringList{"QTP\\x0a\\x0d"});
    QTest::newRow("busy") << QStringList{"--fast"} << 1 << true << int(ConnectionResult::Busy)
                          << "COM5 (DEVICE) is busy: another program holds it. Close that "
                             "program and test again."
                          << QStringList();
    QTest::newRow("absent") << QStringList() << 1 << false << int(ConnectionResult::Absent)
                            << "COM5 (DEVICE) is not present: plug the adapter in, or choose the "
                               "COM number it has (Devices...)."
                            << QStringList();
}

void TestPorts::connectionTest()
{
    QFETCH(QStringList, emulator);
    QFETCH(int, linkType);
    QFETCH(bool, holdPort);
    QFETCH(QString, text);
    QFETCH(QStringList, requests);
    if (EmulatorProcess::binary().isEmpty()) QSKIP("this build has no emulator");
    EmulatorProcess instrument;
    QString error;
    QVERIFY2(emulator.isEmpty() || instrument.start(emulator, &error), qPrintable(error));
    const QString device = emulator.isEmpty() ? "/dev/nrv508-missing" : instrument.device();
    qputenv("NRV508_COM5", device.toLocal8Bit());
    DevicePort holder;
    holder.setDeviceOverride(device);
    QVERIFY(!holdPort || holder.open(&error));

    auto port = std::make_unique<DevicePort>();
    CommChoice choice;
    choice.portNumber = 5;
    choice.linkType = linkType;
    ConnectionTest test(std::move(port), choice);
    test.setWaitMs(3000);
    test.setQuietGapMs(100);
    QSignalSpy finished(&test, &ConnectionTest::finished);
    test.start();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kWaitMs);
    QVERIFY(!test.running());
    QTEST(int(test.result().kind), "kind");
    QCOMPARE(test.result().text, text.replace("DEVICE", device));
    // Stop went out and the port was let go: another program may open it now.
    QTRY_COMPARE_WITH_TIMEOUT(instrument.requests(), requests, kWaitMs);
    holder.close();
    if (!emulator.isEmpty()) QVERIFY2(holder.open(&error), qPrintable(error));
}

void TestPorts::cliPorts()
{
    QTemporaryDir home;
    const QString here = QCoreApplication::applicationFilePath(); // a file that exists
    QStringList env{"HOME=" + home.path(), "XDG_CONFIG_HOME=" + home.filePath("config"),
                    "NRV508_COM1=" + here};
    for (int com : {2, 4, 5, 6})
        env << QStringLiteral("NRV508_COM%1=/dev/nrv508-none%1").arg(com);
    QSettings stored(home.filePath("config/NRV508/nrv508.conf"), QSettings::IniFormat);
    stored.setValue("ports/COM3/serial", "NOPE1");
    stored.setValue("ports/COM3/device", "/dev/ttyUSB7");
    stored.sync();

    const Run listed = cli({"ports"}, env);
    QCOMPARE(listed.status, 0);
    const QStringList lines = QString::fromUtf8(listed.out).split('\n');
    QCOMPARE(lines.mid(0, 7), (QStringList{"COM1\t" + here + "\tpresent\tNRV508_COM1",
                                           "COM2\t/dev/nrv508-none2\tabsent\tNRV508_COM2",
                                           "COM3\t/dev/ttyUSB7\tabsent\tassigned serial NOPE1",
                                           "COM4\t/dev/nrv508-none4\tabsent\tNRV508_COM4",
                                           "COM5\t/dev/nrv508-none5\tabsent\tNRV508_COM5",
                                           "COM6\t/dev/nrv508-none6\tabsent\tNRV508_COM6", ""}));
    // Whatever ports this machine has, each is one line of seven fields.
    for (const QString &line : lines.mid(7, lines.size() - 8))
        QCOMPARE(line.split('\t').size(), 7);
    const Run json = cli({"ports", "--json"}, env);
    QCOMPARE(json.status, 0);
    const QJsonArray coms = QJsonDocument::fromJson(json.out).object().value("com").toArray();
    QCOMPARE(coms.at(2).toObject().value("serial"), QJsonValue("NOPE1"));
    QCOMPARE(coms.at(0).toObject().value("present"), QJsonValue(true));

    const Run extra = cli({"ports", "extra"}, env);
    QCOMPARE(extra.status, 2);
    QCOMPARE(extra.err.split('\n').first(),
             QByteArray("nrv508-cli ports: unexpected argument \"extra\""));
    // A COM number and a serial number name the adapter alike for the link commands.
    const Run bySerial = cli({"download", "--port", "serial:NOPE1", "--mode", "1"}, env);
    QCOMPARE(bySerial.status, 1);
    QCOMPARE(bySerial.err,
             QByteArray("Port Error: the adapter with serial number NOPE1 is not plugged in\n"));
    const Run byCom = cli({"download", "--port", "COM3", "--mode", "1"}, env);
    QCOMPARE(byCom.status, 1);
    QCOMPARE(byCom.err, QByteArray("Port Error: COM3: the adapter with serial number NOPE1 is "
                                   "not plugged in\n"));
}

QTEST_GUILESS_MAIN(TestPorts)
#include "tst_ports.moc"
