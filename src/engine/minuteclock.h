#pragma once

#include <QtGlobal>

class Clock;

// The processing switch's tick rule: blink the marker by the second's parity, and run one
// pass when the second read now is smaller than the one read at the previous tick, which is
// once at each new minute. No pass at the first tick after switching on.
class MinuteClock {
public:
    // What one tick does, decided from one reading of the clock.
    struct Tick {
        int second = 0;
        bool processingOn = false;
        bool markerVisible = false; // meaningful only while processing is on
        bool runPass = false;
    };

    explicit MinuteClock(const Clock &clock)
        : m_clock(clock)
    {
    }

    // Processing was switched on: the next tick starts the count afresh.
    void switchedOn() { m_lastTickSecond = -1; }
    // Reads the clock once and decides the tick.
    [[nodiscard]] Tick begin(bool processingOn) const;
    // After the tick's work, including any pass: the second read at its start is kept.
    void end(const Tick &tick) { m_lastTickSecond = qint16(tick.second); }

    [[nodiscard]] qint16 lastTickSecond() const { return m_lastTickSecond; }

private:
    const Clock &m_clock;
    qint16 m_lastTickSecond = 0;
};
