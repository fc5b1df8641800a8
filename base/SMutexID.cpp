#include "SMutexID.h"

#include <ctime>

namespace zell::threading {

SMutexID::~SMutexID() {
    if (IsLocked()) Unlock();
}

int SMutexID::Lock() {
    while (counter.fetch_add(1, std::memory_order_acquire) > 0) {
        counter.fetch_sub(1, std::memory_order_relaxed);
        timespec zero{0, 0};
        nanosleep(&zero, nullptr);
    }
    locked.store(true, std::memory_order_relaxed);
    return 0;
}

int SMutexID::Unlock() {
    locked.store(false, std::memory_order_relaxed);
    counter.fetch_sub(1, std::memory_order_release);
    return 0;
}

} // namespace zell::threading
