#pragma once

#include <memory>
#include <pthread.h>

namespace zell::threading {

// A joinable POSIX thread with a cooperative stop. Cancel() (and the destructor, and a new
// Start) asks the thread to stop, wakes it from Pause() or Wait(), and returns after the thread
// has finished, or after a grace of three seconds in which it did not (the thread is then let
// go, and the code it runs stays loaded). From the thread itself, Cancel() only asks: the
// thread ends when its function returns. An exception its function lets out ends the thread.
// The thread's function checks StopRequested() or the result of Pause().
class SThread {
  public:
    explicit SThread(int priority);
    SThread(const SThread&) = delete;
    SThread& operator=(const SThread&) = delete;
    ~SThread();

    // Stops a running thread first. A null function or argument is stored and starts nothing.
    void Start(void* (*function)(void*), void* argument);
    void Cancel();
    // The thread is no longer joined; Cancel() then waits until its function has returned.
    void Detach();
    // Called by the thread: waits, checking every ms milliseconds, until Resume() or a stop.
    void Wait(int ms);
    void Resume();
    void Finalize() {}
    void Sleep(int ms);

    bool IsActive() const { return active; }
    bool IsWaiting() const;
    int Priority() const { return priority; }

    // For code on a thread started by SThread; on any other thread they only sleep or say no.
    static bool StopRequested();
    // Sleeps ms milliseconds; returns false at once when the thread is asked to stop.
    static bool Pause(unsigned int ms);

    // The scheduling priority of a level between the policy's min and max: the middle for 2,
    // max for 3 and 4, min otherwise.
    static int PriorityFor(int level, int min, int max);

    struct State;

  private:
    [[nodiscard]] bool Create();

    void* (*function)(void*) = nullptr;
    void* argument = nullptr;
    int priority;
    bool active = false;
    bool detached = false;
    pthread_t thread{};
    std::shared_ptr<State> state;
};

} // namespace zell::threading
