#pragma once

#include "clock.h"

// A clock whose monotonic time moves only when told, or by a fixed step at
// every reading. Wall time is real unless a test fixes it.
class FakeClock final : public Clock {
public:
    qint64 monotonicMs() const override
    {
        const qint64 now = ms;
        ms += stepMs;
        return now;
    }
    QDateTime now() const override
    {
        return wall.isValid() ? wall.addMSecs(ms) : QDateTime::currentDateTimeUtc();
    }

    mutable qint64 ms = 0;
    qint64 stepMs = 0;
    QDateTime wall;
};
