#include "export/ReportChart.h"

#include "charts/ChartNumbers.h"
#include "charts/ChartQuantities.h"
#include "export/ExportTable.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {
bool isQuantityColumn(const ExportTable &t, int column)
{
    if (t.family == Family::SingleLogger) return column >= 1;
    if (t.family == Family::Tightness) return column == 3 || column == 4;
    // Record table and Real Mode: every column from CO on, fuel and unit columns aside.
    static const QStringList kTexts = {"Add",    "Time",   "Date",   "Fuel",
                                       "T_Unit", "P_Unit", "address"};
    return !kTexts.contains(t.columns[column].header);
}

int decimalsOf(const QString &text)
{
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    return point < 0 || text.contains(QLatin1Char('e'), Qt::CaseInsensitive)
               ? 0
               : static_cast<int>(text.size() - point - 1);
}

// A tick step of 1, 2 or 5 times a power of ten that gives about five intervals.
double niceStep(double span)
{
    if (span <= 0) return 1;
    const double raw = span / 5;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0}) {
        if (raw <= m * power) return m * power;
    }
    return 10 * power;
}
} // namespace

QList<ReportStatistics> ReportStatistics::of(const ExportTable &t)
{
    QList<ReportStatistics> list;
    for (int c = 0; c < t.columns.size(); ++c) {
        if (!isQuantityColumn(t, c)) continue;
        ReportStatistics s;
        s.name = t.columns[c].name();
        double sum = 0;
        for (const QStringList &row : t.rows) {
            const std::optional<double> v = ChartNumbers::cellValue(row[c]);
            if (!v) continue;
            s.minimum = s.count == 0 ? *v : qMin(s.minimum, *v);
            s.maximum = s.count == 0 ? *v : qMax(s.maximum, *v);
            sum += *v;
            ++s.count;
            s.decimals = qMax(s.decimals, decimalsOf(row[c]));
        }
        if (s.count > 0) s.mean = sum / s.count;
        list << s;
    }
    return list;
}

ReportChart::ReportChart(const ExportTable &t, const QString &quantity)
{
    const bool single = t.family == Family::SingleLogger;
    if (!single && t.family != Family::Logger) return;
    const ChartQuantityInfo *info = chartQuantityByCaption(quantity);
    if (!info || info->singleLogger != single)
        info = chartQuantityByCaption(single ? "Value1" : "CO");
    if (info->column >= t.columns.size()) return;
    m_title = t.columns[info->column].name();
    m_slots = t.slotCount;
    m_points.fill(std::nullopt, m_slots);
    for (int r = 0; r < t.rows.size(); ++r) {
        const int point = t.recordSlots[r] - 1;
        if (point >= 0 && point < m_slots)
            m_points[point] = ChartNumbers::cellValue(t.rows[r][info->column]);
    }
}

QList<QVector<QPointF>> ReportChart::runs() const
{
    QList<QVector<QPointF>> list;
    QVector<QPointF> run;
    for (int i = 0; i < m_points.size(); ++i) {
        if (m_points[i]) {
            run << QPointF(i + 1.0, *m_points[i]);
            continue;
        }
        if (!run.isEmpty()) list << run;
        run.clear();
    }
    if (!run.isEmpty()) list << run;
    return list;
}

void ReportChart::paint(QPainter &p, const QRectF &area) const
{
    const QList<QVector<QPointF>> lines = runs();
    double lo = 0, hi = 1;
    bool first = true;
    for (const QVector<QPointF> &run : lines) {
        for (const QPointF &pt : run) {
            lo = first ? pt.y() : qMin(lo, pt.y());
            hi = first ? pt.y() : qMax(hi, pt.y());
            first = false;
        }
    }
    if (hi - lo < 1e-9) hi = lo + 1;
    const double step = niceStep(hi - lo);
    lo = std::floor(lo / step) * step;
    hi = std::ceil(hi / step) * step;

    const QFontMetricsF fm(p.font());
    const QRectF plot = area.adjusted(fm.horizontalAdvance(QStringLiteral("-00000.0")) + 6,
                                      fm.height() / 2, -6, -2 * fm.height() - 6);
    auto toX = [&](double x) {
        return plot.left() + (x - 1) / qMax(1, m_slots - 1) * plot.width();
    };
    auto toY = [&](double y) { return plot.bottom() - (y - lo) / (hi - lo) * plot.height(); };

    p.save();
    p.setPen(QPen(QColor(0xD0, 0xD6, 0xDE), 0.5));
    for (double y = lo; y <= hi + step / 2; y += step) {
        p.drawLine(QPointF(plot.left(), toY(y)), QPointF(plot.right(), toY(y)));
        p.setPen(Qt::black);
        p.drawText(QRectF(area.left(), toY(y) - fm.height() / 2, plot.left() - area.left() - 4,
                          fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(y, 'g', 6));
        p.setPen(QPen(QColor(0xD0, 0xD6, 0xDE), 0.5));
    }
    const int xStep = m_slots > 50 ? 10 : 5;
    p.setPen(Qt::black);
    for (int x = 1; x <= m_slots; x += (x == 1 ? xStep - 1 : xStep)) {
        p.drawLine(QPointF(toX(x), plot.bottom()), QPointF(toX(x), plot.bottom() + 3));
        p.drawText(QRectF(toX(x) - 20, plot.bottom() + 4, 40, fm.height()), Qt::AlignHCenter,
                   QString::number(x));
    }
    p.drawText(QRectF(plot.left(), plot.bottom() + fm.height() + 4, plot.width(), fm.height()),
               Qt::AlignHCenter, QStringLiteral("Address"));
    p.setPen(QPen(Qt::black, 0.75));
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    p.drawLine(plot.bottomLeft(), plot.topLeft());

    p.setPen(QPen(QColor(0x1F, 0x5F, 0xA8), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0x1F, 0x5F, 0xA8));
    for (const QVector<QPointF> &run : lines) {
        QPainterPath path;
        for (int i = 0; i < run.size(); ++i) {
            const QPointF at(toX(run[i].x()), toY(run[i].y()));
            i == 0 ? path.moveTo(at) : path.lineTo(at);
        }
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        // A lone reading between gaps is a dot, not an invisible line of no length.
        if (run.size() == 1) {
            p.setBrush(QColor(0x1F, 0x5F, 0xA8));
            p.drawEllipse(QPointF(toX(run[0].x()), toY(run[0].y())), 1.5, 1.5);
        }
    }
    p.restore();
}
