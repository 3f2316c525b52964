#include "link/Pauses.h"

#include <QThread>

Pauses::Pauses() : m_wait([](int ms) { QThread::msleep(ms); }) {}

void Pauses::shortPause() const
{
    m_wait(kShortMs);
}

void Pauses::longPause() const
{
    for (int i = 0; i < kLongCount; ++i)
        shortPause();
}
