// The whole link over a real pseudo-terminal, with the analyser emulator at the far end: every
// mode family downloaded, live runs started and stopped, and the line cut in the middle.

#include "app/Program.h"
#include "common/EmulatorProcess.h"
#include "common/RecordingMessages.h"
#include "files/DataFile.h"
#include "link/DevicePort.h"
#include "tables/Modes.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
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

QString request(const char *command)
{
    return QString::fromLatin1(command) + QStringLiteral("\\x0a\\x0d");
}

// The program on a DevicePort pointed at a freshly started emulator.
struct Link {
    EmulatorProcess emulator;
    DevicePort port;
    RecordingMessages messages;
    Program program{port, messages};
    ScreenModel &model = program.model;
    Transfer &transfer = program.transfer;
    int completePasses = 0;
    bool splashSeen = false;

    bool start(const QStringList &options, int mode, int linkType = 1)
    {
        QString error;
        if (!emulator.start(options, &error)) {
            qWarning("%s", qPrintable(error));
            return false;
        }
        program.startUp();
        port.setDeviceOverride(emulator.device());
        port.setSettings(QStringLiteral("38400,N,8,1"));
        model.LinkType = static_cast<qint16>(linkType);
        program.modes.switchTo(mode);
        QObject::connect(&transfer, &Transfer::receptionFinished, &transfer,
                         [this] { completePasses += transfer.lastPassCompletedStream() ? 1 : 0; });
        QObject::connect(&model, &ScreenModel::changed, &transfer,
                         [this] { splashSeen = splashSeen || model.frmSplash.visible; });
        return true;
    }
};
} // namespace

class TestLinkEmulator : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void downloadEveryFamily_data();
    void downloadEveryFamily();
    void downloadAtLineSpeedWithTheRealQuietGap();
    void answerSplitByAQuietGap();
    void liveRunShowsReadingsAndStopsOnStop_data();
    void liveRunShowsReadingsAndStopsOnStop();
    void hangUpMidDownloadKeepsTheRecords();
    void hangUpMidLiveRunEndsIt();
    void garbageAndSilenceLeaveTheProgramWorking();

private:
    QTemporaryDir m_dir;
};

void TestLinkEmulator::initTestCase()
{
    if (EmulatorProcess::binary().isEmpty()) QSKIP("this build has no emulator (NRV508_TOOLS=OFF)");
    QVERIFY(QDir::setCurrent(m_dir.path())); // no settings file from elsewhere
}

void TestLinkEmulator::downloadEveryFamily_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("request");
    QTest::addColumn<QString>("file");
    QTest::newRow("store") << int(Store) << request("QTS") << "store.txt";
    QTest::newRow("logger page 1") << int(LoggerPage1) << request("QTL1") << "logger1.txt";
    QTest::newRow("logger page 3") << int(LoggerPage3) << request("QTL3") << "logger3.txt";
    QTest::newRow("single logger page 0")
        << int(SingleLoggerPage0) << request("QTSL0") << "single0.txt";
    QTest::newRow("single logger page 4")
        << int(SingleLoggerPage4) << request("QTSL4") << "single4.txt";
    QTest::newRow("tightness") << int(Tightness) << request("QTT") << "tightness.txt";
}

void TestLinkEmulator::downloadEveryFamily()
{
    QFETCH(int, mode);
    QFETCH(QString, request);
    QFETCH(QString, file);
    Link link;
    QVERIFY(link.start({QStringLiteral("--fast")}, mode));
    link.transfer.setTimer3Interval(100); // about the logic, not the gap

    link.transfer.startStop();
    QTRY_COMPARE_WITH_TIMEOUT(link.completePasses, 1, kWaitMs);

    QCOMPARE(DataFile::serialize(link.model), expected(file));
    QCOMPARE(link.emulator.requests(), QStringList{request});
    QCOMPARE(link.messages.count(), 0);
    QVERIFY(link.splashSeen);
    QVERIFY(!link.model.frmSplash.visible);
    QVERIFY(link.model.frmMain.enabled);
    QCOMPARE(link.transfer.state(), LinkState::Idle);
}

void TestLinkEmulator::downloadAtLineSpeedWithTheRealQuietGap()
{
    Link link;
    QVERIFY(link.start({QStringLiteral("--baud"), QStringLiteral("38400")}, LoggerPage2));
    link.transfer.startStop();
    QTRY_COMPARE_WITH_TIMEOUT(link.completePasses, 1, kWaitMs);
    QCOMPARE(DataFile::serialize(link.model), expected(QStringLiteral("logger2.txt")));
    QVERIFY(link.splashSeen);
    QCOMPARE(link.messages.count(), 0);
}

void TestLinkEmulator::answerSplitByAQuietGap()
{
    Link link;
    QVERIFY(link.start({"--baud", "38400", "--gap-after", "1200", "--gap-ms", "1500"}, Store));
    QSignalSpy passes(&link.transfer, &Transfer::receptionFinished);
    link.transfer.startStop();
    QTRY_COMPARE_WITH_TIMEOUT(link.completePasses, 1, kWaitMs);
    // The gap ended a first pass over half an answer, which placed nothing.
    QVERIFY(passes.count() >= 2);
    QCOMPARE(DataFile::serialize(link.model), expected(QStringLiteral("store.txt")));
}

void TestLinkEmulator::liveRunShowsReadingsAndStopsOnStop_data()
{
    QTest::addColumn<int>("linkType");
    QTest::newRow("infrared") << 1;
    QTest::newRow("bluetooth") << 2;
}

void TestLinkEmulator::liveRunShowsReadingsAndStopsOnStop()
{
    QFETCH(int, linkType);
    Link link;
    // A second apart, the readings stay apart even on a busy machine.
    QVERIFY(link.start({"--fast", "--interval", "1000"}, Real, linkType));
    link.transfer.setTimer3Interval(100);

    link.transfer.startStop();
    QCOMPARE(link.model.cmdStart.caption, QStringLiteral("Stop"));
    QTRY_COMPARE_WITH_TIMEOUT(link.completePasses, 1, kWaitMs);
    QCOMPARE(link.model.txtRCo.caption, QStringLiteral("25"));
    QTRY_COMPARE_WITH_TIMEOUT(link.completePasses, 2, kWaitMs);
    QCOMPARE(link.model.txtRCo.caption, QStringLiteral("31"));
    QVERIFY(!link.splashSeen);

    link.transfer.startStop();
    QCOMPARE(link.model.cmdStart.caption, QStringLiteral("Start"));
    QVERIFY(link.model.mnuMode.enabled);
    QCOMPARE(link.port.isOpen(), linkType == 2); // the infrared adapter is let go
    QTest::qWait(1500);
    const int after = link.completePasses;
    QTest::qWait(1500);
    QCOMPARE(link.completePasses, after); // the instrument has gone quiet

    const QStringList requests = link.emulator.requests();
    QCOMPARE(requests.first(), request("QTRQ"));
    QCOMPARE(requests.mid(1), QStringList(requests.size() - 1, request("QTP")));
    QVERIFY(requests.size() >= (linkType == 1 ? 2 : 3));
}

void TestLinkEmulator::hangUpMidDownloadKeepsTheRecords()
{
    Link link;
    // The first page goes through whole (11376 bytes); the line drops during the second.
    QVERIFY(link.start({"--fast", "--hangup-after", "15000"}, LoggerPage1));
    link.transfer.setTimer3Interval(100);
    link.transfer.startStop();
    QTRY_COMPARE_WITH_TIMEOUT(link.completePasses, 1, kWaitMs);
    link.transfer.startStop();

    QTRY_COMPARE_WITH_TIMEOUT(link.messages.count(), 1, kWaitMs);
    QCOMPARE(link.messages.boxes().at(0).title, QStringLiteral("Communication Error"));
    QTest::qWait(2000);
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

void TestLinkEmulator::hangUpMidLiveRunEndsIt()
{
    Link link;
    // real.txt is 430 bytes: the first reading arrives, the second is cut.
    QVERIFY(link.start({"--fast", "--interval", "400", "--hangup-after", "600"}, Real));
    link.transfer.setTimer3Interval(100);
    link.transfer.startStop();
    QTRY_COMPARE_WITH_TIMEOUT(link.messages.count(), 1, kWaitMs);

    QCOMPARE(link.messages.lines(),
             QStringList{"Communication Error: Check Analyser and Adapter, or Change the "
                         "Communication Setup."});
    QCOMPARE(link.completePasses, 1);
    QCOMPARE(link.model.txtRCo.caption, QStringLiteral("25"));
    QCOMPARE(link.model.cmdStart.caption, QStringLiteral("Start"));
    QVERIFY(link.model.mnuFile.enabled && link.model.mnuMode.enabled);
    QCOMPARE(link.transfer.state(), LinkState::Closed);
}

void TestLinkEmulator::garbageAndSilenceLeaveTheProgramWorking()
{
    {
        Link link;
        QVERIFY(link.start({"--fast", "--garbage"}, Store));
        link.transfer.setTimer3Interval(100);
        QSignalSpy passes(&link.transfer, &Transfer::receptionFinished);
        link.transfer.startStop();
        QTRY_VERIFY_WITH_TIMEOUT(passes.count() >= 1, kWaitMs);
        QCOMPARE(link.completePasses, 0);
        QVERIFY(link.model.frmMain.enabled);
        QCOMPARE(link.transfer.state(), LinkState::Downloading); // still no answer
    }
    {
        Link link;
        QVERIFY(link.start({"--silent"}, Tightness));
        link.transfer.startStop();
        QTest::qWait(1500);
        QCOMPARE(link.messages.count(), 0);
        QVERIFY(!link.splashSeen);
        QVERIFY(!link.transfer.timer3Active());
        QCOMPARE(link.emulator.requests(), QStringList{request("QTT")});
    }
}

QTEST_GUILESS_MAIN(TestLinkEmulator)
#include "tst_link_emulator.moc"
