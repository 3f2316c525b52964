#pragma once

#include <QElapsedTimer>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

// The median wall time of a piece of work, in milliseconds, over enough runs to be stable.
inline double medianMs(const std::function<void()> &work, int runs = 25)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The median wall time, and the mean processor time of the same runs: on a busy machine the
// two part ways, and the processor time says what the work itself costs.
inline QString wallAndCpu(const std::function<void()> &work, int runs = 25)
{
    const std::clock_t start = std::clock();
    const double wall = medianMs(work, runs);
    const double cpu = 1000.0 * double(std::clock() - start) / CLOCKS_PER_SEC / runs;
    return QStringLiteral("%1 ms (CPU %2 ms)").arg(wall, 0, 'f', 2).arg(cpu, 0, 'f', 2);
}

// One row of the figures table: what was measured, the figure, and the target it is held to.
inline void printRow(const QString &what, const QString &figure, const QString &target)
{
    std::printf("| %-52s | %-22s | %-20s |\n", qPrintable(what), qPrintable(figure),
                qPrintable(target));
    std::fflush(stdout);
}
