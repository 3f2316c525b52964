#include "Streams.h"
#include "TestFiles.h"
#include "files/DataFile.h"
#include "tables/Modes.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {
QByteArray loggerStream(int first, int last)
{
    QStringList lines = {"major_version=\"2\"", "minor_version=\"10\"",
                         "sampling time=\"00:00:30\"", "fuel_type=\"Oil\""};
    for (int a = first; a <= last; ++a)
        lines << QStringLiteral("<inst_data address=\"%1\"").arg(a)
              << QStringLiteral("CO=\"%1/%2/%3\"").arg(a).arg(a + 1).arg(a + 2);
    return stream(lines);
}
} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void parseEachCaptureIsOnePass();
    void openRoundTripAndPanels();
    void corpusMatchesExpectedFiles_data();
    void corpusMatchesExpectedFiles();
    void failuresAndUsage_data();
    void failuresAndUsage();
    void helpOfEveryCommand();
    void helpDetails_data();
    void helpDetails();
    void outputTargets_data();
    void outputTargets();
};

// Each capture is one burst and one pass: a page in three captures, the second ending its
// stream and the third carrying a whole one, keeps every record; one pass over them all would
// keep only the last stream.
void TestCli::parseEachCaptureIsOnePass()
{
    QTemporaryDir dir;
    const QByteArray first = loggerStream(0, 2) + loggerStream(3, 5).left(120);
    const QString a = writtenFile(dir.filePath("a.cap"), first);
    const QString b = writtenFile(dir.filePath("b.cap"), loggerStream(3, 5).mid(120));
    const QString c = writtenFile(dir.filePath("c.cap"), loggerStream(6, 7));
    const Run r = cli({"parse", "--mode", "2", a, b, c});
    QCOMPARE(r.status, 0);
    DataFile::Contents contents;
    QString error;
    QVERIFY2(DataFile::parse(r.out, "stdout", &contents, &error), qPrintable(error));
    Core page(LoggerPage0);
    DataFile::apply(contents, page.m);
    for (int a = 0; a <= 7; ++a)
        QCOMPARE(page.m.MSFlexGrid1.text(a + 1, 4), QString::number(a + 1)); // min/avg/max
    QCOMPARE(page.m.MSFlexGrid1.text(9, 0), QString());
    QCOMPARE(r.err, QByteArray());
}

void TestCli::openRoundTripAndPanels()
{
    QTemporaryDir dir;
    const Run parsed =
        cli({"parse", "--mode", "2", writtenFile(dir.filePath("p.cap"), loggerStream(0, 36))});
    const QString file = writtenFile(dir.filePath("page.txt"), parsed.out);
    const Run opened = cli({"open", file});
    QCOMPARE(opened.status, 0);
    QCOMPARE(opened.out, parsed.out);

    const QString out = dir.filePath("copy.txt");
    QCOMPARE(cli({"open", file, "--out", out}).status, 0);
    QCOMPARE(readFile(out), parsed.out);

    const Run panels = cli({"open", file, "--panels"});
    QCOMPARE(panels.status, 0);
    QCOMPARE(panels.out,
             QByteArray("CurrentMode=2\nFrameStore=Logger Mode Data\ntxtSAdd2=0\ntxtSTime=\n"
                        "txtSDate=\ntxtLFuel=Oil\ntxtSCo=1\ntxtSO2=\ntxtSCo2=\ntxtSRatio=\n"
                        "txtSXair=\ntxtSEff=\ntxtSTemp1=\ntxtSTemp2=\ntxtSPressure=\n"
                        "labST1Unit=\nlabST2Unit=\nlabSPUnit=\ntxtSSample=00:00:30\n"
                        "txtVersion=2.10\n"));
}

void TestCli::corpusMatchesExpectedFiles_data()
{
    QTest::addColumn<QStringList>("streams");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("expected");
    const struct {
        const char *streams;
        int mode;
        const char *expected;
    } cases[] = {
        {"store", 1, "store.txt"},      {"logger0", 2, "logger0.txt"},
        {"logger1", 3, "logger1.txt"},  {"logger2", 4, "logger2.txt"},
        {"logger3", 5, "logger3.txt"},  {"logger1_first_lost", 3, "logger1_first_lost.txt"},
        {"single0", 6, "single0.txt"},  {"single1", 7, "single1.txt"},
        {"single2", 8, "single2.txt"},  {"single3", 9, "single3.txt"},
        {"single4", 10, "single4.txt"}, {"tightness", 11, "tightness.txt"},
        {"real", 0, "real.panels"},     {"real real2", 0, "real-real2.panels"},
    };
    for (const auto &c : cases)
        QTest::newRow(c.expected) << QString(c.streams).split(' ') << c.mode << QString(c.expected);
}

// Streams and data files written independently of this program, from the formats alone.
void TestCli::corpusMatchesExpectedFiles()
{
    QFETCH(QStringList, streams);
    QFETCH(int, mode);
    QFETCH(QString, expected);
    const QString data = QStringLiteral(NRV508_TEST_DATA);
    QStringList args = {"parse", "--mode", QString::number(mode)};
    for (const QString &s : streams)
        args << data + "/streams/" + s + ".txt";
    const Run r = cli(args);
    QCOMPARE(r.status, 0);
    QFile file(data + "/expected/" + expected);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    QCOMPARE(r.out, file.readAll());
    if (mode != 0) // and the data file comes back byte for byte
        QCOMPARE(cli({"open", file.fileName()}).out, r.out);
}

void TestCli::failuresAndUsage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("fileBytes");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("stderrHas");
    QTest::newRow("open missing file")
        << QStringList{"open", "@missing.txt"} << QByteArray() << 1 << "missing.txt";
    QTest::newRow("open mode 0 file")
        << QStringList{"open", "@f"} << QByteArray("\"0\"\r\n") << 1 << "mode number 0";
    QTest::newRow("open not a data file")
        << QStringList{"open", "@f"} << QByteArray("hello\r\n") << 1 << "not a data file";
    // The --out file of a run that fails keeps what it held.
    QTest::newRow("parse missing capture")
        << QStringList{"parse", "--mode", "1", "--out", "@f", "@nothere.cap"}
        << QByteArray("previous") << 1 << "nothere";
    QTest::newRow("parse mode 12")
        << QStringList{"parse", "--mode", "12", "@f"} << QByteArray("x") << 2 << "usage:";
    QTest::newRow("parse no capture")
        << QStringList{"parse", "--mode", "1"} << QByteArray() << 2 << "usage:";
    QTest::newRow("unknown option")
        << QStringList{"open", "@f", "--bogus"} << QByteArray("x") << 2 << "--bogus";
    QTest::newRow("unknown command")
        << QStringList{"frobnicate"} << QByteArray() << 2 << "frobnicate";
    QTest::newRow("help") << QStringList{"parse", "--help"} << QByteArray() << 0 << "";
    // A COM name beyond the six ports is no file name either.
    QTest::newRow("download COM7") << QStringList{"download", "--port", "COM7", "--mode", "1"}
                                   << QByteArray() << 2 << "COM1 to COM6";
    QTest::newRow("live com0") << QStringList{"live", "--port", "com0"} << QByteArray() << 2
                               << "COM1 to COM6";
    QTest::newRow("header COM12") << QStringList{"header", "--port", "COM12", "--line1", "x"}
                                  << QByteArray() << 2 << "COM1 to COM6";
    // What a file holds reaches the terminal escaped and cut short.
    QTest::newRow("escape sequence in the first value")
        << QStringList{"open", "@f"} << QByteArray("\"\x1b[2J\x07\"\r\n") << 1
        << "\"\\x1b[2J\\x07\" is not a mode number";
    QTest::newRow("long first value") << QStringList{"open", "@f"} << QByteArray(5000, 'v') + "\r\n"
                                      << 1 << "\"" + QString(40, 'v') + "...\" is not";
    QTest::newRow("endless capture") << QStringList{"parse", "--mode", "2", "/dev/zero"}
                                     << QByteArray() << 1 << "\"/dev/zero\": it is too large";
}

void TestCli::failuresAndUsage()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, fileBytes);
    QFETCH(int, status);
    QFETCH(QString, stderrHas);
    QTemporaryDir dir;
    if (!fileBytes.isEmpty()) writtenFile(dir.filePath("f"), fileBytes);
    for (QString &a : args)
        if (a.startsWith('@')) a = dir.filePath(a.mid(1));
    const Run r = cli(args);
    QCOMPARE(r.status, status);
    QVERIFY2(QString::fromLocal8Bit(r.err).contains(stderrHas), r.err.constData());
    if (status != 0) QVERIFY(r.out.isEmpty());
    if (!fileBytes.isEmpty()) QCOMPARE(readFile(dir.filePath("f")), fileBytes);
    for (const char c : r.err)
        QVERIFY2(uchar(c) >= 0x20 || c == '\n', r.err.constData());
    QVERIFY(r.err.size() < 2000);
}

// Every command that nrv508-cli lists explains each option of its usage line on a line of its
// own, and ends with an example of itself.
void TestCli::helpOfEveryCommand()
{
    const Run overview = cli({"--help"});
    QCOMPARE(overview.status, 0);
    static const QRegularExpression listed(QStringLiteral("^  nrv508-cli (\\S+)"),
                                           QRegularExpression::MultilineOption);
    QStringList commands;
    for (const QRegularExpressionMatch &m : listed.globalMatch(overview.out))
        commands << m.captured(1);
    QVERIFY2(commands.size() >= 6, overview.out.constData());
    static const QRegularExpression option(QStringLiteral("--[a-z0-9-]+"));
    for (const QString &command : commands) {
        const Run r = cli({command, "--help"});
        const QString help = QString::fromLocal8Bit(r.out);
        QVERIFY2(r.status == 0 && r.err.isEmpty(), qPrintable(command));
        const QString usage = help.section(QStringLiteral("\n\n"), 0, 0); // may wrap
        QVERIFY2(usage.startsWith("usage: nrv508-cli " + command), qPrintable(help));
        for (const QRegularExpressionMatch &m : option.globalMatch(usage)) {
            const QString line = "\n  " + m.captured(0) + ' ';
            QVERIFY2(help.section("Options:", 1).contains(line),
                     qPrintable(command + ": " + m.captured(0) + " is not explained in\n" + help));
        }
        QVERIFY2(help.section("\nExample:\n", 1).startsWith("  nrv508-cli " + command + ' '),
                 qPrintable(command + " --help has no example of itself:\n" + help));
    }
}

void TestCli::helpDetails_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("lines"); // each must be a line of the help, as written
    const QStringList ports = {
        "  --baud SPEED       4800, 9600, 19200 or 38400 (default 9600)",
        "  --link ir|bt       infrared adapter or Bluetooth serial port (default ir)"};
    const QStringList modes = {"   0  Real Mode (live readings)",
                               "   1  Store Mode",
                               "   2  Logger Mode, page 0",
                               "   5  Logger Mode, page 3",
                               "   6  Single Logger Mode, page 0",
                               "  10  Single Logger Mode, page 4",
                               "  11  Tightness Mode"};
    QTest::newRow("download")
        << "download"
        << ports + modes +
               QStringList{"                     every byte received (default 10)",
                           "  --count N          live readings to show in mode 0 (default 1)"};
    QTest::newRow("live") << "live"
                          << ports + QStringList{"  --count N          readings to show before "
                                                 "Stop (default 1)"};
    QTest::newRow("header") << "header" << ports;
    QTest::newRow("parse") << "parse" << modes;
    QTest::newRow("open") << "open" << QStringList{"                     (default: stdout)"};
}

void TestCli::helpDetails()
{
    QFETCH(QString, command);
    QFETCH(QStringList, lines);
    const QStringList help = QString::fromLocal8Bit(cli({command, "--help"}).out).split('\n');
    for (const QString &line : lines)
        QVERIFY2(help.contains(line), qPrintable(command + ": no line \"" + line + '"'));
    // The mode list is complete where there is one: no more codes than the twelve.
    if (lines.contains("  11  Tightness Mode"))
        QCOMPARE(help.filter(QRegularExpression("^  ( \\d|\\d\\d)  [A-Z]")).size(), 12);
}

// target: where the output goes. "/dev/full" and "file" (on a full disk) as stdout; the
// others as --out: a FIFO and a device node are written through and stay what they are, "-"
// is stdout.
void TestCli::outputTargets_data()
{
    QTest::addColumn<QStringList>("args"); // CAP: a capture of a Logger page, FILE: its file
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("err");
    const QString full = "nrv508-cli: cannot write to standard output: No space left on device";
    const QStringList parse = {"parse", "--mode", "2", "CAP"};
    QTest::newRow("parse to /dev/full") << parse << "/dev/full" << 1 << full;
    QTest::newRow("open to /dev/full") << QStringList{"open", "FILE"} << "/dev/full" << 1 << full;
    QTest::newRow("chart to /dev/full")
        << QStringList{"chart", "FILE", "--quantity", "CO"} << "/dev/full" << 1 << full;
    QTest::newRow("help to /dev/full") << QStringList{"--help"} << "/dev/full" << 1 << full;
    QTest::newRow("parse to a full disk")
        << parse << "file" << 1 << "nrv508-cli: cannot write to standard output: File too large";
    QTest::newRow("parse --out FIFO") << parse + QStringList{"--out", "OUT"} << "fifo" << 0 << "";
    QTest::newRow("open --out device")
        << QStringList{"open", "FILE", "--out", "OUT"} << "device" << 0 << "";
    QTest::newRow("parse --out -") << parse + QStringList{"--out", "-"} << "-" << 0 << "";
}

void TestCli::outputTargets()
{
    QFETCH(QStringList, args);
    QFETCH(QString, target);
    QFETCH(int, status);
    QFETCH(QString, err);
    QTemporaryDir dir;
    const QByteArray page = loggerStream(0, 36);
    const QString capture = writtenFile(dir.filePath("p.cap"), page);
    const QByteArray expected = cli({"parse", "--mode", "2", capture}).out;
    QVERIFY(expected.size() > 4096); // more than the full disk below takes
    const QString file = writtenFile(dir.filePath("page.txt"), expected);
    const QString out = dir.filePath("out");
    args.replaceInStrings(QRegularExpression("^CAP$"), capture);
    args.replaceInStrings(QRegularExpression("^FILE$"), file);
    args.replaceInStrings(QRegularExpression("^OUT$"), out);

    QProcess reader; // the other end of the FIFO
    QString stdoutFile = target.startsWith('/') ? target : QString();
    if (target == "fifo") {
        QVERIFY(mkfifo(QFile::encodeName(out).constData(), 0600) == 0);
        reader.start("cat", {out});
        QVERIFY(reader.waitForStarted());
    } else if (target == "device") {
        if (mknod(QFile::encodeName(out).constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
            QSKIP("making a device node needs root");
    } else if (target == "file") {
        // A disk that fills up after 1 or 2 KB: a shell with a file-size limit, its stdout a file.
        stdoutFile = dir.filePath("stdout.txt");
        args = QStringList{"-c", "ulimit -f 2; trap '' XFSZ; exec \"$0\" \"$@\"",
                           QStringLiteral(NRV508_CLI)} +
               args;
    }
    const Run r =
        target == "file" ? runProgram("sh", args, {}, stdoutFile) : cli(args, {}, stdoutFile);
    QCOMPARE(r.status, status);
    // One line saying what failed, or nothing.
    QVERIFY2(err.isEmpty()
                 ? r.err.isEmpty()
                 : QString::fromLocal8Bit(r.err).startsWith(err) && r.err.count('\n') == 1,
             r.err.constData());
    if (target == "fifo") {
        QVERIFY(reader.waitForFinished(30000));
        QCOMPARE(reader.readAllStandardOutput(), expected);
    }
    if (target == "-") QCOMPARE(r.out, expected);
    struct stat st;
    if (target == "fifo" || target == "device") {
        QVERIFY(stat(QFile::encodeName(out).constData(), &st) == 0);
        QVERIFY(target == "fifo" ? S_ISFIFO(st.st_mode) : S_ISCHR(st.st_mode));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(),
                 3); // p.cap, page.txt and out: nothing left beside them
    }
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
