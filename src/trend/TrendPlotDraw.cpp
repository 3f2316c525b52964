// The drawing half of the trend plot: axes, labels and the reduced lines.
#include "trend/TrendPlot.h"

#include "trend/TrendSeries.h"

#include <QDateTime>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <optional>

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
    const Reduced columns = reduced(t0, t1, std::max(area.width(), 1));
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
    // One bar per pixel column from its minimum to its maximum. Where the readings are dense
    // the bar is stretched to meet the previous column's last reading; where they are sparse
    // (zoomed in) a line joins the two. A gap breaks the line. Filled rectangles are the
    // cheapest thing a painter draws: a path of thousands of pieces stroked with a wide pen
    // cost the large window hundreds of milliseconds per reading.
    QVector<QRect> bars;
    QVector<QLine> joins;
    bars.reserve(int(columns.size()));
    std::optional<QPoint> previous; // the last reading of the column before
    for (const TrendColumn &c : columns) {
        const int x = area.left() + c.x;
        int top = yOf(area, c.maximum, low, high);
        int bottom = yOf(area, c.minimum, low, high);
        if (previous && !c.gapBefore) {
            if (x - previous->x() <= 1) {
                top = std::min(top, previous->y());
                bottom = std::max(bottom, previous->y());
            } else {
                joins << QLine(*previous, QPoint(x, yOf(area, c.first, low, high)));
            }
        }
        bars << QRect(x, top, 2, bottom - top + 2); // two pixels: a flat line shows clearly
        previous = QPoint(x, yOf(area, c.last, low, high));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(colourOf(q));
    p.drawRects(bars);
    QPen pen(colourOf(q), 2);
    pen.setCosmetic(true);
    p.setPen(pen);
    p.drawLines(joins);
}
