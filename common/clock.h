#pragma once

#include <QtGlobal>

// Time as the program sees it. Injected so that tests can drive waits
// without sleeping.
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds on a clock that never jumps (not wall time).
    virtual qint64 monotonicMs() const = 0;
};

class SystemClock final : public Clock {
public:
    qint64 monotonicMs() const override;
};
