#include "ThreadSleep.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <unistd.h>

namespace zell::threading {

void ThreadSleep(int ms) {
    if (ms > 0) usleep(static_cast<useconds_t>(ms) * 1000u);
}

timespec PreciseSleepRequest(double seconds) {
    // time_t is 32 bits on i386; longer requests are cut to what it can hold.
    constexpr double kLongest = INT_MAX;
    if (!(seconds > 0)) return timespec{0, 0};
    if (seconds > kLongest) seconds = kLongest;
    double whole = std::trunc(seconds);
    timespec request{};
    request.tv_sec = static_cast<time_t>(whole);
    request.tv_nsec = static_cast<long>((seconds - whole) * 1e9);
    return request;
}

int PreciseSleep(double seconds) {
    if (!(seconds >= 0)) {
        errno = EINVAL;
        return -1;
    }
    timespec remaining = PreciseSleepRequest(seconds);
    int result;
    do {
        result = nanosleep(&remaining, &remaining);
    } while (result == -1 && errno == EINTR);
    return result;
}

} // namespace zell::threading
