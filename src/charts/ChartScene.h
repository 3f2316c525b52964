#pragma once

#include "charts/ChartSeries.h"
#include "charts/ChartState.h"
#include "charts/ChartViewport.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <optional>

class QChart;
class QGraphicsLineItem;
class QGraphicsSimpleTextItem;
class QScatterSeries;
class QValueAxis;

// What the chart shows, apart from the chart state itself: the second quantity on its own
// axis, the boundaries of joined pages, and the part in sight.
struct ChartExtras {
    std::optional<ChartSeries> overlay;
    QList<ChartSeries::Page> pages;
    ChartViewport::Box shown{0, 1, 0, 1};
    bool zoomed = false; // finer axis steps than the whole numbers of the window's own view
    bool scrollView = false;
    QString name; // the charted quantity in the legend: "CO (ppm)"
};

// The chart as drawn: axes, the line broken at gaps with a marker on every point, the overlay
// on a right-hand axis in a colour of its own with a legend, and page boundaries. The window
// shows it; an image of the chart is drawn from another instance at the size asked for, so
// the file shows what the window shows.
class ChartScene : public QObject {
    Q_OBJECT
public:
    static const QColor kLineColour;
    static const QColor kOverlayColour;

    ChartScene();
    ~ChartScene() override;
    QChart *chart() const { return m_chart; }

    // Redraws what changed since the last call.
    void show(const ChartState &state, const ChartExtras &extras);

    // Between positions in the chart's coordinates and values of the left and bottom axes.
    QPointF toValue(const QPointF &position) const;
    QPointF toPosition(const QPointF &value) const;
    // The overlay's value at a left-axis value, by the linear map between the two axes.
    double toOverlay(double y) const;

private:
    void drawLines(const QList<QVector<QPointF>> &runs, const QColor &colour, QValueAxis *axisY,
                   const QString &name);
    void drawSeries(const ChartState &state, const ChartExtras &extras);
    void drawAxes(const ChartState &state, const ChartExtras &extras);
    void drawPages();

    QChart *m_chart = nullptr;
    QValueAxis *m_axisX = nullptr;
    QValueAxis *m_axisY = nullptr;
    QValueAxis *m_axisRight = nullptr;
    QList<QGraphicsLineItem *> m_boundaries;
    QList<QGraphicsSimpleTextItem *> m_pageNames;
    QList<ChartSeries::Page> m_pages;
    // Left-axis value `from` stands where the right axis shows `to`; one unit left is `scale`
    // units right.
    struct {
        double from = 0.0, to = 0.0, scale = 1.0;
    } m_overlayMap;
    // What the drawn lines were made from, so that a change of range alone keeps them.
    int m_drawnRedraws = -1;
    bool m_drawnVisible = false;
    QVector<double> m_drawnOverlay;
    QString m_drawnName;
};
