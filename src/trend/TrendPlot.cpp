#include "trend/TrendPlot.h"

#include "trend/TrendSeries.h"

#include <QKeyEvent>
#include <cmath>

namespace {
constexpr int kMarginLeft = 38;
constexpr int kMarginRight = 34;
constexpr int kMarginTop = 14;
constexpr int kMarginBottom = 18;
constexpr qint64 kMinimumSpanMs = 10 * 1000;

bool isPercent(const TrendSeries &s, int q)
{
    return s.unit(q) == QLatin1String("%");
}

} // namespace

TrendPlot::TrendPlot(const TrendSeries &series, QWidget *parent) : QWidget(parent), m_series(series)
{
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(160, 120);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

QColor TrendPlot::colourOf(int quantity)
{
    static const QColor colours[kCount] = {
        QColor(200, 0, 0),  QColor(0, 90, 200),  QColor(0, 140, 0),
        QColor(90, 90, 90), QColor(150, 0, 150), QColor(200, 120, 0),
        QColor(140, 70, 0), QColor(0, 150, 150), QColor(60, 60, 160)};
    return colours[quantity];
}

void TrendPlot::setTicked(int quantity, bool ticked)
{
    m_ticked[quantity] = ticked;
    update();
}

void TrendPlot::showWholeRun()
{
    m_follow = true;
    update();
}

QRect TrendPlot::plotArea() const
{
    return rect().adjusted(kMarginLeft, kMarginTop, -kMarginRight, -kMarginBottom);
}

void TrendPlot::viewRange(qint64 *t0, qint64 *t1) const
{
    if (m_follow) {
        *t0 = m_series.firstTime();
        *t1 = std::max(m_series.lastTime(), *t0 + kMinimumSpanMs);
    } else {
        *t0 = m_t0;
        *t1 = m_t1;
    }
}

void TrendPlot::zoom(double factor, int x)
{
    qint64 t0, t1;
    viewRange(&t0, &t1);
    const QRect area = plotArea();
    const double at = std::clamp(double(x - area.left()) / std::max(area.width(), 1), 0.0, 1.0);
    const double span = std::max<double>((t1 - t0) * factor, kMinimumSpanMs);
    const double centre = t0 + (t1 - t0) * at;
    m_t0 = qint64(centre - span * at);
    m_t1 = qint64(m_t0 + span);
    m_follow = false;
    update();
}

void TrendPlot::pan(double parts)
{
    qint64 t0, t1;
    viewRange(&t0, &t1);
    const qint64 shift = qint64((t1 - t0) * parts);
    m_t0 = t0 + shift;
    m_t1 = t1 + shift;
    m_follow = false;
    update();
}

void TrendPlot::wheelEvent(QWheelEvent *event)
{
    zoom(event->angleDelta().y() > 0 ? 0.8 : 1.25, int(event->position().x()));
}

void TrendPlot::mousePressEvent(QMouseEvent *event)
{
    m_dragX = int(event->position().x());
}

void TrendPlot::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton)) return;
    const int x = int(event->position().x());
    pan(double(m_dragX - x) / std::max(plotArea().width(), 1));
    m_dragX = x;
}

void TrendPlot::keyPressEvent(QKeyEvent *event)
{
    const int centre = plotArea().center().x();
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        return zoom(0.8, centre);
    case Qt::Key_Minus:
        return zoom(1.25, centre);
    case Qt::Key_Left:
        return pan(-0.1);
    case Qt::Key_Right:
        return pan(0.1);
    case Qt::Key_Home:
        return showWholeRun();
    default:
        QWidget::keyPressEvent(event);
    }
}

bool TrendPlot::valueRange(bool percent, const Columns &columns, double *low, double *high) const
{
    bool any = false;
    for (int q = 0; q < kCount; ++q) {
        if (!m_ticked[q] || isPercent(m_series, q) != percent) continue;
        for (const TrendColumn &c : columns[q]) {
            *low = any ? std::min(*low, c.minimum) : c.minimum;
            *high = any ? std::max(*high, c.maximum) : c.maximum;
            any = true;
        }
    }
    if (!any) return false;
    const double pad = std::max((*high - *low) * 0.05, std::abs(*high) * 0.01 + 0.5);
    *low -= pad;
    *high += pad;
    return true;
}
