#include "charts/ChartViewport.h"

#include <algorithm>
#include <cmath>

namespace {
// How far in and out the view goes, as a share of home. Deeper than this the axis labels
// lose their digits; further out the line is a flat dot.
constexpr double kDeepest = 1e-4;
constexpr double kWidest = 100.0;
// A drawn rectangle narrower than this share of what is shown is taken for a click.
constexpr double kThinnest = 0.01;

// lo..hi scaled by factor about anchor, its span kept within the limits around home's span.
void scale(double &lo, double &hi, double factor, double anchor, double homeSpan)
{
    const double span = hi - lo;
    const double wanted = std::clamp(span * factor, homeSpan * kDeepest, homeSpan * kWidest);
    const double share = span > 0 ? (anchor - lo) / span : 0.5;
    lo = anchor - share * wanted;
    hi = lo + wanted;
}
} // namespace

void ChartViewport::show(Box box)
{
    if (!std::isfinite(box.x0) || !std::isfinite(box.x1) || !std::isfinite(box.y0) ||
        !std::isfinite(box.y1))
        return;
    m_box = box;
}

void ChartViewport::zoomAt(double factor, QPointF anchor)
{
    if (!(factor > 0.0)) return;
    Box b = shown();
    scale(b.x0, b.x1, factor, anchor.x(), m_home.x1 - m_home.x0);
    scale(b.y0, b.y1, factor, anchor.y(), m_home.y1 - m_home.y0);
    show(b);
}

void ChartViewport::zoomBy(double factor)
{
    const Box b = shown();
    zoomAt(factor, QPointF((b.x0 + b.x1) / 2, (b.y0 + b.y1) / 2));
}

void ChartViewport::panByShare(double dx, double dy)
{
    const Box b = shown();
    panBy(dx * (b.x1 - b.x0), dy * (b.y1 - b.y0));
}

void ChartViewport::panBy(double dx, double dy)
{
    Box b = shown();
    b.x0 += dx, b.x1 += dx, b.y0 += dy, b.y1 += dy;
    show(b);
}

bool ChartViewport::zoomTo(const QRectF &area)
{
    const QRectF r = area.normalized();
    const Box b = shown();
    if (r.width() < (b.x1 - b.x0) * kThinnest || r.height() < (b.y1 - b.y0) * kThinnest)
        return false;
    Box to{r.left(), r.right(), r.top(), r.bottom()};
    // Held to the deepest zoom, about the rectangle's middle.
    const double xMid = (to.x0 + to.x1) / 2, yMid = (to.y0 + to.y1) / 2;
    scale(to.x0, to.x1, 1.0, xMid, m_home.x1 - m_home.x0);
    scale(to.y0, to.y1, 1.0, yMid, m_home.y1 - m_home.y0);
    show(to);
    return true;
}

void ChartViewport::resetVertical()
{
    if (!m_box) return;
    m_box->y0 = m_home.y0;
    m_box->y1 = m_home.y1;
}
