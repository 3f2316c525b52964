#include "Streams.h"
#include "tables/Modes.h"

#include <QtTest>

namespace {
// A port that is open and writes down what is sent, with the pauses in between.
class OpenPort : public SerialPort {
public:
    QStringList log;
    void setPortNumber(int) override {}
    int portNumber() const override { return 1; }
    void setSettings(const QString &) override {}
    QString settings() const override { return {}; }
    bool isOpen() const override { return m_open; }
    bool open(QString *) override { return m_open = true; }
    void close() override { m_open = false; }
    bool send(const QByteArray &bytes) override
    {
        log << QString::fromLatin1(bytes.toHex(' '));
        return true;
    }
    int waitingCount() const override { return 0; }
    QByteArray takeWaiting() override { return {}; }
    bool m_open = true;
};

struct Switcher {
    OpenPort port;
    CollectedMessages messages;
    Program program{port, messages};
    ScreenModel &m = program.model;
    Switcher()
    {
        program.pauses.setWait([this](int ms) { port.log << QStringLiteral("pause %1").arg(ms); });
        program.startUp();
    }
};

const QString kQtp = "51 54 50 0a 0d";
const QString kPause = "pause 5";
} // namespace

class TestModeSwitch : public QObject {
    Q_OBJECT
private slots:
    void stopRequest_data();
    void stopRequest();
    void switchesClearTheirTable();
    void tightnessThenSingleLogger();
    void currentRowKeptByLoggerOnly();
};

void TestModeSwitch::stopRequest_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<bool>("open");
    QTest::addColumn<int>("to");
    QTest::addColumn<QStringList>("expected");
    const QStringList twice = {kQtp, kPause, kPause, kPause, kQtp};
    QTest::newRow("real to store, open") << 0 << true << 1 << (QStringList{kPause, kPause} + twice);
    QTest::newRow("real to logger, open") << 0 << true << 3 << twice;
    QTest::newRow("real to single, open") << 0 << true << 7 << twice;
    QTest::newRow("real to tightness, open") << 0 << true << 11 << twice;
    QTest::newRow("real to store, closed") << 0 << false << 1 << QStringList{};
    QTest::newRow("store to logger, open") << 1 << true << 2 << QStringList{};
    QTest::newRow("logger to real, open") << 2 << true << 0 << QStringList{};
}

void TestModeSwitch::stopRequest()
{
    QFETCH(int, from);
    QFETCH(bool, open);
    QFETCH(int, to);
    QFETCH(QStringList, expected);
    Switcher s;
    s.program.modes.switchTo(from);
    s.port.m_open = open;
    s.port.log.clear();
    s.program.modes.switchTo(to);
    QCOMPARE(s.port.log, expected);
    QCOMPARE(s.port.isOpen(), open); // a switch never opens or closes the port
}

void TestModeSwitch::switchesClearTheirTable()
{
    Switcher s;
    s.program.modes.switchTo(Store);
    s.m.MSFlexGrid1.setText(3, 4, "25");
    s.m.txtSCo.caption = "25";
    s.program.modes.switchTo(Store);
    QCOMPARE(s.m.MSFlexGrid1.text(3, 4), QString());
    QCOMPARE(s.m.txtSCo.caption, QString());

    s.program.modes.switchTo(SingleLoggerPage0);
    s.m.MSFlexGrid3.setText(2, 1, "7");
    s.program.modes.switchTo(Store); // other families' tables are left alone
    QCOMPARE(s.m.MSFlexGrid3.text(2, 1), QString("7"));
    s.program.modes.switchTo(LoggerPage0);
    s.m.MSFlexGrid1.setText(9, 9, "x");
    s.program.modes.switchTo(LoggerPage1);
    QCOMPARE(s.m.MSFlexGrid1.text(9, 9), QString());
    QCOMPARE(s.m.FrameStore.caption, QString("Logger Mode Data #1"));
}

void TestModeSwitch::tightnessThenSingleLogger()
{
    Switcher s;
    s.program.modes.switchTo(Tightness);
    QCOMPARE(s.m.MSFlexGrid2.columnCount(), 6);
    s.program.modes.switchTo(SingleLoggerPage1);
    QCOMPARE(s.m.MSFlexGrid2.columnCount(), 6);
    QVERIFY(!s.m.MSFlexGrid2.visible());
    QVERIFY(s.m.MSFlexGrid3.visible());
    QVERIFY(s.m.txtSLUnit.visible);
    QCOMPARE(s.m.MSFlexGrid3.text(0, 2), QString("Value2"));
}

void TestModeSwitch::currentRowKeptByLoggerOnly()
{
    Switcher s;
    s.m.CurrentRow = 42;
    s.program.modes.switchTo(LoggerPage0);
    QCOMPARE(s.m.CurrentRow, qint16(42));
    s.program.modes.switchTo(Store);
    QCOMPARE(s.m.CurrentRow, qint16(0));
}

QTEST_GUILESS_MAIN(TestModeSwitch)
#include "tst_modeswitch.moc"
