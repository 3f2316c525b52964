#include "Streams.h"
#include "common/FakePort.h"
#include "tables/Modes.h"

#include <QtTest>

namespace {
// The core over a scripted port, open as after a download; the port logs sends and pauses.
struct Switcher {
    FakePort port;
    CollectedMessages messages;
    Program program{port, messages};
    ScreenModel &m = program.model;
    Switcher()
    {
        port.setOpenQuietly(true);
        program.pauses.setWait(port.pauseFunction());
        program.startUp();
    }
};

const QString kQtp = "send QTP<0A><0D>";

const char *const kGrids[] = {"MSFlexGrid1", "MSFlexGrid2", "MSFlexGrid3", "MSFlexGrid4"};

// The panels, unit labels and frame captions that a switch may blank or set.
bool isPanel(const QString &name)
{
    return name.startsWith("txt") || name.startsWith("lab") || name.startsWith("Frame");
}

QString filled(const char *grid, int r, int c)
{
    return QStringLiteral("%1 %2,%3").arg(grid).arg(r).arg(c);
}

// Every panel holds its own name and every cell of every table a text of its own.
void fillEverything(ScreenModel &m)
{
    for (const QString &name : ScreenModel::elementNames())
        if (isPanel(name)) m.element(name)->caption = name;
    for (const char *name : kGrids) {
        Grid &t = *m.grid(name);
        for (int r = 0; r < t.rowCount(); ++r)
            for (int c = 0; c < t.columnCount(); ++c)
                t.setText(r, c, filled(name, r, c));
    }
}
} // namespace

class TestModeSwitch : public QObject {
    Q_OBJECT
private slots:
    void stopRequest_data();
    void stopRequest();
    void switchesClearTheirTable_data();
    void switchesClearTheirTable();
    void currentRowKeptByLoggerOnly();
};

void TestModeSwitch::stopRequest_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<bool>("open");
    QTest::addColumn<int>("to");
    QTest::addColumn<QStringList>("expected");
    const QStringList twice = {kQtp, "wait 15", kQtp};
    QTest::newRow("real to store, open") << 0 << true << 1 << (QStringList{"wait 10"} + twice);
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
    s.port.setOpenQuietly(open);
    s.port.clearLog();
    s.program.modes.switchTo(to);
    QCOMPARE(s.port.log(), expected);
    QCOMPARE(s.port.isOpen(), open); // a switch never opens or closes the port
}

void TestModeSwitch::switchesClearTheirTable_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("table"); // cleared, its headers written again
    // "name=caption" for each panel the switch blanks or sets; every other one keeps its text
    QTest::addColumn<QString>("changed");
    const QString record = "txtSAdd2=|txtSDate=|txtSTime=|txtSSample=|txtSCo=|txtSO2=|txtSCo2=|"
                           "txtSRatio=|txtSXair=|txtSEff=|txtSTemp1=|txtSTemp2=|txtSPressure=|";
    const QString single = "txtSLMeasure=|txtSLDate=|txtSLTime=|txtSLSample=|txtSLUnit=|";
    QTest::newRow("logger to real") << 3 << 0 << ""
                                    << "txtRDate=|txtRTime=|txtRCo=|txtRO2=|txtRCo2=|txtRRatio=|"
                                       "txtRXair=|txtREff=|txtRTemp1=|txtRTemp2=|txtRPressure=|"
                                       "txtRFuel=";
    QTest::newRow("store to store")
        << 1 << 1 << "MSFlexGrid1" << record + "txtSFuel=|FrameStore=Store Mode Data";
    QTest::newRow("real to store")
        << 0 << 1 << "MSFlexGrid1" << record + "txtSFuel=|FrameStore=Store Mode Data";
    QTest::newRow("logger page to page")
        << 2 << 3 << "MSFlexGrid1" << record + "txtLFuel=|FrameStore=Logger Mode Data #1";
    QTest::newRow("tightness to logger")
        << 11 << 5 << "MSFlexGrid1" << record + "txtLFuel=|FrameStore=Logger Mode Data #3";
    QTest::newRow("store to single logger")
        << 1 << 8 << "MSFlexGrid3" << single + "FrameSL=Single Logger Mode Data #2";
    QTest::newRow("single logger to tightness") << 6 << 11 << "MSFlexGrid2"
                                                << "txtSLMeasure=|FrameSL=Tightness Mode";
    QTest::newRow("tightness to single logger")
        << 11 << 10 << "MSFlexGrid3" << single + "FrameSL=Single Logger Mode Data #4";
}

// A switch empties the panels and the table of its mode; the other modes' tables and panels,
// the unit labels and the Real frame's caption keep what they showed.
void TestModeSwitch::switchesClearTheirTable()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, table);
    QFETCH(QString, changed);
    Switcher s;
    s.program.modes.switchTo(from);
    fillEverything(s.m);
    s.program.modes.switchTo(to);
    for (const QString &name : ScreenModel::elementNames()) {
        if (!isPanel(name)) continue;
        const QStringList set = changed.split('|').filter(QRegularExpression("^" + name + "="));
        QCOMPARE(name + '=' + s.m.element(name)->caption,
                 set.isEmpty() ? name + '=' + name : set.first());
    }
    for (const char *name : kGrids) {
        const Grid &t = *s.m.grid(name);
        const bool cleared = table == name;
        for (int r = 0; r < t.rowCount(); ++r)
            for (int c = 0; c < t.columnCount(); ++c) {
                // The cleared table's row 0 holds its headers again.
                if (cleared && r == 0) QVERIFY(t.text(r, c) != filled(name, r, c));
                if (r > 0 || !cleared)
                    QCOMPARE(t.text(r, c), cleared ? QString() : filled(name, r, c));
            }
    }
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
