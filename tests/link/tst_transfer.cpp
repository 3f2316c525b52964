// The transfer against a scripted port: the bytes on the wire for Start and Stop on both
// links, the receive timer's quiet gap, the progress window, and the line-fault paths.

#include "app/Program.h"
#include "common/FakePort.h"
#include "common/RecordingMessages.h"
#include "files/DataFile.h"
#include "tables/Modes.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {
const QString kCommError = QStringLiteral("Communication Error");
const QString kCommErrorText =
    QStringLiteral("Check Analyser and Adapter, or Change the Communication Setup.");

QByteArray readData(const QString &path)
{
    QFile file(QStringLiteral(NRV508_TEST_DATA "/") + path);
    if (!file.open(QIODevice::ReadOnly)) qFatal("missing test data %s", qPrintable(path));
    return file.readAll();
}
QByteArray stream(const QString &name)
{
    return readData(QStringLiteral("streams/") + name);
}
// The data file the program must write after the stream was downloaded in one go.
QByteArray expected(const QString &name)
{
    return readData(QStringLiteral("expected/") + name);
}

// A program over a fake port, its pauses logged by the port, its timers out of the way so
// that each test ticks them by hand.
struct Rig {
    FakePort port;
    RecordingMessages messages;
    Program program{port, messages};
    ScreenModel &model = program.model;
    Transfer &transfer = program.transfer;

    Rig(int mode, int linkType)
    {
        program.pauses.setWait(port.pauseFunction());
        program.startUp();
        model.LinkType = static_cast<qint16>(linkType);
        program.modes.switchTo(mode);
        transfer.setTimer3Interval(3600 * 1000);
        transfer.setTimer4Interval(3600 * 1000);
        port.clearLog();
    }

    // A live run already going: started, its log forgotten.
    void startLiveRun()
    {
        transfer.startStop();
        port.clearLog();
    }
    bool menusEnabled() const
    {
        return model.mnuFile.enabled && model.mnuMode.enabled && model.mnuSetup.enabled &&
               model.cmdHeader.enabled;
    }
    bool menusDisabled() const
    {
        return !model.mnuFile.enabled && !model.mnuMode.enabled && !model.mnuSetup.enabled &&
               !model.cmdHeader.enabled;
    }
};

QString send(const char *command)
{
    return QStringLiteral("send %1<0A><0D>").arg(QLatin1String(command));
}
} // namespace

class TestTransfer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    void startSendsTheModesRequest_data();
    void startSendsTheModesRequest();
    void startOnAnOpenPortSendsWithoutOpening_data();
    void startOnAnOpenPortSendsWithoutOpening();
    void requestBytesOnTheWire();
    void stopEndsTheLiveRun_data();
    void stopEndsTheLiveRun();
    void unknownLinkTypeDoesNothing();

    void portErrorLeavesEverythingAsItWas_data();
    void portErrorLeavesEverythingAsItWas();
    void failedSendEndsWithPortErrorAndNoStuckRun_data();
    void failedSendEndsWithPortErrorAndNoStuckRun();

    void quietGapEndsTheAnswer_data();
    void quietGapEndsTheAnswer();
    void liveRunShowsEachReadingAndBlinks();
    void silentInstrumentShowsNothing();
    void garbageThenAGoodAnswer();

    void breakGivesOneCommunicationErrorAndEndsTheLiveRun_data();
    void breakGivesOneCommunicationErrorAndEndsTheLiveRun();
    void breakReportsThroughTheRealTimer();
    void vanishMidLiveRunEndsItWithoutReopening();
    void vanishMidDownloadKeepsTheTable();
    void stopAfterVanishDoesNotTouchThePort();
    void framingErrorReconnectsOnInfraredOnly_data();
    void framingErrorReconnectsOnInfraredOnly();

    void modeSwitchStopRequest_data();
    void modeSwitchStopRequest();

private:
    QTemporaryDir m_dir;
};

void TestTransfer::initTestCase()
{
    // Start-up reads the settings file from the working directory: keep it empty of one.
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir::setCurrent(m_dir.path()));
}

void TestTransfer::startSendsTheModesRequest_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("link");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QString>("caption");

    const QString ir1 = QStringLiteral("open|wait 255|%1");
    const QString bt1 = QStringLiteral("open|wait 10|%1|wait 10");
    for (int mode = Real; mode <= Tightness; ++mode) {
        const char *request = modeInfo(mode)->request;
        const QString caption = mode == Real ? QStringLiteral("Stop") : QStringLiteral("Start");
        QTest::addRow("infrared %s", request)
            << mode << 1 << ir1.arg(send(request)).split('|') << caption;
        QTest::addRow("bluetooth %s", request)
            << mode << 2 << bt1.arg(send(request)).split('|') << caption;
    }
}

void TestTransfer::startSendsTheModesRequest()
{
    QFETCH(int, mode);
    QFETCH(int, link);
    QFETCH(QStringList, log);
    QFETCH(QString, caption);
    Rig rig(mode, link);

    rig.transfer.startStop();

    QCOMPARE(rig.port.log(), log);
    QCOMPARE(rig.model.cmdStart.caption, caption);
    if (mode == Real) {
        QVERIFY(rig.menusDisabled());
        QCOMPARE(rig.transfer.state(), LinkState::Live);
    } else {
        QVERIFY(rig.menusEnabled());
        QCOMPARE(rig.transfer.state(), LinkState::Downloading);
    }
    QCOMPARE(rig.messages.count(), 0);
    QVERIFY(!rig.model.frmSplash.visible);
}

void TestTransfer::startOnAnOpenPortSendsWithoutOpening_data()
{
    QTest::addColumn<int>("link");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("infrared") << 1 << QStringList{"wait 255", send("QTSL3")};
    QTest::newRow("bluetooth") << 2 << QStringList{"wait 10", send("QTSL3"), "wait 10"};
}

void TestTransfer::startOnAnOpenPortSendsWithoutOpening()
{
    QFETCH(int, link);
    QFETCH(QStringList, log);
    Rig rig(SingleLoggerPage3, link);
    rig.port.setOpenQuietly(true);

    rig.transfer.startStop();

    QCOMPARE(rig.port.log(), log);
    QVERIFY(rig.port.isOpen());
}

void TestTransfer::requestBytesOnTheWire()
{
    Rig rig(Real, 1);
    rig.transfer.startStop();
    rig.transfer.startStop();
    QCOMPARE(rig.port.sentBytes(), QByteArray::fromHex("515452510a0d"
                                                       "5154500a0d"));
}

void TestTransfer::stopEndsTheLiveRun_data()
{
    QTest::addColumn<int>("link");
    QTest::addColumn<QByteArray>("waiting"); // received and not yet parsed when Stop comes
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<bool>("openAfter");
    QTest::addColumn<QByteArray>("bufferAfter");

    const QString qtp = send("QTP");
    QTest::newRow("infrared") << 1 << QByteArray() << QStringList{qtp, "wait 5", "close"} << false
                              << QByteArray();
    QTest::newRow("infrared, data waiting")
        << 1 << QByteArray("<BTInstReading\n\r") << QStringList{qtp, "wait 5", "close"} << false
        << QByteArray();
    QTest::newRow("bluetooth") << 2 << QByteArray() << QStringList{"wait 5", qtp, "wait 255", qtp}
                               << true << QByteArray();
    QTest::newRow("bluetooth, data waiting")
        << 2 << QByteArray("<BTInstReading\n\r")
        << QStringList{"wait 5", qtp, "wait 255", qtp, "wait 5", qtp, "wait 255", qtp} << true
        << QByteArray("<BTInstReading\n\r");
}

void TestTransfer::stopEndsTheLiveRun()
{
    QFETCH(int, link);
    QFETCH(QByteArray, waiting);
    QFETCH(QStringList, log);
    QFETCH(bool, openAfter);
    QFETCH(QByteArray, bufferAfter);
    Rig rig(Real, link);
    rig.startLiveRun();
    if (!waiting.isEmpty()) rig.port.receive(waiting);

    rig.transfer.startStop();

    QCOMPARE(rig.port.log(), log);
    QCOMPARE(rig.port.isOpen(), openAfter);
    QCOMPARE(rig.model.cmdStart.caption, QStringLiteral("Start"));
    QVERIFY(rig.menusEnabled());
    QCOMPARE(rig.model.ReceiveBuffer, bufferAfter);
    QCOMPARE(rig.transfer.state(), openAfter ? LinkState::Idle : LinkState::Closed);
    if (link == 1) QVERIFY(!rig.transfer.timer3Active());
}

void TestTransfer::unknownLinkTypeDoesNothing()
{
    Rig rig(Store, 3);
    rig.model.ReceivedCount = 77;
    rig.transfer.startStop();
    QVERIFY(rig.port.log().isEmpty());
    QCOMPARE(rig.model.ReceivedCount, 0);
    QCOMPARE(rig.messages.count(), 0);
}

void TestTransfer::portErrorLeavesEverythingAsItWas_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("link");
    QTest::newRow("infrared, real") << int(Real) << 1;
    QTest::newRow("bluetooth, real") << int(Real) << 2;
    QTest::newRow("infrared, logger") << int(LoggerPage2) << 1;
    QTest::newRow("bluetooth, tightness") << int(Tightness) << 2;
}

void TestTransfer::portErrorLeavesEverythingAsItWas()
{
    QFETCH(int, mode);
    QFETCH(int, link);
    Rig rig(mode, link);
    const QString caption = rig.model.FrameStore.caption + rig.model.FrameSL.caption;
    const QString reason = QStringLiteral("/dev/ttyS0: Permission denied");
    rig.port.failOpenWith(reason);

    rig.transfer.startStop();

    QCOMPARE(rig.port.log(), QStringList{"open failed"});
    QCOMPARE(rig.messages.count(), 1);
    QCOMPARE(rig.messages.boxes().at(0).title, QStringLiteral("Port Error"));
    QCOMPARE(rig.messages.boxes().at(0).text, reason);
    QCOMPARE(rig.messages.boxes().at(0).icon, MessageIcon::Exclamation);
    QCOMPARE(rig.model.cmdStart.caption, QStringLiteral("Start"));
    QVERIFY(rig.menusEnabled());
    QCOMPARE(rig.model.FrameStore.caption + rig.model.FrameSL.caption, caption);
    QCOMPARE(rig.transfer.state(), LinkState::Closed);
    QVERIFY(!rig.transfer.timer3Active());
    QVERIFY(!rig.transfer.timer4Active());
}

// A request that cannot go out must not leave a live run that can never be stopped: the
// menus would stay disabled for good.
void TestTransfer::failedSendEndsWithPortErrorAndNoStuckRun_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("link");
    QTest::addColumn<bool>("live"); // a live run going before the failing press
    QTest::addColumn<bool>("openAfter");
    QTest::newRow("infrared, start of a live run") << int(Real) << 1 << false << false;
    QTest::newRow("infrared, stop of a live run") << int(Real) << 1 << true << false;
    QTest::newRow("infrared, download request") << int(Store) << 1 << false << false;
    QTest::newRow("bluetooth, start of a live run") << int(Real) << 2 << false << true;
    QTest::newRow("bluetooth, stop of a live run") << int(Real) << 2 << true << true;
}

void TestTransfer::failedSendEndsWithPortErrorAndNoStuckRun()
{
    QFETCH(int, mode);
    QFETCH(int, link);
    QFETCH(bool, live);
    QFETCH(bool, openAfter);
    Rig rig(mode, link);
    if (live) rig.startLiveRun();
    rig.port.setSendFails(true);

    rig.transfer.startStop();

    QCOMPARE(rig.messages.lines().size(), 1);
    QCOMPARE(rig.messages.boxes().at(0).title, QStringLiteral("Port Error"));
    QCOMPARE(rig.model.cmdStart.caption, QStringLiteral("Start"));
    QVERIFY(rig.menusEnabled());
    QCOMPARE(rig.port.isOpen(), openAfter);

    // The next press works once the port does.
    rig.port.setSendFails(false);
    rig.messages.clear();
    rig.transfer.startStop();
    QCOMPARE(rig.messages.count(), 0);
    QCOMPARE(rig.model.cmdStart.caption,
             mode == Real ? QStringLiteral("Stop") : QStringLiteral("Start"));
}

// Script steps: R sends the next chunk of the answer, T ticks Timer3. After each step one
// character notes the progress window: 'O' open, '-' closed; a pass that ran adds 'P'.
void TestTransfer::quietGapEndsTheAnswer_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("trace");

    QTest::newRow("one burst") << int(Store) << "store.txt"
                               << "RTT"
                               << "-O-P";
    QTest::newRow("bursts within one tick") << int(Store) << "store.txt"
                                            << "RRRTT"
                                            << "---O-P";
    QTest::newRow("a burst in every tick") << int(LoggerPage0) << "logger0.txt"
                                           << "RTRTRTT"
                                           << "-OOOOO-P";
    QTest::newRow("split by a quiet gap") << int(Tightness) << "tightness.txt"
                                          << "RTTRTT"
                                          << "-O-P-O-P";
    QTest::newRow("bursts in and across ticks") << int(SingleLoggerPage0) << "single0.txt"
                                                << "RRTRTT"
                                                << "--OOO-P";
}

void TestTransfer::quietGapEndsTheAnswer()
{
    QFETCH(int, mode);
    QFETCH(QString, file);
    QFETCH(QString, script);
    QFETCH(QString, trace);
    Rig rig(mode, 1);
    rig.transfer.startStop();
    QSignalSpy passes(&rig.transfer, &Transfer::receptionFinished);

    const QByteArray answer = stream(file);
    const int chunks = static_cast<int>(script.count(QLatin1Char('R')));
    const qsizetype size = (answer.size() + chunks - 1) / chunks;
    qsizetype sent = 0;
    QString seen;
    for (const QChar step : script) {
        const int before = static_cast<int>(passes.count());
        if (step == QLatin1Char('R')) {
            rig.port.receive(answer.mid(sent, size));
            sent += size;
            QVERIFY(rig.transfer.timer3Active());
        } else if (rig.transfer.timer3Active()) {
            rig.transfer.onTimer3();
        }
        seen += rig.model.frmSplash.visible ? QLatin1Char('O') : QLatin1Char('-');
        if (passes.count() > before) seen += QLatin1Char('P');
        // The main window takes no input exactly while the progress window is open.
        QCOMPARE(rig.model.frmMain.enabled, !rig.model.frmSplash.visible);
    }
    QCOMPARE(seen, trace);
    QVERIFY(rig.transfer.lastPassCompletedStream());
    QCOMPARE(rig.model.frmSplashLabel1.caption, QStringLiteral("Wait . . ."));
    QCOMPARE(rig.transfer.state(), LinkState::Idle);

    QCOMPARE(DataFile::serialize(rig.model), expected(file));
}

void TestTransfer::liveRunShowsEachReadingAndBlinks()
{
    Rig rig(Real, 1);
    rig.model.Shape1Fill = LampColour::Green;
    rig.transfer.startStop();
    QSignalSpy passes(&rig.transfer, &Transfer::receptionFinished);

    const QByteArray first = stream(QStringLiteral("real.txt"));
    rig.port.receive(first.left(100));
    QCOMPARE(rig.model.Shape1Fill, LampColour::MenuColour);
    rig.port.receive(first.mid(100));
    QCOMPARE(rig.model.Shape1Fill, LampColour::Green);
    rig.transfer.onTimer3();
    rig.transfer.onTimer3();
    QCOMPARE(passes.count(), 1);
    QVERIFY(rig.transfer.lastPassCompletedStream());
    QCOMPARE(rig.model.txtRCo.caption, QStringLiteral("25"));
    QCOMPARE(rig.model.txtRTime.caption, QStringLiteral("14:32:07"));

    rig.port.receive(stream(QStringLiteral("real2.txt")));
    QCOMPARE(rig.model.Shape1Fill, LampColour::MenuColour);
    rig.transfer.onTimer3();
    rig.transfer.onTimer3();
    QCOMPARE(rig.model.txtRCo.caption, QStringLiteral("31"));
    QCOMPARE(rig.model.txtRTime.caption, QStringLiteral("14:32:08"));
    QVERIFY(!rig.model.frmSplash.visible);
    QVERIFY(rig.model.frmMain.enabled);
    QCOMPARE(rig.transfer.state(), LinkState::Live);

    // Only the receive lamp of Real Mode blinks.
    Rig store(Store, 1);
    store.model.Shape1Fill = LampColour::Green;
    store.transfer.startStop();
    store.port.receive("<BTInstReading\n\r");
    QCOMPARE(store.model.Shape1Fill, LampColour::Green);
}

void TestTransfer::silentInstrumentShowsNothing()
{
    Rig rig(Store, 1);
    rig.transfer.startStop();
    QVERIFY(!rig.transfer.timer3Active());
    QVERIFY(!rig.transfer.timer4Active());
    QCOMPARE(rig.messages.count(), 0);
    QVERIFY(!rig.model.frmSplash.visible);
    QVERIFY(rig.model.frmMain.enabled);
    QCOMPARE(rig.transfer.state(), LinkState::Downloading);
}

void TestTransfer::garbageThenAGoodAnswer()
{
    Rig rig(LoggerPage0, 1);
    rig.transfer.startStop();
    QRandomGenerator random(508);
    QByteArray garbage(4000, '\0');
    for (char &c : garbage)
        c = static_cast<char>(random.bounded(256));
    rig.port.receive(garbage);
    rig.port.receive(stream(QStringLiteral("logger0.txt")).left(5000)); // half an answer
    rig.transfer.onTimer3();
    rig.transfer.onTimer3();
    QVERIFY(!rig.transfer.lastPassCompletedStream());
    QVERIFY(!rig.model.frmSplash.visible);
    QVERIFY(rig.model.frmMain.enabled);

    // The session goes on: the next Start gets the whole page.
    rig.program.modes.switchTo(LoggerPage0);
    rig.transfer.startStop();
    rig.port.receive(stream(QStringLiteral("logger0.txt")));
    rig.transfer.onTimer3();
    rig.transfer.onTimer3();
    QVERIFY(rig.transfer.lastPassCompletedStream());
    QCOMPARE(DataFile::serialize(rig.model), expected(QStringLiteral("logger0.txt")));
}

void TestTransfer::breakGivesOneCommunicationErrorAndEndsTheLiveRun_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("link");
    QTest::addColumn<bool>("live");
    QTest::addColumn<QStringList>("log"); // what the port sees after the box
    QTest::addColumn<bool>("openAfter");

    const QString qtp = send("QTP");
    QTest::newRow("infrared live run")
        << int(Real) << 1 << true << QStringList{qtp, "wait 5", "close"} << false;
    QTest::newRow("bluetooth live run")
        << int(Real) << 2 << true << QStringList{"wait 5", qtp, "wait 255", qtp} << true;
    // No live run in progress when the box closes: none is started.
    QTest::newRow("real mode, no live run") << int(Real) << 1 << false << QStringList() << true;
    QTest::newRow("logger download") << int(LoggerPage1) << 1 << false << QStringList() << true;
}

void TestTransfer::breakGivesOneCommunicationErrorAndEndsTheLiveRun()
{
    QFETCH(int, mode);
    QFETCH(int, link);
    QFETCH(bool, live);
    QFETCH(QStringList, log);
    QFETCH(bool, openAfter);
    Rig rig(mode, link);
    if (live)
        rig.startLiveRun();
    else
        rig.port.setOpenQuietly(true);
    QString captionBehindTheBox;
    rig.messages.setOnShow(
        [&](const RecordingMessages::Box &) { captionBehindTheBox = rig.model.cmdStart.caption; });
    QSignalSpy errors(&rig.transfer, &Transfer::communicationError);

    rig.port.raise(CommEvent::Break);
    QVERIFY(rig.transfer.timer4Active());
    QCOMPARE(rig.messages.count(), 0);
    rig.transfer.onTimer4();

    QCOMPARE(rig.messages.lines(), QStringList{kCommError + ": " + kCommErrorText});
    QCOMPARE(rig.messages.boxes().at(0).icon, MessageIcon::Information);
    QCOMPARE(captionBehindTheBox, live ? QStringLiteral("Stop") : QStringLiteral("Start"));
    QCOMPARE(rig.port.log(), log);
    QCOMPARE(rig.port.isOpen(), openAfter);
    QCOMPARE(rig.model.cmdStart.caption, QStringLiteral("Start"));
    QVERIFY(rig.menusEnabled());
    QVERIFY(!rig.transfer.timer4Active());
    QCOMPARE(errors.count(), 1);
}

void TestTransfer::breakReportsThroughTheRealTimer()
{
    Rig rig(Real, 1);
    rig.startLiveRun();
    rig.transfer.setTimer4Interval(20);
    rig.port.raise(CommEvent::Break);
    rig.port.raise(CommEvent::Break); // while the timer runs: still one message
    QTRY_COMPARE(rig.messages.count(), 1);
    QTRY_COMPARE(rig.model.cmdStart.caption, QStringLiteral("Start"));
    QTest::qWait(100);
    QCOMPARE(rig.messages.count(), 1);
}

void TestTransfer::vanishMidLiveRunEndsItWithoutReopening()
{
    for (const int link : {1, 2}) {
        Rig rig(Real, link);
        rig.startLiveRun();
        rig.port.receive(stream(QStringLiteral("real.txt")));
        rig.transfer.onTimer3();
        rig.transfer.onTimer3();
        rig.port.receive("<BTInstReading\n\rmanufacturer=\"NRV"); // the next reading, cut off
        rig.port.vanish();
        QCOMPARE(rig.transfer.state(), LinkState::Closed);
        rig.transfer.onTimer4();

        QCOMPARE(rig.messages.lines(), QStringList{kCommError + ": " + kCommErrorText});
        QCOMPARE(rig.port.log(), QStringList{"vanish"});
        QCOMPARE(rig.model.cmdStart.caption, QStringLiteral("Start"));
        QVERIFY(rig.menusEnabled());
        QCOMPARE(rig.model.txtRCo.caption, QStringLiteral("25"));

        // A later Start opens the port again and starts a new run.
        rig.port.clearLog();
        rig.transfer.startStop();
        QCOMPARE(rig.port.logWithoutWaits(), (QStringList{"open", send("QTRQ")}));
        QCOMPARE(rig.model.cmdStart.caption, QStringLiteral("Stop"));
    }
}

void TestTransfer::vanishMidDownloadKeepsTheTable()
{
    Rig rig(LoggerPage0, 1);
    const QByteArray page = stream(QStringLiteral("logger0.txt"));
    rig.transfer.startStop();
    rig.port.receive(page);
    rig.transfer.onTimer3();
    rig.transfer.onTimer3();

    rig.transfer.startStop();
    rig.port.receive(page.left(page.size() / 2));
    rig.transfer.onTimer3();
    QVERIFY(rig.model.frmSplash.visible);
    rig.port.vanish();
    rig.transfer.onTimer3(); // the quiet tick still comes and closes the progress window
    QVERIFY(!rig.model.frmSplash.visible);
    QVERIFY(rig.model.frmMain.enabled);
    rig.transfer.onTimer4();

    QCOMPARE(rig.messages.lines(), QStringList{kCommError + ": " + kCommErrorText});
    QCOMPARE(DataFile::serialize(rig.model), expected(QStringLiteral("logger0.txt")));
    QCOMPARE(rig.transfer.state(), LinkState::Closed);
    rig.port.clearLog();
    rig.transfer.startStop();
    QCOMPARE(rig.port.logWithoutWaits(), (QStringList{"open", send("QTL0")}));
}

void TestTransfer::stopAfterVanishDoesNotTouchThePort()
{
    Rig rig(Real, 1);
    rig.startLiveRun();
    rig.port.vanish();
    rig.transfer.startStop(); // the user presses Stop before the message comes
    QCOMPARE(rig.model.cmdStart.caption, QStringLiteral("Start"));
    QVERIFY(rig.menusEnabled());
    rig.transfer.onTimer4();
    QCOMPARE(rig.messages.count(), 1);
    QCOMPARE(rig.port.log(), QStringList{"vanish"});
    QCOMPARE(rig.model.cmdStart.caption, QStringLiteral("Start"));
}

void TestTransfer::framingErrorReconnectsOnInfraredOnly_data()
{
    QTest::addColumn<int>("link");
    QTest::addColumn<bool>("reopenFails");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<int>("boxes");
    QTest::newRow("infrared") << 1 << false << QStringList{"close", "wait 255", "open"} << 0;
    QTest::newRow("infrared, reopen fails")
        << 1 << true << QStringList{"close", "wait 255", "open failed"} << 1;
    QTest::newRow("bluetooth") << 2 << false << QStringList() << 0;
}

void TestTransfer::framingErrorReconnectsOnInfraredOnly()
{
    QFETCH(int, link);
    QFETCH(bool, reopenFails);
    QFETCH(QStringList, log);
    QFETCH(int, boxes);
    Rig rig(Real, link);
    rig.startLiveRun();
    if (reopenFails) rig.port.failOpenWith(QStringLiteral("/dev/ttyS0: No such file or directory"));

    rig.port.raise(CommEvent::FramingError);

    QCOMPARE(rig.port.log(), log);
    QCOMPARE(rig.messages.count(), boxes);
    QVERIFY(!rig.transfer.timer4Active());
    QCOMPARE(rig.model.cmdStart.caption, QStringLiteral("Stop"));
}

void TestTransfer::modeSwitchStopRequest_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<bool>("open");
    QTest::addColumn<int>("to");
    QTest::addColumn<QStringList>("log");

    const QString qtp = send("QTP");
    const QStringList twice{qtp, "wait 15", qtp};
    QTest::newRow("real to store")
        << int(Real) << true << int(Store) << QStringList{"wait 10", qtp, "wait 15", qtp};
    QTest::newRow("real to logger") << int(Real) << true << int(LoggerPage3) << twice;
    QTest::newRow("real to single logger") << int(Real) << true << int(SingleLoggerPage0) << twice;
    QTest::newRow("real to tightness") << int(Real) << true << int(Tightness) << twice;
    QTest::newRow("real to real") << int(Real) << true << int(Real) << QStringList();
    QTest::newRow("real, port closed") << int(Real) << false << int(Store) << QStringList();
    QTest::newRow("store to logger") << int(Store) << true << int(LoggerPage0) << QStringList();
}

void TestTransfer::modeSwitchStopRequest()
{
    QFETCH(int, from);
    QFETCH(bool, open);
    QFETCH(int, to);
    QFETCH(QStringList, log);
    Rig rig(from, 1);
    rig.port.setOpenQuietly(open);

    rig.program.modes.switchTo(to);

    QCOMPARE(rig.port.log(), log);
    QCOMPARE(rig.port.isOpen(), open);
}

QTEST_GUILESS_MAIN(TestTransfer)
#include "tst_transfer.moc"
