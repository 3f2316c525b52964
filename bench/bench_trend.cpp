// An 8-hour live run at one reading a second (28,800 readings) in the trend: the time to add a
// reading and redraw the plot at the size of the frame beside the panels and of a large window,
// and the memory the series holds.
#include "BenchTable.h"
#include "trend/TrendPlot.h"
#include "trend/TrendSeries.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cmath>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    constexpr int kReadings = 28800;
    TrendSeries series;
    const QDateTime start(QDate(2026, 1, 1), QTime(6, 0));
    LiveReading r;
    for (int q = 0; q < LiveReading::kCount; ++q)
        r.units[q] = q == 0 ? QStringLiteral("ppm") : QStringLiteral("%");
    const auto next = [&](int i) {
        r.time = start.addSecs(i);
        for (int q = 0; q < LiveReading::kCount; ++q)
            r.values[q] = 50 + 40 * std::sin(i / (300.0 + q)) + (i * 7919 % 13);
        if (i % 500 == 0) r.values[0].reset(); // a gap now and then
        return r;
    };
    for (int i = 0; i < kReadings; ++i)
        series.append(next(i));

    for (const QSize size : {QSize(225, 260), QSize(1600, 900)}) {
        TrendPlot plot(series);
        for (int q = 0; q < LiveReading::kCount; ++q)
            plot.setTicked(q, LiveReading::quantities()[q].trended);
        plot.resize(size);
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        int i = kReadings;
        const QString figure = wallAndCpu([&] {
            series.append(next(i++));
            image.fill(Qt::white);
            plot.render(&image);
        });
        printRow(QStringLiteral("trend update, %1 readings, 8 lines, %2x%3 px")
                     .arg(kReadings)
                     .arg(size.width())
                     .arg(size.height()),
                 figure, QStringLiteral("under 16 ms"));
    }
    printRow(QStringLiteral("trend series memory, %1 readings").arg(series.size()),
             QStringLiteral("%1 MB").arg(series.memoryBytes() / 1e6, 0, 'f', 2),
             QStringLiteral("under 50 MB"));
    return 0;
}
