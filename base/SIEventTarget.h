// The seam through which the support library notifies a control without knowing the toolkit:
// the control side implements SIEventTarget and maps SBaseEvent onto its own event record.
#pragma once

#include <ctime>

namespace zell::object {

struct SBaseEvent {
    static constexpr int kTimer = 9;    // a timer tick; value is the timer id
    static constexpr int kListing = 10; // a folder listing ended; value is the item count

    clock_t time = 0; // clock() when sent
    int type = 0;
    int kind = 1;
    int value = 0;
    void* sender = nullptr; // the target itself
};

class SIEventTarget {
  public:
    // While true the target is being taken apart and gets no more events. Asked on the
    // notifying thread before each event; any thread may be taking the target apart.
    virtual bool CleaningUp() const = 0;
    // Called on the notifying thread (a timer or listing thread), synchronously.
    virtual void SendBaseEvent(const SBaseEvent& event) = 0;

  protected:
    ~SIEventTarget() = default;
};

} // namespace zell::object
