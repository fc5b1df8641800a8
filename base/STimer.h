#pragma once

#include "SIEventTarget.h"
#include "SThread.h"

#include <atomic>
#include <memory>

namespace zell::threading {

// The worker of an STimer: one thread that sends its control a timer event every period.
// Start and Stop are called by the owner; Stop returns after the thread has finished, unless
// it is called from the timer's own thread (from a tick), where the thread ends after the tick.
class STimerObject {
  public:
    STimerObject() = default;
    STimerObject(const STimerObject&) = delete;
    STimerObject& operator=(const STimerObject&) = delete;
    virtual ~STimerObject();

    // Replaces a running thread.
    virtual void Start(object::SIEventTarget* control, int id, unsigned int ms);
    virtual void Stop();

    // The thread's entry; worker is the STimerObject.
    static void* Job(void* worker);
    // One tick on the caller's thread, dropped while the control is cleaning up.
    void Notification();
    // Sleeps one period when a thread exists; false when the thread is asked to stop.
    bool Sleep();

    bool IsRunning() const { return running.load(); }
    int Id() const { return id; }
    const object::SBaseEvent& Event() const { return event; }

  private:
    std::unique_ptr<SThread> thread;
    object::SIEventTarget* control = nullptr;
    object::SBaseEvent event;
    int id = 0;
    unsigned int period = 0;
    std::atomic<bool> running{false};
};

// A control's periodic timer; the control owns it and keeps it alive while it runs.
class STimer {
  public:
    // The third value has no behaviour; it is kept for the toolkit's callers.
    STimer(object::SIEventTarget* control, unsigned int id, unsigned int unused);
    STimer(const STimer&) = delete;
    STimer& operator=(const STimer&) = delete;
    virtual ~STimer();

    virtual void Start(unsigned int ms);
    virtual void Stop();

    bool IsRunning() const { return running.load(); }
    unsigned int Id() const { return id; }
    unsigned int Period() const { return period; }

  private:
    object::SIEventTarget* control;
    unsigned int period = 0;
    [[maybe_unused]] unsigned int unused;
    unsigned int id;
    std::atomic<bool> running{false}; // also cleared by a tick that stops the timer
    std::unique_ptr<STimerObject> worker;
};

} // namespace zell::threading
