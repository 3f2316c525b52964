// The chart window's extras through the real window offscreen: zoom and pan by wheel, drag,
// rectangle and keys and back to the documented view, the read-out, the statistics panel,
// the overlay's axis, several pages as one series, and the chart saved from the window and, as
// PNG, SVG and PDF, from nrv508-cli chart --image. Saves chart_export.png under the build's
// screenshots folder for review.

#include "Streams.h"
#include "TestFiles.h"
#include "charts/ChartCanvas.h"
#include "charts/ChartImage.h"
#include "charts/ChartPages.h"
#include "charts/ChartQuantities.h"
#include "charts/ChartStatsPanel.h"
#include "charts/frmChart.h"
#include "files/DataFile.h"
#include "tables/WindowPrinter.h"

#include <QtCharts>
#include <QtTest>
#include <QtWidgets>

namespace {
// A Logger page (mode 3) whose rows 1 to 5 hold records: address, time, date, CO and O2.
struct LoggerPage : Core {
    explicit LoggerPage(const QStringList &co = {"12.4", "OFL", "25.6", "", "-3.5"}) : Core(3)
    {
        for (int i = 0; i < co.size(); ++i) {
            const QStringList row{QString::number(i),
                                  QStringLiteral("09:02:%1").arg(i * 10),
                                  QStringLiteral("17/10/06"),
                                  QString(),
                                  co[i],
                                  QString::number(5.0 + i / 10.0)};
            for (int c = 0; c < row.size(); ++c)
                m.MSFlexGrid1.setText(i + 1, c, row[c]);
        }
    }
};

struct Window {
    std::unique_ptr<frmChart> w;

    explicit Window(std::unique_ptr<frmChart> window) : w(std::move(window))
    {
        w->resize(900, 640);
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get())) qFatal("the chart window did not show");
    }
    template <typename T> T *get(const char *name) const { return w->findChild<T *>(name); }
    void trigger(const char *name) { get<QAction>(name)->trigger(), qApp->processEvents(); }
    ChartCanvas *canvas() const { return get<ChartCanvas>("ChartFX1"); }
    QWidget *surface() const { return canvas()->viewport(); }
    QChart *chart() const { return canvas()->chart(); }
    QValueAxis *axis(const char *name) const { return chart()->findChild<QValueAxis *>(name); }
    QScatterSeries *markers(const char *name = "markers") const
    {
        for (QAbstractSeries *s : chart()->series())
            if (s->objectName() == QLatin1String(name)) return qobject_cast<QScatterSeries *>(s);
        return nullptr;
    }
    // x and y axis ranges.
    QList<double> range() const
    {
        return {axis("xAxis")->min(), axis("xAxis")->max(), axis("yAxis")->min(),
                axis("yAxis")->max()};
    }
    // Where an axis value lies on the chart's surface.
    QPoint at(QPointF value) const
    {
        const QPointF p = chart()->mapToPosition(value, markers());
        return canvas()->mapFromScene(chart()->mapToScene(p));
    }
    // The pointer over the chart with no button held: through the window, as a real move.
    void hover(QPoint p) { QTest::mouseMove(w->windowHandle(), surface()->mapTo(w.get(), p)); }
    void wheel(QPoint p, int delta)
    {
        QWheelEvent e(p, surface()->mapToGlobal(p), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(surface(), &e);
    }
    void drag(Qt::MouseButton button, QPoint from, QPoint to, Qt::KeyboardModifiers keys = {})
    {
        QTest::mousePress(surface(), button, keys, from);
        QTest::mouseMove(surface(), (from + to) / 2);
        QTest::mouseMove(surface(), to);
        QTest::mouseRelease(surface(), button, keys, to);
    }
    QStringList stats() const
    {
        auto *panel = get<ChartStatsPanel>("chartStatistics");
        QStringList rows;
        for (int r = 0; r < panel->rowCount(); ++r)
            rows << panel->rowText(r);
        return rows;
    }
};

Window open(ScreenModel &m)
{
    static WindowPrinter printer;
    return Window(std::make_unique<frmChart>(m, printer));
}

// How each bound moved: + up, - down, = kept (to a thousandth of the span).
QString moves(const QList<double> &before, const QList<double> &after)
{
    QString out;
    for (int i = 0; i < 4; ++i) {
        const double tolerance = (before[i | 1] - before[i & 2]) / 1000;
        const double d = after[i] - before[i];
        out += d > tolerance ? '+' : d < -tolerance ? '-' : '=';
    }
    return out;
}

// What a saved picture is, read back: its kind and size.
QString readBack(const QString &path)
{
    const QString format = QFileInfo(path).suffix();
    if (format == "png") {
        const QImage image(path);
        return QStringLiteral("png %1x%2").arg(image.width()).arg(image.height());
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "unreadable";
    if (format == "svg") {
        QXmlStreamReader xml(&file);
        QString root, box;
        while (!xml.atEnd())
            if (xml.readNext() == QXmlStreamReader::StartElement && root.isEmpty())
                root = xml.name().toString(), box = xml.attributes().value("viewBox").toString();
        const QStringList b = box.split(' ');
        return xml.hasError() ? xml.errorString() : root + ' ' + b.value(2) + 'x' + b.value(3);
    }
    QProcess info;
    info.start("pdfinfo", {path});
    info.waitForFinished(30000);
    const QString text = QString::fromLatin1(info.readAllStandardOutput());
    const QRegularExpression pages("Pages:\\s+(\\d+)"), size("Page size:\\s+([\\d.]+) x ([\\d.]+)");
    const auto p = pages.match(text), s = size.match(text);
    // Points of 1/72 inch, the picture at 96 pixels to the inch.
    return QStringLiteral("pdf %1 page %2x%3")
        .arg(p.captured(1))
        .arg(qRound(s.captured(1).toDouble() * 96 / 72))
        .arg(qRound(s.captured(2).toDouble() * 96 / 72));
}
} // namespace

class TestChartWindow : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    // The window starts with the documented view: the axes the quantity command sets, the
    // whole page, no overlay axis and no legend, whatever is zoomed or overlaid in between.
    void startsWithDocumentedView()
    {
        LoggerPage page;
        Window c = open(page.m);
        QCOMPARE(c.range(), (QList<double>{0, 100, 0, 100}));
        c.trigger("mnuLCo");
        const QList<double> documented{0, 100, -4, 27};
        QCOMPARE(c.range(), documented);
        QVERIFY(!c.axis("overlayAxis")->isVisible() && !c.chart()->legend()->isVisible());
        QVERIFY(!c.w->viewport().zoomed());
        c.wheel(c.at({20, 10}), 240);
        c.trigger("mnuOverlayO2");
        c.trigger("mnuLO2");
        c.trigger("mnuLCo");
        QVERIFY(c.range() != documented);
        c.trigger("mnuZoomReset");
        QCOMPARE(c.range(), documented);
    }

    void zoomAndPan_data()
    {
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<QString>("moved"); // x min, x max, y min, y max
        QTest::addColumn<QString>("reset"); // how the documented view comes back
        const char *rows[][4] = {
            {"wheel forward", "wheel 120", "+-+-", "double click"},
            {"wheel back", "wheel -120", "-+-+", "Reset"},
            {"drag right and down", "drag", "--++", "Home"},
            {"right-button rectangle", "rectangle", "+-+-", "double click"},
            {"shift-drag rectangle", "shift rectangle", "+-+-", "Reset"},
            {"tiny rectangle is a click", "tiny rectangle", "====", "Home"},
            {"+ key", "key +", "+-+-", "Home"},
            {"- key", "key -", "-+-+", "Reset"},
            {"left arrow", "key left", "--==", "double click"},
            {"up arrow", "key up", "==++", "Home"},
            {"Zoom In item", "item mnuZoomIn", "+-+-", "Reset"},
            // Scroll view is the home then: its stretch of points comes back.
            {"scroll view, wheel", "scroll wheel 120", "+-+-", "double click"},
        };
        for (const auto &r : rows)
            QTest::newRow(r[0]) << r[1] << r[2] << r[3];
    }

    void zoomAndPan()
    {
        QFETCH(QString, gesture);
        QFETCH(QString, reset);
        LoggerPage page;
        Window c = open(page.m);
        c.trigger("mnuLCo");
        if (gesture.startsWith("scroll ")) c.trigger("mnuScroll"), gesture.remove(0, 7);
        const QList<double> home = c.range();
        const double centre = (home[0] + home[1]) / 2;
        const QPoint middle = c.at({centre, 10});
        const QStringList g = gesture.split(' ');
        if (g[0] == "wheel") c.wheel(middle, g[1].toInt());
        if (g[0] == "drag") c.drag(Qt::LeftButton, middle, middle + QPoint(100, 60));
        if (g.last() == "rectangle") {
            const QPoint to = g[0] == "tiny" ? middle + QPoint(2, 2) : c.at({centre + 20, 20});
            c.drag(g[0] == "shift" ? Qt::LeftButton : Qt::RightButton, middle, to,
                   g[0] == "shift" ? Qt::ShiftModifier : Qt::NoModifier);
        }
        const QHash<QString, Qt::Key> keys{
            {"+", Qt::Key_Plus}, {"-", Qt::Key_Minus}, {"left", Qt::Key_Left}, {"up", Qt::Key_Up}};
        if (g[0] == "key") QTest::keyClick(c.canvas(), keys.value(g[1]));
        if (g[0] == "item") c.trigger(qPrintable(g[1]));
        QTEST(moves(home, c.range()), "moved");
        if (g.last() == "rectangle" && g[0] != "tiny") {
            // The rectangle drawn is what is shown, to a pixel's width.
            const QList<double> r = c.range();
            QVERIFY2(qAbs(r[0] - centre) < 0.5 && qAbs(r[1] - centre - 20) < 0.5,
                     qPrintable(moves(home, r)));
            QVERIFY(qAbs(r[2] - 10) < 0.2 && qAbs(r[3] - 20) < 0.2);
        }
        if (reset == "double click") QTest::mouseDClick(c.surface(), Qt::LeftButton, {}, middle);
        if (reset == "Reset") c.trigger("mnuZoomReset");
        if (reset == "Home") QTest::keyClick(c.canvas(), Qt::Key_Home);
        QCOMPARE(c.range(), home);
        QVERIFY(!c.w->viewport().zoomed());
    }

    void readOut_data()
    {
        QTest::addColumn<double>("x"); // hovered over, at the value of point 3
        QTest::addColumn<bool>("overlay");
        QTest::addColumn<QString>("text");
        QTest::newRow("a point") << 3.0 << false << "Add 2  17/10/06 09:02:20\nCO 25.6 ppm";
        QTest::newRow("with overlay")
            << 3.0 << true << "Add 2  17/10/06 09:02:20\nCO 25.6 ppm\nO2 5.2 %";
        QTest::newRow("free room") << 40.0 << false << "";
    }

    void readOut()
    {
        QFETCH(double, x);
        LoggerPage page;
        Window c = open(page.m);
        c.trigger("mnuLCo");
        QFETCH(bool, overlay);
        if (overlay) c.trigger("mnuOverlayO2");
        c.hover(c.at({x, 25.6}));
        QTEST(c.canvas()->readOut(), "text");
        c.hover(QPoint(2, 2)); // outside the plot
        QCOMPARE(c.canvas()->readOut(), QString());
    }

    // Over the page and over the part in sight: two gaps among the five records, one of them
    // left in the rectangle drawn from 2.5 to 5.5.
    void statistics()
    {
        LoggerPage page;
        Window c = open(page.m);
        QCOMPARE(c.stats(), QStringList());
        c.trigger("mnuLCo");
        c.drag(Qt::RightButton, c.at({2.5, -4}), c.at({5.5, 27}));
        QCOMPARE(c.stats(),
                 (QStringList{"CO, page|-3.5|25.6|11.5|3|2", "CO, in view|-3.5|25.6|11.05|2|1"}));
        c.trigger("mnuOverlayO2");
        QCOMPARE(c.stats().mid(2),
                 (QStringList{"O2, page|5|5.4|5.2|5|0", "O2, in view|5.2|5.4|5.3|3|0"}));
        c.trigger("mnuStatistics");
        QVERIFY(!c.get<ChartStatsPanel>("chartStatistics")->isVisible());
    }

    // O2 on a right-hand axis of its own range, in its own colour, named in the legend; it
    // zooms with the chart and goes again with "None". Value1 is not a Logger page's.
    void overlay()
    {
        LoggerPage page;
        Window c = open(page.m);
        c.trigger("mnuLCo");
        QVERIFY(!c.get<QAction>("mnuOverlayValue1")->isEnabled());
        c.trigger("mnuOverlayO2");
        QValueAxis *right = c.axis("overlayAxis");
        QCOMPARE(right->alignment(), Qt::AlignRight);
        QCOMPARE(QString("%1 %2 %3").arg(right->titleText()).arg(right->min()).arg(right->max()),
                 QString("(%) 0 6"));
        QCOMPARE(c.markers("overlay")->points().size(), 5);
        QCOMPARE(c.markers("overlay")->attachedAxes().last(), right);
        QVERIFY(c.markers("overlay")->color() != c.markers()->color());
        QStringList legend;
        for (QLegendMarker *marker : c.chart()->legend()->markers())
            if (marker->isVisible()) legend << marker->label();
        QCOMPARE(legend, (QStringList{"CO (ppm)", "O2 (%)"}));
        c.wheel(c.at({20, 11.5}), 120); // a fifth off each side about the middle of the axis
        QVERIFY(right->min() > 0.5 && right->max() < 5.5);
        c.trigger("mnuOverlayNone");
        QVERIFY(!right->isVisible() && !c.markers("overlay"));
    }

    // Two downloads one after the other, the boundary between them marked.
    void severalPages()
    {
        LoggerPage first, second({"40", "41"});
        QString error;
        const QString a = m_dir.filePath("a.txt"), b = m_dir.filePath("b.txt");
        QVERIFY(DataFile::write(first.m, a, &error) && DataFile::write(second.m, b, &error));
        auto pages = std::make_unique<ChartPages>();
        QVERIFY2(pages->loadFiles({b, a}, &error), qPrintable(error));
        static WindowPrinter printer;
        Window c(std::make_unique<frmChart>(std::move(pages), printer));
        c.trigger("mnuLCo");
        QCOMPARE(c.get<QLabel>("Page")->text(), QString("Page : 1, 1"));
        QCOMPARE(c.range(), (QList<double>{0, 7, -4, 42}));
        int boundaries = 0;
        for (QGraphicsItem *item : c.chart()->scene()->items())
            if (auto *line = dynamic_cast<QGraphicsLineItem *>(item))
                boundaries += line->isVisible() && line->pen().style() == Qt::DashLine &&
                              qAbs(line->line().x1() - c.chart()->mapToPosition({2.5, 0}).x()) < 1;
        QCOMPARE(boundaries, 1);
        QCOMPARE(c.stats().first(), QString("CO, all pages|-3.5|41|23.1|5|2"));
        c.hover(c.at({2, 41}));
        QCOMPARE(c.canvas()->readOut(), QString("b.txt  Add 1  17/10/06 09:02:10\nCO 41 ppm"));
    }

    void image_data()
    {
        QTest::addColumn<QString>("from"); // the window, or the command line's options
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        const char *rows[][4] = {
            {"window PNG", "window 640x400", "w.png", "png 640x400"},
            {"cli SVG, overlay", "--overlay|O2", "c.svg", "svg 1000x600"},
            {"cli PDF", "--size|300x200", "c.pdf", "pdf 1 page 300x200"},
            {"cli two pages", "--size|400x300|+second", "p.png", "png 400x300"},
        };
        for (const auto &r : rows)
            QTest::newRow(r[0]) << r[1] << r[2] << r[3];
    }

    void image()
    {
        QFETCH(QString, from);
        QFETCH(QString, name);
        LoggerPage page;
        const QString path = m_dir.filePath(name);
        if (from.startsWith("window")) {
            Window c = open(page.m);
            c.trigger("mnuLCo");
            QString error;
            QVERIFY2(c.w->saveImage(path, ChartImage::parseSize(from.section(' ', 1)), &error),
                     qPrintable(error));
        } else {
            const QString file = m_dir.filePath("page.txt");
            QString error;
            QVERIFY(DataFile::write(page.m, file, &error));
            QStringList args{file, "--quantity", "CO", "--image", path};
            for (const QString &a : from.split('|'))
                if (a == "+second")
                    args.insert(1, file);
                else
                    args << a;
            const Run run = cli(QStringList{"chart"} + args);
            QVERIFY2(run.status == 0 && run.out.isEmpty(), run.err.constData());
        }
        QTEST(readBack(path), "expected");
    }

    // The picture for review: a zoomed chart with its overlay, as saved from the window.
    void savedForReview()
    {
        LoggerPage page({"34", "11", "32", "OFL", "29", "35", "41", "21", "10", "28"});
        Window c = open(page.m);
        c.trigger("mnuLCo");
        c.trigger("mnuOverlayO2");
        c.drag(Qt::RightButton, c.at({0.5, 0}), c.at({12, 45}));
        c.hover(c.at({7, 41}));
        QVERIFY(QDir().mkpath(NRV508_SCREENSHOTS));
        QString error;
        QVERIFY2(c.w->saveImage(NRV508_SCREENSHOTS "/chart_export.png", {1000, 600}, &error),
                 qPrintable(error));
        QVERIFY(c.w->grab().save(NRV508_SCREENSHOTS "/chart_window_extras.png"));
        QCOMPARE(readBack(NRV508_SCREENSHOTS "/chart_export.png"), QString("png 1000x600"));
    }
};

QTEST_MAIN(TestChartWindow)
#include "tst_chartwindow.moc"
