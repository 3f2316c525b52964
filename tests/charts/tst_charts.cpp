// Charting a downloaded page: the series build under the menu commands, the real chart window
// offscreen (it saves chart_*.png under the build's screenshots folder for review), and
// nrv508-cli chart end to end on data files written by the program's own writer.

#include "Streams.h"
#include "TestFiles.h"
#include "charts/ChartNumbers.h"
#include "charts/ChartQuantities.h"
#include "charts/frmChart.h"
#include "files/DataFile.h"
#include "tables/Modes.h"
#include "tables/WindowPrinter.h"

#include <QtCharts>
#include <QtTest>
#include <QtWidgets>

namespace {
// A page as the main window holds it after a download: cells from row 1 down in the column
// where the instrument puts the quantity (spelled out here, so reading a wrong column fails);
// and the chart window over it, once shown.
struct ChartPage : Core {
    explicit ChartPage(int mode) : Core(mode) {}
    void fill(const QString &quantity, const QStringList &cells)
    {
        static const QHash<QString, int> columns{{"CO", 4},     {"O2", 5},     {"CO2", 6},
                                                 {"Temp1", 10}, {"Temp2", 11}, {"Pressure", 12},
                                                 {"Value1", 1}, {"Value2", 2}};
        for (int i = 0; i < cells.size(); ++i)
            (isSingleLogger(m.CurrentMode) ? m.MSFlexGrid3 : m.MSFlexGrid1)
                .setText(i + 1, columns.value(quantity, -1), cells[i]);
    }
    WindowPrinter printer;
    std::unique_ptr<frmChart> w;

    frmChart &open()
    {
        w = std::make_unique<frmChart>(m, printer);
        w->resize(900, 540);
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get())) qFatal("the chart window did not show");
        return *w;
    }
    template <typename T> T *get(const char *name) const { return w->findChild<T *>(name); }
    // A menu command, then the layout it starts.
    void trigger(const char *name) { get<QAction>(name)->trigger(), qApp->processEvents(); }
    // The menus and commands that can be chosen, then the status bar, left to right.
    QString state() const
    {
        QStringList texts;
        for (auto n : {"mnuLogger", "mnuSLogger", "mnuPrint", "mnuView", "mnuScroll", "mnuFull"}) {
            auto *menu = get<QMenu>(n);
            if ((menu ? menu->menuAction() : get<QAction>(n))->isEnabled()) texts << n;
        }
        for (QLabel *label : w->findChildren<QLabel *>())
            texts << label->text();
        return texts.join('|');
    }
    QChart *chart() const { return get<QChartView>("ChartFX1")->chart(); }
    auto *axis(Qt::Orientation o) const { return qobject_cast<QValueAxis *>(chart()->axes(o)[0]); }
    // The points of each line drawn, then those of the markers.
    QList<QList<QPointF>> drawn() const
    {
        QList<QList<QPointF>> lines;
        QList<QPointF> markers;
        for (QAbstractSeries *s : chart()->series()) {
            if (auto *line = qobject_cast<QLineSeries *>(s)) lines << line->points();
            if (auto *dots = qobject_cast<QScatterSeries *>(s)) markers = dots->points();
        }
        return lines << markers;
    }
    QImage save(const char *name) const
    {
        const QString path = QStringLiteral(NRV508_SCREENSHOTS "/") + name;
        return QDir().mkpath(NRV508_SCREENSHOTS) && w->grab().save(path) ? QImage(path) : QImage();
    }
};

// A Logger page with runs of values, lone values and gaps, as a real download gives them.
QStringList withGaps()
{
    QStringList cells;
    for (int i = 0; i < 100; ++i) {
        const bool gap = (i >= 12 && i < 18) || i == 40 || i == 42 || (i >= 60 && i < 75) || i > 90;
        cells << (gap ? (i % 2 ? "OFL" : "") : QString::number(20 + 15 * qSin(i / 8.0), 'f', 1));
    }
    return cells;
}

// quantity: the one charted, after CO of the same page (the worked example) where it is
// "CO O2"; cells: from row 1 down; points: the first points, all others gaps; axes: xmin xmax
// ymin ymax.
void buildRow(const char *name, int mode, const char *quantity, const char *cells,
              const QString &points, const char *axes)
{
    QStringList shown = points.split(' ', Qt::SkipEmptyParts);
    shown << QStringList((isSingleLogger(mode) ? 30 : 100) - shown.size(), "gap");
    QTest::newRow(name) << mode << QString(quantity).split(' ')
                        << QString::fromUtf8(cells).split('|') << shown + QString(axes).split(' ');
}
} // namespace

class TestCharts : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        // A user's locale with a decimal comma must change nothing in what is read or printed.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        qputenv("LC_ALL", "de_DE.UTF-8"); // for nrv508-cli
        const std::pair<const char *, int> files[] = {{"logger", 3}, {"single", 8}, {"store", 1}};
        for (const auto &[name, mode] : files) {
            ChartPage page(mode);
            if (mode == 3) page.fill("CO", {"12.4", "OFL", "25.6", "", "-3.5"});
            if (mode == 3) page.fill("Pressure", {"12.3456789", "1234567.7", "1e-400", "-0.12"});
            QString error;
            QVERIFY2(DataFile::write(page.m, m_dir.filePath(name), &error), qPrintable(error));
        }
    }

    void build_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("quantities");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QStringList>("shown"); // every point of the page, then the bounds
        buildRow("worked example", 2, "CO", "12.4|OFL|25.6||-3.5", "12.4 gap 25.6 gap -3.5",
                 "auto 100 -4 27");
        buildRow("O2 at most 1", 3, "O2", "0.0|0.9|1|0.5", "0 0.9 1 0.5", "auto 100 0 2");
        // The bounds take the whole number the value rounds to, halves to even.
        // A point below the rounded minimum takes the axis down to the whole number below it.
        buildRow("1.4 and -0.4", 4, "CO2", "1.4|-0.4", "1.4 -0.4", "auto 100 -1 2");
        buildRow("draught pressure page", 5, "Pressure", "-0.09|-0.12|-0.16|-0.1",
                 "-0.09 -0.12 -0.16 -0.1", "auto 100 -1 2");
        buildRow("-3.4", 2, "CO", "5|-3.4", "5 -3.4", "auto 100 -4 6");
        buildRow("every digit kept", 2, "CO", "12.3456789|1234567.7|1e-400|-1e-400",
                 "12.3456789 1234567.7 0 0", "auto 100 0 1234569");
        buildRow("1.6", 2, "Temp2", "1.6", "1.6", "auto 100 0 3");
        buildRow("2.5", 2, "Temp1", "2.5", "2.5", "auto 100 0 3");
        buildRow("3.5", 2, "Temp1", "3.5", "3.5", "auto 100 0 5");
        buildRow("later values lower", 2, "Pressure", "40|3|-2.5|-1", "40 3 -2.5 -1",
                 "auto 100 -3 41");
        buildRow("beyond 32 bits", 2, "CO", "1e10|-5e9", "1e+10 -5e+09",
                 "auto 100 -5e+09 2147483647");
        buildRow("number forms", 2, "CO", "+7|.5|5.|-1.5E+2|1.2e2", "7 0.5 5 -150 120",
                 "auto 100 -150 121");
        buildRow("gap texts and zero", 2, "CO", "OFL|-|NA|OPEN||0", "gap gap gap gap gap 0",
                 "auto 100 0 2");
        // The gap value itself, and what a C-locale decimal reader would not take whole.
        buildRow("neither gap nor number", 2, "CO",
                 "ERR|ofl|Open| OFL|12,5| 5|0x10|1e|-.|inf|1e400|1E308|\uFF11\uFF12|7",
                 QStringList(13, "gap").join(' ') + " 7", "auto 100 0 8");
        buildRow("Logger only gaps", 2, "CO", "NA|OPEN", "", "auto 100 auto auto");
        buildRow("only gaps after CO", 2, "CO O2", "OFL|NA", "", "auto 100 -4 27");
        // Single Logger leaves the Y minimum to the chart.
        buildRow("Single Logger", 7, "Value1", "-5|-12.5|3", "-5 -12.5 3", "1 30 auto 4");
    }

    void build()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, quantities);
        QFETCH(QStringList, cells);
        ChartPage page(mode);
        if (quantities.size() > 1) page.fill("CO", {"12.4", "OFL", "25.6", "", "-3.5"});
        page.fill(quantities.last(), cells);
        ChartState chart;
        ChartCommands commands(page.m, chart);
        commands.load();
        for (const QString &q : quantities)
            commands.chooseQuantity(*chartQuantityByCaption(q));

        // Every point of the page, then the bounds.
        const auto text = [](double v) {
            return QString::number(v, 'g', QLocale::FloatingPointShortest);
        };
        QStringList shown;
        for (double v : chart.values())
            shown << (v == ChartNumbers::kGap ? QStringLiteral("gap") : text(v));
        for (const auto &bound : {chart.xMin, chart.xMax, chart.yMin, chart.yMax})
            shown << (bound ? text(*bound) : QStringLiteral("auto"));
        QTEST(shown, "shown");
    }

    void cli_data()
    {
        QTest::addColumn<QStringList>("args"); // the data file, then the options
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err"); // a part of stderr, or "" for none
        const auto row = [](const char *name, const char *args, int status, const QString &out,
                            const char *err) {
            QTest::newRow(name) << QString(args).split('|') << status << out << QString(err);
        };
        QString worked = QStringLiteral(
            "caption=Logger Data _ CO (ppm)\nMeasureTitle=Logger [ CO ]\nPage=Page : 1\n"
            "Unit=Y Axis(Unit) : ppm\nytitle=(ppm)\nxmin=auto\nxmax=100\nymin=-4\nymax=27\n");
        const QStringList first = QString("12.4 gap 25.6 gap -3.5").split(' ');
        for (int i = 0; i < 100; ++i)
            worked += QStringLiteral("POINT %1 %2\n").arg(i).arg(i < 5 ? first[i] : "gap");
        row("worked example", "logger|--quantity|CO", 0, worked, "");
        // Printed as the shortest text that reads back as the same number; the Y minimum as
        // the window draws it, below the lowest point.
        QString pressure = QStringLiteral(
            "caption=Logger Data _ Pressure\nMeasureTitle=Logger [ Pressure ]\nPage=Page : 1\n"
            "Unit=Y Axis(Unit) : \nytitle=()\nxmin=auto\nxmax=100\nymin=-1\nymax=1234569\n");
        const QStringList values = QString("12.3456789 1234567.7 0 -0.12").split(' ');
        for (int i = 0; i < 100; ++i)
            pressure += QStringLiteral("POINT %1 %2\n").arg(i).arg(i < 4 ? values[i] : "gap");
        row("every digit", "logger|--quantity|Pressure", 0, pressure, "");
        row("Store", "store|--quantity|CO", 1, "", "Chart: Not Support !\n");
        row("Logger quantity, Single Logger page", "single|--quantity|Pressure", 1, "",
            "\"  Logger  \" menu is disabled");
        row("Single Logger quantity, Logger page", "logger|--quantity|Value2", 1, "",
            "\"SingleLogger\" menu is disabled");
        row("unknown quantity", "logger|--quantity|co", 2, "", "unknown quantity \"co\"");
        row("missing file", "nothere|--quantity|CO", 1, "", "nothere");
        // The picture's options, refused before anything is written ("@": in the test folder).
        row("image without an ending", "logger|--quantity|CO|--image|@o.gif", 2, "",
            "--image needs a file name ending");
        row("image size too small", "logger|--quantity|CO|--image|@o.png|--size|50x50", 2, "",
            "--size takes");
        row("image size not a size", "logger|--quantity|CO|--image|@o.png|--size|big", 2, "",
            "--size takes");
        row("overlay without image", "logger|--quantity|CO|--overlay|O2", 2, "", "go with --image");
        row("overlay of the other family", "logger|--quantity|CO|--image|@o.png|--overlay|Value1",
            1, "", "Cannot overlay Value1");
        row("image folder missing", "logger|--quantity|CO|--image|@nothere/o.png", 1, "",
            "nothere/o.png");
    }

    void cli()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, err);
        args[0] = m_dir.filePath(args[0]);
        for (QString &a : args)
            if (a.startsWith('@')) a = m_dir.filePath(a.mid(1));
        const Run r = ::cli(QStringList{"chart"} + args);
        const QString stderrText = QString::fromLatin1(r.err);
        QVERIFY2(err.isEmpty() ? stderrText.isEmpty() : stderrText.contains(err),
                 qPrintable(stderrText));
        QTEST(r.status, "status");
        QTEST(QString::fromLatin1(r.out), "out");
        const qsizetype image = args.indexOf("--image");
        if (r.status != 0 && image >= 0) QVERIFY(!QFileInfo::exists(args.value(image + 1)));
    }

    // A new window starts with nothing chosen, whatever the last one showed: the page's own
    // menu, Logger pages 0 to 3 in modes 2 to 5, Single Logger pages 0 to 4 in modes 6 to 10,
    // no line and no marker.
    void windowPerMode()
    {
        for (int mode = 2; mode <= 11; ++mode) {
            ChartPage c(mode);
            if (mode <= 5) c.fill("Temp1", withGaps());
            c.m.ChartQuantity = 3; // Temp1, chosen in an earlier window
            frmChart &w = c.open();
            const int kind = mode <= 5 ? 0 : mode <= 10 ? 1 : 2; // Logger, Single Logger, neither
            const QString page = kind == 2 ? "" : QString(" %1").arg(mode - (kind ? 6 : 2));
            QValueAxis *x = c.axis(Qt::Horizontal);
            QCOMPARE(w.windowTitle() + '|' + c.state() + '|' + x->titleText() + ' ' +
                         QString::number(x->max()),
                     QStringLiteral("Data Chart|%1mnuPrint|mnuView|mnuScroll|Select Chart|Page :%2|"
                                    "X Axis : Address|Y Axis(Unit) :|(Address) %3")
                         .arg(QStringList{"mnuLogger|", "mnuSLogger|", ""}[kind], page,
                              QStringList{"100", "30", "10"}[kind]));
            QCOMPARE(c.drawn(), QList<QList<QPointF>>{{}});
        }
    }

    void lineBrokenAtGaps()
    {
        ChartPage c(7);
        c.fill("Value2", {"1", "2", "3", "OFL", "5", "6", "", "8", "NA", "-1.5", "0"});
        c.m.txtSLUnit.caption = QStringLiteral("'C");
        frmChart &w = c.open();
        c.trigger("mnuSLValue2");
        QVERIFY(!c.save("chart_single_logger.png").isNull());
        QCOMPARE(c.axis(Qt::Vertical)->titleText() + '|' + w.windowTitle() + '|' + c.state(),
                 QString("('C)|Single Logger Data _ Value2|mnuSLogger|mnuPrint|mnuView|mnuScroll|"
                         "SingleLogger [ Value2 ]|Page : 1|X Axis : Address|Y Axis(Unit) : 'C"));
        QCOMPARE(QPointF(c.axis(Qt::Horizontal)->min(), c.axis(Qt::Vertical)->max()),
                 QPointF(1, 9));
        // Runs 1-3, 5-6 and 10-11 are lines; the lone 8 has only its marker.
        const QList<QPointF> runs[] = {
            {{1, 1}, {2, 2}, {3, 3}}, {{5, 5}, {6, 6}}, {{10, -1.5}, {11, 0}}};
        QCOMPARE(c.drawn(),
                 QList<QList<QPointF>>({runs[0], runs[1], runs[2],
                                        runs[0] + runs[1] + QList<QPointF>{{8, 8}} + runs[2]}));
    }

    void viewsAndScreenshots()
    {
        ChartPage c(2);
        c.fill("CO", withGaps());
        frmChart &w = c.open();
        c.trigger("mnuLCo");
        // Every record of the page is read: a marker for each value.
        QCOMPARE(c.drawn().last().size(), 100 - withGaps().count("") - withGaps().count("OFL"));
        // The line is drawn: a fair share of the window's pixels carry its colour.
        const QImage full = c.save("chart_logger_gaps.png").convertToFormat(QImage::Format_RGB32);
        const auto *px = reinterpret_cast<const QRgb *>(full.constBits());
        const auto lineish = std::count_if(px, px + full.width() * full.height(), [](QRgb p) {
            return qBlue(p) > 120 && qRed(p) < 60 && qGreen(p) < 110;
        });
        QVERIFY2(lineish > 500, qPrintable(QString::number(lineish)));
        // "Start" prints the chart and the status bar, not the menu bar.
        QCOMPARE(w.clientImage().height(), w.height() - w.findChild<QMenuBar *>()->height());

        // 100 points at their fixed spacing do not fit: the view scrolls sideways.
        auto *bar = c.get<QScrollBar>("chartScroll");
        QValueAxis *x = c.axis(Qt::Horizontal);
        QVERIFY(!bar->isVisible());
        c.trigger("mnuScroll");
        QVERIFY(c.state().startsWith("mnuLogger|mnuPrint|mnuView|mnuFull|") && bar->isVisible());
        QVERIFY(x->max() < 100.0);
        bar->setValue(bar->maximum()); // the end shows the last point
        QVERIFY(x->max() >= 100.0);
        QVERIFY(!c.save("chart_logger_scroll_end.png").isNull());
        c.trigger("mnuFull");
        QVERIFY(c.state().startsWith("mnuLogger|mnuPrint|mnuView|mnuScroll|") && !bar->isVisible());
        QCOMPARE(QPointF(x->min(), x->max()), QPointF(0, 100));
        c.trigger("mnuExit");
        QVERIFY(!w.isVisible());
    }
};

QTEST_MAIN(TestCharts)
#include "tst_charts.moc"
