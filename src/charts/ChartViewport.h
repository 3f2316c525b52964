#pragma once

#include <QPointF>
#include <QRectF>
#include <optional>

// The part of the chart in sight once the user zooms or pans. Until then, and again after a
// reset, the chart shows its home: the view the window itself gives (the axis bounds of the
// quantity command, the whole page in full view, the scroll bar's stretch in scroll view).
// Widget-free: the window turns wheel, drag and keys into these calls.
class ChartViewport {
public:
    struct Box {
        double x0, x1, y0, y1;
        bool operator==(const Box &o) const
        {
            return x0 == o.x0 && x1 == o.x1 && y0 == o.y0 && y1 == o.y1;
        }
    };

    void setHome(const Box &home) { m_home = home; }
    const Box &home() const { return m_home; }
    // What the chart shows now.
    Box shown() const { return m_box.value_or(m_home); }
    bool zoomed() const { return m_box.has_value(); }

    // factor < 1 zooms in, > 1 out; the point under `anchor` stays where it is.
    void zoomAt(double factor, QPointF anchor);
    // Around the middle of what is shown (the + and - keys).
    void zoomBy(double factor);
    // Moves the view by a share of what is shown (the arrow keys: 0.1 is a tenth).
    void panByShare(double dx, double dy);
    // Moves the view by a distance in axis units (a drag).
    void panBy(double dx, double dy);
    // Shows the rectangle drawn. A rectangle too thin to mean anything (a click, a slip of the
    // hand) is refused with false and changes nothing.
    bool zoomTo(const QRectF &area);
    void reset() { m_box.reset(); }
    // A new quantity on the same page: the stretch of records stays in sight, the vertical
    // range is the new quantity's own.
    void resetVertical();

private:
    void show(Box box);

    Box m_home{0.0, 1.0, 0.0, 1.0};
    std::optional<Box> m_box;
};
