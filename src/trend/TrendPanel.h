#pragma once

#include <QPointer>
#include <QWidget>
#include <array>

class LiveTrend;
class Program;
class QCheckBox;
class QLabel;
class TrendPlot;

// The trend of the live run with its quantity ticks and the current, minimum, maximum and mean
// of each ticked quantity. Compact, it fills the frame beside the Real Mode panels and opens
// the larger window; large, it is that window, resizable, with zoom and pan.
class TrendPanel : public QWidget {
    Q_OBJECT
public:
    enum class Size { Compact, Large };
    TrendPanel(LiveTrend &trend, Size size, QWidget *parent = nullptr);

    // Puts the live trend of program's live runs into frame, the empty frame beside the Real
    // Mode panels; the trend belongs to the frame.
    static TrendPanel *fillFrame(QWidget *frame, Program &program);

    TrendPlot *plot() const { return m_plot; }
    // The larger window, opened from the compact panel (nullptr until then).
    TrendPanel *largerWindow() const { return m_larger; }
    void openLargerWindow();

private:
    void refresh();
    void setTicked(int quantity, bool ticked);
    QWidget *buildTicks();

    LiveTrend &m_trend;
    Size m_size;
    TrendPlot *m_plot = nullptr;
    QLabel *m_stats = nullptr;
    std::array<QCheckBox *, 9> m_ticks{};
    QPointer<TrendPanel> m_larger;
};
