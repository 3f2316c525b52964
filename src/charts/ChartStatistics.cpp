#include "charts/ChartStatistics.h"

#include "charts/ChartSeries.h"

#include <algorithm>
#include <cmath>

ChartStatistics ChartStatistics::of(const ChartSeries &series, double from, double to)
{
    ChartStatistics s;
    // Summed in long double: a page of large values must not lose its mean to rounding.
    long double sum = 0.0L;
    const int first = std::max(0, int(std::ceil(std::max(from, -1.0))) - 1);
    const double last = std::min(to, double(series.size()));
    for (int i = first; i + 1 <= last; ++i) {
        if (series.isGap(i)) {
            if (series.recorded.value(i)) ++s.gaps;
            continue;
        }
        const double v = series.values[i];
        s.min = s.values ? std::min(s.min, v) : v;
        s.max = s.values ? std::max(s.max, v) : v;
        sum += v;
        ++s.values;
    }
    if (s.values) s.mean = double(sum / s.values);
    return s;
}
