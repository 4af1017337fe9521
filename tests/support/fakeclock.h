#pragma once

#include "clock.h"

// A clock whose time moves only when told, or by a fixed step at every
// reading.
class FakeClock final : public Clock {
public:
    qint64 monotonicMs() const override
    {
        const qint64 now = ms;
        ms += stepMs;
        return now;
    }

    mutable qint64 ms = 0;
    qint64 stepMs = 0;
};
