// The whole link over a real pseudo-terminal with the analyser emulator at the far end, in the
// program and through nrv508-cli: every mode family downloaded, live runs started and stopped,
// and the line cut in the middle.

#include "app/Program.h"
#include "common/EmulatorProcess.h"
#include "common/RecordingMessages.h"
#include "files/DataFile.h"
#include "link/DevicePort.h"
#include "tables/Modes.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
constexpr int kWaitMs = 20000; // generous: the build machine may be busy

QByteArray expected(const QString &name)
{
    QFile file(QStringLiteral(NRV508_TEST_DATA "/expected/") + name);
    if (!file.open(QIODevice::ReadOnly)) qFatal("missing expected data %s", qPrintable(name));
    return file.readAll();
}

// A request as the emulator logs it.
QString request(const QString &command)
{
    return command + QStringLiteral("\\x0a\\x0d");
}

// The program on a DevicePort pointed at a freshly started emulator.
struct Link {
    EmulatorProcess emulator;
    DevicePort port;
    RecordingMessages messages;
    Program program{port, messages};
    ScreenModel &model = program.model;
    Transfer &transfer = program.transfer;
    int completePasses = 0; // reception passes that found a whole answer or reading
    bool splashSeen = false;

    bool start(const QStringList &options, int mode, int linkType = 1)
    {
        QString error;
        if (!emulator.start(options, &error)) qWarning("%s", qPrintable(error));
        program.startUp();
        port.setDeviceOverride(emulator.device());
        model.LinkType = static_cast<qint16>(linkType);
        program.modes.switchTo(mode);
        transfer.setTimer3Interval(100); // about the logic, not the quiet gap
        QObject::connect(&transfer, &Transfer::receptionFinished, &transfer,
                         [this] { completePasses += transfer.lastPassCompletedStream() ? 1 : 0; });
        QObject::connect(&model, &ScreenModel::changed, &transfer,
                         [this] { splashSeen = splashSeen || model.frmSplash.visible; });
        return error.isEmpty();
    }
};
} // namespace

class TestLinkEmulator : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void liveRunStopsOnStop_data();
    void liveRunStopsOnStop();
    void hangUpMidDownloadKeepsTheRecords();
    void cli_data();
    void cli();

private:
    QTemporaryDir m_dir;
};

void TestLinkEmulator::initTestCase()
{
    if (EmulatorProcess::binary().isEmpty()) QSKIP("this build has no emulator (NRV508_TOOLS=OFF)");
    QVERIFY(QDir::setCurrent(m_dir.path())); // no settings file from elsewhere
}

void TestLinkEmulator::liveRunStopsOnStop_data()
{
    QTest::addColumn<int>("linkType");
    QTest::newRow("infrared") << 1;
    QTest::newRow("bluetooth") << 2;
}

void TestLinkEmulator::liveRunStopsOnStop()
{
    QFETCH(int, linkType);
    Link link;
    // A second apart, the readings stay apart even on a busy machine.
    QVERIFY(link.start({"--fast", "--interval", "1000"}, Real, linkType));

    link.transfer.startStop();
    QTRY_COMPARE_WITH_TIMEOUT(link.completePasses, 1, kWaitMs);
    QCOMPARE(link.model.txtRCo.caption, QStringLiteral("25"));
    QTRY_COMPARE_WITH_TIMEOUT(link.completePasses, 2, kWaitMs);
    QCOMPARE(link.model.txtRCo.caption, QStringLiteral("31"));
    QVERIFY(!link.splashSeen);

    link.transfer.startStop();
    QCOMPARE(link.model.cmdStart.caption, QStringLiteral("Start"));
    QVERIFY(link.model.mnuMode.enabled);
    QCOMPARE(link.port.isOpen(), linkType == 2); // the infrared adapter is let go
    QCOMPARE(link.emulator.requests().value(0), request("QTRQ"));
    QTRY_COMPARE(link.emulator.requests().mid(1),
                 QStringList(linkType == 1 ? 1 : 2, request("QTP")));
}

void TestLinkEmulator::hangUpMidDownloadKeepsTheRecords()
{
    Link link;
    // The first page goes through whole (11376 bytes); the line drops during the second.
    QVERIFY(link.start({"--fast", "--hangup-after", "15000"}, LoggerPage1));
    link.transfer.startStop();
    QTRY_COMPARE_WITH_TIMEOUT(link.completePasses, 1, kWaitMs);
    link.transfer.startStop();

    QTRY_COMPARE_WITH_TIMEOUT(link.messages.count(), 1, kWaitMs);
    QCOMPARE(link.messages.boxes().at(0).title, QStringLiteral("Communication Error"));
    QTest::qWait(2000); // a vanished device is reported once
    QCOMPARE(link.messages.count(), 1);
    QCOMPARE(DataFile::serialize(link.model), expected(QStringLiteral("logger1.txt")));
    QCOMPARE(link.transfer.state(), LinkState::Closed);
    QVERIFY(link.model.frmMain.enabled);
    QVERIFY(!link.model.frmSplash.visible);

    // The adapter plugged in again (here: a new emulator): the next Start opens the port anew
    // and the program works on.
    EmulatorProcess replugged;
    QString error;
    QVERIFY2(replugged.start({"--fast"}, &error), qPrintable(error));
    link.port.setDeviceOverride(replugged.device());
    link.transfer.startStop();
    QTRY_COMPARE_WITH_TIMEOUT(link.completePasses, 2, kWaitMs);
    QCOMPARE(replugged.requests(), QStringList{request("QTL1")});
    QCOMPARE(link.messages.count(), 1);
    QCOMPARE(DataFile::serialize(link.model), expected(QStringLiteral("logger1.txt")));
}

// nrv508-cli download and live. In the arguments PORT stands for the emulator's device (or a
// missing one when no emulator runs) and OUT for the file written.
void TestLinkEmulator::cli_data()
{
    QTest::addColumn<QStringList>("emulator"); // its options; none: no emulator
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("err");        // its first line on stderr
    QTest::addColumn<QByteArray>("out");     // stdout
    QTest::addColumn<QByteArray>("written"); // OUT, or how it starts after a fault; null: none
    QTest::addColumn<QStringList>("requests");
    const QStringList fast{"--fast"}, silent{"--silent"}, none;
    const QString noAnswer = "nrv508-cli: no answer from the instrument on PORT within 1 s";

    auto download = [](const char *mode, const QStringList &more = {}) {
        return QStringList{"download", "--port", "PORT", "--mode", mode, "--out", "OUT"} + more;
    };
    // One download per mode family; one at the line speed with the real quiet gap, which ends
    // a first pass over half an answer when the instrument pauses.
    QTest::newRow("store, split by a pause")
        << QStringList{"--baud", "38400", "--gap-after", "1200", "--gap-ms", "1500"}
        << download("1", {"--baud", "38400"}) << 0 << "" << QByteArray() << expected("store.txt")
        << QStringList{request("QTS")};
    QTest::newRow("logger page 0 on COM3")
        << fast << QStringList{"download", "--port", "COM3", "--mode", "2", "--out", "OUT"} << 0
        << "" << QByteArray() << expected("logger0.txt") << QStringList{request("QTL0")};
    QTest::newRow("single logger page 4, bluetooth")
        << fast << download("10", {"--link", "bt"}) << 0 << "" << QByteArray()
        << expected("single4.txt") << QStringList{request("QTSL4")};
    QTest::newRow("tightness, bluetooth")
        << fast << download("11", {"--link", "bt"}) << 0 << "" << QByteArray()
        << expected("tightness.txt") << QStringList{request("QTT")};
    // The quiet gap ends a reading within a second of its last byte; readings further apart
    // than that are shown one by one.
    QTest::newRow("live, two readings")
        << QStringList{"--baud", "38400", "--interval", "1300"}
        << QStringList{"live", "--port", "PORT", "--baud", "38400", "--count", "2"} << 0 << ""
        << expected("real.panels") + '\n' + expected("real-real2.panels") + '\n'
        << QByteArray() << QStringList{request("QTRQ"), request("QTP")};
    QTest::newRow("missing port") << none << download("1") << 1
                                  << "Port Error: PORT: No such file or directory" << QByteArray()
                                  << QByteArray() << none;
    QTest::newRow("silent instrument")
        << silent << download("3", {"--timeout", "1"}) << 1 << noAnswer << QByteArray()
        << QByteArray() << QStringList{request("QTL1")};
    QTest::newRow("silent instrument, live")
        << silent << QStringList{"live", "--port", "PORT", "--timeout", "1"} << 1 << noAnswer
        << QByteArray() << QByteArray() << QStringList{request("QTRQ"), request("QTP")};
    QTest::newRow("hang-up mid-download")
        << QStringList{"--fast", "--hangup-after", "3000"} << download("2") << 1
        << "Communication Error: Check Analyser and Adapter, or Change the Communication Setup."
        << QByteArray() << QByteArray("\"2\"\r\n") << QStringList{request("QTL0")};

    auto usage = [none](const char *name, const QStringList &args, const char *problem) {
        QTest::newRow(name) << none << args << 2
                            << QStringLiteral("nrv508-cli %1: %2").arg(args.first(), problem)
                            << QByteArray() << QByteArray() << none;
    };
    usage("no port", {"download", "--mode", "1"},
          "--port names the device (/dev/ttyUSB0, COM1 ...)");
    usage("no mode", {"download", "--port", "COM1"}, "--mode takes a mode code from 0 to 11");
    usage("mode 12", download("12"), "--mode takes a mode code from 0 to 11");
    usage("baud 1200", download("1", {"--baud", "1200"}),
          "--baud takes 4800, 9600, 19200 or 38400");
    usage("link usb", {"live", "--port", "COM1", "--link", "usb"}, "--link takes ir or bt");
    usage("count 0", {"live", "--port", "COM1", "--count", "0"},
          "--count takes a number of readings from 1");
    usage("live takes no mode", {"live", "--port", "COM1", "--mode", "1"}, "unknown option --mode");
}

void TestLinkEmulator::cli()
{
    QFETCH(QStringList, emulator);
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, err);
    QFETCH(QByteArray, written);
    EmulatorProcess instrument;
    QString error;
    QVERIFY2(emulator.isEmpty() || instrument.start(emulator, &error), qPrintable(error));
    const QString device = emulator.isEmpty() ? "/dev/nrv508-missing" : instrument.device();
    qputenv("NRV508_COM3", device.toLocal8Bit());
    const QString out = m_dir.filePath(QStringLiteral("out.txt"));
    QFile::remove(out);
    args.replaceInStrings(QRegularExpression("^PORT$"), device);
    args.replaceInStrings(QRegularExpression("^OUT$"), out);

    QProcess cli;
    cli.start(QStringLiteral(NRV508_CLI), args);
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
    QCOMPARE(cli.exitCode(), status);
    QTEST(cli.readAllStandardOutput(), "out");
    const QStringList lines =
        QString::fromLocal8Bit(cli.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.value(0), err.replace("PORT", device));
    // One message for a failure, the usage after a usage error.
    QCOMPARE(lines.size(), err.isEmpty() ? 0 : status == 2 ? 2 : 1);
    if (status == 2) QVERIFY(lines.last().startsWith("usage: nrv508-cli " + args.first() + ' '));
    QFile file(out);
    QCOMPARE(file.open(QIODevice::ReadOnly), !written.isNull());
    // A run cut by the line writes the page as parsed up to the fault.
    QCOMPARE(status == 0 ? file.readAll() : file.readAll().left(written.size()), written);
    QTEST(instrument.requests(), "requests");
}

QTEST_GUILESS_MAIN(TestLinkEmulator)
#include "tst_link_emulator.moc"
