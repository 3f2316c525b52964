#include "charts/ChartState.h"

#include "charts/ChartNumbers.h"

#include <algorithm>
#include <cmath>

ChartState::ChartState()
    : frmChart{QStringLiteral("Data Chart")}, mnuLogger{QStringLiteral("  Logger  ")},
      mnuSLogger{QStringLiteral("SingleLogger")}, mnuPrint{QStringLiteral("   Print   ")},
      mnuView{QStringLiteral("   View   ")}, mnuExit{QStringLiteral("   Exit   ")},
      mnuScroll{QStringLiteral("Scroll View")}, mnuFull{QStringLiteral("Full View")},
      xTitle(QStringLiteral("(Address)")), yTitle(QStringLiteral("(%)")),
      m_panels{{QStringLiteral("MeasureTitle"), QStringLiteral("Select Chart")},
               {QStringLiteral("Page"), QStringLiteral("Page :")},
               {QStringLiteral("X_Axis"), QStringLiteral("X Axis : Address")},
               {QStringLiteral("Unit"), QStringLiteral("Y Axis(Unit) :")}}
{
}

QString ChartState::panelText(const QString &key) const
{
    for (const Panel &panel : m_panels)
        if (panel.key == key) return panel.text;
    return QString();
}

void ChartState::setPanelText(const QString &key, const QString &text)
{
    for (Panel &panel : m_panels)
        if (panel.key == key) panel.text = text;
}

void ChartState::openData(int series, int points)
{
    // The chart has one series; the count is taken for the control's sake only.
    Q_UNUSED(series);
    m_values = QVector<double>(std::max(points, 0), ChartNumbers::kGap);
    m_open = true;
}

void ChartState::setValue(int series, int point, double value)
{
    // Outside an open block, or outside the points opened, there is no value to write.
    if (!m_open || series != 0 || point < 0 || point >= m_values.size()) return;
    m_values[point] = value;
}

void ChartState::closeData()
{
    if (!m_open) return;
    m_open = false;
    ++m_redraws;
    notify();
}

QList<QVector<QPointF>> ChartState::runs() const
{
    QList<QVector<QPointF>> result;
    if (!seriesVisible) return result;
    QVector<QPointF> run;
    for (int i = 0; i < m_values.size(); ++i) {
        if (m_values[i] == ChartNumbers::kGap) {
            if (!run.isEmpty()) result << run;
            run.clear();
            continue;
        }
        run << QPointF(xOf(i), m_values[i]);
    }
    if (!run.isEmpty()) result << run;
    return result;
}

ChartState::Range ChartState::xRange() const
{
    // Left of the first point, so that a point at x = 1 is not drawn on the axis line.
    const double min = xMin.value_or(0.0);
    double max = xMax.value_or(m_values.isEmpty() ? 10.0 : double(m_values.size()));
    if (max <= min) max = min + 1.0;
    return {min, max};
}

ChartState::Range ChartState::yRange() const
{
    // Where the program set no bound, the range encloses the shown values in whole numbers,
    // starting from 0, so a Single Logger page with negative values still shows all of them.
    double low = 0.0;
    double high = 0.0;
    bool any = false;
    if (seriesVisible) {
        for (double v : m_values) {
            if (v == ChartNumbers::kGap) continue;
            low = std::min(low, std::floor(v));
            high = std::max(high, std::ceil(v));
            any = true;
        }
    }
    const double min = yMin.value_or(low);
    double max = yMax.value_or(any ? std::max(high, min + 1.0) : 100.0);
    if (max <= min) max = min + 1.0;
    return {min, max};
}
