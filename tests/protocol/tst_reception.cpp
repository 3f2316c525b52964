#include "Streams.h"
#include "files/DataFile.h"
#include "tables/Modes.h"

#include <QtTest>

namespace {
const QStringList kHeader = {"<BTInstReading", "manufacturer=\"Maker\"", "major_version=\"2\"",
                             "minor_version=\"05\""};

QStringList storeRecord(int address, const QString &co, const QString &unit = "C")
{
    return {QStringLiteral("<inst_data address=\"%1\"").arg(address),
            "time=\"10:0" + QString::number(address % 10) + "\"",
            "date=\"05/09/06\"",
            "fuel_type=\"Natural Gas\"",
            "CO=\"" + co + "\"",
            "O2=\"3.2\"",
            "temp_ch1=\"180.5\"",
            "temperature_unit=\"" + unit + "\"",
            "pressure_unit=\"mbar\"/>"};
}

QStringList recordsStream(const QList<QStringList> &records)
{
    QStringList lines = kHeader;
    for (const QStringList &r : records)
        lines += r;
    return lines;
}
} // namespace

class TestReception : public QObject {
    Q_OBJECT
private slots:
    void lineEndings();
    void twoStreamsInOnePass();
    void cutAtEveryPositionMatchesOnePass();
    void loggerReductionAndFuel();
    void lossCheck_data();
    void lossCheck();
    void realModeReading();
    void realModeLastPairStays();
    void singleLoggerRecords();
    void singleLoggerHeaders_data();
    void singleLoggerHeaders();
    void badAddressDropsRecord_data();
    void badAddressDropsRecord();
    void badSingleLoggerLinesSkipped_data();
    void badSingleLoggerLinesSkipped();
    void emptyPassRewritesVersion();
    void passClosesProgressWindow();
    void streamTextEmptiedMidLine_data();
    void streamTextEmptiedMidLine();
};

void TestReception::lineEndings()
{
    Core lfcr(Store);
    lfcr.pass(stream(recordsStream({storeRecord(0, "25")})));
    QCOMPARE(lfcr.m.MSFlexGrid1.text(1, 4), QString("25"));

    Core crlf(Store);
    crlf.pass(stream(recordsStream({storeRecord(0, "25")}), "\r\n"));
    QCOMPARE(crlf.m.MSFlexGrid1.text(1, 4), QString());
    QVERIFY(crlf.m.tokens.CompleteStream.isEmpty());
}

void TestReception::twoStreamsInOnePass()
{
    Core c(Store);
    c.pass(stream(recordsStream({storeRecord(0, "11")})) +
           stream(recordsStream({storeRecord(1, "22")})));
    QCOMPARE(c.m.MSFlexGrid1.text(1, 4), QString()); // the first stream is not parsed
    QCOMPARE(c.m.MSFlexGrid1.text(2, 4), QString("22"));
}

// The assembler keeps its line and stream across passes, so where a burst is cut cannot
// change what lands in the table: a stream whose end is in the first pass is parsed there, and
// the one after it, whose closing line may be cut anywhere, in the second.
void TestReception::cutAtEveryPositionMatchesOnePass()
{
    const QByteArray first = stream(recordsStream({storeRecord(0, "1"), storeRecord(1, "OFL")}));
    const QByteArray second = stream(recordsStream({storeRecord(2, "3"), storeRecord(1, "4")}));
    const QByteArray bytes = first + second;
    Core apart(Store);
    apart.pass(first);
    apart.pass(second);
    Core together(Store); // two streams in one pass: only the second is parsed
    together.pass(bytes);
    // A stream ends with the LF of its closing line; the CR after it starts the next text.
    const int firstEnds = first.size() - 1, secondEnds = bytes.size() - 1;
    for (int cut = 0; cut <= bytes.size(); ++cut) {
        Core split(Store);
        split.pass(bytes.left(cut));
        const QByteArray where = "cut after byte " + QByteArray::number(cut);
        QVERIFY2(split.pass(bytes.mid(cut)) == (cut < secondEnds), where);
        const bool firstInFirstPass = cut >= firstEnds && cut < secondEnds;
        QVERIFY2(DataFile::serialize(split.m) ==
                     DataFile::serialize(firstInFirstPass ? apart.m : together.m),
                 where);
    }
}

void TestReception::loggerReductionAndFuel()
{
    Core c(LoggerPage1);
    QStringList lines = kHeader;
    lines << "sampling time=\"00:01:00\"";
    lines << "<inst_data address=\"0\""
          << "CO=\"12/15/19\""
          << "O2=\"12/15\""
          << "date=\"05/09/06\""
          << "temperature_unit=\"C\"";
    lines << "<inst_data address=\"5\""
          << "fuel_type=\"Oil\""
          << "CO2=\"8/9/10/11\"";
    c.pass(stream(lines));
    // The logger header's fuel goes to row 1 whatever record carries it; logger units go to
    // the labels, not the table.
    const QStringList cells{"1,4=15",  "1,5=12/15", "1,2=05/09/06", "6,6=9",
                            "1,3=Oil", "6,3=",      "1,13="};
    QCOMPARE(cellsOf(c.m.MSFlexGrid1, cells), cells);
    const QStringList panels{"txtLFuel=Oil", "labST1Unit='C", "labST2Unit='C",
                             "txtSSample=00:01:00"};
    QCOMPARE(captionsOf(c.m, panels), panels);
    QVERIFY(c.messages.shown.isEmpty());
}

void TestReception::lossCheck_data()
{
    QTest::addColumn<QList<int>>("addresses");
    QTest::addColumn<int>("messages");
    QTest::newRow("first record present") << QList<int>{0, 1, 2} << 0;
    QTest::newRow("first record lost") << QList<int>{1, 2, 3} << 1;
    QTest::newRow("only row 98 filled") << QList<int>{97} << 1;
    QTest::newRow("rows 99 and 100 are not examined") << QList<int>{98, 99} << 0;
    QTest::newRow("nothing arrived") << QList<int>{} << 0;
}

void TestReception::lossCheck()
{
    QFETCH(QList<int>, addresses);
    QFETCH(int, messages);
    Core c(LoggerPage0);
    QStringList lines = kHeader;
    for (int a : addresses)
        lines << QStringLiteral("<inst_data address=\"%1\"").arg(a) << "CO=\"1\"";
    c.pass(stream(lines));
    QCOMPARE(c.messages.shown.size(), messages);
    if (messages)
        QCOMPARE(c.messages.shown.first(),
                 QString("Receiving Error: Some data are lost while receiving the data. "
                         "Please restart."));
}

void TestReception::realModeReading()
{
    Core c(Real);
    c.m.txtRXair.caption = "old";
    const QStringList lines = {"manufacturer=\"Maker\"",
                               "major_version=\"3\"",
                               "minor_version=\"1\"",
                               "mode=\"Flue Gas Analysis\"",
                               "<inst_data time=\"12:34:56\"",
                               "date=\"06/12/26\"",
                               "CO=\"25\"",
                               "O2=\"3.5\"",
                               "temperature_unit=\"F\"",
                               "pressure_unit=\"hPa\"",
                               "fuel_type=\"Propane\"/>"};
    c.pass(stream(lines));
    // A value missing from a reading shows blank.
    const QStringList shown{"txtRTime=12:34:56", "txtRDate=06/12/26", "FrameReal=Flue Gas Analysis",
                            "txtRCo=25",         "txtRO2=3.5",        "txtRFuel=Propane",
                            "txtRXair=",         "labRT1Unit='F",     "labRT2Unit='F",
                            "labRPUnit=hPa",     "txtVersion=3.1"};
    QCOMPARE(captionsOf(c.m, shown), shown);
    QVERIFY(c.m.MSFlexGrid4.text(0, 0).isEmpty());

    // Nothing of a reading shows before its closing line has arrived.
    const QByteArray next = stream({"<inst_data time=\"12:35:00\"", "CO=\"99\""});
    c.pass(next.left(40));
    QCOMPARE(captionsOf(c.m, {"txtRTime=", "txtRCo="}),
             QStringList({"txtRTime=12:34:56", "txtRCo=25"}));
    c.pass(next.mid(40));
    QCOMPARE(captionsOf(c.m, {"txtRTime=", "txtRCo="}),
             QStringList({"txtRTime=12:35:00", "txtRCo=99"}));
}

// The reading's last pair is applied again after it is shown, so its cell keeps the value
// and a next reading without that key still shows it.
void TestReception::realModeLastPairStays()
{
    Core c(Real);
    c.pass(stream({"<inst_data time=\"1\"", "CO=\"5\"", "fuel_type=\"Gas\"/>"}));
    QCOMPARE(c.m.MSFlexGrid4.text(9, 0), QString("Gas"));
    c.pass(stream({"<inst_data time=\"2\"", "CO=\"6\""}));
    QCOMPARE(c.m.txtRFuel.caption, QString("Gas"));
    QCOMPARE(c.m.txtRCo.caption, QString("6"));
}

void TestReception::singleLoggerRecords()
{
    Core c(SingleLoggerPage2);
    c.pass(stream({"major_version=\"1\"", "minor_version=\"2\"", "sampling time=\"10\"",
                   "date=\"01/02/03\"", "time=\"04:05\"", "  1 \"118/131\"", " 12 \"7\"",
                   "  5\"1/2/3\""}));
    // A one-digit index keeps its leading space; no unit arrived before the records.
    const QStringList cells{"1,0= 1", "1,1=118", "1,2=131", "12,0=12",
                            "12,1=7", "12,2=",   "5,2=2/3"};
    QCOMPARE(cellsOf(c.m.MSFlexGrid3, cells), cells);
    const QStringList panels{"txtSLUnit=ppm", "txtSLSample=10", "txtSLDate=01/02/03",
                             "txtSLTime=04:05"};
    QCOMPARE(captionsOf(c.m, panels), panels);

    Core unit(SingleLoggerPage0);
    unit.pass(stream({"temperature_unit=\"C\"", "  1 \"20/21\""}));
    QCOMPARE(unit.m.txtSLUnit.caption, QString("'C"));
}

void TestReception::singleLoggerHeaders_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("headers");
    QTest::newRow("CO") << "CO Logger Mode Data" << QStringList{"Add", "Average", "Maxmum"};
    QTest::newRow("temperature") << "Temperature Logger Mode Data"
                                 << QStringList{"Add", "Temp1", "Temp2"};
    QTest::newRow("pressure") << "Pressure Logger Mode Data" << QStringList{"Add", "Pressure", " "};
    QTest::newRow("other") << "Draught Logger" << QStringList{"Add", "Value1", "Value2"};
}

void TestReception::singleLoggerHeaders()
{
    QFETCH(QString, title);
    QFETCH(QStringList, headers);
    Core c(SingleLoggerPage0);
    c.pass(stream({"mode=\"" + title + "\"", "  1 \"1/2\""}));
    QCOMPARE(c.m.txtSLMeasure.caption, title);
    for (int col = 0; col < 3; ++col)
        QCOMPARE(c.m.MSFlexGrid3.text(0, col), headers[col]);
}

void TestReception::badAddressDropsRecord_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("address");
    const QStringList bad = {"", "abc", "1e3", "0x10", "12.5", " 7", "-1", "99999"};
    for (const QString &a : bad)
        QTest::addRow("store '%s'", qPrintable(a)) << int(Store) << a;
    QTest::newRow("store 50") << int(Store) << "50";
    QTest::newRow("logger 100") << int(LoggerPage0) << "100";
    QTest::newRow("logger -1") << int(LoggerPage3) << "-1";
    QTest::newRow("tightness 50") << int(Tightness) << "50";
}

// A record with an unusable address lands nowhere, not even where a logger puts its fuel and
// units whatever the row; the records around it are untouched.
void TestReception::badAddressDropsRecord()
{
    QFETCH(int, mode);
    QFETCH(QString, address);
    Core c(mode);
    const bool tight = mode == Tightness;
    const QString key = tight ? "P1_Start" : "CO";
    const QStringList carried = {"date=\"x\"", "fuel_type=\"x\"", "temperature_unit=\"x\"",
                                 "pressure_unit=\"x\""};
    QStringList lines = kHeader;
    lines << "<inst_data address=\"4\"" << key + "=\"1\""
          << "fuel_type=\"Oil\""
          << "temperature_unit=\"C\""
          << "pressure_unit=\"hPa\"";
    lines << "<inst_data address=\"" + address + "\"" << key + "=\"666\"" << carried;
    lines << "<inst_data address=\"6\"" << key + "=\"3\"";
    c.pass(stream(lines));
    const Grid &t = tight ? c.m.MSFlexGrid2 : c.m.MSFlexGrid1;
    const int col = tight ? 3 : 4;
    QCOMPARE(t.text(5, col), QString("1"));
    QCOMPARE(t.text(7, col), QString("3"));
    for (int r = 1; r < t.rowCount(); ++r)
        for (int k = 0; k < t.columnCount(); ++k)
            QVERIFY2(!QStringList({"666", "x", "'x"}).contains(t.text(r, k)),
                     qPrintable(QStringLiteral("row %1, column %2").arg(r).arg(k)));
    for (const QString &name : ScreenModel::elementNames())
        QVERIFY2(!QStringList({"x", "'x"}).contains(c.m.element(name)->caption), qPrintable(name));
    if (isLogger(mode)) // the page's fuel and units are those of the good record
        QCOMPARE(QStringList({t.text(1, 3), c.m.txtLFuel.caption, c.m.labST1Unit.caption,
                              c.m.labSPUnit.caption}),
                 QStringList({"Oil", "Oil", "'C", "hPa"}));
}

void TestReception::badSingleLoggerLinesSkipped_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("index 0") << " 0 \"5/6\"";
    QTest::newRow("index 31") << "31 \"5/6\"";
    QTest::newRow("index ab") << "ab \"5/6\"";
    QTest::newRow("no closing quote") << " 3 \"5/6";
    QTest::newRow("no quote") << " 3 5/6";
}

void TestReception::badSingleLoggerLinesSkipped()
{
    QFETCH(QString, line);
    Core c(SingleLoggerPage0);
    c.pass(stream({"  2 \"1/1\"", " " + line, "  4 \"2/2\""}));
    for (int r = 0; r <= 30; ++r) {
        if (r == 2 || r == 4 || r == 0) continue;
        QCOMPARE(c.m.MSFlexGrid3.text(r, 1), QString());
    }
    QCOMPARE(c.m.MSFlexGrid3.text(2, 1), QString("1"));
    QCOMPARE(c.m.MSFlexGrid3.text(4, 1), QString("2"));
    QCOMPARE(c.m.MSFlexGrid3.text(0, 1), QString("Value1"));
}

void TestReception::emptyPassRewritesVersion()
{
    Core c(Store);
    c.pass(stream({"major_version=\"4\"", "minor_version=\"2\""}));
    c.m.txtVersion.caption = "changed";
    c.pass(QByteArray());
    QCOMPARE(c.m.txtVersion.caption, QString("4.2"));
}

void TestReception::passClosesProgressWindow()
{
    Core c(Store);
    c.m.frmSplash.visible = true;
    c.m.frmMain.enabled = false;
    c.pass(stream({"CO=\"1\""}).left(5)); // even a pass that parses nothing closes it
    QVERIFY(!c.m.frmSplash.visible);
    QVERIFY(c.m.frmMain.enabled);
}

void TestReception::streamTextEmptiedMidLine_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::newRow("echo without a line end") << QByteArray("   ABC");
    QTest::newRow("half a closing line") << QByteArray("x\n\r</BTInst");
    QTest::newRow("whole echo") << QByteArray("   ABC\r\n");
}

// The header window empties StreamText when it closes, whatever line was half assembled;
// the next stream must still be found and parsed whole.
void TestReception::streamTextEmptiedMidLine()
{
    QFETCH(QByteArray, before);
    Core c(Store);
    c.pass(before);
    c.m.tokens.StreamText.clear();
    QVERIFY(c.pass(QByteArray("\n\r") + stream(recordsStream({storeRecord(2, "7")}))));
    QCOMPARE(c.m.MSFlexGrid1.text(3, 4), QString("7"));
    // And a closing line that straddles the emptying still ends its stream.
    Core d(Store);
    d.pass(stream(recordsStream({storeRecord(1, "8")})).chopped(6));
    d.m.tokens.StreamText.clear();
    QVERIFY(d.pass(QByteArray("ing>\n\r")));
}

QTEST_GUILESS_MAIN(TestReception)
#include "tst_reception.moc"
