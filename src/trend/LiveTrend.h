#pragma once

#include "trend/TrendSeries.h"

#include <QDateTime>
#include <QObject>
#include <functional>

class Program;

// The live run's trend: starts empty when a live run starts and takes every reading at the
// moment Real Mode shows it (the end of a reception pass that completed a reading), so the
// trend and the panels never disagree. The run's readings stay after Stop or a line fault.
class LiveTrend : public QObject {
    Q_OBJECT
public:
    explicit LiveTrend(Program &program, QObject *parent = nullptr);

    const TrendSeries &series() const { return m_series; }
    // The clock that stamps a reading without a time of its own; tests set a fixed one.
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

signals:
    void runStarted();
    void readingAdded(const LiveReading &reading);

private:
    void onModelChanged();
    void onReceptionFinished();

    Program &m_program;
    TrendSeries m_series;
    bool m_live = false;
    std::function<QDateTime()> m_clock = [] { return QDateTime::currentDateTime(); };
};
