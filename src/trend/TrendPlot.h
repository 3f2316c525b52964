#pragma once

#include "trend/TrendSeries.h"

#include <QWidget>
#include <array>
#include <vector>

// Draws the live run's ticked quantities against wall-clock time: ppm and other units on the
// left axis, percentages on the right, each line from the series reduced to one min/max stroke
// per pixel column so that a run of many hours draws as quickly as a short one. By default it
// shows the whole run; zoom (wheel, + and -) and pan (drag, arrow keys) look at a part of it,
// and Home returns to the whole run.
class TrendPlot : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCount = 9;
    explicit TrendPlot(const TrendSeries &series, QWidget *parent = nullptr);

    void setTicked(int quantity, bool ticked);
    bool isTicked(int quantity) const { return m_ticked[quantity]; }
    // Drops a zoom or pan: the whole run again.
    void showWholeRun();
    bool followsRun() const { return m_follow; }
    // Zooms by factor (< 1: in) around the time at pixel x of the plot area.
    void zoom(double factor, int x);
    // Moves the view by a part of its width (negative: earlier).
    void pan(double parts);

    static QColor colourOf(int quantity);

protected:
    void paintEvent(QPaintEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QRect plotArea() const;
    void viewRange(qint64 *t0, qint64 *t1) const;
    void drawTimeAxis(QPainter &p, const QRect &area, qint64 t0, qint64 t1) const;
    // Each ticked quantity reduced to the plot's pixel columns, once per paint.
    using Columns = std::array<std::vector<TrendColumn>, kCount>;
    bool valueRange(bool percent, const Columns &columns, double *low, double *high) const;
    void drawValueAxis(QPainter &p, const QRect &area, bool right, double low, double high) const;
    void drawLine(QPainter &p, const QRect &area, int quantity,
                  const std::vector<TrendColumn> &columns, double low, double high) const;

    const TrendSeries &m_series;
    std::array<bool, kCount> m_ticked{};
    bool m_follow = true;
    qint64 m_t0 = 0, m_t1 = 0;
    int m_dragX = 0;
};
