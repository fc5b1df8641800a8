#pragma once

#include <ctime>

namespace zell::threading {

// usleep(ms * 1000); a negative ms does not sleep.
void ThreadSleep(int ms);

// Sleeps the given seconds with nanosleep, resuming after signals with the time that remains;
// returns nanosleep's last result. Negative or not-a-number seconds return -1 at once.
int PreciseSleep(double seconds);

// The request PreciseSleep makes: whole seconds and nanoseconds, both truncated toward zero.
timespec PreciseSleepRequest(double seconds);

} // namespace zell::threading
