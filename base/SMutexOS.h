#pragma once

#include "SMutexBase.h"

#include <atomic>
#include <pthread.h>

namespace zell::threading {

// A POSIX mutex with default attributes. Lock and Unlock return the POSIX result.
class SMutexOS : public SMutexBase {
  public:
    SMutexOS();
    ~SMutexOS() override;

    int Lock() override;
    int Unlock() override;
    bool IsLocked() const { return locked.load(std::memory_order_relaxed); }
    bool IsValid() const { return valid; }

  private:
    pthread_mutex_t mutex;
    std::atomic<bool> locked{false};
    bool valid;
};

} // namespace zell::threading
