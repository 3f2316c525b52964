#pragma once

#include <limits>

struct ChartSeries;

// Minimum, maximum and mean of the values of a series between two x positions (a point
// stands at x = index + 1), and how many of its recorded slots there hold no measurement.
struct ChartStatistics {
    int values = 0;
    int gaps = 0;
    double min = 0.0;
    double max = 0.0;
    double mean = 0.0;

    // Over the points from..to, both included; the defaults take the whole series.
    static ChartStatistics of(const ChartSeries &series,
                              double from = -std::numeric_limits<double>::infinity(),
                              double to = std::numeric_limits<double>::infinity());
};
