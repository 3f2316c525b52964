#pragma once

#include <QTableWidget>

struct ChartSeries;

// The statistics panel of the chart window: for the quantity (and the overlay, when one is
// drawn) a row over the whole page (or all pages) and a row over the part in sight, each with
// minimum, maximum, mean, the number of values and of gaps.
class ChartStatsPanel : public QTableWidget {
    Q_OBJECT
public:
    explicit ChartStatsPanel(QWidget *parent = nullptr);

    // from..to: the x range in sight. A null series empties the panel.
    void showStatistics(const ChartSeries *series, const ChartSeries *overlay, double from,
                        double to);
    // The cells of a row, "|"-joined with its header first: what the panel shows, in words.
    QString rowText(int row) const;

    QSize sizeHint() const override;

private:
    void addRows(const ChartSeries &series, double from, double to);
};
