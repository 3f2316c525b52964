// Printout header programming against a scripted port, with the real transfer wired to it:
// the bytes of each header line, the echo check a second after the write, and the two ways out
// of the header window.

#include "app/Program.h"
#include "common/FakePort.h"
#include "common/RecordingMessages.h"
#include "files/DataFile.h"
#include "link/HeaderWriter.h"
#include "tables/Modes.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
using Bursts = QList<QByteArray>;
const QString kError = QStringLiteral("Error !");

QString wait(int shortPauses)
{
    return QStringLiteral("wait %1").arg(shortPauses * Pauses::kShortMs);
}

QString spaces(int count)
{
    return QString(count, QLatin1Char(' '));
}

QByteArray readData(const QString &path)
{
    QFile file(QStringLiteral(NRV508_TEST_DATA "/") + path);
    if (!file.open(QIODevice::ReadOnly)) qFatal("missing test data %s", qPrintable(path));
    return file.readAll();
}

// A program over a fake port, its pauses logged by the port. The receive timer is kept out of
// the way (tests end a quiet gap by hand); the echo check runs as soon as the event loop does.
struct Rig {
    FakePort port;
    RecordingMessages messages;
    Program program{port, messages};
    ScreenModel &model = program.model;
    HeaderWriter &writer = program.header;

    explicit Rig(int linkType = 1)
    {
        program.pauses.setWait(port.pauseFunction());
        program.startUp();
        model.LinkType = static_cast<qint16>(linkType);
        program.transfer.setTimer3Interval(3600 * 1000);
        writer.setTimer2Interval(1);
        port.clearLog();
    }

    // The user types into the line's input box and presses its "OK".
    bool ok(int line, const QString &text)
    {
        writer.setInput(line, text);
        return writer.writeLine(line);
    }
    // Lets Timer2 tick; false if no echo check ran.
    bool awaitCheck()
    {
        QSignalSpy checked(&writer, &HeaderWriter::echoChecked);
        return checked.wait(5000);
    }
    // Two receive-timer ticks without data: the reception pass runs and empties ReceiveBuffer.
    void quietGap()
    {
        program.transfer.onTimer3();
        program.transfer.onTimer3();
    }
    QString result(int line) const
    {
        return line == 1 ? writer.texts().Text3 : writer.texts().Text4;
    }
};
} // namespace

class TestHeaderWriter : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void centringTable_data();
    void centringTable();
    void echoCheck_data();
    void echoCheck();
    void silentInstrumentFailsALineWrittenBefore();
    void refusedInputSendsNothing_data();
    void refusedInputSendsNothing();
    void portFailuresEndInError_data();
    void portFailuresEndInError();
    void headerButton_data();
    void headerButton();
    void pendingCheckAcrossLeaving_data();
    void pendingCheckAcrossLeaving();
    void leavingEmptiesStreamText_data();
    void leavingEmptiesStreamText();
    void secondLineWaitsForTheFirstCheck();
    void endWriteDropsALineNotYetSent();

private:
    QTemporaryDir m_dir;
};

void TestHeaderWriter::initTestCase()
{
    QVERIFY(QDir::setCurrent(m_dir.path())); // no settings file from elsewhere
}

void TestHeaderWriter::centringTable_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("leading");
    // n = 1 or 2 gives 9 spaces, 3 or 4 gives 8, ... 19 or 20 gives none.
    const int expected[20] = {9, 9, 8, 8, 7, 7, 6, 6, 5, 5, 4, 4, 3, 3, 2, 2, 1, 1, 0, 0};
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRST");
    for (int n = 1; n <= 20; ++n) {
        QTest::addRow("line 1, %d characters", n) << 1 << letters.left(n) << expected[n - 1];
    }
    QTest::newRow("line 2, one digit") << 2 << "5" << 9;
    QTest::newRow("line 2, phone number") << 2 << "+44 20 7946 0958" << 2;
    QTest::newRow("line 2, 20 characters") << 2 << "01234567890123456789" << 0;
    QTest::newRow("spaces of the text kept") << 1 << " A  B " << 7;
    QTest::newRow("only spaces") << 1 << "   " << 8;
}

void TestHeaderWriter::centringTable()
{
    QFETCH(int, line);
    QFETCH(QString, text);
    QFETCH(int, leading);
    Rig rig;
    QVERIFY(rig.ok(line, text));

    const QByteArray command = line == 1 ? "QTH0" : "QTH1";
    const QByteArray bytes = command + spaces(leading).toLatin1() + text.toLatin1() + "\r\n";
    QCOMPARE(rig.port.sentBytes(), bytes);
    QCOMPARE(rig.port.log(),
             QStringList({"open", wait(1), QStringLiteral("send ") + FakePort::spell(bytes)}));
    QCOMPARE(line == 1 ? rig.model.HeaderLine1 : rig.model.HeaderLine2, spaces(leading) + text);
    QCOMPARE(rig.model.HeaderWritePending, qint16(line));
    QVERIFY(rig.writer.timer2Active());
    QVERIFY(rig.port.isOpen()); // the port stays open after a write
}

void TestHeaderWriter::echoCheck_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("before"); // already in ReceiveBuffer at the write
    QTest::addColumn<Bursts>("echo");
    QTest::addColumn<bool>("passFirst"); // a reception pass runs before the check
    QTest::addColumn<QString>("result");

    const QString abc = spaces(8) + QStringLiteral("ABC");
    QTest::newRow("match") << 1 << "ABC" << QByteArray() << Bursts{"        ABC\r\n"} << false
                           << abc;
    QTest::newRow("line 2 match") << 2 << "555-0199" << QByteArray() << Bursts{"      555-0199\r\n"}
                                  << false << spaces(6) + "555-0199";
    QTest::newRow("twenty characters")
        << 1 << "01234567890123456789" << QByteArray() << Bursts{"01234567890123456789\r\n"}
        << false << "01234567890123456789";
    QTest::newRow("letter case differs")
        << 1 << "ABC" << QByteArray() << Bursts{"        abc\r\n"} << false << kError;
    QTest::newRow("one leading space missing")
        << 1 << "ABC" << QByteArray() << Bursts{"       ABC\r\n"} << false << kError;
    QTest::newRow("one leading space too many")
        << 1 << "ABC" << QByteArray() << Bursts{"         ABC\r\n"} << false << kError;
    QTest::newRow("nothing back") << 1 << "ABC" << QByteArray() << Bursts{} << false << kError;
    QTest::newRow("one character back")
        << 1 << "ABC" << QByteArray() << Bursts{"\n"} << false << kError;
    QTest::newRow("line end only")
        << 2 << "ABC" << QByteArray() << Bursts{"\r\n"} << false << kError;
    QTest::newRow("more than the line")
        << 1 << "ABC" << QByteArray() << Bursts{"        ABC\r\nXY\r\n"} << false << kError;
    QTest::newRow("echo in three bursts")
        << 1 << "ABC" << QByteArray() << Bursts{"     ", "   ABC", "\r\n"} << false << abc;
    // The receive timer's quiet gap may end before the check runs; the echo still counts.
    QTest::newRow("reception pass before the check")
        << 1 << "ABC" << QByteArray() << Bursts{"        ABC\r\n"} << true << abc;
    QTest::newRow("pass between two bursts")
        << 2 << "ABC" << QByteArray() << Bursts{"        A", "BC\r\n"} << true << abc;
    // Left over from an earlier conversation, not part of the echo.
    QTest::newRow("older text in the buffer") << 1 << "ABC" << QByteArray("tail of a reading\r\n")
                                              << Bursts{"        ABC\r\n"} << false << abc;
}

void TestHeaderWriter::echoCheck()
{
    QFETCH(int, line);
    QFETCH(QString, text);
    QFETCH(QByteArray, before);
    QFETCH(Bursts, echo);
    QFETCH(bool, passFirst);
    QFETCH(QString, result);
    Rig rig;
    if (!before.isEmpty()) rig.port.receive(before);
    QVERIFY(rig.ok(line, text));
    for (const QByteArray &burst : echo) {
        rig.port.receive(burst);
        if (passFirst) rig.quietGap();
    }
    if (passFirst) QVERIFY(rig.model.ReceiveBuffer.isEmpty());

    QVERIFY(rig.awaitCheck());
    QCOMPARE(rig.result(line), result);
    QCOMPARE(rig.result(3 - line), QString()); // the other line is left alone
    QCOMPARE(rig.model.HeaderWritePending, qint16(0));
    QVERIFY(!rig.writer.timer2Active());
    QCOMPARE(rig.messages.count(), 0);
}

// The answer to an earlier write must not vouch for a later one.
void TestHeaderWriter::silentInstrumentFailsALineWrittenBefore()
{
    Rig rig;
    QVERIFY(rig.ok(1, "ABC"));
    rig.port.receive("        ABC\r\n");
    QVERIFY(rig.awaitCheck());
    QCOMPARE(rig.result(1), spaces(8) + "ABC");

    QVERIFY(rig.ok(1, "ABC"));
    QCOMPARE(rig.result(1), QString()); // cleared by the "OK"
    QVERIFY(rig.awaitCheck());
    QCOMPARE(rig.result(1), kError);
}

void TestHeaderWriter::refusedInputSendsNothing_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("21 characters") << "012345678901234567890";
    QTest::newRow("tab") << "A\tB";
    QTest::newRow("letter beyond ASCII") << QStringLiteral("Caf\u00e9");
    QTest::newRow("delete character") << "A\x7f";
}

void TestHeaderWriter::refusedInputSendsNothing()
{
    QFETCH(QString, text);
    Rig rig;
    QVERIFY(rig.ok(1, "X")); // an earlier write that failed: its result box says so
    QVERIFY(rig.awaitCheck());
    QCOMPARE(rig.result(1), kError);
    rig.port.clearLog();

    QVERIFY(!rig.ok(1, text));
    QCOMPARE(rig.port.log(), QStringList());
    QCOMPARE(rig.result(1), QString());
    QCOMPARE(rig.model.HeaderWritePending, qint16(0));
    QVERIFY(!rig.writer.timer2Active());
    QCOMPARE(rig.model.HeaderLine1, spaces(9) + "X"); // the stored line is not replaced
}

void TestHeaderWriter::portFailuresEndInError_data()
{
    QTest::addColumn<bool>("openRefused");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QString>("reason");
    const QString failedSend = QStringLiteral("send failed QTH0        ABC<0D><0A>");
    QTest::newRow("open refused") << true << QStringList{"open failed", wait(1), failedSend}
                                  << "Permission denied";
    QTest::newRow("send refused") << false << QStringList{wait(1), failedSend} << "not be sent";
}

void TestHeaderWriter::portFailuresEndInError()
{
    QFETCH(bool, openRefused);
    QFETCH(QStringList, log);
    QFETCH(QString, reason);
    Rig rig;
    if (openRefused) {
        rig.port.failOpenWith(QStringLiteral("Permission denied"));
    } else {
        rig.port.setOpenQuietly(true);
        rig.port.setSendFails(true);
    }
    QVERIFY(rig.ok(1, "ABC"));
    QCOMPARE(rig.port.log(), log);
    QVERIFY2(rig.writer.lastFailure().contains(reason), qPrintable(rig.writer.lastFailure()));
    QVERIFY(rig.awaitCheck());
    QCOMPARE(rig.result(1), kError);
    QCOMPARE(rig.messages.count(), 0); // no message box: the result box is the report

    // Once the port works again, so does the next write.
    rig.port.failOpenWith(QString());
    rig.port.setSendFails(false);
    QVERIFY(rig.ok(1, "ABC"));
    QCOMPARE(rig.writer.lastFailure(), QString());
    rig.port.receive("        ABC\r\n");
    QVERIFY(rig.awaitCheck());
    QCOMPARE(rig.result(1), spaces(8) + "ABC");
}

void TestHeaderWriter::headerButton_data()
{
    QTest::addColumn<int>("linkType");
    QTest::addColumn<bool>("portOpen");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<bool>("reopened"); // the next "OK" opens the port again
    QTest::newRow("port closed") << 1 << false << QStringList{} << true;
    QTest::newRow("infrared, port open")
        << 1 << true << QStringList{wait(1), "send QTP<0A><0D>", wait(3), "close"} << true;
    QTest::newRow("bluetooth, port open")
        << 2 << true << QStringList{wait(1), "send QTP<0A><0D>", wait(3)} << false;
}

void TestHeaderWriter::headerButton()
{
    QFETCH(int, linkType);
    QFETCH(bool, portOpen);
    QFETCH(QStringList, log);
    QFETCH(bool, reopened);
    Rig rig(linkType);
    rig.port.setOpenQuietly(portOpen);
    rig.writer.headerButton();
    QCOMPARE(rig.port.log(), log);
    QVERIFY(rig.writer.timer2Active());

    rig.port.clearLog();
    QVERIFY(rig.ok(2, "1"));
    QCOMPARE(rig.port.logWithoutWaits().first(),
             reopened ? QStringLiteral("open") : QStringLiteral("send QTH1         1<0D><0A>"));
}

void TestHeaderWriter::pendingCheckAcrossLeaving_data()
{
    QTest::addColumn<bool>("endWrite");
    QTest::addColumn<QByteArray>("echo");
    QTest::addColumn<QString>("result");
    const QByteArray echo("        ABC\r\n");
    QTest::newRow("End Write, echo came back") << true << echo << spaces(8) + "ABC";
    QTest::newRow("End Write, nothing came back") << true << QByteArray() << kError;
    QTest::newRow("close box, echo came back") << false << echo << spaces(8) + "ABC";
}

// "End Write" within a second of "OK" stops Timer2 with the line still pending, and the next
// Header click starts it again; the close box leaves it running. Either way the result lands
// in the result box of the next window.
void TestHeaderWriter::pendingCheckAcrossLeaving()
{
    QFETCH(bool, endWrite);
    QFETCH(QByteArray, echo);
    QFETCH(QString, result);
    Rig rig;
    QSignalSpy checked(&rig.writer, &HeaderWriter::echoChecked);
    QVERIFY(rig.ok(1, "ABC"));
    if (endWrite)
        rig.writer.endWrite();
    else
        rig.writer.closeBox();
    QCOMPARE(rig.writer.timer2Active(), !endWrite);
    QCOMPARE(rig.model.HeaderWritePending, qint16(1));
    QCOMPARE(rig.writer.texts().Text1, QString()); // the window went with its texts
    if (!echo.isEmpty()) rig.port.receive(echo);
    rig.quietGap();
    if (endWrite) {
        QCoreApplication::processEvents();
        QCOMPARE(checked.count(), 0);
        rig.port.clearLog();
        rig.writer.headerButton();
        QCOMPARE(rig.port.log(), QStringList({wait(1), "send QTP<0A><0D>", wait(3), "close"}));
    }
    QVERIFY(checked.count() == 1 || checked.wait(5000));
    QCOMPARE(rig.result(1), result);
    QCOMPARE(rig.model.HeaderWritePending, qint16(0));
}

void TestHeaderWriter::leavingEmptiesStreamText_data()
{
    QTest::addColumn<bool>("endWrite");
    QTest::addColumn<QByteArray>("echo");
    QTest::newRow("End Write") << true << QByteArray("        ABC\r\n");
    QTest::newRow("close box") << false << QByteArray("        ABC\r\n");
    // An echo cut short leaves an unfinished line in the line assembler as well.
    QTest::newRow("End Write, echo without line end") << true << QByteArray("        AB");
    QTest::newRow("close box, echo without line end") << false << QByteArray("        AB");
}

// The echo passes through the reception pass like any answer; the next download must not find
// it in front of its stream.
void TestHeaderWriter::leavingEmptiesStreamText()
{
    QFETCH(bool, endWrite);
    QFETCH(QByteArray, echo);
    Rig rig;
    QVERIFY(rig.ok(1, "ABC"));
    rig.port.receive(echo);
    rig.quietGap();
    QVERIFY(!rig.model.tokens.StreamText.isEmpty());
    if (endWrite)
        rig.writer.endWrite();
    else
        rig.writer.closeBox();
    QCOMPARE(rig.model.tokens.StreamText, QByteArray());

    rig.program.modes.switchTo(Store);
    rig.port.receive(readData(QStringLiteral("streams/store.txt")));
    rig.quietGap();
    QCOMPARE(DataFile::serialize(rig.model), readData(QStringLiteral("expected/store.txt")));
}

// Two lines on their way at once would each be checked against both echoes.
void TestHeaderWriter::secondLineWaitsForTheFirstCheck()
{
    Rig rig;
    QVERIFY(rig.ok(1, "ABC"));
    QVERIFY(rig.ok(2, "555"));
    QCOMPARE(rig.port.sentBytes(), QByteArray("QTH0        ABC\r\n"));
    QCOMPARE(rig.writer.queuedCount(), 1);

    rig.port.receive("        ABC\r\n");
    QVERIFY(rig.awaitCheck());
    QCOMPARE(rig.result(1), spaces(8) + "ABC");
    QCOMPARE(rig.port.sentBytes(), QByteArray("QTH0        ABC\r\nQTH1        555\r\n"));
    QCOMPARE(rig.model.HeaderWritePending, qint16(2));

    rig.port.receive("        555\r\n");
    QVERIFY(rig.awaitCheck());
    QCOMPARE(rig.result(2), spaces(8) + "555");
    QCOMPARE(rig.result(1), spaces(8) + "ABC");
}

void TestHeaderWriter::endWriteDropsALineNotYetSent()
{
    Rig rig;
    QVERIFY(rig.ok(1, "ABC"));
    QVERIFY(rig.ok(2, "555"));
    rig.writer.endWrite();
    QCOMPARE(rig.writer.queuedCount(), 0);
    rig.writer.headerButton();
    QVERIFY(rig.awaitCheck());
    QCOMPARE(rig.port.sentBytes(), QByteArray("QTH0        ABC\r\nQTP\n\r"));
}

QTEST_GUILESS_MAIN(TestHeaderWriter)
#include "tst_headerwriter.moc"
