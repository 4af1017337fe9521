#pragma once

#include <QDateTime>

// Time as the program sees it. Injected so that tests can drive waits and
// file-age checks without sleeping.
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds on a clock that never jumps (not wall time).
    virtual qint64 monotonicMs() const = 0;
    // Wall time, for comparing with file modification times.
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    qint64 monotonicMs() const override;
    QDateTime now() const override;
};
