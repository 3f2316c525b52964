#include "trend/TrendSeries.h"

#include <algorithm>

void TrendStats::add(double value)
{
    minimum = count ? std::min(minimum, value) : value;
    maximum = count ? std::max(maximum, value) : value;
    current = value;
    m_sum += value;
    ++count;
}

void TrendSeries::clear()
{
    m_times.clear();
    for (int q = 0; q < kCount; ++q) {
        m_values[q].clear();
        m_stats[q] = TrendStats();
        m_units[q].clear();
    }
}

void TrendSeries::append(const LiveReading &reading)
{
    m_times.push_back(reading.time.toMSecsSinceEpoch());
    for (int q = 0; q < kCount; ++q) {
        const std::optional<double> &v = reading.values[q];
        m_values[q].push_back(v ? static_cast<float>(*v) : std::numeric_limits<float>::quiet_NaN());
        if (v)
            m_stats[q].add(*v);
        else
            m_stats[q].addGap();
        if (!reading.units[q].isEmpty()) m_units[q] = reading.units[q];
    }
}

std::vector<TrendColumn> TrendSeries::reduce(int quantity, qint64 t0, qint64 t1, int width) const
{
    std::vector<TrendColumn> out;
    if (width <= 0 || t1 < t0 || quantity < 0 || quantity >= kCount) return out;
    const std::vector<float> &values = m_values[quantity];
    const double span = std::max<qint64>(t1 - t0, 1);
    bool gap = false;
    for (size_t i = 0; i < m_times.size(); ++i) {
        const qint64 t = m_times[i];
        if (t < t0 || t > t1) continue;
        const float v = values[i];
        if (std::isnan(v)) {
            gap = true;
            continue;
        }
        const int x = std::min(width - 1, static_cast<int>((t - t0) / span * width));
        if (!out.empty() && out.back().x == x && !gap) {
            TrendColumn &c = out.back();
            c.last = v;
            c.minimum = std::min<double>(c.minimum, v);
            c.maximum = std::max<double>(c.maximum, v);
            continue;
        }
        out.push_back({x, v, v, v, v, gap && !out.empty()});
        gap = false;
    }
    return out;
}

size_t TrendSeries::memoryBytes() const
{
    size_t bytes = m_times.capacity() * sizeof(qint64);
    for (const std::vector<float> &v : m_values)
        bytes += v.capacity() * sizeof(float);
    return bytes;
}
