#include "AnswerPacer.h"

#include "platform/PseudoTerminal.h"

#include <algorithm>
#include <cerrno>

namespace {

// Paced output goes out every few milliseconds, a handful of bytes at a time at 9600 baud.
constexpr int kPacedTickMs = 5;
constexpr int kFastTickMs = 1;
// Before hanging up, wait until the program has read what was sent, as a cable pulled after
// the last byte would; give up after this long (the program may have its port closed).
constexpr int kDrainPollMs = 10;
constexpr int kDrainLimitMs = 2000;

} // namespace

AnswerPacer::AnswerPacer(PseudoTerminal *line, const Settings &settings, QObject *parent)
    : QObject(parent), m_line(line), m_settings(settings)
{
    m_tick.setInterval(m_settings.bytesPerSecond > 0 ? kPacedTickMs : kFastTickMs);
    m_tick.setTimerType(Qt::PreciseTimer);
    connect(&m_tick, &QTimer::timeout, this, &AnswerPacer::step);
    m_gap.setSingleShot(true);
    connect(&m_gap, &QTimer::timeout, this, [this] {
        restartClock();
        m_tick.start();
        step();
    });
    m_drain.setInterval(kDrainPollMs);
    connect(&m_drain, &QTimer::timeout, this, &AnswerPacer::checkDrained);
}

void AnswerPacer::enqueue(const QByteArray &answer)
{
    if (answer.isEmpty() || !m_line->isOpen()) return;
    m_waiting.append(answer);
    if (m_current.isEmpty() && !m_gap.isActive() && !m_drain.isActive()) {
        startNext();
        step();
    }
}

void AnswerPacer::dropWaiting()
{
    m_waiting.clear();
}

void AnswerPacer::plugIn()
{
    m_tick.stop();
    m_gap.stop();
    m_drain.stop();
    m_waiting.clear();
    m_current.clear();
    m_settings.hangupAfter = -1;
}

void AnswerPacer::restartClock()
{
    m_clock.start();
    m_sentOnClock = 0;
}

void AnswerPacer::startNext()
{
    if (m_waiting.isEmpty()) {
        m_tick.stop();
        return;
    }
    m_current = m_waiting.takeFirst();
    m_position = 0;
    m_gapTaken = false;
    restartClock();
    m_tick.start();
}

qint64 AnswerPacer::allowance() const
{
    qint64 allowed = m_current.size() - m_position;
    if (m_settings.bytesPerSecond > 0) {
        const qint64 due = m_clock.elapsed() * m_settings.bytesPerSecond / 1000;
        allowed = std::min(allowed, due - m_sentOnClock);
    }
    if (m_settings.gapAfter >= 0 && !m_gapTaken)
        allowed = std::min(allowed, m_settings.gapAfter - m_position);
    if (m_settings.hangupAfter >= 0) allowed = std::min(allowed, m_settings.hangupAfter - m_sent);
    return std::max<qint64>(allowed, 0);
}

void AnswerPacer::step()
{
    if (m_current.isEmpty() || !m_line->isOpen()) return;

    const qint64 allowed = allowance();
    if (allowed > 0 && !m_line->peerIsOpen()) {
        // The program has its port closed: what the instrument sends now reaches nobody.
        m_position += allowed;
        m_sent += allowed;
        m_sentOnClock += allowed;
    } else if (allowed > 0) {
        const qint64 written = m_line->write(m_current.constData() + m_position, allowed);
        if (written > 0) {
            m_position += written;
            m_sent += written;
            m_sentOnClock += written;
        } else if (written < 0 && errno == EAGAIN) {
            // The program is not reading: do not make up for the lost time in one burst later.
            restartClock();
        }
    }

    if (m_settings.hangupAfter >= 0 && m_sent >= m_settings.hangupAfter) {
        beginHangUp();
        return;
    }
    if (m_settings.gapAfter >= 0 && !m_gapTaken && m_position >= m_settings.gapAfter &&
        m_position < m_current.size()) {
        m_gapTaken = true;
        m_tick.stop();
        m_gap.start(m_settings.gapMs);
        return;
    }
    if (m_position >= m_current.size()) {
        m_current.clear();
        startNext();
        emit answerFinished();
    }
}

void AnswerPacer::beginHangUp()
{
    m_tick.stop();
    m_gap.stop();
    m_waiting.clear();
    m_current.clear();
    m_drainedChecks = 0;
    m_drainClock.start();
    m_drain.start();
}

void AnswerPacer::checkDrained()
{
    // Two empty readings in a row: the last bytes are not still on their way into the queue.
    // A closed port reads nothing more, so there is nothing to wait for.
    m_drainedChecks = m_line->unreadByPeer() == 0 ? m_drainedChecks + 1 : 0;
    const bool done = m_drainedChecks >= 2 || !m_line->peerIsOpen();
    if (!done && m_drainClock.elapsed() < kDrainLimitMs) return;
    m_drain.stop();
    m_line->hangUp();
    emit hungUp();
}
