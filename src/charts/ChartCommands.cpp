#include "charts/ChartCommands.h"

#include "app/ScreenModel.h"
#include "charts/ChartNumbers.h"
#include "charts/ChartQuantities.h"
#include "charts/ChartState.h"
#include "tables/Modes.h"

#include <cmath>
#include <optional>

namespace {
// Record slots per page, as the chart reads them.
constexpr int kLoggerPoints = 100;
constexpr int kSingleLoggerPoints = 30;
} // namespace

ChartCommands::ChartCommands(ScreenModel &model, ChartState &chart) : m_model(model), m_chart(chart)
{
}

void ChartCommands::load()
{
    m_chart.mnuScroll.enabled = true;
    m_chart.mnuFull.enabled = false;
    m_chart.scrollable = false;
    setupAxes();
    enableMenus();
    m_chart.notify();
}

void ChartCommands::setupAxes()
{
    const int mode = m_model.CurrentMode;
    if (isLogger(mode))
        m_chart.xMax = kLoggerPoints;
    else if (isSingleLogger(mode))
        m_chart.xMax = kSingleLoggerPoints;
    m_chart.seriesVisible = false;
}

void ChartCommands::enableMenus()
{
    const int mode = m_model.CurrentMode;
    const bool logger = isLogger(mode);
    const bool single = isSingleLogger(mode);
    m_chart.mnuLogger.enabled = logger;
    m_chart.mnuSLogger.enabled = single;
    if (logger || single)
        m_chart.setPanelText(QStringLiteral("Page"),
                             QStringLiteral("Page : %1").arg(modeInfo(mode)->page));
}

bool ChartCommands::isAvailable(const ChartQuantityInfo &quantity) const
{
    return quantity.singleLogger ? m_chart.mnuSLogger.enabled : m_chart.mnuLogger.enabled;
}

QString ChartCommands::unitText(const ChartQuantityInfo &quantity) const
{
    switch (quantity.unit) {
    case UnitSource::Ppm:
        return QStringLiteral("ppm");
    case UnitSource::Percent:
        return QStringLiteral("%");
    case UnitSource::Temperature:
        return m_model.labST1Unit.caption;
    case UnitSource::Pressure:
        return m_model.labSPUnit.caption;
    case UnitSource::SingleLogger:
        return m_model.txtSLUnit.caption;
    }
    return QString();
}

void ChartCommands::chooseQuantity(const ChartQuantityInfo &quantity)
{
    m_model.ChartQuantity = quantity.code;
    m_chart.frmChart.caption = QString::fromLatin1(quantity.windowCaption);
    m_chart.setPanelText(QStringLiteral("MeasureTitle"),
                         QString::fromLatin1(quantity.measureTitle));
    // The unit is read now: the labels hold whatever the page being charted put there.
    const QString unit = unitText(quantity);
    m_chart.setPanelText(QStringLiteral("Unit"), QStringLiteral("Y Axis(Unit) : ") + unit);
    m_chart.yTitle = QStringLiteral("(") + unit + QStringLiteral(")");
    BuildChartSeries();
    m_chart.notify();
}

void ChartCommands::BuildChartSeries()
{
    m_chart.seriesVisible = true;
    const ChartQuantityInfo *quantity = chartQuantityByCode(m_model.ChartQuantity);
    if (!quantity) return;
    const bool records = !quantity->singleLogger;
    const Grid &table = records ? m_model.MSFlexGrid1 : m_model.MSFlexGrid3;
    const int points = records ? kLoggerPoints : kSingleLoggerPoints;

    m_chart.openData(1, points);
    if (!records) m_chart.xMin = 1;
    qint32 runningMax = 1;
    qint32 runningMin = 0;
    std::optional<double> lowest;
    for (int i = 0; i < points; ++i) {
        const std::optional<double> v =
            ChartNumbers::cellValue(table.text(i + 1, quantity->column));
        if (!v) {
            m_chart.setValue(0, i, ChartNumbers::kGap);
            continue;
        }
        m_chart.setValue(0, i, *v);
        if (!lowest || *v < *lowest) lowest = *v;
        // The test uses the exact value, the bound keeps its whole-number conversion: 1.4 is
        // above 1 yet leaves the bound at 1.
        if (*v > runningMax) runningMax = ChartNumbers::toWholeNumber(*v);
        if (records && *v < runningMin) runningMin = ChartNumbers::toWholeNumber(*v);
        // A page that holds only gaps never gets here and leaves the axes as they were.
        m_chart.yMax = double(runningMax) + 1.0;
        // A Single Logger page leaves the bottom of the axis to the control.
        if (records) m_chart.yMin = runningMin;
    }
    // The whole-number rounding of the minimum can leave the axis above a negative point
    // (-3.4 rounds to -3, -0.12 to 0) and hide it: the axis then starts at the whole number
    // below the lowest point.
    if (records && lowest && m_chart.yMin && *lowest < *m_chart.yMin)
        m_chart.yMin = std::floor(*lowest);
    m_chart.closeData();
}

void ChartCommands::scrollView()
{
    m_chart.mnuScroll.enabled = false;
    m_chart.mnuFull.enabled = true;
    m_chart.scrollable = true;
    m_chart.notify();
}

void ChartCommands::fullView()
{
    m_chart.mnuScroll.enabled = true;
    m_chart.mnuFull.enabled = false;
    m_chart.scrollable = false;
    m_chart.notify();
}
