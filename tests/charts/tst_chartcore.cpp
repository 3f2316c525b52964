// The widget-free parts of the chart's extras: statistics, the zoom and pan arithmetic, the
// series of a page with its records, several pages joined, and the read-out.

#include "Streams.h"
#include "charts/ChartNumbers.h"
#include "charts/ChartPages.h"
#include "charts/ChartQuantities.h"
#include "charts/ChartReadOut.h"
#include "charts/ChartSeries.h"
#include "charts/ChartStatistics.h"
#include "charts/ChartViewport.h"
#include "files/DataFile.h"
#include "tables/Modes.h"

#include <QtTest>

namespace {
// "12.4 gap 25.6 free": a value, a recorded slot without one, free room after the records.
ChartSeries series(const QString &points)
{
    ChartSeries s;
    s.quantity = QStringLiteral("CO");
    s.pages << ChartSeries::Page{0, QString()};
    for (const QString &p : points.split(' ', Qt::SkipEmptyParts)) {
        s.values << (p == "gap" || p == "free" ? ChartNumbers::kGap : p.toDouble());
        s.recorded << (p != "free");
    }
    return s;
}

// A Logger page (mode 3) with CO and O2 cells from row 1 down, each row with its address,
// time and date; or a Single Logger page (mode 8) with Value1 cells.
struct Page : Core {
    Page(int mode, const QStringList &cells, const QString &unit = QStringLiteral("'C"))
        : Core(mode)
    {
        const bool single = isSingleLogger(mode);
        for (int i = 0; i < cells.size(); ++i) {
            if (single) {
                m.MSFlexGrid3.setText(i + 1, 0, QString::number(i + 1));
                m.MSFlexGrid3.setText(i + 1, 1, cells[i]);
                continue;
            }
            const QStringList row{QString::number(i), QStringLiteral("09:0%1:00").arg(i),
                                  QStringLiteral("17/10/06")};
            for (int c = 0; c < 3; ++c)
                m.MSFlexGrid1.setText(i + 1, c, row[c]);
            m.MSFlexGrid1.setText(i + 1, 4, cells[i]);
            m.MSFlexGrid1.setText(i + 1, 5, QString::number(i + 20));
        }
        m.txtSLUnit.caption = m.labST1Unit.caption = unit;
        m.txtSLMeasure.caption = QStringLiteral("Temperature Logger Mode Data");
        m.txtSLDate.caption = QStringLiteral("31/12/06");
        m.txtSLTime.caption = QStringLiteral("23:58:30");
        m.txtSLSample.caption = QStringLiteral("00:00:45");
    }
    QByteArray bytes() { return DataFile::serialize(m); }
};

QString statsText(const ChartStatistics &s)
{
    return QStringLiteral("%1 values %2 gaps %3..%4 mean %5")
        .arg(s.values)
        .arg(s.gaps)
        .arg(s.min)
        .arg(s.max)
        .arg(s.mean);
}

QString boxText(const ChartViewport::Box &b)
{
    return QStringLiteral("%1 %2 %3 %4").arg(b.x0).arg(b.x1).arg(b.y0).arg(b.y1);
}
} // namespace

class TestChartCore : public QObject {
    Q_OBJECT

private slots:
    void statistics_data()
    {
        QTest::addColumn<QString>("points");
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<QString>("expected");
        const double all = qInf();
        QTest::newRow("whole page") << "12.4 gap 25.6 gap -3.5 free free" << -all << all
                                    << "3 values 2 gaps -3.5..25.6 mean 11.5";
        // Points stand at x = 1, 2, 3...: 2..4 holds the 2nd to the 4th.
        QTest::newRow("in view") << "12.4 gap 25.6 gap -3.5" << 2.0 << 4.0
                                 << "1 values 2 gaps 25.6..25.6 mean 25.6";
        QTest::newRow("fractional edges")
            << "1 2 3 4 5" << 1.5 << 4.9 << "3 values 0 gaps 2..4 mean 3";
        QTest::newRow("view beyond the page")
            << "1 2 3" << -50.0 << 500.0 << "3 values 0 gaps 1..3 mean 2";
        QTest::newRow("nothing in view") << "1 2 3" << 3.5 << 3.9 << "0 values 0 gaps 0..0 mean 0";
        QTest::newRow("only gaps")
            << "gap gap free" << -all << all << "0 values 2 gaps 0..0 mean 0";
        QTest::newRow("free room is no gap")
            << "7 free free free" << -all << all << "1 values 0 gaps 7..7 mean 7";
        QTest::newRow("negative only")
            << "-1 -3" << -all << all << "2 values 0 gaps -3..-1 mean -2";
    }

    void statistics()
    {
        QFETCH(QString, points);
        QFETCH(double, from);
        QFETCH(double, to);
        QTEST(statsText(ChartStatistics::of(series(points), from, to)), "expected");
    }

    void viewport_data()
    {
        QTest::addColumn<QString>("steps"); // operations on a home of 0..100 by 0..50
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("zoomed");
        QTest::newRow("home") << ""
                              << "0 100 0 50" << false;
        QTest::newRow("wheel in at the middle") << "at 0.5 50 25"
                                                << "25 75 12.5 37.5" << true;
        QTest::newRow("wheel in at a corner keeps it") << "at 0.5 0 50"
                                                       << "0 50 25 50" << true;
        QTest::newRow("in then out") << "at 0.5 20 10;at 2 20 10"
                                     << "0 100 0 50" << true;
        QTest::newRow("key zoom") << "by 0.5"
                                  << "25 75 12.5 37.5" << true;
        QTest::newRow("drag") << "pan -10 5"
                              << "-10 90 5 55" << true;
        QTest::newRow("arrow keys") << "share 0.1 0;share 0 -0.1"
                                    << "10 110 -5 45" << true;
        QTest::newRow("rectangle") << "to 40 10 20 30"
                                   << "20 40 10 30" << true;
        QTest::newRow("a click is no rectangle") << "to 40 10 40.5 30"
                                                 << "0 100 0 50" << false;
        QTest::newRow("deepest zoom") << "to 50 20 50.002 20.001;at 1e-6 50 20"
                                      << "49.995 50.005 19.998 20.003" << true;
        QTest::newRow("widest zoom") << "at 1e9 0 0"
                                     << "0 10000 0 5000" << true;
        QTest::newRow("reset") << "at 0.5 20 10;pan 3 3;reset"
                               << "0 100 0 50" << false;
        QTest::newRow("new quantity keeps x") << "to 20 10 40 30;vertical"
                                              << "20 40 0 50" << true;
        QTest::newRow("nan refused") << "at nan 1 1;pan nan 0"
                                     << "0 100 0 50" << false;
    }

    void viewport()
    {
        QFETCH(QString, steps);
        ChartViewport v;
        v.setHome({0, 100, 0, 50});
        for (const QString &step : steps.split(';', Qt::SkipEmptyParts)) {
            const QStringList w = step.split(' ');
            const auto n = [&](int i) { return w.value(i).toDouble(); };
            if (w[0] == "at") v.zoomAt(n(1), QPointF(n(2), n(3)));
            if (w[0] == "by") v.zoomBy(n(1));
            if (w[0] == "pan") v.panBy(n(1), n(2));
            if (w[0] == "share") v.panByShare(n(1), n(2));
            if (w[0] == "to") v.zoomTo(QRectF(QPointF(n(1), n(2)), QPointF(n(3), n(4))));
            if (w[0] == "reset") v.reset();
            if (w[0] == "vertical") v.resetVertical();
        }
        QTEST(boxText(v.shown()), "shown");
        QTEST(v.zoomed(), "zoomed");
    }

    // The series of a page: its points and bounds as the quantity command builds them, and the
    // records the read-out names; the program-wide ChartQuantity keeps its value.
    void pageSeries_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QStringList>("expected"); // bounds, unit, then read-outs of points 0..2
        QTest::newRow("Logger CO")
            << 3 << "CO" << QStringList{"12.4", "OFL", "25.6"}
            << QStringList{"0/27 ppm", "Add 0  17/10/06 09:00:00\nCO 12.4 ppm",
                           "Add 1  17/10/06 09:01:00\nCO no measurement",
                           "Add 2  17/10/06 09:02:00\nCO 25.6 ppm"};
        // Record times from the start and the sampling interval, over midnight and the year.
        QTest::newRow("Single Logger")
            << 8 << "Value1" << QStringList{"1.5", "", "-2"}
            << QStringList{"-/3 'C", "Add 1  31/12/06 23:58:30\nValue1 1.5 'C",
                           "Add 2  31/12/06 23:59:15\nValue1 no measurement",
                           "Add 3  01/01/07 00:00:00\nValue1 -2 'C"};
    }

    void pageSeries()
    {
        QFETCH(int, mode);
        QFETCH(QString, quantity);
        QFETCH(QStringList, cells);
        Page page(mode, cells);
        page.m.ChartQuantity = 4;
        const ChartSeries s = ChartSeries::ofPage(page.m, *chartQuantityByCaption(quantity));
        QStringList got{QStringLiteral("%1/%2 %3")
                            .arg(s.yMin ? QString::number(*s.yMin) : "-")
                            .arg(s.yMax ? QString::number(*s.yMax) : "-")
                            .arg(s.unit)};
        for (int i = 0; i < 3; ++i)
            got << ChartReadOut::text(s, i);
        QTEST(got, "expected");
        QCOMPARE(page.m.ChartQuantity, qint16(4));
        // Slot 3 on is free room: no read-out there, and no gap counted.
        QCOMPARE(ChartReadOut::pointAt(s, 4.0), -1);
        QCOMPARE(ChartStatistics::of(s).gaps, 1);
    }

    void readOutAt_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<int>("point");
        QTest::newRow("on a point") << 2.0 << 1;
        QTest::newRow("just left of the half") << 2.49 << 1;
        QTest::newRow("half way goes right") << 2.5 << 2;
        QTest::newRow("a recorded gap") << 3.2 << 2;
        QTest::newRow("free room") << 4.0 << -1;
        QTest::newRow("left of the first") << 0.4 << -1;
        QTest::newRow("beyond the page") << 50.0 << -1;
        QTest::newRow("nan") << qQNaN() << -1;
    }

    void readOutAt()
    {
        QFETCH(double, x);
        QTEST(ChartReadOut::pointAt(series("5 6 gap free"), x), "point");
    }

    // Pages joined in the order given, each cut after its last record.
    void join_data()
    {
        QTest::addColumn<QList<int>>("modes");
        QTest::addColumn<QStringList>("units");
        QTest::addColumn<QString>("expected"); // points, pages, bounds; or the refusal
        QTest::newRow("two Logger pages") << QList<int>{3, 2} << QStringList{"'C", "'C"}
                                          << "12.4 gap 25.6 3 gap -7 | a:0 b:3 | -7..27";
        QTest::newRow("one page") << QList<int>{4} << QStringList{"'C"}
                                  << "12.4 gap 25.6 | a:0 | 0..27";
        QTest::newRow("Single Logger, one page number")
            << QList<int>{8, 8} << QStringList{"'C", "'C"}
            << "12.4 gap 25.6 3 gap -7 | a:0 b:3 | -..27";
        QTest::newRow("units differ")
            << QList<int>{8, 8} << QStringList{"'C", "'F"}
            << "\"a\" holds Temperature Logger Mode Data ('C), \"b\" holds Temperature Logger "
               "Mode Data ('F): they cannot share one axis.";
        QTest::newRow("Single Logger pages differ")
            << QList<int>{8, 9} << QStringList{"'C", "'C"}
            << "\"b\" (Single Logger Mode Data #3) cannot be charted with \"a\" (Single Logger "
               "Mode Data #2): Logger pages go together, and Single Logger pages of one page "
               "number.";
        QTest::newRow("families differ") << QList<int>{2, 8} << QStringList{"'C", "'C"}
                                         << "\"b\" (Single Logger Mode Data #2) cannot be "
                                            "charted with \"a\" (Logger Mode Data #0): Logger "
                                            "pages go together, and Single Logger pages of one "
                                            "page number.";
        QTest::newRow("Store") << QList<int>{1} << QStringList{"'C"}
                               << "\"a\" is not a Logger or Single Logger page.";
    }

    void join()
    {
        QFETCH(QList<int>, modes);
        QFETCH(QStringList, units);
        const QList<QStringList> cells{{"12.4", "OFL", "25.6"}, {"3", "", "-7"}};
        QList<ChartPages::Source> sources;
        for (int i = 0; i < modes.size(); ++i)
            sources << ChartPages::Source{QString(QChar('a' + i)),
                                          Page(modes[i], cells[i], units[i]).bytes()};
        ChartPages pages;
        QString error;
        std::optional<ChartSeries> s;
        if (pages.load(sources, &error))
            s = pages.series(*chartQuantityByCaption(isLogger(modes[0]) ? "CO" : "Value1"), &error);
        if (!s) QTEST(error, "expected");
        if (!s) return;
        QStringList points, names;
        for (double v : s->values)
            points << (v == ChartNumbers::kGap ? "gap" : QString::number(v));
        for (const ChartSeries::Page &p : s->pages)
            names << p.name + ':' + QString::number(p.first);
        const auto bound = [](auto b) { return b ? QString::number(*b) : QString("-"); };
        const QString got =
            QStringList{points.join(' '), names.join(' '), bound(s->yMin) + ".." + bound(s->yMax)}
                .join(" | ");
        QTEST(got, "expected");
        QCOMPARE(ChartReadOut::text(*s, 3).section('\n', 0, 0).section("  ", 0, 0),
                 modes.size() > 1 ? QString("b") : QString());
    }

    void joinRefusesEmptyPage()
    {
        QString error;
        QVERIFY(!ChartSeries::join({series("free free")}, &error));
        QVERIFY(!ChartSeries::join({}, &error));
        ChartPages pages;
        QVERIFY(!pages.load({{"x.txt", QByteArray("not a data file")}}, &error));
        QVERIFY2(error.contains("x.txt"), qPrintable(error));
    }
};

QTEST_MAIN(TestChartCore)
#include "tst_chartcore.moc"
