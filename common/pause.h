#pragma once

class Clock;

// Waits n seconds while the event loop keeps delivering every pending event
// (paint, input, timers), so the window stays alive. It sleeps in the event
// loop rather than spinning. For n <= 0 it returns at once without yielding.
void PauseSeconds(double seconds, const Clock& clock);
