#include "charts/ChartScene.h"

#include "charts/ChartNumbers.h"

#include <QChart>
#include <QFont>
#include <QGraphicsLineItem>
#include <QGraphicsSimpleTextItem>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPen>
#include <QScatterSeries>
#include <QValueAxis>
#include <cmath>

const QColor ChartScene::kLineColour(0, 70, 160);
const QColor ChartScene::kOverlayColour(205, 90, 0);

namespace {
// 1, 2 or 5 times a power of ten, at least `floor`, so that about `ticks` intervals cover the
// span.
double niceStep(double span, int ticks, double floor)
{
    const double raw = span / ticks;
    if (!(raw > floor)) return floor;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    const double m = raw / power;
    return (m <= 1.0 ? 1.0 : m <= 2.0 ? 2.0 : m <= 5.0 ? 5.0 : 10.0) * power;
}

QValueAxis *makeAxis(QChart *chart, const char *name, Qt::Alignment side)
{
    auto *axis = new QValueAxis(chart);
    axis->setObjectName(QLatin1String(name));
    axis->setLabelFormat(QStringLiteral("%g"));
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    chart->addAxis(axis, side);
    return axis;
}

// The points of an overlay, cut into its unbroken runs like the chart state's own.
QList<QVector<QPointF>> runsOf(const ChartSeries &series)
{
    QList<QVector<QPointF>> result;
    QVector<QPointF> run;
    for (int i = 0; i <= series.size(); ++i) {
        if (i == series.size() || series.isGap(i)) {
            if (!run.isEmpty()) result << run;
            run.clear();
            continue;
        }
        run << QPointF(ChartState::xOf(i), series.values[i]);
    }
    return result;
}

// The overlay's own range: the bounds its quantity command set, the values' where it set none.
ChartState::Range overlayRange(const ChartSeries &s)
{
    ChartState state;
    state.openData(1, s.size());
    for (int i = 0; i < s.size(); ++i)
        state.setValue(0, i, s.values[i]);
    state.closeData();
    state.yMin = s.yMin;
    state.yMax = s.yMax;
    return state.yRange();
}
} // namespace

ChartScene::ChartScene()
{
    m_chart = new QChart;
    m_chart->setObjectName(QStringLiteral("chart"));
    m_chart->legend()->hide();
    m_chart->legend()->setAlignment(Qt::AlignTop);
    m_chart->setBackgroundRoundness(0);
    m_axisX = makeAxis(m_chart, "xAxis", Qt::AlignBottom);
    m_axisY = makeAxis(m_chart, "yAxis", Qt::AlignLeft);
    m_axisRight = makeAxis(m_chart, "overlayAxis", Qt::AlignRight);
    m_axisRight->setLinePenColor(kOverlayColour);
    m_axisRight->setLabelsColor(kOverlayColour);
    m_axisRight->setTitleBrush(kOverlayColour);
    // The left axis draws the grid; a second grid at other heights would only confuse.
    m_axisRight->setGridLineVisible(false);
    m_axisRight->hide();
    connect(m_chart, &QChart::plotAreaChanged, this, &ChartScene::drawPages);
}

// The chart is handed to a view or a scene, which then owns it; until then it is ours.
ChartScene::~ChartScene()
{
    if (!m_chart->scene()) delete m_chart;
}

void ChartScene::show(const ChartState &state, const ChartExtras &extras)
{
    drawSeries(state, extras);
    drawAxes(state, extras);
    if (m_pages.size() != extras.pages.size() ||
        !std::equal(m_pages.begin(), m_pages.end(), extras.pages.begin(),
                    [](auto &a, auto &b) { return a.first == b.first && a.name == b.name; })) {
        qDeleteAll(m_boundaries), qDeleteAll(m_pageNames);
        m_boundaries.clear(), m_pageNames.clear();
        m_pages = extras.pages;
        // The first page needs no boundary: the axis starts there.
        for (int p = 1; p < m_pages.size(); ++p) {
            auto *line = new QGraphicsLineItem(m_chart);
            line->setPen(QPen(Qt::darkGray, 1, Qt::DashLine));
            line->setZValue(10);
            m_boundaries << line;
        }
        for (const ChartSeries::Page &page : m_pages) {
            auto *name = new QGraphicsSimpleTextItem(page.name, m_chart);
            name->setBrush(Qt::darkGray);
            name->setZValue(10);
            m_pageNames << name;
        }
    }
    drawPages();
}

void ChartScene::drawLines(const QList<QVector<QPointF>> &runs, const QColor &colour,
                           QValueAxis *axisY, const QString &name)
{
    auto *markers = new QScatterSeries;
    markers->setObjectName(axisY == m_axisY ? QStringLiteral("markers")
                                            : QStringLiteral("overlay"));
    markers->setName(name);
    markers->setMarkerSize(7);
    markers->setColor(colour);
    markers->setBorderColor(colour);
    // Gaps break the line: each unbroken run is a series of its own, drawn alike.
    for (const QVector<QPointF> &run : runs) {
        markers->append(run);
        if (run.size() < 2) continue;
        auto *line = new QLineSeries;
        line->setPen(QPen(colour, 2));
        line->append(run);
        m_chart->addSeries(line);
        line->attachAxis(m_axisX);
        line->attachAxis(axisY);
        // One legend entry per quantity: its markers.
        for (QLegendMarker *marker : m_chart->legend()->markers(line))
            marker->setVisible(false);
    }
    m_chart->addSeries(markers);
    markers->attachAxis(m_axisX);
    markers->attachAxis(axisY);
    if (name.isEmpty())
        for (QLegendMarker *marker : m_chart->legend()->markers(markers))
            marker->setVisible(false);
}

void ChartScene::drawSeries(const ChartState &state, const ChartExtras &extras)
{
    const QVector<double> overlay = extras.overlay ? extras.overlay->values : QVector<double>();
    // The points change only at the close of the value data: redraw the lines then alone.
    if (m_drawnRedraws == state.redraws() && m_drawnVisible == state.seriesVisible &&
        m_drawnOverlay == overlay && m_drawnName == extras.name &&
        m_axisRight->isVisible() == extras.overlay.has_value())
        return;
    m_drawnRedraws = state.redraws();
    m_drawnVisible = state.seriesVisible;
    m_drawnOverlay = overlay;
    m_drawnName = extras.name;
    m_chart->removeAllSeries();
    drawLines(state.runs(), kLineColour, m_axisY, extras.name);
    m_axisRight->setVisible(extras.overlay.has_value());
    if (extras.overlay) {
        const ChartSeries &o = *extras.overlay;
        drawLines(runsOf(o), kOverlayColour, m_axisRight,
                  QStringLiteral("%1 (%2)").arg(o.quantity, o.unit));
    }
    m_chart->legend()->setVisible(extras.overlay.has_value());
}

void ChartScene::drawAxes(const ChartState &state, const ChartExtras &extras)
{
    m_axisX->setTitleText(state.xTitle);
    m_axisY->setTitleText(state.yTitle);
    const ChartViewport::Box &b = extras.shown;
    m_axisY->setRange(b.y0, b.y1);
    m_axisX->setRange(b.x0, b.x1);
    // The window's own view keeps whole-number steps (in scroll view a label every fifth
    // point); zoomed in, the steps follow the part in sight.
    const double floor = extras.zoomed ? 0.0 : 1.0;
    m_axisX->setTickInterval(!extras.zoomed && extras.scrollView
                                 ? 5.0
                                 : niceStep(b.x1 - b.x0, 10, floor > 0 ? floor : 1e-9));
    m_axisY->setTickInterval(niceStep(b.y1 - b.y0, 8, floor > 0 ? floor : 1e-12));
    if (!extras.overlay) return;
    const ChartSeries &o = *extras.overlay;
    const ChartState::Range home = state.yRange();
    const ChartState::Range own = overlayRange(o);
    // The right axis shows the overlay's own range where the left shows its home, and zooms
    // and pans with it.
    const double k = (own.max - own.min) / (home.max - home.min);
    m_overlayMap = {home.min, own.min, k};
    m_axisRight->setTitleText(QStringLiteral("(%1)").arg(o.unit));
    m_axisRight->setRange(toOverlay(b.y0), toOverlay(b.y1));
    m_axisRight->setTickInterval(
        niceStep(std::abs(toOverlay(b.y1) - toOverlay(b.y0)), 8, extras.zoomed ? 1e-12 : 1.0));
}

double ChartScene::toOverlay(double y) const
{
    return m_overlayMap.to + (y - m_overlayMap.from) * m_overlayMap.scale;
}

QPointF ChartScene::toPosition(const QPointF &value) const
{
    const QRectF plot = m_chart->plotArea();
    const double x = plot.left() + (value.x() - m_axisX->min()) /
                                       (m_axisX->max() - m_axisX->min()) * plot.width();
    const double y = plot.bottom() - (value.y() - m_axisY->min()) /
                                         (m_axisY->max() - m_axisY->min()) * plot.height();
    return QPointF(x, y);
}

QPointF ChartScene::toValue(const QPointF &position) const
{
    const QRectF plot = m_chart->plotArea();
    if (plot.width() <= 0 || plot.height() <= 0) return QPointF();
    return QPointF(m_axisX->min() + (position.x() - plot.left()) / plot.width() *
                                        (m_axisX->max() - m_axisX->min()),
                   m_axisY->min() + (plot.bottom() - position.y()) / plot.height() *
                                        (m_axisY->max() - m_axisY->min()));
}

void ChartScene::drawPages()
{
    const QRectF plot = m_chart->plotArea();
    // A boundary stands halfway between the last point of one page and the first of the next.
    const auto edge = [this](int p) {
        return toPosition(QPointF(ChartState::xOf(m_pages[p].first) - 0.5, 0)).x();
    };
    for (int p = 0; p < m_pageNames.size(); ++p) {
        const double x = edge(p);
        if (p > 0) {
            QGraphicsLineItem *line = m_boundaries[p - 1];
            line->setLine(x, plot.top(), x, plot.bottom());
            line->setVisible(x >= plot.left() && x <= plot.right());
        }
        // Each page is named at its start, or at the left edge while its start is out of sight;
        // a lone download needs no name.
        const double next = p + 1 < m_pages.size() ? edge(p + 1) : plot.right();
        QGraphicsSimpleTextItem *name = m_pageNames[p];
        name->setPos(std::max(x, plot.left()) + 3, plot.top() + 2);
        name->setVisible(m_pages.size() > 1 && x <= plot.right() - 20 && next >= plot.left() + 40);
    }
}
