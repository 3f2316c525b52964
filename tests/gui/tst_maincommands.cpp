#include "app/Program.h"
#include "common/FakePort.h"
#include "common/RecordingMessages.h"

#include <QtTest>

// The Chart button's rule, browsing and Exit, below the window.
class TestMainCommands : public QObject {
    Q_OBJECT

private slots:
    void chart_data();
    void chart();
    void browse_data();
    void browse();
    void exitClosesThePort_data();
    void exitClosesThePort();
};

void TestMainCommands::chart_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QStringList>("messages");

    const QStringList refused{QStringLiteral("Chart: Not Support !")};
    QTest::newRow("Real") << 0 << false << refused;
    QTest::newRow("Store") << 1 << false << refused;
    for (int mode = 2; mode <= 11; ++mode)
        QTest::addRow("mode %d", mode) << mode << true << QStringList{};
    QTest::newRow("no mode above") << 12 << false << QStringList{};
    QTest::newRow("no mode below") << -1 << false << QStringList{};
}

void TestMainCommands::chart()
{
    QFETCH(int, mode);
    FakePort port;
    RecordingMessages messages;
    Program program(port, messages);
    program.startUp();
    program.model.CurrentMode = qint16(mode);

    QTEST(program.commands.chart(), "opens");
    QTEST(messages.lines(), "messages");
    if (messages.count() == 1) QCOMPARE(messages.boxes().first().icon, MessageIcon::Information);
}

void TestMainCommands::browse_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("currentRow");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("temperatureUnit");

    // Row r holds address r - 1 and temperature unit "'C" on odd rows, "'F" on even ones.
    QTest::newRow("Store first") << 1 << 0 << 0 << "0"
                                 << "'C";
    QTest::newRow("Store second re-captions the unit") << 1 << 1 << 1 << "1"
                                                       << "'F";
    QTest::newRow("Store last") << 1 << 49 << 49 << "49"
                                << "'F";
    QTest::newRow("Store beyond the end stops at it") << 1 << 80 << 49 << "49"
                                                      << "'F";
    QTest::newRow("Store below zero") << 1 << -5 << 0 << "0"
                                      << "'C";
    QTest::newRow("Logger keeps the unit") << 2 << 1 << 1 << "1"
                                           << "'K";
    QTest::newRow("Logger last") << 5 << 99 << 99 << "99"
                                 << "'K";
}

void TestMainCommands::browse()
{
    QFETCH(int, mode);
    QFETCH(int, value);
    FakePort port;
    RecordingMessages messages;
    Program program(port, messages);
    program.startUp();
    program.modes.switchTo(mode);
    ScreenModel &m = program.model;
    for (int row = 1; row < m.MSFlexGrid1.rowCount(); ++row) {
        m.MSFlexGrid1.setText(row, 0, QString::number(row - 1));
        m.MSFlexGrid1.setText(row, 13, row % 2 ? QStringLiteral("'C") : QStringLiteral("'F"));
    }
    m.labST1Unit.caption = QStringLiteral("'K");
    QSignalSpy changed(&m, &ScreenModel::changed);

    program.commands.browse(value);

    QTEST(int(m.CurrentRow), "currentRow");
    QCOMPARE(m.HScroll1Value, int(m.CurrentRow));
    QTEST(m.txtSAdd2.caption, "address");
    QTEST(m.labST1Unit.caption, "temperatureUnit");
    QCOMPARE(changed.count(), 1);
}

void TestMainCommands::exitClosesThePort_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("open") << true << QStringList{"close"};
    QTest::newRow("closed stays closed") << false << QStringList{};
}

void TestMainCommands::exitClosesThePort()
{
    QFETCH(bool, open);
    FakePort port;
    RecordingMessages messages;
    Program program(port, messages);
    port.setOpenQuietly(open);
    program.commands.exit();
    QVERIFY(!port.isOpen());
    QTEST(port.log(), "log");
    QCOMPARE(messages.count(), 0);
}

QTEST_GUILESS_MAIN(TestMainCommands)
#include "tst_maincommands.moc"
