#include "Streams.h"
#include "TestFiles.h"
#include "app/ScreenModel.h"
#include "archive/Archive.h"
#include "charts/ChartCommands.h"
#include "charts/ChartQuantities.h"
#include "charts/ChartState.h"
#include "export/CsvExport.h"
#include "export/ExportMenu.h"
#include "export/ExportTable.h"
#include "export/Exporter.h"
#include "export/JsonExport.h"
#include "export/ReportChart.h"
#include "export/ReportLayout.h"
#include "files/DataFile.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QString expectedFile(const QString &name)
{
    return QStringLiteral(NRV508_TEST_DATA "/expected/") + name;
}

Run readerRun(const QStringList &args)
{
    return runProgram(QStringLiteral("/usr/bin/python3"), QStringList{NRV508_READBACK} + args);
}

// Logger page 0 with cells no instrument reading explains: a fuel holding the delimiter and a
// quote, each no-measurement text, words where numbers belong.
QByteArray awkwardLoggerPage()
{
    QList<QByteArray> lines = readFile(expectedFile("logger0.txt")).split('\n');
    // By the record's address, which is its table row less one.
    auto cell = [&lines](int address, int column, const QByteArray &text) {
        lines[1 + (address + 1) * 15 + column] = '"' + text + "\"\r";
    };
    cell(1, 3, "Gas, natural; LPG");
    cell(2, 4, "OFL");
    cell(3, 5, "ERR");
    cell(4, 10, "NA");
    cell(5, 4, "-");
    cell(6, 11, "OPEN");
    cell(7, 12, "12,5");
    return lines.join('\n');
}
} // namespace

class tst_export : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cells_data();
    void cells();
    void csvFields_data();
    void csvFields();
    void screenTables_data();
    void screenTables();
    void reportChartIsTheChartWindowSeries_data();
    void reportChartIsTheChartWindowSeries();
    void statistics();
    void failedWriteKeepsTheFile();
    void readBack_data();
    void readBack();
    void commandLineRefusals_data();
    void commandLineRefusals();
    void reports_data();
    void reports();
    void realModeReport();
    void pageSizeAndLogo_data();
    void pageSizeAndLogo();
    void windowMenu();
    void reportHeaderStartsFromInstrumentLines();
    void archived_data();
    void archived();

private:
    void fillArchive();

    QTemporaryDir m_dir;
    QString m_awkward;
    QString m_db;
    qint64 m_loggerId = 0, m_liveId = 0;
};

void tst_export::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // The user's own export settings stay out of the tests and untouched by them.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.filePath("user"));
    m_awkward = writtenFile(m_dir.filePath("awkward.txt"), awkwardLoggerPage());
    fillArchive();
    if (!QFile::exists(QStringLiteral("/usr/bin/pdftotext")))
        QSKIP("poppler-utils is not installed (scripts/setup installs it)");
}

void tst_export::cells_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");
    QTest::addColumn<double>("number");
    // Which texts are gaps and numbers is the chart's reading of a cell; here what the export
    // makes of each kind.
    QTest::newRow("index with leading blank") << " 1" << int(ExportCell::Number) << 1.0;
    QTest::newRow("zero is a reading") << "0" << int(ExportCell::Number) << 0.0;
    QTest::newRow("gap") << "OFL" << int(ExportCell::Empty) << 0.0;
    QTest::newRow("lower-case ofl is text") << "ofl" << int(ExportCell::Text) << 0.0;
    QTest::newRow("time") << "23:10:00" << int(ExportCell::Text) << 0.0;
}

void tst_export::cells()
{
    QFETCH(QString, text);
    QFETCH(int, kind);
    QFETCH(double, number);
    const ExportCell cell = ExportCell::of(text);
    QCOMPARE(int(cell.kind), kind);
    if (kind == ExportCell::Number) QCOMPARE(cell.number, number);
    if (kind == ExportCell::Text) QCOMPARE(cell.text, text);
}

void tst_export::csvFields_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QByteArray>("field");
    const struct {
        const char *tag, *text, *delimiter, *field;
    } rows[] = {
        {"plain", "Natural Gas", ",", "Natural Gas"},
        {"comma", "Gas, oil", ",", "\"Gas, oil\""},
        {"comma under semicolons", "Gas, oil", ";", "Gas, oil"},
        {"semicolon", "a;b", ";", "\"a;b\""},
        {"quote doubled", "say \"hi\"", ",", "\"say \"\"hi\"\"\""},
        {"line end", "a\r\nb", ",", "\"a\r\nb\""},
        {"tab", "a\tb", "\t", "\"a\tb\""},
        {"utf-8", "Grad \u00B0C", ",",
         "Grad \xC2\xB0"
         "C"},
    };
    for (const auto &r : rows)
        QTest::newRow(r.tag) << QString::fromUtf8(r.text) << r.delimiter << QByteArray(r.field);
}

void tst_export::csvFields()
{
    QFETCH(QString, text);
    QFETCH(QString, delimiter);
    QFETCH(QByteArray, field);
    QCOMPARE(CsvExport::field(text, delimiter.front()), field);
}

// What the window shows after a download, as every export names its columns.
void tst_export::screenTables_data()
{
    QTest::addColumn<QString>("capture");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("columns");
    QTest::addColumn<int>("records");
    QTest::addColumn<QString>("firstRecord");
    QTest::newRow("logger: unit labels in the heads")
        << "logger0.txt" << 2
        << "Add|Time|Date|Fuel|CO [ppm]|O2 [%]|CO2 [%]|Ratio|XAir [%]|Eff. [%]|Temp1 ['C]|"
           "Temp2 ['C]|Press [mbar]"
        << 100 << "0|23:10:00|05/09/06|Natural Gas|34|5.0|8.9|0.0004|31.1|92.0|180.9|21.2|-0.11";
    QTest::newRow("store: mixed units keep their columns")
        << "store.txt" << 1
        << "Add|Time|Date|Fuel|CO [ppm]|O2 [%]|CO2 [%]|Ratio|XAir [%]|Eff. [%]|Temp1|Temp2|"
           "Press|T_Unit|P_Unit"
        << 13
        << "0|08:15:42|11/03/24|Natural Gas|18|4.6|9.1|0.0002|28.2|88.6|176.4|19.8|-0.15|"
           "'C|mbar";
    QTest::newRow("single logger: renamed heads, page unit")
        << "single0.txt" << 6 << "Add|Average [ppm]|Maxmum [ppm]" << 30 << " 1|118|131";
    QTest::newRow("tightness: mixed units")
        << "tightness.txt" << 11 << "Add|Date|Time|P1_Start|P2_Stop|Unit" << 6
        << "0|05/09/06|10:12:30|21.35|21.02|mbar";
    QTest::newRow("real: the reading on screen")
        << "real.txt" << 0
        << "Date|Time|CO [ppm]|O2 [%]|CO2 [%]|Ratio|XAir [%]|Eff. [%]|Temp1 ['C]|Temp2 ['C]|"
           "Pressure [mbar]|Fuel"
        << 1 << "12/03/24|14:32:07|25|4.8|9.0|0.0003|29.8|92.0|182.5|21.3|-0.12|Natural Gas";
}

void tst_export::screenTables()
{
    QFETCH(QString, capture);
    QFETCH(int, mode);
    QFETCH(QString, columns);
    QFETCH(int, records);
    QFETCH(QString, firstRecord);
    Core core(mode);
    QVERIFY(core.pass(testData("streams/" + capture)));
    const ExportTable t = ExportTable::fromScreen(core.m);
    QStringList names;
    for (const ExportColumn &c : t.columns)
        names << c.name();
    QCOMPARE(names.join('|'), columns);
    QCOMPARE(t.rows.size(), records);
    QCOMPARE(t.rows.first().join('|'), firstRecord);
}

void tst_export::reportChartIsTheChartWindowSeries_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("quantity");
    QTest::newRow("logger CO, with gaps") << m_awkward << "CO";
    QTest::newRow("logger O2, a word in it") << m_awkward << "O2";
    QTest::newRow("single logger Value2") << expectedFile("single1.txt") << "Value2";
}

void tst_export::reportChartIsTheChartWindowSeries()
{
    QFETCH(QString, file);
    QFETCH(QString, quantity);
    Core core;
    DataFile::Contents contents;
    QString error;
    QVERIFY2(DataFile::loadSaved(file, &contents, &error), qPrintable(error));
    DataFile::apply(contents, core.m);
    ChartState state;
    ChartCommands chart(core.m, state);
    chart.load();
    chart.chooseQuantity(*chartQuantityByCaption(quantity));

    const ReportChart report(ExportTable::fromScreen(core.m), quantity);
    QCOMPARE(report.runs(), state.runs());
    QVERIFY(report.runs().size() > 0);
}

void tst_export::statistics()
{
    Core core(LoggerPage0);
    core.m.MSFlexGrid1.writeHeaders({"Add", "Time", "Date", "Fuel", "CO", "O2", "CO2", "Ratio",
                                     "XAir", "Eff.", "Temp1", "Temp2", "Press", "T_Unit",
                                     "P_Unit"});
    const QStringList co = {"10", "OFL", "-3.5", "ERR", "", "20.25"};
    for (int r = 0; r < co.size(); ++r) {
        core.m.MSFlexGrid1.setText(r + 1, 0, QString::number(r));
        core.m.MSFlexGrid1.setText(r + 1, 4, co[r]);
    }
    const QList<ReportStatistics> stats = ReportStatistics::of(ExportTable::fromScreen(core.m));
    QCOMPARE(stats.first().name, QStringLiteral("CO [ppm]"));
    QCOMPARE(stats.first().count, 3);
    QCOMPARE(stats.first().minimum, -3.5);
    QCOMPARE(stats.first().maximum, 20.25);
    QCOMPARE(stats.first().mean, (10 - 3.5 + 20.25) / 3);
    QCOMPARE(stats.first().decimals, 2);
    QCOMPARE(stats[1].count, 0); // O2: no reading at all
}

void tst_export::failedWriteKeepsTheFile()
{
    ExportTable table;
    QString error;
    QVERIFY(ExportTable::fromDataFile(expectedFile("logger0.txt"), &table, &error));
    // A directory where the file should be: the rename over it fails after the data is written.
    const QString blocked = m_dir.filePath("blocked.csv");
    QVERIFY(QDir().mkpath(blocked));
    ExportSettings settings;
    QVERIFY(!Exporter::write(blocked, {table}, settings, &error));
    QVERIFY2(error.contains(blocked), qPrintable(error));
    QVERIFY(QFileInfo(blocked).isDir());

    const QString missing = m_dir.filePath("no-such-dir/out.json");
    settings.format = ExportFormat::Json;
    QVERIFY(!Exporter::write(missing, {table}, settings, &error));
    QVERIFY2(error.contains(missing), qPrintable(error));
}

void tst_export::readBack_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("expected"); // lines the reader must print

    const QString header = "header ['Add', 'Time', 'Date', 'Fuel', 'CO [ppm]', 'O2 [%]', "
                           "'CO2 [%]', 'Ratio', 'XAir [%]', 'Eff. [%]', 'Temp1', 'Temp2', "
                           "'Press [mbar]']";
    QTest::newRow("csv, point locale")
        << "csv" << QStringList{} << "en_US.UTF-8"
        << QStringList{header,
                       "rows 100",
                       "widths [13]",
                       "row ['0', '23:10:00', '05/09/06', 'Natural Gas', '34', '5.0', '8.9', "
                       "'0.0004', '31.1', '92.0', '180.9', '21.2', '-0.11']",
                       "row ['1', '23:11:00', '05/09/06', 'Gas, natural; LPG', '44', '5.0', "
                       "'8.9', '0.0005', '31.4', '92.1', '178.3', '21.7', '-0.11']",
                       "row ['2', '23:12:00', '05/09/06', '', '', '4.4', '9.2', '0.0002', "
                       "'26.9', '92.0', '185.8', '21.5', '-0.12']",
                       "row ['3', '23:13:00', '05/09/06', '', '25', 'ERR', '9.1', '0.0003', "
                       "'28.4', '92.4', '175.6', '20.6', '-0.15']",
                       "row ['7', '23:17:00', '05/09/06', '', '43', '5.0', '8.9', '0.0005', "
                       "'31.4', '91.8', '185.1', '20.2', '12,5']"};
    QTest::newRow("csv, comma locale")
        << "csv" << QStringList{} << "de_DE.UTF-8"
        << QStringList{"row ['0', '23:10:00', '05/09/06', 'Natural Gas', '34', '5,0', '8,9', "
                       "'0,0004', '31,1', '92,0', '180,9', '21,2', '-0,11']",
                       "row ['4', '23:14:00', '05/09/06', '', '30', '4,7', '9,1', '0,0003', "
                       "'29,1', '92,4', '', '20,9', '-0,09']"};
    QTest::newRow("csv, chosen over the locale, with BOM")
        << "csv" << QStringList{"--delimiter", "tab", "--decimal", ",", "--bom"} << "en_US.UTF-8"
        << QStringList{"bom", "row ['6', '23:16:00', '05/09/06', '', '39', '4,3', '9,3', "
                              "'0,0004', '25,5', '92,2', '181,9', '', '-0,16']"};
    QTest::newRow("csv, comma delimiter and decimal comma quote the numbers")
        << "csv" << QStringList{"--delimiter", ",", "--decimal", ","} << "de_DE.UTF-8"
        << QStringList{"widths [13]", "row ['0', '23:10:00', '05/09/06', 'Natural Gas', '34', "
                                      "'5,0', '8,9', '0,0004', '31,1', '92,0', '180,9', '21,2', "
                                      "'-0,11']"};
    QTest::newRow("json")
        << "json" << QStringList{} << "de_DE.UTF-8"
        << QStringList{"schema True",
                       "mode 2 page 0 version 2.05 sampling 00:01:00",
                       "units {\"CO\": \"ppm\", \"CO2\": \"%\", \"Eff.\": \"%\", \"O2\": \"%\", "
                       "\"Press\": \"mbar\", \"XAir\": \"%\"}",
                       "records 100",
                       "record address=number:2 Time=string:23:12:00 Date=string:05/09/06 "
                       "Fuel=null:None CO=null:None O2=number:4.4 CO2=number:9.2 "
                       "Ratio=number:0.0002 XAir=number:26.9 Eff.=number:92.0 "
                       "Temp1=number:185.8 Temp2=number:21.5 Press=number:-0.12",
                       "record address=number:3 Time=string:23:13:00 Date=string:05/09/06 "
                       "Fuel=null:None CO=number:25 O2=string:ERR CO2=number:9.1 "
                       "Ratio=number:0.0003 XAir=number:28.4 Eff.=number:92.4 "
                       "Temp1=number:175.6 Temp2=number:20.6 Press=number:-0.15"};
    QTest::newRow("xlsx")
        << "xlsx" << QStringList{} << "de_DE.UTF-8"
        << QStringList{"sheets ['Readings', 'Details']",
                       "frozen A2",
                       header,
                       "bold True",
                       "charts 1",
                       "chart LineChart 4",
                       "row n:3 s:'23:13:00' s:'05/09/06' n:None n:25 s:'ERR' n:9.1 n:0.0003 "
                       "n:28.4 n:92.4 n:175.6 n:20.6 n:-0.15",
                       "row n:7 s:'23:17:00' s:'05/09/06' n:None n:43 n:5 n:8.9 n:0.0005 "
                       "n:31.4 n:91.8 n:185.1 n:20.2 s:'12,5'",
                       "details ['Version', '2.05']",
                       "details ['Records', 100]"};
}

void tst_export::readBack()
{
    QFETCH(QString, format);
    QFETCH(QStringList, options);
    QFETCH(QString, locale);
    QFETCH(QStringList, expected);
    const QString out = m_dir.filePath(QStringLiteral("read.") + format);
    QFile::remove(out);
    const Run exported =
        cli(QStringList{"export", m_awkward, "--format", format, "--out", out} + options,
            {"LC_ALL=" + locale, "LANG=" + locale});
    QVERIFY2(exported.status == 0, exported.err.constData());
    QString delimiter = locale.startsWith("de") ? ";" : ",";
    const qsizetype at = options.indexOf("--delimiter");
    if (at >= 0) delimiter = options[at + 1];
    QStringList args = {format, out};
    if (format == QLatin1String("csv")) args << delimiter;
    if (format == QLatin1String("json")) args << QStringLiteral(NRV508_SCHEMA);
    const Run read = readerRun(args);
    QVERIFY2(read.status == 0, read.err.constData());
    const QStringList lines = QString::fromUtf8(read.out).split('\n');
    for (const QString &line : expected)
        QVERIFY2(lines.contains(line),
                 qPrintable("missing: " + line + "\nread:\n" + lines.mid(0, 12).join('\n')));
}

void tst_export::commandLineRefusals_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QString logger = expectedFile("logger0.txt");
    QTest::newRow("no format") << QStringList{logger} << 2 << "--format takes";
    QTest::newRow("unknown format")
        << QStringList{logger, "--format", "ods"} << 2 << "--format takes";
    QTest::newRow("xlsx to stdout")
        << QStringList{logger, "--format", "xlsx"} << 2 << "--out is required for xlsx";
    QTest::newRow("bad delimiter")
        << QStringList{logger, "--format", "csv", "--delimiter", "|"} << 2 << "--delimiter takes";
    QTest::newRow("bad decimal") << QStringList{logger, "--format", "csv", "--decimal", ";"} << 2
                                 << "--decimal takes";
    QTest::newRow("unknown quantity")
        << QStringList{logger, "--format", "pdf", "--quantity", "Soot", "--out", "x.pdf"} << 2
        << "unknown quantity";
    QTest::newRow("missing file") << QStringList{"/no/such/file.txt", "--format", "csv"} << 1
                                  << "/no/such/file.txt";
    QTest::newRow("file and archive id")
        << QStringList{logger, "--archive-id", "1", "--format", "csv"} << 2 << "exactly one";
    QTest::newRow("neither file nor archive id")
        << QStringList{"--format", "csv"} << 2 << "exactly one";
    QTest::newRow("archive id not a number")
        << QStringList{"--archive-id", "first", "--format", "csv"} << 2 << "--archive-id takes";
    QTest::newRow("archive without archive id")
        << QStringList{logger, "--db", m_db, "--format", "csv"} << 2 << "--db goes with";
    QTest::newRow("no such archived download")
        << QStringList{"--archive-id", "999", "--db", m_db, "--format", "csv"} << 1
        << "holds no download 999";
}

void tst_export::commandLineRefusals()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, message);
    const Run r = cli(QStringList{"export"} + args);
    QCOMPARE(r.status, status);
    QVERIFY2(QString::fromLocal8Bit(r.err).contains(message), r.err.constData());
    QVERIFY(r.out.isEmpty());
}

// The report read back by poppler: the heading the user set, the details, the statistics and
// the readings; page 1 kept as an image under the build directory to be looked at.
void tst_export::reports_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("pages");
    const auto parts = [](const char *text) { return QString(text).split('|'); };
    QTest::newRow("logger") << m_awkward << "Temp1"
                            << parts("Measurement Report|Logger Mode Data #0|Summary|Minimum|"
                                     "Maximum|Mean|Chart: Temp1|23:10:00|ERR|Page 1 of 3|"
                                     "Page 3 of 3")
                            << 3;
    QTest::newRow("single logger")
        << expectedFile("single0.txt") << ""
        << parts("CO Logger Mode Data|Average [ppm]|Chart: Average [ppm]|Page 1 of 2") << 2;
    QTest::newRow("tightness") << expectedFile("tightness.txt") << ""
                               << parts("Tightness Test Data|P1_Start|Pa|Page 1 of 1") << 1;
}

void tst_export::reports()
{
    QFETCH(QString, file);
    QFETCH(QString, quantity);
    QFETCH(QStringList, expected);
    QFETCH(int, pages);
    // The heading comes from the user's settings, here a settings directory of the test's own.
    const QString config = m_dir.filePath("config");
    {
        QSettings s(config + "/NRV508/nrv508.conf", QSettings::IniFormat);
        s.setValue("report/company", "Hearth & Flue Services");
        s.setValue("report/instrumentLine1", "12 High Street");
        s.setValue("report/telephone", "555-0199");
    }
    const QString pdf = m_dir.filePath("report.pdf");
    QStringList args = {"export", file, "--format", "pdf", "--out", pdf};
    if (!quantity.isEmpty()) args << "--quantity" << quantity;
    const Run exported = cli(args, {"XDG_CONFIG_HOME=" + config, "LC_ALL=en_GB.UTF-8"});
    QVERIFY2(exported.status == 0, exported.err.constData());
    const Run text = runProgram("pdftotext", {"-layout", pdf, "-"});
    const QString shown = QString::fromUtf8(text.out);
    for (const QString &part :
         QStringList{"Hearth & Flue Services", "12 High Street", "Tel. 555-0199"} + expected)
        QVERIFY2(shown.contains(part), qPrintable("missing: " + part));
    QCOMPARE(shown.count(QStringLiteral("Measurement Report")), pages);

    const QString png = QCoreApplication::applicationDirPath() + "/report-" +
                        QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-');
    QCOMPARE(
        runProgram("pdftoppm", {"-r", "80", "-png", "-f", "1", "-l", "1", "-singlefile", pdf, png})
            .status,
        0);
    QVERIFY(QImage(png + ".png").width() > 500);
}

// "Print this reading for the customer": one page with the reading on screen.
void tst_export::realModeReport()
{
    Core core(Real);
    QVERIFY(core.pass(testData("streams/real.txt")));
    ReportHeader header;
    header.company = QStringLiteral("Hearth & Flue Services");
    const QString pdf =
        writtenFile(m_dir.filePath("real.pdf"),
                    ReportLayout(ExportTable::fromScreen(core.m), header, QString()).pdf());
    const QString shown = QString::fromUtf8(runProgram("pdftotext", {"-layout", pdf, "-"}).out);
    for (const char *part : {"Hearth & Flue Services", "Reading", "CO", "25", "ppm", "182.5", "'C",
                             "Natural Gas", "12/03/24 14:32:07", "Page 1 of 1"})
        QVERIFY2(shown.contains(QString::fromUtf8(part)), qPrintable(shown));
    const QString png = QCoreApplication::applicationDirPath() + "/report-real";
    QCOMPARE(runProgram("pdftoppm", {"-r", "80", "-png", "-singlefile", pdf, png}).status, 0);
}

void tst_export::pageSizeAndLogo_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("logo");
    QTest::addColumn<QString>("pageSize");
    QTest::addColumn<int>("images");
    QTest::newRow("US letter, logo") << "en_US.UTF-8" << true << "612 x 792 pts (letter)" << 1;
    QTest::newRow("German A4, no logo") << "de_DE.UTF-8" << false << "595 x 842 pts (A4)" << 0;
    QTest::newRow("British A4, logo") << "en_GB.UTF-8" << true << "595 x 842 pts (A4)" << 1;
}

void tst_export::pageSizeAndLogo()
{
    QFETCH(QString, locale);
    QFETCH(bool, logo);
    QFETCH(QString, pageSize);
    QFETCH(int, images);
    const QString config = m_dir.filePath("config-" + locale);
    const QString logoPath = m_dir.filePath("logo.png");
    QImage image(120, 60, QImage::Format_RGB32);
    image.fill(QColor(0x1F, 0x3F, 0x6E));
    QVERIFY(image.save(logoPath));
    {
        QSettings s(config + "/NRV508/nrv508.conf", QSettings::IniFormat);
        s.setValue("report/company", "Hearth & Flue Services");
        s.setValue("report/logo", logo ? logoPath : QString());
    }
    const QString pdf = m_dir.filePath("sized.pdf");
    const Run exported =
        cli({"export", expectedFile("tightness.txt"), "--format", "pdf", "--out", pdf},
            {"XDG_CONFIG_HOME=" + config, "LC_ALL=" + locale, "LANG=" + locale});
    QVERIFY2(exported.status == 0, exported.err.constData());
    QVERIFY(QString::fromUtf8(runProgram("pdfinfo", {pdf}).out)
                .contains("Page size:       " + pageSize));
    const QStringList listed = QString::fromUtf8(runProgram("pdfimages", {"-list", pdf}).out)
                                   .split('\n', Qt::SkipEmptyParts);
    QCOMPARE(listed.size() - 2, images); // two heading lines, then one line per image
}

// The Export menu after the documented ones, exporting what the window shows.
void tst_export::windowMenu()
{
    Core core(Store);
    QMenuBar bar;
    bar.addMenu(QStringLiteral("&Setup"));
    ExportMenu menu(&bar, core.m, core.messages, nullptr);
    QCOMPARE(bar.actions().last()->text(), QStringLiteral("E&xport"));
    QStringList entries;
    for (QAction *a : menu.menu()->actions())
        entries << (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(entries.join(", "), QStringLiteral("&CSV..., &JSON..., &Excel Workbook..., "
                                                "PDF &Report..., -, &Print Report..., -, "
                                                "CSV &Options..., Report &Header..."));

    const QString path = m_dir.filePath("window.json");
    QVERIFY(!menu.exportScreen(ExportFormat::Json, path));
    QCOMPARE(core.messages.shown, QStringList{"Export: " + Exporter::nothingToExport()});
    QVERIFY(!QFile::exists(path));

    QVERIFY(core.pass(testData("streams/store.txt")));
    QVERIFY(menu.exportScreen(ExportFormat::Json, path));
    QCOMPARE(readFile(path), JsonExport::table(ExportTable::fromScreen(core.m)));
    QVERIFY(readFile(path).contains("\"T_Unit\": \"'F\""));
}

// The heading starts from the lines the instrument confirmed, until the user saves their own
// (even a blank one).
void tst_export::reportHeaderStartsFromInstrumentLines()
{
    QCOMPARE(ReportHeader::load().address, QString());
    // The instrument centres its 20-column line with blanks.
    ReportHeader::rememberInstrumentLine(1, QStringLiteral("   12 High Street   "));
    ReportHeader::rememberInstrumentLine(2, QStringLiteral("     555-0199"));
    ReportHeader::rememberInstrumentLine(3, QStringLiteral("no such line"));
    ReportHeader header = ReportHeader::load();
    QCOMPARE(header.address, QStringLiteral("12 High Street"));
    QCOMPARE(header.telephone, QStringLiteral("555-0199"));
    QVERIFY(header.company.isEmpty());

    header.company = QStringLiteral("Hearth & Flue Services");
    header.telephone.clear();
    header.save();
    ReportHeader::rememberInstrumentLine(1, QStringLiteral("1 New Road"));
    const ReportHeader saved = ReportHeader::load();
    QCOMPARE(saved.company, QStringLiteral("Hearth & Flue Services"));
    QCOMPARE(saved.address, QStringLiteral("12 High Street"));
    QCOMPARE(saved.telephone, QString());
}

// An archive with a labelled Logger page and a labelled live run whose temperature unit
// changes mid-run and whose last reading carries no time.
void tst_export::fillArchive()
{
    m_db = m_dir.filePath("archive.sqlite");
    Archive archive;
    QString error;
    QVERIFY2(archive.open(m_db, &error), qPrintable(error));
    const auto logger =
        archive.addDataFile(readFile(expectedFile("logger0.txt")),
                            {"file", "/home/tech/logger0.txt", QDateTime()}, &error);
    QVERIFY2(logger, qPrintable(error));
    m_loggerId = logger->id;
    QVERIFY(archive.label(m_loggerId, {"Acme", "North Plant", "after service"}, &error));
    const auto run = archive.beginLiveRun({"live", "/dev/ttyUSB0", QDateTime()}, &error);
    QVERIFY2(run, qPrintable(error));
    m_liveId = *run;
    ScreenModel m;
    m.txtRDate.caption = "12/03/24";
    m.txtRO2.caption = "5.0";
    m.txtRTemp2.caption = "21.0";
    m.labRT2Unit.caption = "'C";
    m.txtRPressure.caption = "-0.11";
    m.labRPUnit.caption = "mbar";
    m.txtRFuel.caption = "Natural Gas";
    const QStringList times = {"14:32:07", "14:32:08", ""};
    const QStringList co = {"34", "OFL", "40"};
    const QStringList temp1 = {"180.5", "356.9", "357.0"};
    const QStringList unit1 = {"'C", "'F", "'F"};
    for (int n = 0; n < 3; ++n) {
        m.txtRTime.caption = times[n];
        m.txtRCo.caption = co[n];
        m.txtRTemp1.caption = temp1[n];
        m.labRT1Unit.caption = unit1[n];
        QVERIFY(archive.appendReading(m_liveId, ReadingRows::fromRealPanels(m, n + 1), &error));
    }
    QVERIFY(archive.endLiveRun(m_liveId, &error));
    QVERIFY(archive.label(m_liveId, {"Bistro", "Kitchen", {}}, &error));
}

// Archived downloads and live runs through nrv508-cli export --archive-id, read back by the
// same independent readers as the data files' exports.
void tst_export::archived_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QStringList>("expected"); // lines the reader prints

    const QString liveHeader = "header ['Timestamp', 'Date', 'Time', 'CO [ppm]', 'O2 [%]', "
                               "'CO2 [%]', 'Ratio', 'XAir [%]', 'Eff. [%]', 'Temp1', "
                               "\"Temp2 ['C]\", 'Pressure [mbar]', 'Fuel', 'T1_Unit']";
    QTest::newRow("download, csv as its file's") << "logger"
                                                 << "csv" << QStringList{"same"};
    QTest::newRow("download, json with the archive's labels")
        << "logger"
        << "json"
        << QStringList{"schema True", "mode 2 page 0 version 2.05 sampling 00:01:00",
                       "labels Acme|North Plant|after service|logger0.txt", "records 100"};
    QTest::newRow("download, report with customer and site")
        << "logger"
        << "pdf" << QStringList{"Customer",           "Acme",          "Site",
                                "North Plant",        "after service", "logger0.txt",
                                "Logger Mode Data #0"};
    QTest::newRow("download, workbook details")
        << "logger"
        << "xlsx" << QStringList{"details ['Customer', 'Acme']", "details ['Site', 'North Plant']"};
    QTest::newRow("live run, csv with a timestamp each")
        << "live"
        << "csv"
        << QStringList{liveHeader,
                       "rows 3",
                       "widths [14]",
                       "row ['2024-03-12T14:32:07+01:00', '12/03/24', '14:32:07', '34', '5.0', "
                       "'', '', '', '', '180.5', '21.0', '-0.11', 'Natural Gas', \"'C\"]",
                       "row ['2024-03-12T14:32:08+01:00', '12/03/24', '14:32:08', '', '5.0', "
                       "'', '', '', '', '356.9', '21.0', '-0.11', 'Natural Gas', \"'F\"]",
                       "row ['2024-03-12T14:32:08+01:00', '12/03/24', '', '40', '5.0', '', '', "
                       "'', '', '357.0', '21.0', '-0.11', 'Natural Gas', \"'F\"]"};
    QTest::newRow("live run, json")
        << "live"
        << "json"
        << QStringList{"schema True", "labels Bistro|Kitchen|None|/dev/ttyUSB0", "records 3",
                       "units {\"CO\": \"ppm\", \"CO2\": \"%\", \"Eff.\": \"%\", "
                       "\"O2\": \"%\", \"Pressure\": \"mbar\", \"Temp2\": \"'C\", "
                       "\"XAir\": \"%\"}"};
    QTest::newRow("live run, workbook")
        << "live"
        << "xlsx"
        << QStringList{liveHeader, "row d:datetime.datetime(2024, 3, 12, 14, 32, 8) s:'12/03/24' "
                                   "s:'14:32:08' "
                                   "n:None n:5 n:None n:None n:None n:None n:356.9 n:21 n:-0.11 "
                                   "s:'Natural Gas' s:\"'F\""};
    QTest::newRow("live run, report")
        << "live"
        << "pdf" << QStringList{"Live Run", "Bistro", "Kitchen", "356.9", "Page 1 of 1"};
}

void tst_export::archived()
{
    QFETCH(QString, which);
    QFETCH(QString, format);
    QFETCH(QStringList, expected);
    const qint64 id = which == QLatin1String("live") ? m_liveId : m_loggerId;
    const QString out = m_dir.filePath("archived." + format);
    QFile::remove(out);
    const QStringList env = {"LC_ALL=en_GB.UTF-8", "TZ=Europe/Berlin"};
    const Run exported = cli({"export", "--archive-id", QString::number(id), "--db", m_db,
                              "--format", format, "--out", out},
                             env);
    QVERIFY2(exported.status == 0, exported.err.constData());
    QStringList lines;
    if (expected == QStringList{"same"}) {
        const QString file = m_dir.filePath("file.csv");
        QCOMPARE(
            cli({"export", expectedFile("logger0.txt"), "--format", format, "--out", file}, env)
                .status,
            0);
        QCOMPARE(readFile(out), readFile(file));
        return;
    }
    if (format == QLatin1String("pdf")) {
        lines = QString::fromUtf8(runProgram("pdftotext", {"-layout", out, "-"}).out).split('\n');
        const QString text = lines.join('\n');
        for (const QString &part : expected)
            QVERIFY2(text.contains(part), qPrintable("missing: " + part + "\n" + text.left(600)));
        return;
    }
    QStringList args = {format, out};
    if (format == QLatin1String("csv")) args << ",";
    if (format == QLatin1String("json")) args << QStringLiteral(NRV508_SCHEMA);
    const Run read = readerRun(args);
    QVERIFY2(read.status == 0, read.err.constData());
    lines = QString::fromUtf8(read.out).split('\n');
    for (const QString &line : expected)
        QVERIFY2(lines.contains(line),
                 qPrintable("missing: " + line + "\nread:\n" + lines.mid(0, 12).join('\n')));
}

QTEST_MAIN(tst_export)
#include "tst_export.moc"
