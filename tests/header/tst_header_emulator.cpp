// Header lines written over a real pseudo-terminal to the analyser emulator, which echoes them:
// through the core with its real timers (the receive timer's reception pass runs before the
// echo check), around a download, and through the built nrv508-cli.

#include "app/Program.h"
#include "common/EmulatorProcess.h"
#include "common/RecordingMessages.h"
#include "files/DataFile.h"
#include "link/DevicePort.h"
#include "link/HeaderWriter.h"
#include "tables/Modes.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
constexpr int kWaitMs = 20000; // generous: the build machine may be busy

const QString kLine1 = QStringLiteral("12 High Street");
const QString kLine2 = QStringLiteral("555-0199");
const QString kSent1 = QStringLiteral("   12 High Street");
const QString kSent2 = QStringLiteral("      555-0199");

QByteArray expected(const QString &name)
{
    QFile file(QStringLiteral(NRV508_TEST_DATA "/expected/") + name);
    if (!file.open(QIODevice::ReadOnly)) qFatal("missing expected data %s", qPrintable(name));
    return file.readAll();
}

QString logged(const QString &command)
{
    return command + QStringLiteral("\\x0d\\x0a");
}

// The program on a DevicePort pointed at a freshly started emulator, with its real timers.
struct Link {
    EmulatorProcess emulator;
    DevicePort port;
    RecordingMessages messages;
    Program program{port, messages};
    ScreenModel &model = program.model;
    HeaderWriter &writer = program.header;

    bool start(const QStringList &options, int mode = Real)
    {
        QString error;
        if (!emulator.start(options, &error)) {
            qWarning("%s", qPrintable(error));
            return false;
        }
        program.startUp();
        port.setDeviceOverride(emulator.device());
        port.setSettings(QStringLiteral("9600,N,8,1"));
        program.modes.switchTo(mode);
        return true;
    }
    // "OK" of a line, then the event loop until its echo check is done.
    bool write(int line, const QString &text)
    {
        QSignalSpy checked(&writer, &HeaderWriter::echoChecked);
        writer.setInput(line, text);
        if (!writer.writeLine(line)) return false;
        return checked.wait(kWaitMs);
    }
};

struct Run {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run cli(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(NRV508_CLI), args);
    Run run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}
} // namespace

class TestHeaderEmulator : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void bothLinesConfirmed_data();
    void bothLinesConfirmed();
    void headerBetweenDownloads();
    void commandLine_data();
    void commandLine();

private:
    QTemporaryDir m_dir;
};

void TestHeaderEmulator::initTestCase()
{
    if (EmulatorProcess::binary().isEmpty()) QSKIP("this build has no emulator (NRV508_TOOLS=OFF)");
    QVERIFY(QDir::setCurrent(m_dir.path())); // no settings file from elsewhere
}

void TestHeaderEmulator::bothLinesConfirmed_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("timer3Ms");
    QTest::newRow("Real Mode, at once") << QStringList{"--fast"} << int(Real) << 500;
    QTest::newRow("Store Mode, at line speed")
        << QStringList{"--baud", "9600"} << int(Store) << 500;
    // The quiet gap ends well before the check: the reception pass has emptied ReceiveBuffer.
    QTest::newRow("reception pass before the check") << QStringList{"--fast"} << int(Store) << 50;
}

void TestHeaderEmulator::bothLinesConfirmed()
{
    QFETCH(QStringList, options);
    QFETCH(int, mode);
    QFETCH(int, timer3Ms);
    Link link;
    QVERIFY(link.start(options, mode));
    link.program.transfer.setTimer3Interval(timer3Ms);
    QSignalSpy passes(&link.program.transfer, &Transfer::receptionFinished);
    int passesAtCheck = -1;
    QObject::connect(&link.writer, &HeaderWriter::echoChecked, &link.writer,
                     [&] { passesAtCheck = static_cast<int>(passes.count()); });

    link.writer.headerButton(); // port closed: nothing is sent
    QVERIFY(link.write(1, kLine1));
    QCOMPARE(link.writer.texts().Text3, kSent1);
    if (timer3Ms < HeaderWriter::kTimer2Ms / 2) QVERIFY(passesAtCheck >= 1);
    QVERIFY(link.write(2, kLine2));
    QCOMPARE(link.writer.texts().Text4, kSent2);

    QCOMPARE(link.emulator.requests(),
             QStringList({logged("QTH0" + kSent1), logged("QTH1" + kSent2)}));
    QVERIFY(link.port.isOpen());
    QTRY_VERIFY_WITH_TIMEOUT(link.model.ReceiveBuffer.isEmpty(), kWaitMs);
    QVERIFY(!link.model.frmSplash.visible);
    QCOMPARE(link.messages.count(), 0);
}

// After a download the infrared port is open: Header stops the instrument and closes it, the
// write opens it again, and once the window is left the next download parses as before.
void TestHeaderEmulator::headerBetweenDownloads()
{
    Link link;
    QVERIFY(link.start({"--fast"}, Store));
    Transfer &transfer = link.program.transfer;
    QSignalSpy passes(&transfer, &Transfer::receptionFinished);
    transfer.startStop();
    QTRY_VERIFY_WITH_TIMEOUT(transfer.lastPassCompletedStream(), kWaitMs);
    QCOMPARE(DataFile::serialize(link.model), expected(QStringLiteral("store.txt")));

    link.writer.headerButton();
    QVERIFY(!link.port.isOpen());
    QVERIFY(link.write(1, kLine1));
    QCOMPARE(link.writer.texts().Text3, kSent1);
    QTRY_VERIFY_WITH_TIMEOUT(link.model.ReceiveBuffer.isEmpty(), kWaitMs);
    link.writer.endWrite();

    const int passesBefore = static_cast<int>(passes.count());
    transfer.startStop();
    QTRY_VERIFY_WITH_TIMEOUT(passes.count() > passesBefore && transfer.lastPassCompletedStream(),
                             kWaitMs);
    QCOMPARE(DataFile::serialize(link.model), expected(QStringLiteral("store.txt")));
    QCOMPARE(link.emulator.requests(), QStringList({"QTS\\x0a\\x0d", "QTP\\x0a\\x0d",
                                                    logged("QTH0" + kSent1), "QTS\\x0a\\x0d"}));
    QCOMPARE(link.messages.count(), 0);
}

void TestHeaderEmulator::commandLine_data()
{
    QTest::addColumn<QStringList>("emulatorOptions");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QString>("err");
    const QStringList fast{"--fast"};
    QTest::newRow("both lines") << fast << QStringList{"--line1", kLine1, "--line2", kLine2} << 0
                                << QByteArray("Text3=   12 High Street\nText4=      555-0199\n")
                                << QString();
    QTest::newRow("line 2 alone, Bluetooth")
        << fast << QStringList{"--line2", kLine2, "--link", "bt"} << 0
        << QByteArray("Text4=      555-0199\n") << QString();
    QTest::newRow("silent instrument")
        << QStringList{"--fast", "--silent"} << QStringList{"--line1", "X"} << 1
        << QByteArray("Text3=Error !\n") << "header line 1 on DEVICE not confirmed";
    QTest::newRow("line too long")
        << fast << QStringList{"--line1", "012345678901234567890"} << 2 << QByteArray()
        << "--line1 takes 1 to 20 printable ASCII characters";
}

void TestHeaderEmulator::commandLine()
{
    QFETCH(QStringList, emulatorOptions);
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QByteArray, out);
    QFETCH(QString, err);
    EmulatorProcess emulator;
    QString error;
    QVERIFY2(emulator.start(emulatorOptions, &error), qPrintable(error));
    const Run run =
        cli(QStringList{"header", "--port", emulator.device(), "--baud", "19200"} + args);
    QCOMPARE(run.status, status);
    QCOMPARE(run.out, out);
    if (err.isEmpty())
        QCOMPARE(run.err, QByteArray());
    else
        QVERIFY2(QString::fromLocal8Bit(run.err).contains(
                     QString(err).replace(QLatin1String("DEVICE"), emulator.device())),
                 run.err.constData());
}

QTEST_GUILESS_MAIN(TestHeaderEmulator)
#include "tst_header_emulator.moc"
