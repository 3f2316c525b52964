#include "ChartPages.h"
#include "charts/ChartCommands.h"
#include "charts/ChartState.h"

#include <QLocale>
#include <QtTest>
#include <limits>

// The series build and the quantity commands, below the window.
class TestChartSeries : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void readNumber_data();
    void readNumber();
    void toWholeNumber_data();
    void toWholeNumber();
    void build_data();
    void build();
    void quantities_data();
    void quantities();
    void allGapsKeepPreviousAxes();
};

namespace {
QString bound(const std::optional<double> &value)
{
    return value ? QString::number(*value) : QStringLiteral("auto");
}

// "xmin xmax ymin ymax" as set by the build, "auto" where never set.
QString axes(const ChartState &chart)
{
    return QStringList{bound(chart.xMin), bound(chart.xMax), bound(chart.yMin), bound(chart.yMax)}
        .join(' ');
}

QStringList split(const char *texts)
{
    return QString::fromLatin1(texts).split(' ', Qt::SkipEmptyParts);
}
} // namespace

void TestChartSeries::initTestCase()
{
    // A user's locale with a decimal comma must not change how a cell is read.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
}

void TestChartSeries::readNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("value"); // "none" when the text is no number

    QTest::newRow("decimal") << "-12.4"
                             << "-12.4";
    QTest::newRow("plus sign") << "+7"
                               << "7";
    QTest::newRow("leading point") << ".5"
                                   << "0.5";
    QTest::newRow("trailing point") << "5."
                                    << "5";
    QTest::newRow("exponent") << "-1.5E+2"
                              << "-150";
    QTest::newRow("decimal comma") << "12,5"
                                   << "none";
    QTest::newRow("blank around") << " 5"
                                  << "none";
    QTest::newRow("hex") << "0x10"
                         << "none";
    QTest::newRow("bare exponent") << "1e"
                                   << "none";
    QTest::newRow("sign and point") << "-."
                                    << "none";
    QTest::newRow("infinity") << "inf"
                              << "none";
    QTest::newRow("overflow") << "1e400"
                              << "none";
    QTest::newRow("the gap value itself") << "1E308"
                                          << "none";
    QTest::newRow("wide digits") << QString::fromUtf8("\uFF11\uFF12") << "none";
}

void TestChartSeries::readNumber()
{
    QFETCH(QString, text);
    const std::optional<double> v = ChartNumbers::readNumber(text);
    QTEST(v ? QString::number(*v) : QStringLiteral("none"), "value");
}

void TestChartSeries::toWholeNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("whole");

    QTest::newRow("12.4") << 12.4 << 12;
    QTest::newRow("25.6") << 25.6 << 26;
    QTest::newRow("2.5 to even") << 2.5 << 2;
    QTest::newRow("3.5 to even") << 3.5 << 4;
    QTest::newRow("-3.5 to even") << -3.5 << -4;
    QTest::newRow("-2.5 to even") << -2.5 << -2;
    QTest::newRow("-0.4") << -0.4 << 0;
    QTest::newRow("above 32 bits") << 5e9 << std::numeric_limits<int>::max() - 1;
    QTest::newRow("below 32 bits") << -5e9 << std::numeric_limits<int>::min();
}

void TestChartSeries::toWholeNumber()
{
    QFETCH(double, value);
    QTEST(int(ChartNumbers::toWholeNumber(value)), "whole");
}

void TestChartSeries::build_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QStringList>("cells");  // from row 1 down; the rows below are empty
    QTest::addColumn<QStringList>("points"); // the first points; all others are gaps
    QTest::addColumn<QString>("axes");       // xmin xmax ymin ymax

    QTest::newRow("worked example") << 2 << "CO" << QStringList{"12.4", "OFL", "25.6", "", "-3.5"}
                                    << split("12.4 gap 25.6 gap -3.5") << "auto 100 -4 27";
    QStringList filled;
    for (int i = 0; i < 37; ++i)
        filled << QString::number(i % 9);
    QTest::newRow("37 records") << 5 << "CO" << filled << filled << "auto 100 0 9";
    QTest::newRow("O2 at most 1") << 3 << "O2" << split("0.0 0.9 1 0.5") << split("0 0.9 1 0.5")
                                  << "auto 100 0 2";
    QTest::newRow("1.6") << 2 << "CO2" << split("1.6") << split("1.6") << "auto 100 0 3";
    QTest::newRow("1.4") << 2 << "CO2" << split("1.4") << split("1.4") << "auto 100 0 2";
    QTest::newRow("2.5") << 2 << "Temp1" << split("2.5") << split("2.5") << "auto 100 0 3";
    QTest::newRow("-0.4") << 4 << "Temp2" << split("-0.4") << split("-0.4") << "auto 100 0 2";
    QTest::newRow("later values lower")
        << 2 << "Pressure" << split("40 3 -2.5 -1") << split("40 3 -2.5 -1") << "auto 100 -2 41";
    QTest::newRow("gap texts and zero")
        << 2 << "CO" << QStringList{"OFL", "-", "NA", "OPEN", "", "0"}
        << split("gap gap gap gap gap 0") << "auto 100 0 2";
    QTest::newRow("neither gap nor number")
        << 2 << "CO" << QStringList{"ERR", "ofl", "12,5", "Open", " OFL", "7"}
        << split("gap gap gap gap gap 7") << "auto 100 0 8";
    QTest::newRow("exponent") << 2 << "CO" << split("1.2e2") << split("120") << "auto 100 0 121";
    QTest::newRow("beyond 32 bits")
        << 2 << "CO" << split("1e10") << split("1e+10") << "auto 100 0 2.14748e+09";
    QTest::newRow("Logger only gaps")
        << 2 << "CO" << split("NA OPEN") << QStringList{} << "auto 100 auto auto";

    QTest::newRow("Single Logger leaves the Y minimum")
        << 7 << "Value1" << split("-5 -12.5 3") << split("-5 -12.5 3") << "1 30 auto 4";
    QTest::newRow("Single Logger all negative")
        << 10 << "Value2" << split("-5 -1") << split("-5 -1") << "1 30 auto 2";
    QTest::newRow("Single Logger only gaps")
        << 6 << "Value1" << QStringList{"", "OFL"} << QStringList{} << "1 30 auto auto";
}

void TestChartSeries::build()
{
    QFETCH(int, mode);
    QFETCH(QString, quantity);
    QFETCH(QStringList, cells);
    QFETCH(QStringList, points);

    ChartPage page(mode);
    page.fill(quantity, cells);
    ChartState chart;
    ChartCommands commands(page.m, chart);
    commands.load();
    commands.chooseQuantity(*chartQuantityByCaption(quantity));

    const int n = isSingleLogger(mode) ? 30 : 100;
    QCOMPARE(pointTexts(chart.values()), points + gaps(n - int(points.size())));
    // Every point is written inside one open block: one redraw for the whole page.
    QCOMPARE(chart.redraws(), 1);
    QVERIFY(chart.seriesVisible);
    QTEST(axes(chart), "axes");
}

void TestChartSeries::quantities_data()
{
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("first"); // row 1 holds its column number in every column
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("measureTitle");
    QTest::addColumn<QString>("unit");

    QTest::newRow("CO") << "CO" << 0 << "4"
                        << "Logger Data _ CO (ppm)"
                        << "Logger [ CO ]"
                        << "ppm";
    QTest::newRow("O2") << "O2" << 1 << "5"
                        << "Logger Data _ O2 (%)"
                        << "Logger [ O2 ]"
                        << "%";
    QTest::newRow("CO2") << "CO2" << 2 << "6"
                         << "Logger Data _ CO2 (%)"
                         << "Logger [ CO2 ]"
                         << "%";
    // Both temperatures take labST1Unit, whatever labST2Unit says.
    QTest::newRow("Temp1") << "Temp1" << 3 << "10"
                           << "Logger Data _ Temp1"
                           << "Logger [ Temp1 ]"
                           << "'C";
    QTest::newRow("Temp2") << "Temp2" << 4 << "11"
                           << "Logger Data _ Temp2"
                           << "Logger [ Temp2 ]"
                           << "'C";
    QTest::newRow("Pressure") << "Pressure" << 9 << "12"
                              << "Logger Data _ Pressure"
                              << "Logger [ Pressure ]"
                              << "mbar";
    QTest::newRow("Value1") << "Value1" << 5 << "1"
                            << "Single Logger Data _ Value1"
                            << "SingleLogger [ Value1 ]"
                            << "hPa";
    QTest::newRow("Value2") << "Value2" << 6 << "2"
                            << "Single Logger Data _ Value2"
                            << "SingleLogger [ Value2 ]"
                            << "hPa";
}

void TestChartSeries::quantities()
{
    QFETCH(QString, quantity);
    const ChartQuantityInfo *info = chartQuantityByCaption(quantity);
    ChartPage page(info->singleLogger ? 8 : 4);
    for (int c = 0; c < page.table().columnCount(); ++c)
        page.table().setText(1, c, QString::number(c));
    page.m.labST1Unit.caption = QStringLiteral("'C");
    page.m.labST2Unit.caption = QStringLiteral("'F");
    page.m.labSPUnit.caption = QStringLiteral("mbar");
    page.m.txtSLUnit.caption = QStringLiteral("hPa");
    page.m.ChartQuantity = 7; // a stale code, which the command replaces before the build
    ChartState chart;
    ChartCommands commands(page.m, chart);
    commands.load();
    commands.chooseQuantity(*info);

    QFETCH(QString, unit);
    QTEST(int(page.m.ChartQuantity), "code");
    QTEST(pointTexts(chart.values()).first(), "first");
    QTEST(chart.frmChart.caption, "caption");
    QTEST(chart.panelText("MeasureTitle"), "measureTitle");
    QCOMPARE(chart.panelText("Unit"), "Y Axis(Unit) : " + unit);
    QCOMPARE(chart.yTitle, "(" + unit + ")");
    QCOMPARE(chart.xTitle, QStringLiteral("(Address)"));
    QCOMPARE(chart.panelText("Page"), QStringLiteral("Page : 2"));
}

void TestChartSeries::allGapsKeepPreviousAxes()
{
    ChartPage page(2);
    page.fill("CO", {"12.4", "OFL", "25.6", "", "-3.5"});
    page.fill("O2", {"OFL", "NA"});
    ChartState chart;
    ChartCommands commands(page.m, chart);
    commands.load();
    commands.chooseQuantity(*chartQuantityByCaption("CO"));
    // O2 of the same page holds only gaps: the axes stay where CO put them.
    commands.chooseQuantity(*chartQuantityByCaption("O2"));
    QCOMPARE(pointTexts(chart.values()), gaps(100));
    QCOMPARE(axes(chart), QStringLiteral("auto 100 -4 27"));
    QCOMPARE(chart.frmChart.caption, QStringLiteral("Logger Data _ O2 (%)"));
}

QTEST_GUILESS_MAIN(TestChartSeries)
#include "tst_chartseries.moc"
