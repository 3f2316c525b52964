// The transfer against a scripted port: the bytes on the wire for Start and Stop on both
// links, port errors and line faults, and the receive timer's quiet gap with the progress
// window.

#include "TestFiles.h"
#include "app/Program.h"
#include "common/FakePort.h"
#include "common/RecordingMessages.h"
#include "files/DataFile.h"
#include "link/frmSplash.h"
#include "tables/Modes.h"

#include <QLabel>
#include <QtTest>

namespace {
// A program over a fake port, its pauses logged by the port. No event loop runs in these
// tests: the timers tick only when a test calls them.
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
    }
    // File, Mode, Setup and Header, "1" where enabled: all locked during a live run only.
    QString menus() const
    {
        QString out = model.cmdStart.caption + QLatin1Char(' ');
        for (const Element *e : {&model.mnuFile, &model.mnuMode, &model.mnuSetup, &model.cmdHeader})
            out += e->enabled ? QLatin1Char('1') : QLatin1Char('0');
        return out;
    }
};
} // namespace

class TestTransfer : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    // Start-up reads the settings file from the working directory: keep it empty of one.
    void initTestCase() { QVERIFY(QDir::setCurrent(m_dir.path())); }
    // Script steps: S presses Start (or Stop); o the port was opened earlier; d a reading arrives;
    // B a break, V the device vanishes, F a framing error; R the port refuses to open and X every
    // send fails, until r; T Timer4 fires if it was started; | forgets the log so far. The
    // log since the last |, ">QTP" for "send QTP<0A><0D>" and "!QTP" for a send that failed; the
    // box if one was raised; the states are the caption and the menus after each S and T.
    void script_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("link");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("states");
        auto row = [](const QByteArray &name, int mode, int link, const char *script,
                      const QString &log, const QString &box, const char *states) {
            QStringList steps = log.split(", ", Qt::SkipEmptyParts);
            steps.replaceInStrings(QRegularExpression("^>(.*)"), "send \\1<0A><0D>");
            steps.replaceInStrings(QRegularExpression("^!(.*)"), "send failed \\1<0A><0D>");
            QTest::newRow(name.constData())
                << mode << link << QString(script) << steps
                << (box.isEmpty() ? QStringList() : QStringList{box}) << QString(states);
        };
        for (int mode = Real; mode <= Tightness; ++mode) {
            const QByteArray request = modeInfo(mode)->request;
            const char *after = mode == Real ? "Stop 0000" : "Start 1111";
            row("infrared " + request, mode, 1, "S", "open, wait 255, >" + request, "", after);
            row("bluetooth " + request, mode, 2, "S", "open, wait 10, >" + request + ", wait 10",
                "", after);
        }
        const char *stopped = "Stop 0000 / Start 1111";
        row("infrared, open port", SingleLoggerPage3, 1, "oS", "wait 255, >QTSL3", "",
            "Start 1111");
        row("bluetooth, open port", SingleLoggerPage3, 2, "oS", "wait 10, >QTSL3, wait 10", "",
            "Start 1111");
        row("unknown link", Store, 3, "S", "", "", "Start 1111");
        row("infrared stop", Real, 1, "S|S", ">QTP, wait 5, close", "", stopped);
        row("bluetooth stop", Real, 2, "S|S", "wait 5, >QTP, wait 255, >QTP", "", stopped);
        // Readings still arriving: the instrument is told to stop once more.
        row("bluetooth stop, data waiting", Real, 2, "Sd|S",
            "wait 5, >QTP, wait 255, >QTP, wait 5, >QTP, wait 255, >QTP", "", stopped);

        // A failed open or send ends the run with one "Port Error" and the menus free: a live
        // run that could not be stopped would lock them for good. The next press works.
        const QString refused = "Port Error: /dev/ttyS0: Permission denied";
        const QString unsent = "Port Error: The request could not be sent.";
        const char *restarted = "Stop 0000 / Start 1111 / Stop 0000";
        row("open refused", Real, 1, "RSrS", "open failed, open, wait 255, >QTRQ", refused,
            "Start 1111 / Stop 0000");
        row("open refused, bluetooth download", Tightness, 2, "RSrS",
            "open failed, open, wait 10, >QTT, wait 10", refused, "Start 1111 / Start 1111");
        row("infrared start unsent", Real, 1, "XSrS",
            "open, wait 255, !QTRQ, close, open, wait 255, >QTRQ", unsent,
            "Start 1111 / Stop 0000");
        row("infrared stop unsent", Real, 1, "S|XSrS", "!QTP, close, open, wait 255, >QTRQ", unsent,
            restarted);
        row("bluetooth start unsent", Real, 2, "XSrS",
            "open, wait 10, !QTRQ, wait 20, >QTRQ, wait 10", unsent, "Start 1111 / Stop 0000");
        row("bluetooth stop unsent", Real, 2, "S|XSrS",
            "wait 5, !QTP, wait 255, !QTP, wait 10, >QTRQ, wait 10", unsent, restarted);

        // A line fault gives one "Communication Error"; a live run still going when it is
        // closed is ended, a download is left alone. A later Start opens the port anew.
        const QString lost =
            "Communication Error: Check Analyser and Adapter, or Change the Communication Setup.";
        row("break, infrared live run", Real, 1, "S|BTS",
            ">QTP, wait 5, close, open, wait 255, >QTRQ", lost, restarted);
        row("break, bluetooth live run", Real, 2, "S|BTS",
            "wait 5, >QTP, wait 255, >QTP, wait 10, >QTRQ, wait 10", lost, restarted);
        row("break, download", LoggerPage1, 1, "S|BTS", "wait 255, >QTL1", lost,
            "Start 1111 / Start 1111 / Start 1111");
        row("vanish, infrared live run", Real, 1, "S|VTS", "vanish, open, wait 255, >QTRQ", lost,
            restarted);
        row("vanish, bluetooth live run", Real, 2, "S|VTS", "vanish, open, wait 10, >QTRQ, wait 10",
            lost, restarted);
        // Stop before the message: nothing is left to stop, and the port stays shut.
        row("vanish, then Stop", Real, 1, "S|VSTS", "vanish, open, wait 255, >QTRQ", lost,
            "Stop 0000 / Start 1111 / Start 1111 / Stop 0000");
        // A lost beam is reconnected on infrared only; the run goes on.
        row("framing, infrared", Real, 1, "S|FS", "close, wait 255, open, >QTP, wait 5, close", "",
            stopped);
        row("framing, reopen refused", Real, 1, "S|RFS", "close, wait 255, open failed", refused,
            stopped);
        row("framing, bluetooth", Real, 2, "S|FS", "wait 5, >QTP, wait 255, >QTP", "", stopped);
    }

    void script()
    {
        QFETCH(int, mode);
        QFETCH(int, link);
        QFETCH(QString, script);
        Rig rig(mode, link);
        QStringList states;
        const QHash<QChar, std::function<void()>> steps{
            {'S', [&] { rig.transfer.startStop(); }},
            {'o', [&] { rig.port.setOpenQuietly(true); }},
            {'d', [&] { rig.port.receive("<BTInstReading\n\r"); }},
            {'B', [&] { rig.port.raise(CommEvent::Break); }},
            {'V', [&] { rig.port.vanish(); }},
            {'F', [&] { rig.port.raise(CommEvent::FramingError); }},
            {'R', [&] { rig.port.failOpenWith(QStringLiteral("/dev/ttyS0: Permission denied")); }},
            {'X', [&] { rig.port.setSendFails(true); }},
            {'r', [&] { rig.port.failOpenWith(QString()), rig.port.setSendFails(false); }},
            {'T', [&] { rig.transfer.timer4Active() ? rig.transfer.onTimer4() : void(); }},
            {'|', [&] { rig.port.clearLog(); }},
        };
        for (const QChar step : script) {
            steps[step]();
            if (step == 'S' || step == 'T') states << rig.menus();
        }
        QTEST(rig.port.log(), "log");
        QTEST(rig.messages.lines(), "boxes");
        for (const RecordingMessages::Box &box : rig.messages.boxes())
            QCOMPARE(box.icon, box.title == "Port Error" ? MessageIcon::Exclamation
                                                         : MessageIcon::Information);
        QTEST(states.join(" / "), "states");
        QVERIFY(!rig.transfer.timer4Active());
        // With nothing received the receive timer, and so the progress window, stays away.
        if (!script.contains('d')) QVERIFY(!rig.transfer.timer3Active());
    }

    // Script steps: R the next chunk of the answer arrives, G a burst of noise, T Timer3 ticks,
    // C the user closes the progress window. After each step the trace notes the progress window:
    // 'O' shown, '-' not; a reception pass that ran adds 'P'.
    void quietGap_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("trace");
        auto row = [](const char *name, int mode, const char *file, const char *script,
                      const char *trace) {
            QTest::newRow(name) << mode << QString(file) << QString(script) << QString(trace);
        };
        row("bursts within one tick", Store, "store.txt", "RRRTT", "---O-P");
        row("a burst in every tick", LoggerPage0, "logger0.txt", "RTRTRTT", "-OOOOO-P");
        row("split by a quiet gap", SingleLoggerPage0, "single0.txt", "RRTTRTT", "--O-P-O-P");
        row("noise, then the answer", LoggerPage1, "logger1.txt", "GTTRTT", "-O-P-O-P");
        row("closed by the user", LoggerPage2, "logger2.txt", "RTCRTT", "-O--O-P");
    }

    void quietGap()
    {
        QFETCH(int, mode);
        QFETCH(QString, file);
        QFETCH(QString, script);
        Rig rig(mode, 1);
        QWidget main;
        frmSplash splash(rig.model, &main);
        connect(&rig.model, &ScreenModel::changed, &splash, &frmSplash::sync);
        rig.transfer.startStop();
        QSignalSpy passes(&rig.transfer, &Transfer::receptionFinished);

        const QByteArray answer = testData("streams/" + file);
        const qsizetype size = (answer.size() + script.count('R') - 1) / script.count('R');
        QByteArray noise(4000, '\0');
        QRandomGenerator(508).fillRange(reinterpret_cast<quint32 *>(noise.data()), 1000);
        qsizetype sent = 0;
        QString seen;
        for (const QChar step : script) {
            const qsizetype before = passes.count();
            if (step == 'R') {
                rig.port.receive(answer.mid(sent, size));
                sent += size;
            } else if (step == 'G') {
                rig.port.receive(noise);
            } else if (step == 'C') {
                QVERIFY(splash.close());
            } else if (rig.transfer.timer3Active()) {
                rig.transfer.onTimer3();
            }
            seen += splash.isVisible() ? 'O' : '-';
            if (passes.count() > before) seen += 'P';
            // The main window takes no input exactly while the progress window is open.
            QCOMPARE(rig.model.frmMain.enabled, !splash.isVisible());
            if (splash.isVisible())
                QCOMPARE(splash.windowTitle() + '|' + splash.findChild<QLabel *>("Label1")->text(),
                         QStringLiteral("Communication...|Wait . . ."));
        }
        QTEST(seen, "trace");
        QVERIFY(rig.transfer.lastPassCompletedStream());
        QCOMPARE(DataFile::serialize(rig.model), testData("expected/" + file));
    }
};

QTEST_MAIN(TestTransfer)
#include "tst_transfer.moc"
