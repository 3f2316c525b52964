#include "trend/LiveTrend.h"

#include "app/Program.h"
#include "tables/Modes.h"

LiveTrend::LiveTrend(Program &program, QObject *parent) : QObject(parent), m_program(program)
{
    connect(&program.model, &ScreenModel::changed, this, &LiveTrend::onModelChanged);
    connect(&program.transfer, &Transfer::receptionFinished, this, &LiveTrend::onReceptionFinished);
}

void LiveTrend::onModelChanged()
{
    const bool live = m_program.transfer.state() == LinkState::Live;
    if (live && !m_live) {
        m_series.clear();
        m_live = true;
        emit runStarted();
    }
    m_live = live;
}

void LiveTrend::onReceptionFinished()
{
    // Only a pass that showed a reading in Real Mode adds one; a pass over part of a reading
    // or noise shows nothing new.
    if (m_program.model.CurrentMode != Real || !m_program.transfer.lastPassCompletedStream())
        return;
    onModelChanged(); // a run started without a notice still starts empty
    const LiveReading reading = LiveReading::fromPanels(
        m_program.model, m_program.reception.lastCompleteStream(), m_clock());
    m_series.append(reading);
    emit readingAdded(reading);
}
