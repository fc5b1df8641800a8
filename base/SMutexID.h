#pragma once

#include "SMutexBase.h"

#include <atomic>

namespace zell::threading {

// A yielding spin lock on an atomic counter: an uncontended Lock or Unlock is one atomic add, a
// contended Lock sleeps for zero time and retries. Not recursive, not fair.
class SMutexID : public SMutexBase {
  public:
    SMutexID() = default;
    ~SMutexID() override;

    int Lock() override;
    int Unlock() override;
    bool IsLocked() const { return locked.load(std::memory_order_relaxed); }

  private:
    std::atomic<int> counter{0};
    std::atomic<bool> locked{false};
};

} // namespace zell::threading
