#include "SThread.h"

#include "KeepLoaded.h"
#include "SBrokenPipeScope.h"
#include "ThreadSleep.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sched.h>

namespace zell::threading {

// Shared by the SThread and its running thread, so either may go first.
struct SThread::State {
    std::mutex mutex;
    std::condition_variable wake;
    bool stop = false;
    bool finished = false;
    bool waiting = false;
};

namespace {

thread_local SThread::State* current = nullptr;

// How long Cancel waits for the thread to end. A thread stuck longer (blocked on a lock whose
// holder is ending the process, or in a server that no longer answers) is let go instead, so
// that neither an exit nor an unload waits for ever.
constexpr auto kEndGrace = std::chrono::seconds(3);

struct Launch {
    std::shared_ptr<SThread::State> state;
    void* (*function)(void*);
    void* argument;
};

void* Run(void* launch) {
    std::unique_ptr<Launch> own(static_cast<Launch*>(launch));
    BlockBrokenPipesInThisThread();
    current = own->state.get();
    void* result = nullptr;
    try {
        result = own->function(own->argument);
    } catch (...) { // a failure ends the thread, not the host
    }
    {
        std::lock_guard<std::mutex> lock(own->state->mutex);
        own->state->finished = true;
    }
    own->state->wake.notify_all();
    current = nullptr;
    return result;
}

// Sets up attr with the level's priority under SCHED_OTHER; false when any step fails.
bool Attributes(pthread_attr_t& attr, int level) {
    int policy = 0;
    if (pthread_attr_getschedpolicy(&attr, &policy) != 0) return false;
    int min = sched_get_priority_min(policy);
    int max = sched_get_priority_max(policy);
    if (min < 0 || max < 0) return false;
    sched_param param{};
    param.sched_priority = SThread::PriorityFor(level, min, max);
    return pthread_attr_setschedpolicy(&attr, SCHED_OTHER) == 0 &&
           pthread_attr_setschedparam(&attr, &param) == 0;
}

} // namespace

SThread::SThread(int priority) : priority(priority) {}

SThread::~SThread() {
    Cancel();
}

int SThread::PriorityFor(int level, int min, int max) {
    int mid = min == max ? min : min + ((max - min) >> 1);
    if (level == 2) return mid;
    if (level == 3 || level == 4) return max;
    return min;
}

void SThread::Start(void* (*entry)(void*), void* data) {
    Cancel();
    function = entry;
    argument = data;
    if (!function || !argument) return;
    // Set before the thread exists: its first act may be to cancel itself.
    active = true;
    if (!Create()) active = false;
}

bool SThread::Create() {
    pthread_attr_t attr;
    if (pthread_attr_init(&attr) != 0) return false;
    // Set before the thread exists: its function may call Wait on this object at once.
    state = std::make_shared<State>();
    detached = false;
    bool created = false;
    if (Attributes(attr, priority)) {
        auto launch = std::make_unique<Launch>(Launch{state, function, argument});
        created = pthread_create(&thread, &attr, Run, launch.get()) == 0;
        if (created) static_cast<void>(launch.release()); // the thread's now (Run)
    }
    pthread_attr_destroy(&attr);
    if (!created) state.reset();
    return created;
}

void SThread::Cancel() {
    if (!active) return;
    active = false;
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        state->stop = true;
    }
    state->wake.notify_all();
    if (current == state.get()) {
        // A thread cannot wait for itself; it ends when its function returns.
        if (!detached) pthread_detach(pthread_self());
        state.reset();
        return;
    }
    bool ended = false;
    {
        std::unique_lock<std::mutex> lock(state->mutex);
        ended = state->wake.wait_for(lock, kEndGrace, [this] { return state->finished; });
    }
    // A thread let go still runs our code, and its state is its own (shared).
    if (!ended) system::KeepOwnObjectLoaded();
    if (!detached) {
        if (ended)
            pthread_join(thread, nullptr);
        else
            pthread_detach(thread);
    }
    state.reset();
}

void SThread::Detach() {
    if (active && !detached && pthread_detach(thread) == 0) detached = true;
}

void SThread::Wait(int ms) {
    if (!state) return;
    std::unique_lock<std::mutex> lock(state->mutex);
    state->waiting = true;
    auto slice = std::chrono::milliseconds(ms > 0 ? ms : 1);
    while (state->waiting && !state->stop)
        state->wake.wait_for(lock, slice);
}

void SThread::Resume() {
    if (!state) return;
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        state->waiting = false;
    }
    state->wake.notify_all();
}

bool SThread::IsWaiting() const {
    if (!state) return false;
    std::lock_guard<std::mutex> lock(state->mutex);
    return state->waiting;
}

void SThread::Sleep(int ms) {
    ThreadSleep(ms);
}

bool SThread::StopRequested() {
    if (!current) return false;
    std::lock_guard<std::mutex> lock(current->mutex);
    return current->stop;
}

bool SThread::Pause(unsigned int ms) {
    if (!current) {
        ThreadSleep(static_cast<int>(ms));
        return true;
    }
    std::unique_lock<std::mutex> lock(current->mutex);
    return !current->wake.wait_for(lock, std::chrono::milliseconds(ms),
                                   [] { return current->stop; });
}

} // namespace zell::threading
