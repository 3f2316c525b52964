// nrv508-cli download and live end to end: the built command against the emulator.

#include "common/EmulatorProcess.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QByteArray expected(const QString &name)
{
    QFile file(QStringLiteral(NRV508_TEST_DATA "/expected/") + name);
    if (!file.open(QIODevice::ReadOnly)) qFatal("missing expected data %s", qPrintable(name));
    return file.readAll();
}

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

class TestCliLink : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void downloadWritesTheDataFile_data();
    void downloadWritesTheDataFile();
    void livePrintsEachReadingThenStops();
    void failures_data();
    void failures();
    void usageErrors_data();
    void usageErrors();

private:
    QTemporaryDir m_dir;
};

void TestCliLink::initTestCase()
{
    if (EmulatorProcess::binary().isEmpty()) QSKIP("this build has no emulator (NRV508_TOOLS=OFF)");
    QVERIFY(m_dir.isValid());
}

void TestCliLink::downloadWritesTheDataFile_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("link");
    QTest::newRow("store") << "1"
                           << "store.txt"
                           << "ir";
    QTest::newRow("logger page 0") << "2"
                                   << "logger0.txt"
                                   << "ir";
    QTest::newRow("single logger page 0") << "6"
                                          << "single0.txt"
                                          << "bt";
    QTest::newRow("tightness") << "11"
                               << "tightness.txt"
                               << "bt";
}

void TestCliLink::downloadWritesTheDataFile()
{
    QFETCH(QString, mode);
    QFETCH(QString, file);
    QFETCH(QString, link);
    EmulatorProcess emulator;
    QString error;
    QVERIFY2(emulator.start({"--fast"}, &error), qPrintable(error));
    const QString out = m_dir.filePath(file);

    const Run run = cli({"download", "--port", emulator.device(), "--mode", mode, "--baud", "38400",
                         "--link", link, "--out", out});

    QCOMPARE(run.status, 0);
    QCOMPARE(run.err, QByteArray());
    QFile written(out);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), expected(file));
}

void TestCliLink::livePrintsEachReadingThenStops()
{
    EmulatorProcess emulator;
    QString error;
    // The quiet gap ends a reading within a second of its last byte; readings further apart
    // than that are shown one by one.
    QVERIFY2(emulator.start({"--baud", "38400", "--interval", "1300"}, &error), qPrintable(error));

    const Run run = cli({"live", "--port", emulator.device(), "--baud", "38400", "--count", "2"});

    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, expected("real.panels") + '\n' + expected("real-real2.panels") + '\n');
    QCOMPARE(emulator.requests(), (QStringList{"QTRQ\\x0a\\x0d", "QTP\\x0a\\x0d"}));
}

void TestCliLink::failures_data()
{
    QTest::addColumn<QStringList>("emulatorOptions"); // empty: no emulator, a missing port
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("stderrStart");
    QTest::addColumn<bool>("fileWritten");

    QTest::newRow("missing port") << QStringList() << QStringList{"--mode", "1"}
                                  << "Port Error: /dev/nrv508-missing: " << false;
    QTest::newRow("silent instrument")
        << QStringList{"--silent"} << QStringList{"--mode", "3", "--timeout", "1"}
        << "nrv508-cli: no answer from the instrument on " << false;
    QTest::newRow("silent instrument, live")
        << QStringList{"--silent"} << QStringList{"--mode", "0", "--timeout", "1"}
        << "nrv508-cli: no answer from the instrument on " << false;
    QTest::newRow("hang-up mid-download")
        << QStringList{"--fast", "--hangup-after", "3000"} << QStringList{"--mode", "2"}
        << "Communication Error: Check Analyser and Adapter, or Change the Communication "
           "Setup."
        << true;
}

void TestCliLink::failures()
{
    QFETCH(QStringList, emulatorOptions);
    QFETCH(QStringList, args);
    QFETCH(QString, stderrStart);
    QFETCH(bool, fileWritten);
    EmulatorProcess emulator;
    QString device = QStringLiteral("/dev/nrv508-missing");
    if (!emulatorOptions.isEmpty()) {
        QString error;
        QVERIFY2(emulator.start(emulatorOptions, &error), qPrintable(error));
        device = emulator.device();
    }
    const QString out = m_dir.filePath(QStringLiteral("failure.txt"));
    QFile::remove(out);

    const Run run = cli(QStringList{"download", "--port", device, "--out", out} + args);

    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.startsWith(stderrStart.toLocal8Bit()), run.err.constData());
    QCOMPARE(run.err.count('\n'), 1);
    QCOMPARE(QFile::exists(out), fileWritten);
    if (fileWritten) { // the empty page, as parsed up to the fault
        QFile file(out);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith("\"2\"\r\n"));
    }
}

void TestCliLink::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("no port") << QStringList{"download", "--mode", "1"};
    QTest::newRow("no mode") << QStringList{"download", "--port", "COM1"};
    QTest::newRow("mode 12") << QStringList{"download", "--port", "COM1", "--mode", "12"};
    QTest::newRow("baud 1200") << QStringList{"download", "--port", "COM1", "--mode",
                                              "1",        "--baud", "1200"};
    QTest::newRow("link usb") << QStringList{"live", "--port", "COM1", "--link", "usb"};
    QTest::newRow("count 0") << QStringList{"live", "--port", "COM1", "--count", "0"};
    QTest::newRow("live takes no mode") << QStringList{"live", "--port", "COM1", "--mode", "1"};
}

void TestCliLink::usageErrors()
{
    QFETCH(QStringList, args);
    const Run run = cli(args);
    QCOMPARE(run.status, 2);
    QVERIFY(run.err.contains("usage: nrv508-cli " + args.first().toLatin1()));
}

QTEST_GUILESS_MAIN(TestCliLink)
#include "tst_cli_link.moc"
