#include "SMutexOS.h"

#include <cerrno>

namespace zell::threading {

SMutexOS::SMutexOS() {
    valid = pthread_mutex_init(&mutex, nullptr) == 0;
}

SMutexOS::~SMutexOS() {
    if (IsLocked()) Unlock();
    pthread_mutex_destroy(&mutex);
}

int SMutexOS::Lock() {
    int result = pthread_mutex_lock(&mutex);
    if (result != EINVAL && result != EDEADLK) locked.store(true, std::memory_order_relaxed);
    return result;
}

int SMutexOS::Unlock() {
    // Cleared before the release so that the next owner's store is never overwritten.
    bool was = locked.exchange(false, std::memory_order_relaxed);
    int result = pthread_mutex_unlock(&mutex);
    if (result == EPERM || result == EINVAL) locked.store(was, std::memory_order_relaxed);
    return result;
}

} // namespace zell::threading
