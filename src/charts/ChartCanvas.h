#pragma once

#include <QChartView>
#include <QPointer>

class ChartScene;
class ChartViewport;
struct ChartSeries;
class QGraphicsEllipseItem;
class QGraphicsLineItem;
class QGraphicsRectItem;
class QGraphicsSimpleTextItem;
class QRubberBand;

// The chart control of the window as the user handles it: the wheel zooms about the pointer,
// a drag pans, a rectangle drawn with the right button (or with Shift held) zooms into it, a
// double click goes back to the window's own view, the arrow keys pan. A crosshair follows
// the pointer, and a read-out names the record under it.
class ChartCanvas : public QChartView {
    Q_OBJECT
public:
    // One notch of the wheel, one press of + or -.
    static constexpr double kZoomStep = 0.8;

    ChartCanvas(ChartScene &scene, ChartViewport &zoom, QWidget *parent = nullptr);

    // The series the read-out describes; nullptr while nothing is charted.
    void setSeries(const ChartSeries *series, const ChartSeries *overlay);
    // The read-out shown now; "" when none is.
    QString readOut() const;

signals:
    // The viewport changed by the user's hand: the window redraws.
    void viewChanged();
    void resetRequested();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    enum class Drag { None, Pan, Rectangle };
    QPointF chartPoint(const QPoint &viewPoint) const;
    void hover(const QPoint &viewPoint);
    void hideHover();

    ChartScene &m_scene;
    ChartViewport &m_viewport;
    const ChartSeries *m_series = nullptr;
    const ChartSeries *m_overlay = nullptr;
    Drag m_drag = Drag::None;
    QPoint m_dragFrom;
    QPointF m_panFrom; // axis values under the pointer when the drag began
    QRubberBand *m_band = nullptr;
    QGraphicsLineItem *m_crossX = nullptr;
    QGraphicsLineItem *m_crossY = nullptr;
    QGraphicsEllipseItem *m_mark = nullptr;
    QGraphicsRectItem *m_box = nullptr;
    QGraphicsSimpleTextItem *m_text = nullptr;
};
