// The drawing half of the trend plot: axes, labels and the reduced lines.
#include "trend/TrendPlot.h"

#include "trend/TrendSeries.h"

#include <QDateTime>
#include <QLine>
#include <QPainter>
#include <cmath>
#include <vector>

namespace {
double niceStep(double span, int count)
{
    const double raw = span / std::max(count, 1);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0})
        if (raw <= m * power) return m * power;
    return 10 * power;
}

int yOf(const QRect &area, double v, double low, double high)
{
    return area.bottom() - int(std::lround((v - low) / (high - low) * area.height()));
}
} // namespace

void TrendPlot::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QFont small = font();
    small.setPointSizeF(7.5);
    p.setFont(small);
    const QRect area = plotArea();
    p.setPen(QColor(160, 160, 160));
    p.drawRect(area);
    if (m_series.isEmpty()) {
        p.setPen(Qt::gray);
        p.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, tr("No reading yet"));
        return;
    }
    qint64 t0, t1;
    viewRange(&t0, &t1);
    drawTimeAxis(p, area, t0, t1);
    Columns columns;
    for (int q = 0; q < kCount; ++q)
        if (m_ticked[q]) columns[q] = m_series.reduce(q, t0, t1, area.width());
    for (const bool percent : {false, true}) {
        double low = 0, high = 0;
        if (!valueRange(percent, columns, &low, &high)) continue;
        drawValueAxis(p, area, percent, low, high);
        p.save();
        p.setClipRect(area.adjusted(1, 1, 0, 0));
        for (int q = 0; q < kCount; ++q)
            if (m_ticked[q] && (m_series.unit(q) == QLatin1String("%")) == percent)
                drawLine(p, area, q, columns[q], low, high);
        p.restore();
    }
}

void TrendPlot::drawTimeAxis(QPainter &p, const QRect &area, qint64 t0, qint64 t1) const
{
    // Wall-clock labels on whole seconds, minutes or hours, as many as fit.
    static const qint64 steps[] = {1,   2,   5,    10,   15,   30,    60,    120,  300,
                                   600, 900, 1800, 3600, 7200, 10800, 21600, 43200};
    const int fit = std::max(1, area.width() / 60);
    qint64 step = steps[std::size(steps) - 1] * 1000;
    for (const qint64 s : steps) {
        if ((t1 - t0) / (s * 1000) <= fit) {
            step = s * 1000;
            break;
        }
    }
    const QString format = step >= 60000 ? QStringLiteral("hh:mm") : QStringLiteral("hh:mm:ss");
    const qint64 offset = QDateTime::fromMSecsSinceEpoch(t0).offsetFromUtc() * 1000LL;
    for (qint64 t = ((t0 + offset) / step + 1) * step - offset; t <= t1; t += step) {
        const int x = area.left() + int((t - t0) * area.width() / std::max<qint64>(t1 - t0, 1));
        p.setPen(QColor(230, 230, 230));
        p.drawLine(x, area.top() + 1, x, area.bottom() - 1);
        p.setPen(Qt::black);
        p.drawText(QRect(x - 30, area.bottom() + 2, 60, 14), Qt::AlignHCenter | Qt::AlignTop,
                   QDateTime::fromMSecsSinceEpoch(t).toString(format));
    }
}

void TrendPlot::drawValueAxis(QPainter &p, const QRect &area, bool right, double low,
                              double high) const
{
    const double step = niceStep(high - low, std::max(2, area.height() / 40));
    p.setPen(Qt::black);
    for (double v = std::ceil(low / step) * step; v <= high; v += step) {
        const int y = yOf(area, v, low, high);
        const QString text = QString::number(std::abs(v) < step / 2 ? 0 : v, 'g', 5);
        if (right) {
            p.drawLine(area.right(), y, area.right() + 3, y);
            p.drawText(QRect(area.right() + 4, y - 7, 40, 14), Qt::AlignLeft | Qt::AlignVCenter,
                       text);
        } else {
            p.drawLine(area.left() - 3, y, area.left(), y);
            p.drawText(QRect(0, y - 7, area.left() - 4, 14), Qt::AlignRight | Qt::AlignVCenter,
                       text);
        }
    }
    // The units of the axis above it.
    QStringList units;
    for (int q = 0; q < kCount; ++q) {
        const QString unit = m_series.unit(q);
        if (m_ticked[q] && (unit == QLatin1String("%")) == right && !units.contains(unit))
            units << (unit.isEmpty() ? QStringLiteral("-") : unit);
    }
    const QRect title =
        right ? QRect(width() / 2, 0, width() / 2 - 2, 13) : QRect(2, 0, width() / 2 - 2, 13);
    p.drawText(title, (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
               units.join(QStringLiteral(", ")));
}

void TrendPlot::drawLine(QPainter &p, const QRect &area, int q,
                         const std::vector<TrendColumn> &columns, double low, double high) const
{
    // Each pixel column is one solid bar from the lowest to the highest point the line reaches
    // there: its readings' minimum and maximum and, where the column before is its neighbour,
    // that column's last reading (the join is a step). A bar is filled row by row without
    // stroking, so an 8-hour run draws in a large window as quickly as a short one; a pen, a
    // path or a polyline had the painter stroke every pixel, hundreds of milliseconds there.
    // Columns further apart (few readings for the width) are joined by a line; a gap breaks
    // the line. Bars and joins are two pixels high, the weight of the line.
    const QColor colour = colourOf(q);
    std::vector<QLine> joins;
    const TrendColumn *before = nullptr;
    for (const TrendColumn &c : columns) {
        const int x = area.left() + c.x;
        int top = yOf(area, c.maximum, low, high), bottom = yOf(area, c.minimum, low, high);
        if (before && !c.gapBefore) {
            const int join = yOf(area, before->last, low, high);
            if (c.x - before->x <= 1) {
                top = std::min(top, join);
                bottom = std::max(bottom, join);
            } else {
                joins.emplace_back(area.left() + before->x, join, x, yOf(area, c.first, low, high));
            }
        }
        p.fillRect(QRect(x, top, 1, bottom - top + 2), colour);
        before = &c;
    }
    p.setPen(QPen(colour, 1));
    p.drawLines(joins.data(), int(joins.size()));
    for (QLine &join : joins)
        join.translate(0, 1);
    p.drawLines(joins.data(), int(joins.size()));
}
