#include "charts/ChartCanvas.h"

#include "charts/ChartReadOut.h"
#include "charts/ChartScene.h"
#include "charts/ChartSeries.h"
#include "charts/ChartState.h"
#include "charts/ChartViewport.h"

#include <QChart>
#include <QGraphicsEllipseItem>
#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QMouseEvent>
#include <QRubberBand>
#include <QWheelEvent>
#include <cmath>

namespace {
// One press of an arrow key moves a tenth of what is shown.
constexpr double kPanShare = 0.1;
} // namespace

ChartCanvas::ChartCanvas(ChartScene &scene, ChartViewport &zoom, QWidget *parent)
    : QChartView(scene.chart(), parent), m_scene(scene), m_viewport(zoom)
{
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setRubberBand(QChartView::NoRubberBand);
    m_band = new QRubberBand(QRubberBand::Rectangle, this->viewport());
    QChart *c = scene.chart();
    const QPen cross(QColor(120, 120, 120), 1, Qt::DotLine);
    m_crossX = new QGraphicsLineItem(c);
    m_crossY = new QGraphicsLineItem(c);
    m_crossX->setPen(cross), m_crossY->setPen(cross);
    m_mark = new QGraphicsEllipseItem(-6, -6, 12, 12, c);
    m_mark->setPen(QPen(Qt::black, 1.5));
    m_box = new QGraphicsRectItem(c);
    m_box->setBrush(QColor(255, 255, 225, 235));
    m_box->setPen(QPen(Qt::gray));
    m_text = new QGraphicsSimpleTextItem(m_box);
    for (QGraphicsItem *item : {(QGraphicsItem *)m_crossX, (QGraphicsItem *)m_crossY,
                                (QGraphicsItem *)m_mark, (QGraphicsItem *)m_box})
        item->setZValue(20);
    hideHover();
}

void ChartCanvas::setSeries(const ChartSeries *series, const ChartSeries *overlay)
{
    m_series = series;
    m_overlay = overlay;
    hideHover();
}

QString ChartCanvas::readOut() const
{
    return m_box->isVisible() ? m_text->text() : QString();
}

QPointF ChartCanvas::chartPoint(const QPoint &viewPoint) const
{
    return chart()->mapFromScene(mapToScene(viewPoint));
}

void ChartCanvas::hideHover()
{
    for (QGraphicsItem *item : {(QGraphicsItem *)m_crossX, (QGraphicsItem *)m_crossY,
                                (QGraphicsItem *)m_mark, (QGraphicsItem *)m_box})
        item->hide();
}

void ChartCanvas::hover(const QPoint &viewPoint)
{
    const QPointF at = chartPoint(viewPoint);
    const QRectF plot = chart()->plotArea();
    if (!plot.contains(at)) return hideHover();
    m_crossX->setLine(plot.left(), at.y(), plot.right(), at.y());
    m_crossY->setLine(at.x(), plot.top(), at.x(), plot.bottom());
    m_crossX->show(), m_crossY->show();
    const int point = m_series ? ChartReadOut::pointAt(*m_series, m_scene.toValue(at).x()) : -1;
    if (point < 0) {
        m_mark->hide(), m_box->hide();
        return;
    }
    const double x = ChartState::xOf(point);
    if (!m_series->isGap(point)) {
        m_mark->setPos(m_scene.toPosition(QPointF(x, m_series->values[point])));
        m_mark->setVisible(plot.contains(m_mark->pos()));
    } else {
        m_mark->hide();
    }
    m_text->setText(ChartReadOut::text(*m_series, point, m_overlay));
    const QRectF text = m_text->boundingRect();
    m_text->setPos(6, 4);
    m_box->setRect(0, 0, text.width() + 12, text.height() + 8);
    // Beside the pointer, turned back inside the plot near its right and bottom edges.
    QPointF pos = at + QPointF(14, 14);
    if (pos.x() + m_box->rect().width() > plot.right())
        pos.setX(at.x() - 14 - m_box->rect().width());
    if (pos.y() + m_box->rect().height() > plot.bottom())
        pos.setY(at.y() - 14 - m_box->rect().height());
    m_box->setPos(pos);
    m_box->show();
}

void ChartCanvas::mousePressEvent(QMouseEvent *event)
{
    const bool rectangle =
        event->button() == Qt::RightButton ||
        (event->button() == Qt::LeftButton && event->modifiers().testFlag(Qt::ShiftModifier));
    if (rectangle) {
        m_drag = Drag::Rectangle;
        m_band->setGeometry(QRect(event->pos(), QSize()));
        m_band->show();
    } else if (event->button() == Qt::LeftButton) {
        m_drag = Drag::Pan;
        m_panFrom = m_scene.toValue(chartPoint(event->pos()));
        setCursor(Qt::ClosedHandCursor);
    }
    m_dragFrom = event->pos();
    event->accept();
}

void ChartCanvas::mouseMoveEvent(QMouseEvent *event)
{
    if (m_drag == Drag::Rectangle) {
        m_band->setGeometry(QRect(m_dragFrom, event->pos()).normalized());
    } else if (m_drag == Drag::Pan) {
        // The value grabbed stays under the pointer.
        const QPointF now = m_scene.toValue(chartPoint(event->pos()));
        m_viewport.panBy(m_panFrom.x() - now.x(), m_panFrom.y() - now.y());
        emit viewChanged();
    }
    hover(event->pos());
    event->accept();
}

void ChartCanvas::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_drag == Drag::Rectangle) {
        m_band->hide();
        const QPointF a = m_scene.toValue(chartPoint(m_dragFrom));
        const QPointF b = m_scene.toValue(chartPoint(event->pos()));
        if (m_viewport.zoomTo(QRectF(a, b))) emit viewChanged();
    }
    m_drag = Drag::None;
    unsetCursor();
    event->accept();
}

void ChartCanvas::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) emit resetRequested();
    event->accept();
}

void ChartCanvas::wheelEvent(QWheelEvent *event)
{
    const int notches = event->angleDelta().y();
    if (notches == 0) return event->ignore();
    const QPointF anchor = m_scene.toValue(chartPoint(event->position().toPoint()));
    m_viewport.zoomAt(std::pow(kZoomStep, notches / 120.0), anchor);
    emit viewChanged();
    event->accept();
}

void ChartCanvas::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left:
        m_viewport.panByShare(-kPanShare, 0);
        break;
    case Qt::Key_Right:
        m_viewport.panByShare(kPanShare, 0);
        break;
    case Qt::Key_Up:
        m_viewport.panByShare(0, kPanShare);
        break;
    case Qt::Key_Down:
        m_viewport.panByShare(0, -kPanShare);
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        m_viewport.zoomBy(kZoomStep);
        break;
    case Qt::Key_Minus:
        m_viewport.zoomBy(1.0 / kZoomStep);
        break;
    default:
        return QChartView::keyPressEvent(event);
    }
    emit viewChanged();
    event->accept();
}

void ChartCanvas::leaveEvent(QEvent *event)
{
    hideHover();
    QChartView::leaveEvent(event);
}
