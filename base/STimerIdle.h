#pragma once

#include "SIEventTarget.h"

#include <cstddef>

namespace zell::threading {

// An idle function is reached through a variable that holds it: the idle thread calls the
// function that variable holds at the time of the call.
using SIdleFunction = void (*)(void*);

struct SIdleData {
    void* data;
    SIdleFunction* function;
};

// A control's handle on the process-wide idle thread. One idle thread serves every idle timer
// of the process: the first idle timer starts it with its own period, and it calls every
// registered (function, data) pair in registration order once per period. The thread stops,
// and is finished, when an idle timer is destroyed and no pair is left registered.
//
// Registry changes may come from any thread, including from an idle function during its call
// (it may remove its own pair). Removing a pair from any other thread returns after a call of
// that pair in progress has ended, or after a grace of two seconds when it does not end (an idle
// function blocked on a lock its remover holds); the caller asks Calling before it frees the
// data.
class STimerIdle {
  public:
    // The option has no behaviour; it is kept for the toolkit's callers. Periods below 1 ms
    // count as 1 ms.
    STimerIdle(object::SIEventTarget* control, int id, int period, bool option);
    STimerIdle(const STimerIdle&) = delete;
    STimerIdle& operator=(const STimerIdle&) = delete;
    ~STimerIdle();

    // Stores the pair and registers it unless it is registered already; a different pair this
    // timer registered before is removed first. A null function registers nothing.
    void SetFunction(SIdleFunction* function, void* data);
    void RemoveFunction();

    // The idle thread's entry; first is the idle timer that started it.
    static void* timercallback(void* first);

    // True while a call of the pair is in progress on the idle thread.
    static bool Calling(SIdleFunction* function, void* data);
    static std::size_t RegisteredCount();
    static bool IdleThreadRunning();

    object::SIEventTarget* Control() const { return control; }
    int Id() const { return id; }
    int Period() const { return period; }
    bool Option() const { return option; }

  private:
    object::SIEventTarget* control;
    SIdleFunction* function = nullptr;
    void* data = nullptr;
    int id;
    int period;
    bool option;
};

} // namespace zell::threading
