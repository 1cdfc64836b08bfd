#include "engine/minuteclock.h"

#include "platform/clock.h"

#include <QTime>

MinuteClock::Tick MinuteClock::begin(bool processingOn) const
{
    Tick tick;
    tick.second = m_clock.now().time().second();
    tick.processingOn = processingOn;
    if (processingOn) {
        tick.markerVisible = tick.second % 2 == 0;
        tick.runPass = m_lastTickSecond > tick.second;
    }
    return tick;
}
