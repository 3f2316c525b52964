// The whole link over a real pseudo-terminal with the analyser emulator at the far end, in the
// program and through nrv508-cli: every mode family downloaded, live runs started and stopped,
// and the line cut in the middle; and the serial port itself on a port another program holds.

#include "Streams.h"
#include "TestFiles.h"
#include "app/Program.h"
#include "common/EmulatorProcess.h"
#include "common/RecordingMessages.h"
#include "files/DataFile.h"
#include "link/DevicePort.h"
#include "tables/Modes.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace {
constexpr int kWaitMs = 20000; // generous: the build machine may be busy

QByteArray expected(const QString &name)
{
    return testData("expected/" + name);
}

// Requests as the emulator logs them, from "QTRQ QTP".
QStringList requests(const char *commands)
{
    return QString(commands)
        .split(' ', Qt::SkipEmptyParts)
        .replaceInStrings(QRegularExpression("$"), "\\x0a\\x0d");
}

// The instrument played by the test itself at the far end of a pseudo-terminal, so that the
// test knows when each byte arrives.
class FarEnd {
public:
    FarEnd()
    {
        m_fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_fd >= 0 && grantpt(m_fd) == 0 && unlockpt(m_fd) == 0)
            m_device = QString::fromLatin1(ptsname(m_fd));
    }
    ~FarEnd()
    {
        if (m_fd >= 0) ::close(m_fd);
    }
    QString device() const { return m_device; }
    bool send(const QByteArray &bytes)
    {
        return ::write(m_fd, bytes.data(), bytes.size()) == bytes.size();
    }
    // Everything the program sent so far, once it holds text or after ms.
    QByteArray awaitSent(const QByteArray &text, int ms)
    {
        QElapsedTimer clock;
        clock.start();
        while (!m_sent.contains(text) && clock.elapsed() < ms) {
            char chunk[256];
            const ssize_t n = ::read(m_fd, chunk, sizeof chunk);
            if (n > 0) m_sent.append(chunk, n);
            if (n <= 0) QTest::qWait(20); // nothing yet, or the program's side is not open
        }
        return m_sent;
    }

private:
    int m_fd = -1;
    QString m_device;
    QByteArray m_sent;
};

// A live reading that differs from the others in its time and its CO value.
QByteArray liveReading(int k)
{
    return stream({"<BTInstReading", "major_version=\"2\"", "minor_version=\"05\"",
                   "mode=\"Real Time Mode Data\">",
                   QStringLiteral("<inst_data time=\"10:00:0%1\"").arg(k), "O2=\"4.8\"",
                   QStringLiteral("CO=\"%1\"/>").arg(11 * k)});
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
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        if (EmulatorProcess::binary().isEmpty()) QSKIP("this build has no emulator");
        QVERIFY(QDir::setCurrent(m_dir.path())); // no settings file from elsewhere
    }

    // The plain COM mapping, and a port another program holds (here the far end of a
    // pseudo-terminal, as an adapter would be): the message names the device and the reason.
    void busyPortNamesDeviceAndReason()
    {
        qunsetenv("NRV508_COM6");
        DevicePort first, second;
        first.setPortNumber(6);
        QCOMPARE(first.device(), QStringLiteral("/dev/ttyS5"));
        const int far = posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(far >= 0 && grantpt(far) == 0 && unlockpt(far) == 0);
        const QString device = QString::fromLatin1(ptsname(far));
        first.setDeviceOverride(device);
        second.setDeviceOverride(device);
        QString error;
        QVERIFY2(first.open(&error), qPrintable(error));
        QVERIFY(!second.open(&error));
        ::close(far);
        QCOMPARE(error.section(QStringLiteral(": "), 0, 0), device);
        QVERIFY2(error.contains(QStringLiteral("in use by another program")), qPrintable(error));
        QVERIFY(first.isOpen());
        QVERIFY(!second.send("QTP\n\r"));
    }

    void liveRunStopsOnStop_data()
    {
        QTest::addColumn<int>("linkType");
        QTest::newRow("infrared") << 1;
        QTest::newRow("bluetooth") << 2;
    }

    void liveRunStopsOnStop()
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
        QTRY_COMPARE(link.emulator.requests(),
                     requests(linkType == 1 ? "QTRQ QTP" : "QTRQ QTP QTP"));
    }

    // A live run as the user follows it: each of several different readings is shown, in
    // order, before the instrument sends the next one, and reaches a pipe while nrv508-cli
    // still runs.
    void liveReadingsShownAsTheyArrive()
    {
        FarEnd instrument;
        QVERIFY(!instrument.device().isEmpty());
        QProcess cli;
        cli.start(QStringLiteral(NRV508_CLI),
                  {"live", "--port", instrument.device(), "--baud", "38400", "--count", "3"});
        QCOMPARE(instrument.awaitSent("QTRQ\n\r", kWaitMs), QByteArray("QTRQ\n\r"));
        QByteArray out;
        for (int k = 1; k <= 3; ++k) {
            QVERIFY(instrument.send(liveReading(k)));
            // Reading k must come out on its own: the next one is sent only after it.
            while (out.count("\n\n") < k && cli.waitForReadyRead(kWaitMs))
                out += cli.readAllStandardOutput();
            out += cli.readAllStandardOutput();
            const QStringList readings = QString::fromLatin1(out).split("\n\n");
            QCOMPARE(readings.size() - 1, k); // no reading before its bytes were sent
            QCOMPARE(
                readings.value(k - 1).split('\n').filter(QRegularExpression("^txtR(Time|Co)=")),
                QStringList({QStringLiteral("txtRTime=10:00:0%1").arg(k),
                             QStringLiteral("txtRCo=%1").arg(11 * k)}));
            if (k < 3) QCOMPARE(cli.state(), QProcess::Running);
        }
        QVERIFY(cli.waitForFinished(kWaitMs));
        QCOMPARE(cli.exitCode(), 0);
    }

    void hangUpMidDownloadKeepsTheRecords()
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
        QVERIFY(link.model.frmMain.enabled && !link.model.frmSplash.visible);

        // The adapter plugged in again (here: a new emulator): the next Start opens the port
        // anew and the program works on.
        EmulatorProcess replugged;
        QString error;
        QVERIFY2(replugged.start({"--fast"}, &error), qPrintable(error));
        link.port.setDeviceOverride(replugged.device());
        link.transfer.startStop();
        QTRY_COMPARE_WITH_TIMEOUT(link.completePasses, 2, kWaitMs);
        QCOMPARE(replugged.requests(), requests("QTL1"));
        QCOMPARE(link.messages.count(), 1);
        QCOMPARE(DataFile::serialize(link.model), expected(QStringLiteral("logger1.txt")));
    }

    // A mode picked after Start, before the answer is in: the answer belongs to the mode that
    // asked for it and is let go; the new mode's own download then comes through whole.
    void modeSwitchDropsTheAnswer_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("request"); // of the second Start
        QTest::addColumn<QString>("expected");
        QTest::newRow("logger page 1, then Store") << int(LoggerPage1) << int(Store) << "QTS"
                                                   << "store.txt";
        QTest::newRow("tightness, then single logger page 4")
            << int(Tightness) << int(SingleLoggerPage4) << "QTSL4"
            << "single4.txt";
    }
    void modeSwitchDropsTheAnswer()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        Link link;
        QVERIFY(link.start({"--fast"}, from));
        link.transfer.startStop();
        link.program.modes.switchTo(to);
        const QByteArray blank = DataFile::serialize(link.model);
        // The whole answer has come and gone: the link is idle again.
        QTRY_COMPARE_WITH_TIMEOUT(link.transfer.state(), LinkState::Idle, kWaitMs);
        QTest::qWait(500);
        QCOMPARE(DataFile::serialize(link.model), blank);
        QVERIFY(!link.splashSeen);
        QCOMPARE(link.messages.count(), 0);

        link.transfer.startStop();
        QTRY_COMPARE_WITH_TIMEOUT(link.completePasses, 1, kWaitMs);
        QFETCH(QString, expected);
        QCOMPARE(DataFile::serialize(link.model), ::expected(expected));
        QFETCH(QString, request);
        QCOMPARE(link.emulator.requests(),
                 requests(qPrintable(QStringLiteral("%1 %2").arg(
                     QString::fromLatin1(modeInfo(from)->request), request))));
    }

    // A port that cannot be opened names the COM number, the device and the reason, and where
    // the port is chosen.
    void portErrorNamesPortDeviceAndReason()
    {
        qputenv("NRV508_COM2", "/dev/nrv508-missing");
        DevicePort port;
        RecordingMessages messages;
        Program program(port, messages);
        program.startUp();
        port.setPortNumber(2);
        program.modes.switchTo(Store);
        program.transfer.startStop();
        qunsetenv("NRV508_COM2");
        QCOMPARE(messages.lines(),
                 QStringList{"Port Error: COM2 (/dev/nrv508-missing): No such file or directory. "
                             "Choose the port in Setup > Communication."});
        QCOMPARE(messages.boxes().at(0).icon, MessageIcon::Exclamation);
        QVERIFY(!port.isOpen());
    }

    // nrv508-cli download and live. emulator: its options, "" for none; args: PORT stands for
    // the emulator's device (or a missing one when no emulator runs) and OUT for a file that
    // holds "previous" before the run; err: the first line on stderr; written: OUT after the
    // run, null for "previous" untouched; requests: as the emulator received them.
    void cli_data()
    {
        QTest::addColumn<QStringList>("emulator");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err");
        QTest::addColumn<QByteArray>("out"); // stdout
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<QStringList>("requests");
        const auto row = [](const char *name, const char *emulator, const char *args, int status,
                            const QString &err, const QByteArray &out, const QByteArray &written,
                            const char *sent) {
            QTest::newRow(name) << QString(emulator).split(' ', Qt::SkipEmptyParts)
                                << QString(args).split(' ') << status << err << out << written
                                << requests(sent);
        };
        const QString dl = "download --port PORT --out OUT --mode ";
        const QString noAnswer = "nrv508-cli: no answer from the instrument on PORT within 1 s";
        // One download per mode family; one at the line speed with the real quiet gap, which
        // ends a first pass over half an answer when the instrument pauses.
        row("store, split by a pause", "--baud 38400 --gap-after 1200 --gap-ms 1500",
            qPrintable(dl + "1 --baud 38400"), 0, "", {}, expected("store.txt"), "QTS");
        row("logger page 0 on COM3", "--fast", "download --port COM3 --mode 2 --out OUT", 0, "", {},
            expected("logger0.txt"), "QTL0");
        row("single logger page 4, bluetooth", "--fast", qPrintable(dl + "10 --link bt"), 0, "", {},
            expected("single4.txt"), "QTSL4");
        row("tightness, bluetooth", "--fast", qPrintable(dl + "11 --link bt"), 0, "", {},
            expected("tightness.txt"), "QTT");
        // LOST: an instrument whose logger page 1 lost its first record on the way.
        row("logger page 1, first record lost", "--fast --data LOST", qPrintable(dl + "3"), 1,
            "Receiving Error: Some data are lost while receiving the data. Please restart.", {},
            expected("logger1_first_lost.txt"), "QTL1");
        // About 8 s on the wire, far longer than the timeout: only silence ends a download.
        row("store at 4800 baud, longer than the timeout", "--baud 4800",
            qPrintable(dl + "1 --baud 4800 --timeout 2"), 0, "", {}, expected("store.txt"), "QTS");
        // The quiet gap ends a reading within a second of its last byte; readings further apart
        // than that are shown one by one.
        row("live, two readings", "--baud 38400 --interval 1300",
            "live --port PORT --baud 38400 --count 2", 0, "",
            expected("real.panels") + '\n' + expected("real-real2.panels") + '\n', {}, "QTRQ QTP");
        row("missing port", "", qPrintable(dl + "1"), 1,
            "Port Error: PORT: No such file or directory", {}, {}, "");
        row("silent instrument", "--silent", qPrintable(dl + "3 --timeout 1"), 1, noAnswer, {}, {},
            "QTL1");
        row("silent instrument, live", "--silent", "live --port PORT --timeout 1", 1, noAnswer, {},
            {}, "QTRQ QTP");
        row("hang-up mid-download", "--fast --hangup-after 3000", qPrintable(dl + "2"), 1,
            "Communication Error: Check Analyser and Adapter, or Change the Communication Setup.",
            {}, {}, "QTL0");

        const auto usage = [&](const char *name, const QString &args, const char *problem) {
            row(name, "", qPrintable(args), 2,
                QStringLiteral("nrv508-cli %1: %2").arg(args.section(' ', 0, 0), problem), {}, {},
                "");
        };
        usage("no port", "download --mode 1",
              "--port names the device (/dev/ttyUSB0, COM1 ..., serial:NUMBER)");
        usage("no mode", "download --port COM1", "--mode takes a mode code from 0 to 11");
        usage("mode 12", dl + "12", "--mode takes a mode code from 0 to 11");
        usage("baud 1200", dl + "1 --baud 1200", "--baud takes 4800, 9600, 19200 or 38400");
        usage("link usb", "live --port COM1 --link usb", "--link takes ir or bt");
        usage("count -1", "live --port COM1 --count -1",
              "--count takes a number of readings (0: until interrupted)");
        usage("live takes no mode", "live --port COM1 --mode 1", "unknown option --mode");
    }

    void cli()
    {
        QFETCH(QStringList, emulator);
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, err);
        QFETCH(QByteArray, written);
        EmulatorProcess instrument;
        QString error;
        QTemporaryDir lost;
        if (emulator.contains("LOST")) {
            QVERIFY(QFile::copy(NRV508_TEST_DATA "/streams/logger1_first_lost.txt",
                                lost.filePath("logger1.txt")));
            emulator.replaceInStrings(QRegularExpression("^LOST$"), lost.path());
        }
        QVERIFY2(emulator.isEmpty() || instrument.start(emulator, &error), qPrintable(error));
        const QString device = emulator.isEmpty() ? "/dev/nrv508-missing" : instrument.device();
        qputenv("NRV508_COM3", device.toLocal8Bit());
        const QString out = m_dir.filePath(QStringLiteral("out.txt"));
        const QByteArray previous = "previous\r\n";
        QVERIFY(writeFile(out, previous));
        args.replaceInStrings(QRegularExpression("^PORT$"), device);
        args.replaceInStrings(QRegularExpression("^OUT$"), out);

        const Run r = ::cli(args);
        QCOMPARE(r.status, status);
        QTEST(r.out, "out");
        const QStringList lines = QString::fromLocal8Bit(r.err).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.value(0), err.replace("PORT", device));
        // One message for a failure, the usage after a usage error; a line fault names the
        // device and the file left as it was.
        const bool lineFault = err.startsWith("Communication Error");
        QCOMPARE(lines.size(), err.isEmpty() ? 0 : status == 2 || lineFault ? 2 : 1);
        if (status == 2)
            QVERIFY(lines.last().startsWith("usage: nrv508-cli " + args.first() + ' '));
        if (lineFault)
            QVERIFY2(lines.last().contains(device) && lines.last().contains(out),
                     qPrintable(lines.last()));
        // Only a complete answer replaces the file; a fault or silence leaves it as it was.
        QCOMPARE(readFile(out), written.isNull() ? previous : written);
        QTEST(instrument.requests(), "requests");
    }

    // A live run without end, ended from outside once its first reading is out: by a signal,
    // or by its reader going away (| head -n 1). Either way the instrument gets the Stop
    // request, as from the button, and the exit status is the conventional one.
    void liveEndsThroughStop_data()
    {
        QTest::addColumn<int>("signal"); // 0: the pipe's reader goes away
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGHUP") << SIGHUP;
        QTest::newRow("closed pipe") << 0;
    }

    void liveEndsThroughStop()
    {
        QFETCH(int, signal);
        EmulatorProcess instrument;
        QString error;
        QVERIFY2(instrument.start({"--fast", "--interval", "1300"}, &error), qPrintable(error));
        QProcess cli;
        const QStringList live = {"live", "--port", instrument.device(), "--count", "0"};
        if (signal == 0)
            cli.start("bash", QStringList{"-c", "\"$0\" \"$@\" | head -n 1; exit ${PIPESTATUS[0]}",
                                          QStringLiteral(NRV508_CLI)} +
                                  live);
        else
            cli.start(QStringLiteral(NRV508_CLI), live);
        QVERIFY(cli.waitForStarted());
        QByteArray out;
        // The whole first reading, or the one line that head lets through.
        const QByteArray last = signal == 0 ? "\n" : "txtVersion=";
        while (!out.contains(last) && cli.waitForReadyRead(kWaitMs))
            out += cli.readAllStandardOutput();
        QVERIFY2(out.startsWith("FrameReal="), out.constData());
        // A process that already ended has id 0, and kill(0) would hit the whole test group.
        if (signal != 0 && cli.processId() > 0) ::kill(pid_t(cli.processId()), signal);
        QVERIFY(cli.state() == QProcess::NotRunning || cli.waitForFinished(kWaitMs));
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QCOMPARE(cli.exitCode(), 128 + (signal == 0 ? SIGPIPE : signal));
        QCOMPARE(cli.readAllStandardError(), QByteArray());
        QTRY_COMPARE_WITH_TIMEOUT(instrument.requests(), requests("QTRQ QTP"), kWaitMs);
    }
};

QTEST_GUILESS_MAIN(TestLinkEmulator)
#include "tst_link_emulator.moc"
