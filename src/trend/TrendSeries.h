#pragma once

#include "trend/LiveReading.h"

#include <QtGlobal>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

// Current, minimum, maximum and mean of one quantity over a run; count 0 when it had no value.
struct TrendStats {
    int count = 0;
    double current = std::numeric_limits<double>::quiet_NaN(); // the last value, NaN for a gap
    double minimum = 0;
    double maximum = 0;
    double mean() const { return count ? m_sum / count : 0; }

    void add(double value);
    void addGap() { current = std::numeric_limits<double>::quiet_NaN(); }

private:
    double m_sum = 0;
};

// One pixel column of a reduced series: the first, last, lowest and highest value of the
// readings that fall into it. Drawn as a vertical stroke from min to max joined to its
// neighbours by first and last, it looks exactly like the whole series at that width.
struct TrendColumn {
    int x = 0; // pixel column
    double first = 0, last = 0, minimum = 0, maximum = 0;
    bool gapBefore = false; // a gap lies between this column and the previous one drawn
};

// The readings of one live run: their times and every quantity, a gap (NaN) where a reading
// held no number. Floats keep an 8-hour run at one reading a second near 1 MB.
class TrendSeries {
public:
    static constexpr int kCount = LiveReading::kCount;

    void clear();
    void append(const LiveReading &reading);

    int size() const { return static_cast<int>(m_times.size()); }
    bool isEmpty() const { return m_times.empty(); }
    // Milliseconds since the epoch.
    qint64 timeAt(int i) const { return m_times[i]; }
    // NaN for a gap.
    double valueAt(int quantity, int i) const { return m_values[quantity][i]; }
    bool isGap(int quantity, int i) const { return std::isnan(m_values[quantity][i]); }
    const TrendStats &stats(int quantity) const { return m_stats[quantity]; }
    QString unit(int quantity) const { return m_units[quantity]; }
    qint64 firstTime() const { return m_times.empty() ? 0 : m_times.front(); }
    qint64 lastTime() const { return m_times.empty() ? 0 : m_times.back(); }

    // The readings from t0 to t1 (ms) reduced to at most one column per pixel of a plot
    // `width` pixels wide: every minimum and maximum of each column is kept. Readings whose
    // times go backwards (the instrument's clock was set) are placed where their time says.
    std::vector<TrendColumn> reduce(int quantity, qint64 t0, qint64 t1, int width) const;

    // Bytes held, for the memory figure of the benchmark.
    size_t memoryBytes() const;

private:
    std::vector<qint64> m_times;
    std::array<std::vector<float>, kCount> m_values;
    std::array<TrendStats, kCount> m_stats;
    std::array<QString, kCount> m_units;
};
