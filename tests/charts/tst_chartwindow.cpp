#include "ChartPages.h"
#include "charts/frmChart.h"
#include "tables/WindowPrinter.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QMenuBar>
#include <QScatterSeries>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QValueAxis>
#include <QtTest>

// The real chart window, offscreen: what it shows per mode, the views, printing.
class TestChartWindow : public QObject {
    Q_OBJECT

private slots:
    void loadPerMode_data();
    void loadPerMode();
    void menuCaptions();
    void lineBrokenAtGaps();
    void scrollAndFullView();
    void reopenStartsEmpty();
    void exitCloses();
    void printImageToPdf();
    void screenshot();

private:
    WindowPrinter m_printer;
};

namespace {
QAction *action(frmChart &w, const char *name)
{
    return w.findChild<QAction *>(QLatin1String(name));
}

bool menuEnabled(frmChart &w, const char *name)
{
    return w.findChild<QMenu *>(QLatin1String(name))->menuAction()->isEnabled();
}

QString panel(frmChart &w, const char *key)
{
    return w.findChild<QLabel *>(QLatin1String(key))->text();
}

QChart *chartOf(frmChart &w)
{
    return w.findChild<QChartView *>(QStringLiteral("ChartFX1"))->chart();
}

QValueAxis *axis(frmChart &w, Qt::Orientation orientation)
{
    return qobject_cast<QValueAxis *>(chartOf(w)->axes(orientation).first());
}

QList<QLineSeries *> lines(frmChart &w)
{
    QList<QLineSeries *> out;
    for (QAbstractSeries *s : chartOf(w)->series())
        if (s->type() == QAbstractSeries::SeriesTypeLine) out << static_cast<QLineSeries *>(s);
    return out;
}

QScatterSeries *markers(frmChart &w)
{
    for (QAbstractSeries *s : chartOf(w)->series())
        if (s->type() == QAbstractSeries::SeriesTypeScatter)
            return static_cast<QScatterSeries *>(s);
    return nullptr;
}

// A Logger page with runs of values, lone values and gaps, as a real download gives them.
void fillWithGaps(ChartPage &page)
{
    QStringList cells;
    for (int i = 0; i < 100; ++i) {
        const bool gap = (i >= 12 && i < 18) || i == 40 || i == 42 || (i >= 60 && i < 75) || i > 90;
        cells << (gap ? (i % 2 ? "OFL" : "")
                      : QString::number(20 + 15 * std::sin(i / 8.0), 'f', 1));
    }
    cells[5] = "-3.5";
    page.fill("CO", cells);
}
} // namespace

void TestChartWindow::loadPerMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("logger");
    QTest::addColumn<bool>("single");
    QTest::addColumn<QString>("page");
    QTest::addColumn<double>("xmax");

    for (int mode = 2; mode <= 5; ++mode)
        QTest::addRow("Logger page %d", mode - 2)
            << mode << true << false << QStringLiteral("Page : %1").arg(mode - 2) << 100.0;
    for (int mode = 6; mode <= 10; ++mode)
        QTest::addRow("Single Logger page %d", mode - 6)
            << mode << false << true << QStringLiteral("Page : %1").arg(mode - 6) << 30.0;
    QTest::newRow("Tightness") << 11 << false << false << "Page :" << 10.0;
}

void TestChartWindow::loadPerMode()
{
    QFETCH(int, mode);
    ChartPage page(mode);
    frmChart w(page.m, m_printer);

    QCOMPARE(w.windowTitle(), QStringLiteral("Data Chart"));
    QTEST(menuEnabled(w, "mnuLogger"), "logger");
    QTEST(menuEnabled(w, "mnuSLogger"), "single");
    QVERIFY(menuEnabled(w, "mnuPrint"));
    QVERIFY(menuEnabled(w, "mnuView"));
    QVERIFY(action(w, "mnuScroll")->isEnabled());
    QVERIFY(!action(w, "mnuFull")->isEnabled());
    QTEST(panel(w, "Page"), "page");
    QCOMPARE(panel(w, "MeasureTitle"), QStringLiteral("Select Chart"));
    QCOMPARE(panel(w, "X_Axis"), QStringLiteral("X Axis : Address"));
    QCOMPARE(panel(w, "Unit"), QStringLiteral("Y Axis(Unit) :"));
    QCOMPARE(axis(w, Qt::Horizontal)->titleText(), QStringLiteral("(Address)"));
    QCOMPARE(axis(w, Qt::Vertical)->titleText(), QStringLiteral("(%)"));
    QTEST(axis(w, Qt::Horizontal)->max(), "xmax");
    // Nothing is built at load: no line and no marker.
    QVERIFY(lines(w).isEmpty());
    QVERIFY(!markers(w) || markers(w)->count() == 0);
}

void TestChartWindow::menuCaptions()
{
    ChartPage page(2);
    frmChart w(page.m, m_printer);
    QStringList bar;
    for (QAction *a : w.findChild<QMenuBar *>()->actions())
        bar << a->text();
    QCOMPARE(bar, (QStringList{"  Logger  ", "SingleLogger", "   Print   ", "   View   ",
                               "   Exit   "}));
    const std::pair<const char *, QStringList> menus[] = {
        {"mnuLogger", {"CO", "O2", "CO2", "Temp1", "Temp2", "Pressure"}},
        {"mnuSLogger", {"Value1", "Value2"}},
        {"mnuPrint", {"Start"}},
        {"mnuView", {"Scroll View", "Full View"}}};
    for (const auto &[name, items] : menus) {
        QStringList texts;
        for (QAction *a : w.findChild<QMenu *>(QLatin1String(name))->actions())
            texts << a->text();
        QCOMPARE(texts, items);
    }
    QVERIFY(!action(w, "mnuExit")->menu());
}

void TestChartWindow::lineBrokenAtGaps()
{
    ChartPage page(3);
    page.fill("Pressure", {"1", "2", "3", "OFL", "5", "6", "", "8", "NA", "-1.5", "0"});
    page.m.labSPUnit.caption = QStringLiteral("hPa");
    frmChart w(page.m, m_printer);
    action(w, "mnuPress")->trigger();

    QCOMPARE(w.windowTitle(), QStringLiteral("Logger Data _ Pressure"));
    QCOMPARE(panel(w, "MeasureTitle"), QStringLiteral("Logger [ Pressure ]"));
    QCOMPARE(panel(w, "Unit"), QStringLiteral("Y Axis(Unit) : hPa"));
    QCOMPARE(axis(w, Qt::Vertical)->titleText(), QStringLiteral("(hPa)"));
    QCOMPARE(axis(w, Qt::Vertical)->min(), -2.0);
    QCOMPARE(axis(w, Qt::Vertical)->max(), 9.0);

    // Runs 1-3, 5-6 and 10-11 are lines; the lone 8 has only its marker.
    QList<QList<QPointF>> drawn;
    for (QLineSeries *line : lines(w))
        drawn << line->points();
    const QList<QList<QPointF>> expected = {
        {{1, 1}, {2, 2}, {3, 3}}, {{5, 5}, {6, 6}}, {{10, -1.5}, {11, 0}}};
    QCOMPARE(drawn, expected);
    QVERIFY(markers(w));
    QCOMPARE(markers(w)->count(), 8);
    QVERIFY(markers(w)->points().contains(QPointF(8, 8)));
    const QPen pen = lines(w).first()->pen();
    for (QLineSeries *line : lines(w))
        QCOMPARE(line->pen(), pen);
}

void TestChartWindow::scrollAndFullView()
{
    ChartPage page(2);
    fillWithGaps(page);
    frmChart w(page.m, m_printer);
    w.resize(800, 500);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto *bar = w.findChild<QScrollBar *>(QStringLiteral("chartScroll"));
    QValueAxis *x = axis(w, Qt::Horizontal);
    QVERIFY(!bar->isVisible());

    action(w, "mnuScroll")->trigger();
    QCoreApplication::processEvents();
    QVERIFY(!action(w, "mnuScroll")->isEnabled());
    QVERIFY(action(w, "mnuFull")->isEnabled());
    // 100 points at their fixed spacing do not fit an 800 pixel window: it scrolls sideways.
    const double plotWidth = chartOf(w)->plotArea().width();
    QVERIFY(bar->isVisible());
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(x->min(), 0.0);
    QCOMPARE(x->max(), plotWidth / frmChart::kScrollPixelsPerPoint);
    QVERIFY(x->max() < 100.0);

    // Choosing a quantity keeps the view; scrolling to the end shows the last point.
    action(w, "mnuLCo")->trigger();
    QCoreApplication::processEvents();
    QVERIFY(!action(w, "mnuScroll")->isEnabled());
    QVERIFY(bar->maximum() > 0);
    bar->setValue(bar->maximum());
    QVERIFY(x->max() >= 100.0);
    QCOMPARE(x->max() - x->min(), chartOf(w)->plotArea().width() / frmChart::kScrollPixelsPerPoint);

    action(w, "mnuFull")->trigger();
    QCoreApplication::processEvents();
    QVERIFY(action(w, "mnuScroll")->isEnabled());
    QVERIFY(!action(w, "mnuFull")->isEnabled());
    QVERIFY(!bar->isVisible());
    QCOMPARE(x->min(), 0.0);
    QCOMPARE(x->max(), 100.0);
}

void TestChartWindow::reopenStartsEmpty()
{
    ChartPage page(2);
    fillWithGaps(page);
    {
        frmChart first(page.m, m_printer);
        action(first, "mnuLTemp1")->trigger();
        action(first, "mnuScroll")->trigger();
        QCOMPARE(first.windowTitle(), QStringLiteral("Logger Data _ Temp1"));
    }
    frmChart again(page.m, m_printer);
    QCOMPARE(int(page.m.ChartQuantity), 3); // the choice outlives the window
    QCOMPARE(again.windowTitle(), QStringLiteral("Data Chart"));
    QCOMPARE(panel(again, "MeasureTitle"), QStringLiteral("Select Chart"));
    QCOMPARE(axis(again, Qt::Vertical)->titleText(), QStringLiteral("(%)"));
    QVERIFY(lines(again).isEmpty());
    QVERIFY(action(again, "mnuScroll")->isEnabled());
}

void TestChartWindow::exitCloses()
{
    ChartPage page(11);
    frmChart w(page.m, m_printer);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    action(w, "mnuExit")->trigger();
    QVERIFY(!w.isVisible());
    QCOMPARE(w.result(), int(QDialog::Rejected));
}

void TestChartWindow::printImageToPdf()
{
    ChartPage page(2);
    fillWithGaps(page);
    frmChart w(page.m, m_printer);
    w.resize(800, 500);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    action(w, "mnuLCo")->trigger();

    // The image holds the chart and the status bar, not the menu bar.
    const QPixmap image = w.clientImage();
    const int menuHeight = w.findChild<QMenuBar *>()->height();
    QVERIFY(menuHeight > 0);
    QCOMPARE(image.height(), w.height() - menuHeight);

    QTemporaryDir dir;
    QString error;
    QVERIFY(WindowPrinter::savePdf(dir.filePath("chart.pdf"), image, &error));
    QFile pdf(dir.filePath("chart.pdf"));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(5) == "%PDF-");
    QVERIFY(pdf.size() > 10000); // an image, not an empty page
}

void TestChartWindow::screenshot()
{
    ChartPage page(2);
    fillWithGaps(page);
    frmChart w(page.m, m_printer);
    w.resize(900, 540);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    action(w, "mnuLCo")->trigger();
    QCoreApplication::processEvents();

    const QString dir = QStringLiteral(NRV508_SCREENSHOTS);
    QVERIFY(QDir().mkpath(dir));
    const QImage full = w.grab().toImage();
    QVERIFY(full.save(dir + "/chart_logger_gaps.png"));

    action(w, "mnuScroll")->trigger();
    QCoreApplication::processEvents();
    auto *bar = w.findChild<QScrollBar *>(QStringLiteral("chartScroll"));
    bar->setValue(bar->maximum());
    QVERIFY(w.grab().toImage().save(dir + "/chart_logger_scroll_end.png"));

    ChartPage single(7);
    single.m.txtSLUnit.caption = QStringLiteral("'C");
    single.fill("Value2", {"-12.5", "-8", "OPEN", "-3.5", "", "2", "6.5", "9", "OFL", "14"});
    frmChart s(single.m, m_printer);
    s.resize(900, 540);
    s.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s));
    action(s, "mnuSLValue2")->trigger();
    QCoreApplication::processEvents();
    QVERIFY(s.grab().toImage().save(dir + "/chart_single_logger.png"));

    // The line is drawn: a fair share of the chart's pixels carry its colour.
    int lineish = 0;
    for (int y = 0; y < full.height(); ++y)
        for (int x = 0; x < full.width(); ++x) {
            const QColor c = full.pixelColor(x, y);
            lineish += c.blue() > 120 && c.red() < 60 && c.green() < 110;
        }
    QVERIFY2(lineish > 500, qPrintable(QString::number(lineish)));
}

QTEST_MAIN(TestChartWindow)
#include "tst_chartwindow.moc"
