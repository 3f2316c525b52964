// Tests of the analyser emulator: request framing on its own, and the built emulator driven
// over its pseudo-terminal as the program would drive a serial port.

#include "RequestFramer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray streamFile(const QString &name)
{
    return readAll(QStringLiteral(NRV508_EMU_STREAMS "/") + name);
}

// One emulator process and the program's end of its line.
class EmulatorRun {
public:
    struct Received {
        QByteArray bytes;
        bool hungUp = false;
    };

    ~EmulatorRun()
    {
        if (m_port >= 0) ::close(m_port);
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(3000)) m_process.kill();
        }
    }

    bool start(const QStringList &arguments)
    {
        m_process.start(QStringLiteral(NRV508_EMU_BINARY), arguments);
        if (!m_process.waitForStarted(5000)) return false;
        QElapsedTimer clock;
        clock.start();
        while (!m_process.canReadLine() && clock.elapsed() < 5000)
            m_process.waitForReadyRead(100);
        m_device = QString::fromLocal8Bit(m_process.readLine()).trimmed();
        return !m_device.isEmpty() && openPort();
    }

    // Waits for the emulator to end by itself; its exit code, or -1 while it still runs.
    int exitCode(int timeoutMs)
    {
        if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(timeoutMs))
            return -1;
        return m_process.exitCode();
    }

    // Ends the emulator as Ctrl+C would.
    void interrupt()
    {
        if (m_port >= 0) closePort();
        m_process.terminate();
        m_process.waitForFinished(5000);
    }

    bool openPort()
    {
        m_port = ::open(m_device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_port < 0) return false;
        termios settings{};
        tcgetattr(m_port, &settings);
        cfmakeraw(&settings);
        return tcsetattr(m_port, TCSANOW, &settings) == 0;
    }

    void closePort()
    {
        ::close(m_port);
        m_port = -1;
    }

    bool send(const QByteArray &bytes)
    {
        return ::write(m_port, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }

    // Reads until `wanted` bytes have come, the line hangs up, or `timeoutMs` has passed.
    Received receive(qint64 wanted, int timeoutMs)
    {
        Received received;
        QElapsedTimer clock;
        clock.start();
        while (received.bytes.size() < wanted) {
            const qint64 left = timeoutMs - clock.elapsed();
            if (left <= 0) break;
            pollfd watched{m_port, POLLIN, 0};
            if (::poll(&watched, 1, int(left)) <= 0) continue;
            char chunk[4096];
            const qint64 room = std::min<qint64>(sizeof chunk, wanted - received.bytes.size());
            const ssize_t count = ::read(m_port, chunk, size_t(room));
            if (count > 0) {
                received.bytes.append(chunk, count);
            } else if (count == 0 || errno == EIO || (watched.revents & POLLHUP)) {
                received.hungUp = true;
                break;
            }
        }
        return received;
    }

    // Everything the emulator wrote on stderr so far.
    QByteArray standardError()
    {
        m_stderr += m_process.readAllStandardError();
        return m_stderr;
    }

private:
    QProcess m_process;
    QString m_device;
    QByteArray m_stderr;
    int m_port = -1;
};

} // namespace

class TestEmulator : public QObject {
    Q_OBJECT
private slots:
    void framing_data();
    void framing();
    void answers_data();
    void answers();
    void headerIsEchoed();
    void requestsAreLogged();
    void liveRunAlternatesUntilStopped();
    void missingStreamIsNotAnswered();
    void silentNeverAnswers();
    void garbageIsNotAStream();
    void hangupAfterExactByteCount();
    void closedPortLosesTheAnswer();
    void gapPausesInsideTheAnswer();
    void linkNameIsClaimedOnce_data();
    void linkNameIsClaimedOnce();
    void replugKeepsTheLinkName();
};

void TestEmulator::framing_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QList<QByteArray>>("requests");

    using L = QList<QByteArray>;
    QTest::newRow("request ends LF CR") << L{"QTRQ\n\r"} << L{"QTRQ\n\r"};
    QTest::newRow("header ends CR LF") << L{"QTH0   ABC\r\n"} << L{"QTH0   ABC\r\n"};
    QTest::newRow("two in one burst") << L{"QTP\n\rQTP\n\r"} << L{"QTP\n\r", "QTP\n\r"};
    QTest::newRow("line end split over bursts") << L{"QT", "S\n", "\r"} << L{"QTS\n\r"};
    QTest::newRow("lone LF at the end") << L{"QTT\n"} << L{"QTT\n"};
    QTest::newRow("same byte twice is two line ends") << L{"QTS\n\n"} << L{"QTS\n", "\n"};
    QTest::newRow("header then request")
        << L{"QTH1 0123456789\r\nQTS\n\r"} << L{"QTH1 0123456789\r\n", "QTS\n\r"};
    QTest::newRow("no line end yet") << L{"QTL"} << L{};
}

void TestEmulator::framing()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QList<QByteArray>, requests);

    RequestFramer framer;
    QList<QByteArray> taken;
    QByteArray request;
    for (const QByteArray &chunk : chunks) {
        framer.append(chunk);
        while (framer.takeRequest(&request))
            taken.append(request);
    }
    // The sender has gone quiet: a line end still held back is taken as it is.
    while (framer.takeRequest(&request, true))
        taken.append(request);
    QCOMPARE(taken, requests);
}

void TestEmulator::answers_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("options");

    const QStringList fast{QStringLiteral("--fast")};
    QTest::newRow("QTS") << QByteArray("QTS\n\r") << "store.txt" << fast;
    QTest::newRow("QTT") << QByteArray("QTT\n\r") << "tightness.txt" << fast;
    for (int page = 0; page < 4; ++page) {
        QTest::addRow("QTL%d", page) << QByteArray("QTL") + QByteArray::number(page) + "\n\r"
                                     << QStringLiteral("logger%1.txt").arg(page) << fast;
    }
    for (int page = 0; page < 5; ++page) {
        QTest::addRow("QTSL%d", page) << QByteArray("QTSL") + QByteArray::number(page) + "\n\r"
                                      << QStringLiteral("single%1.txt").arg(page) << fast;
    }
    QTest::newRow("paced at 38400 baud")
        << QByteArray("QTSL0\n\r") << "single0.txt"
        << QStringList{QStringLiteral("--baud"), QStringLiteral("38400")};
    QTest::newRow("request ending CR LF") << QByteArray("QTS\r\n") << "store.txt" << fast;
}

void TestEmulator::answers()
{
    QFETCH(QByteArray, request);
    QFETCH(QString, file);
    QFETCH(QStringList, options);

    const QByteArray expected = streamFile(file);
    QVERIFY2(!expected.isEmpty(), qPrintable(file));
    EmulatorRun emulator;
    QVERIFY(emulator.start(options));
    QVERIFY(emulator.send(request));
    const EmulatorRun::Received answer = emulator.receive(expected.size(), 5000);
    QCOMPARE(answer.bytes.size(), expected.size());
    QCOMPARE(answer.bytes, expected);
    QCOMPARE(emulator.receive(1, 100).bytes, QByteArray());
}

void TestEmulator::headerIsEchoed()
{
    EmulatorRun emulator;
    QVERIFY(emulator.start({QStringLiteral("--fast")}));
    QVERIFY(emulator.send("QTH0   ABC\r\n"));
    QCOMPARE(emulator.receive(8, 3000).bytes, QByteArray("   ABC\r\n"));
    QVERIFY(emulator.send("QTH1    0123456789\r\n"));
    QCOMPARE(emulator.receive(16, 3000).bytes, QByteArray("    0123456789\r\n"));
    QCOMPARE(emulator.receive(1, 200).bytes, QByteArray());
}

void TestEmulator::requestsAreLogged()
{
    QTemporaryDir dir;
    const QString logPath = dir.filePath(QStringLiteral("requests.log"));
    EmulatorRun emulator;
    QVERIFY(emulator.start({QStringLiteral("--fast"), QStringLiteral("--log"), logPath}));
    QVERIFY(emulator.send("QTH0\\x\r\n"));
    QCOMPARE(emulator.receive(4, 3000).bytes, QByteArray("\\x\r\n"));
    QVERIFY(emulator.send(QByteArray("QTP\n\rQ\xffZ\n\r")));
    QTRY_COMPARE_WITH_TIMEOUT(
        readAll(logPath), QByteArray("QTH0\\x5cx\\x0d\\x0a\nQTP\\x0a\\x0d\nQ\\xffZ\\x0a\\x0d\n"),
        3000);
}

void TestEmulator::liveRunAlternatesUntilStopped()
{
    const QByteArray first = streamFile(QStringLiteral("real.txt"));
    const QByteArray second = streamFile(QStringLiteral("real2.txt"));
    EmulatorRun emulator;
    QVERIFY(emulator.start(
        {QStringLiteral("--fast"), QStringLiteral("--interval"), QStringLiteral("200")}));
    QVERIFY(emulator.send("QTRQ\n\r"));
    QCOMPARE(emulator.receive(first.size(), 3000).bytes, first);
    QCOMPARE(emulator.receive(second.size(), 3000).bytes, second);
    QVERIFY(emulator.send("QTP\n\r"));
    // A reading already on its way is finished; after it the line stays quiet for longer than
    // the interval between readings.
    QByteArray after = emulator.receive(first.size(), 400).bytes;
    if (!after.isEmpty()) {
        after += emulator.receive(first.size() - after.size(), 1000).bytes;
        QCOMPARE(after, first);
    }
    QCOMPARE(emulator.receive(1, 800).bytes, QByteArray());
}

void TestEmulator::missingStreamIsNotAnswered()
{
    QTemporaryDir empty;
    EmulatorRun emulator;
    QVERIFY(emulator.start({QStringLiteral("--fast"), QStringLiteral("--data"), empty.path()}));
    QVERIFY(emulator.send("QTS\n\r"));
    QCOMPARE(emulator.receive(1, 500).bytes, QByteArray());
    QTRY_VERIFY_WITH_TIMEOUT(emulator.standardError().contains("store.txt"), 2000);
    // The emulator still serves requests that need no file.
    QVERIFY(emulator.send("QTH1 X\r\n"));
    QCOMPARE(emulator.receive(4, 3000).bytes, QByteArray(" X\r\n"));
}

void TestEmulator::silentNeverAnswers()
{
    EmulatorRun emulator;
    QVERIFY(emulator.start({QStringLiteral("--fast"), QStringLiteral("--silent")}));
    QVERIFY(emulator.send("QTS\n\r"));
    QVERIFY(emulator.send("QTH0   ABC\r\n"));
    const EmulatorRun::Received answer = emulator.receive(1, 1000);
    QCOMPARE(answer.bytes, QByteArray());
    QVERIFY(!answer.hungUp);
}

void TestEmulator::garbageIsNotAStream()
{
    const QByteArray store = streamFile(QStringLiteral("store.txt"));
    EmulatorRun emulator;
    QVERIFY(emulator.start({QStringLiteral("--fast"), QStringLiteral("--garbage")}));
    QVERIFY(emulator.send("QTS\n\r"));
    QByteArray answer = emulator.receive(64, 3000).bytes;
    answer += emulator.receive(512, 200).bytes;
    QVERIFY2(answer.size() >= 64 && answer.size() < 512, QByteArray::number(answer.size()));
    QVERIFY(!answer.contains("</BTInstReading>"));
    QVERIFY(answer != store.left(answer.size()));
}

void TestEmulator::hangupAfterExactByteCount()
{
    const QByteArray store = streamFile(QStringLiteral("store.txt"));
    EmulatorRun emulator;
    QVERIFY(emulator.start(
        {QStringLiteral("--fast"), QStringLiteral("--hangup-after"), QStringLiteral("100")}));
    QVERIFY(emulator.send("QTS\n\r"));
    const EmulatorRun::Received answer = emulator.receive(store.size(), 5000);
    QVERIFY(answer.hungUp);
    QCOMPARE(answer.bytes, store.left(100));
}

void TestEmulator::closedPortLosesTheAnswer()
{
    const QByteArray store = streamFile(QStringLiteral("store.txt"));
    EmulatorRun emulator;
    // At 38400 baud the answer takes about a second.
    QVERIFY(emulator.start({QStringLiteral("--baud"), QStringLiteral("38400")}));
    QVERIFY(emulator.send("QTS\n\r"));
    QCOMPARE(emulator.receive(100, 3000).bytes, store.left(100));
    emulator.closePort();
    QTest::qWait(1300);
    QVERIFY(emulator.openPort());
    // Neither what was unread at the close nor what was sent meanwhile arrives.
    QCOMPARE(emulator.receive(1, 200).bytes, QByteArray());
    // The line still serves the next request.
    QVERIFY(emulator.send("QTH0 Y\r\n"));
    QCOMPARE(emulator.receive(4, 3000).bytes, QByteArray(" Y\r\n"));
}

void TestEmulator::gapPausesInsideTheAnswer()
{
    const QByteArray store = streamFile(QStringLiteral("store.txt"));
    EmulatorRun emulator;
    QVERIFY(
        emulator.start({QStringLiteral("--fast"), QStringLiteral("--gap-after"),
                        QStringLiteral("40"), QStringLiteral("--gap-ms"), QStringLiteral("800")}));
    QVERIFY(emulator.send("QTS\n\r"));
    QCOMPARE(emulator.receive(40, 3000).bytes, store.left(40));
    // Well inside the pause: nothing. Then the rest of the answer, unchanged.
    QCOMPARE(emulator.receive(1, 300).bytes, QByteArray());
    QCOMPARE(emulator.receive(store.size() - 40, 5000).bytes, store.mid(40));
}

void TestEmulator::linkNameIsClaimedOnce_data()
{
    QTest::addColumn<QString>("before"); // what has the name when the emulator starts
    QTest::addColumn<bool>("starts");
    QTest::newRow("nothing") << "" << true;
    QTest::newRow("link left by an emulator that died") << "dead link" << true;
    QTest::newRow("a file of the user's") << "file" << false;
    QTest::newRow("a directory") << "directory" << false;
    QTest::newRow("another emulator's link") << "emulator" << false;
}

void TestEmulator::linkNameIsClaimedOnce()
{
    QFETCH(QString, before);
    QFETCH(bool, starts);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("COM1"));
    EmulatorRun owner;
    if (before == QLatin1String("dead link")) {
        QVERIFY(QFile::link(QStringLiteral("/dev/pts/nrv508-gone"), path));
    } else if (before == QLatin1String("file")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep me");
    } else if (before == QLatin1String("directory")) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("COM1")));
    } else if (before == QLatin1String("emulator")) {
        QVERIFY(owner.start({QStringLiteral("--fast"), QStringLiteral("--link"), path}));
    }
    const QString ownersDevice = QFileInfo(path).symLinkTarget();

    EmulatorRun emulator;
    const bool started = emulator.start({QStringLiteral("--fast"), QStringLiteral("--link"), path});
    QCOMPARE(started, starts);
    if (starts) {
        // The name leads to a working line.
        QVERIFY(QFileInfo(path).symLinkTarget().startsWith(QLatin1String("/dev/")));
        QVERIFY(emulator.send("QTH0 OK\r\n"));
        QCOMPARE(emulator.receive(5, 3000).bytes, QByteArray(" OK\r\n"));
        return;
    }
    QCOMPARE(emulator.exitCode(5000), 1);
    QVERIFY2(emulator.standardError().contains(path.toLocal8Bit()), emulator.standardError());
    // What had the name keeps it, untouched.
    if (before == QLatin1String("file")) QCOMPARE(readAll(path), QByteArray("keep me"));
    if (before == QLatin1String("directory")) QVERIFY(QFileInfo(path).isDir());
    if (before == QLatin1String("emulator")) {
        QCOMPARE(QFileInfo(path).symLinkTarget(), ownersDevice);
        QVERIFY(owner.send("QTH1 still\r\n"));
        QCOMPARE(owner.receive(8, 3000).bytes, QByteArray(" still\r\n"));
    }
}

void TestEmulator::replugKeepsTheLinkName()
{
    const QByteArray store = streamFile(QStringLiteral("store.txt"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("COM1"));
    EmulatorRun emulator;
    QVERIFY(emulator.start({QStringLiteral("--fast"), QStringLiteral("--hangup-after"),
                            QStringLiteral("100"), QStringLiteral("--replug-after"),
                            QStringLiteral("3"), QStringLiteral("--link"), path}));
    QVERIFY(emulator.send("QTS\n\r"));
    const EmulatorRun::Received cut = emulator.receive(store.size(), 5000);
    QVERIFY(cut.hungUp);
    QCOMPARE(cut.bytes, store.left(100));
    emulator.closePort();
    // Unplugged, the name leads nowhere: never to a terminal that reused the number.
    QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo(path).isSymLink(), 2500);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(path).isSymLink(), 10000);
    QVERIFY(emulator.openPort());
    // Plugged in again: the next request gets its whole answer, the fault is not repeated.
    QVERIFY(emulator.send("QTS\n\r"));
    const EmulatorRun::Received whole = emulator.receive(store.size(), 5000);
    QCOMPARE(whole.bytes, store);
    QTRY_VERIFY_WITH_TIMEOUT(emulator.standardError().contains("plugged in again"), 3000);
    // Ending the emulator takes its name and lock away.
    emulator.interrupt();
    QVERIFY(!QFileInfo(path).isSymLink());
    QVERIFY(!QFileInfo::exists(path + QStringLiteral(".lock")));
}

QTEST_GUILESS_MAIN(TestEmulator)
#include "tst_emulator.moc"
