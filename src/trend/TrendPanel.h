#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <memory>

class LiveTrend;
class Program;
class QCheckBox;
class QLabel;
class TrendPlot;
class TrendSeries;
struct ArchivedRun;

// The trend of the live run with its quantity ticks and the current, minimum, maximum and mean
// of each ticked quantity. Compact, it fills the frame beside the Real Mode panels and opens
// the larger window; large, it is that window, resizable, with zoom and pan.
class TrendPanel : public QWidget {
    Q_OBJECT
public:
    enum class Size { Compact, Large };
    TrendPanel(LiveTrend &trend, Size size, QWidget *parent = nullptr);
    // The larger window over a run that no longer grows (a live run reopened from the archive).
    TrendPanel(std::unique_ptr<TrendSeries> run, QWidget *parent = nullptr);
    ~TrendPanel() override;

    // A window of its own over the archived live run, deleted when closed.
    static TrendPanel *openArchivedRun(const ArchivedRun &run, QWidget *parent);

    // Puts the live trend of program's live runs into frame, the empty frame beside the Real
    // Mode panels; the trend belongs to the frame.
    static TrendPanel *fillFrame(QWidget *frame, Program &program);

    TrendPlot *plot() const { return m_plot; }
    // The larger window, opened from the compact panel (nullptr until then).
    TrendPanel *largerWindow() const { return m_larger; }
    void openLargerWindow();

    const TrendSeries &series() const { return m_series; }

private:
    TrendPanel(LiveTrend *trend, std::unique_ptr<TrendSeries> owned, Size size, QWidget *parent);
    void refresh();
    void setTicked(int quantity, bool ticked);
    QWidget *buildTicks();

    LiveTrend *m_trend; // null for an archived run
    std::unique_ptr<TrendSeries> m_owned;
    const TrendSeries &m_series;
    Size m_size;
    TrendPlot *m_plot = nullptr;
    QLabel *m_stats = nullptr;
    std::array<QCheckBox *, 9> m_ticks{};
    QPointer<TrendPanel> m_larger;
};
