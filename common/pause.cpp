#include "pause.h"

#include "clock.h"

#include <QEventLoop>
#include <QTimer>

#include <cmath>

void PauseSeconds(double seconds, const Clock& clock)
{
    const qint64 start = clock.monotonicMs();
    const qint64 wanted = std::llround(seconds * 1000.0);
    for (;;) {
        const qint64 remaining = wanted - (clock.monotonicMs() - start);
        if (remaining <= 0)
            return;
        // Sleeps in a local event loop, which delivers every event that
        // arrives, until the time is up. A precise timer: a coarse one may
        // fire 5% late, 100 ms on a two-second pause.
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(remaining), Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
}
