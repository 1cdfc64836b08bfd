#pragma once

#include <QTime>

// The local time of day.
class Clock {
public:
    virtual ~Clock() = default;
    [[nodiscard]] virtual QTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    QTime now() const override { return QTime::currentTime(); }
};
