#include "charts/ChartReadOut.h"

#include "charts/ChartSeries.h"

#include <QStringList>
#include <cmath>

namespace ChartReadOut {

int pointAt(const ChartSeries &series, double x)
{
    if (!std::isfinite(x)) return -1;
    const double slot = std::floor(x + 0.5) - 1.0;
    if (slot < 0 || slot >= series.size()) return -1;
    const int i = int(slot);
    return series.recorded.value(i) || !series.isGap(i) ? i : -1;
}

QString number(double value)
{
    return QString::number(value, 'g', 6);
}

namespace {
QString valueLine(const ChartSeries &s, int point)
{
    const QString unit = s.unit.isEmpty() ? QString() : QLatin1Char(' ') + s.unit;
    return s.quantity + QLatin1Char(' ') +
           (s.isGap(point) ? QStringLiteral("no measurement") : number(s.values[point]) + unit);
}
} // namespace

QString text(const ChartSeries &series, int point, const ChartSeries *overlay)
{
    if (point < 0 || point >= series.size()) return QString();
    QStringList record;
    if (series.pages.size() > 1) record << series.pages[series.pageOf(point)].name;
    record << QStringLiteral("Add ") + series.addresses.value(point);
    const QString when =
        (series.dates.value(point) + QLatin1Char(' ') + series.times.value(point)).trimmed();
    if (!when.isEmpty()) record << when;
    QStringList lines{record.join(QStringLiteral("  ")), valueLine(series, point)};
    if (overlay && point < overlay->size()) lines << valueLine(*overlay, point);
    return lines.join(QLatin1Char('\n'));
}

} // namespace ChartReadOut
