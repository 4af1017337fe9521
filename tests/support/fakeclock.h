#pragma once

#include "clock.h"

// A clock that moves only when told, or by a fixed step at every reading.
class FakeClock final : public Clock {
public:
    qint64 monotonicMs() const override
    {
        const qint64 now = ms;
        ms += stepMs;
        return now;
    }
    QDateTime now() const override { return wall.addMSecs(ms); }

    mutable qint64 ms = 0;
    qint64 stepMs = 0;
    QDateTime wall = QDateTime::currentDateTimeUtc();
};
