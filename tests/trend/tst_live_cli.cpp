// nrv508-cli live in the script formats against the analyser emulator on a pseudo-terminal:
// the lines a script reads, each out as soon as its reading is shown, and a run without end
// stopped from outside.

#include "TestFiles.h"
#include "common/EmulatorProcess.h"

#include <QProcess>
#include <QtTest>
#include <csignal>

namespace {
constexpr int kWaitMs = 20000; // generous: the build machine may be busy

// The emulator's two readings as the script formats print them, in this machine's offset.
QByteArray timeOf(int second)
{
    const QDateTime t(QDate(2024, 3, 12), QTime(14, 32, second));
    return t.toOffsetFromUtc(t.offsetFromUtc()).toString(Qt::ISODate).toLatin1();
}
const QByteArray kCsvHeader = "time,CO [ppm],O2 [%],CO2 [%],Ratio,XAir [%],Eff. [%],Temp1 ['C],"
                              "Temp2 ['C],Pressure [mbar]\r\n";
QByteArray csvRow(int k)
{
    return timeOf(7 + k) + (k == 0 ? ",25,4.8,9,0.0003,29.8,92,182.5,21.3,-0.12\r\n"
                                   : ",31,5.1,8.8,0.0004,,91.9,359.4,,-0.11\r\n");
}
QByteArray jsonLine(int k)
{
    const QByteArray units = QByteArray(",\"units\":{\"CO\":\"ppm\",\"O2\":\"%\",\"CO2\":\"%\","
                                        "\"XAir\":\"%\",\"Eff.\":\"%\",\"Temp1\":\"'C\","
                                        "\"Temp2\":\"'C\",\"Pressure\":\"mbar\"}}\n");
    if (k == 0)
        return "{\"time\":\"" + timeOf(7) +
               "\",\"CO\":25,\"O2\":4.8,\"CO2\":9,\"Ratio\":0.0003,\"XAir\":29.8,\"Eff.\":92,"
               "\"Temp1\":182.5,\"Temp2\":21.3,\"Pressure\":-0.12" +
               units;
    return "{\"time\":\"" + timeOf(8) +
           "\",\"CO\":31,\"O2\":5.1,\"CO2\":8.8,\"Ratio\":0.0004,\"XAir\":null,\"Eff.\":91.9,"
           "\"Temp1\":359.4,\"Temp2\":null,\"Pressure\":-0.11" +
           QByteArray(units).replace("'C", "'F");
}
QStringList requests(const char *commands)
{
    QStringList out;
    for (const QString &c : QString(commands).split(' ', Qt::SkipEmptyParts))
        out << c + "\\x0a\\x0d";
    return out;
}
} // namespace

class TestLiveCli : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        if (EmulatorProcess::binary().isEmpty()) QSKIP("this build has no emulator");
    }

    // args: after "live --port PORT --fast-enough"; out: stdout; err: stderr's lines.
    void formats_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QStringList>("err");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("csv, two readings")
            << QStringList{"--count", "2", "--format", "csv"} << 0
            << kCsvHeader + csvRow(0) + csvRow(1)
            << QStringList{"nrv508-cli: the reading of " + timeOf(8) +
                           " is in Temp1 ['F], Temp2 ['F], unlike the header"}
            << requests("QTRQ QTP");
        QTest::newRow("json, two readings")
            << QStringList{"--count", "2", "--format", "json"} << 0 << jsonLine(0) + jsonLine(1)
            << QStringList() << requests("QTRQ QTP");
        QTest::newRow("json, one reading by default")
            << QStringList{"--format", "json"} << 0 << jsonLine(0) << QStringList()
            << requests("QTRQ QTP");
        QTest::newRow("unknown format") << QStringList{"--format", "xml"} << 2 << QByteArray()
                                        << QStringList{"nrv508-cli live: --format takes panels, "
                                                       "csv or json"}
                                        << QStringList();
    }

    void formats()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, err);
        EmulatorProcess instrument;
        QString error;
        QVERIFY2(instrument.start({"--fast", "--interval", "1300"}, &error), qPrintable(error));
        const Run r = cli(QStringList{"live", "--port", instrument.device()} + args);
        QTEST(r.status, "status");
        QTEST(r.out, "out");
        QStringList lines = QString::fromLocal8Bit(r.err).split('\n', Qt::SkipEmptyParts);
        if (r.status == 2) lines.removeLast(); // the usage
        QCOMPARE(lines, err);
        QFETCH(QStringList, sent);
        QTRY_COMPARE_WITH_TIMEOUT(instrument.requests(), sent, kWaitMs);
    }

    // --count 0 runs until it is stopped: each reading is out before the next one arrives, and
    // a signal ends the run through Stop.
    void countZeroUntilStopped_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("firstTwo");
        QTest::newRow("csv") << "csv" << kCsvHeader + csvRow(0) + csvRow(1);
    }

    void countZeroUntilStopped()
    {
        QFETCH(QString, format);
        QFETCH(QByteArray, firstTwo);
        EmulatorProcess instrument;
        QString error;
        QVERIFY2(instrument.start({"--fast", "--interval", "1300"}, &error), qPrintable(error));
        QProcess cli;
        cli.start(QStringLiteral(NRV508_CLI),
                  {"live", "--port", instrument.device(), "--count", "0", "--format", format});
        QVERIFY(cli.waitForStarted());
        QByteArray out;
        while (out.size() < firstTwo.size() && cli.waitForReadyRead(kWaitMs))
            out += cli.readAllStandardOutput();
        QCOMPARE(out.left(firstTwo.size()), firstTwo);
        // A process that already ended has id 0, and kill(0) would hit the whole test group.
        QVERIFY(cli.processId() > 0);
        ::kill(pid_t(cli.processId()), SIGINT);
        QVERIFY(cli.waitForFinished(kWaitMs));
        QCOMPARE(cli.exitCode(), 128 + SIGINT);
        out += cli.readAllStandardOutput();
        QVERIFY2(out.endsWith('\n'), out.constData()); // no reading cut in half
        QTRY_COMPARE_WITH_TIMEOUT(instrument.requests(), requests("QTRQ QTP"), kWaitMs);
    }
};

QTEST_GUILESS_MAIN(TestLiveCli)
#include "tst_live_cli.moc"
