#include "STimerIdle.h"

#include "SThread.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

namespace zell::threading {

namespace {

bool Same(const SIdleData& a, const SIdleData& b) {
    return a.function == b.function && a.data == b.data;
}

struct IdleState {
    std::mutex lock;
    std::condition_variable callEnded;
    std::vector<SIdleData> idledata;
    std::vector<SIdleData> calling; // pairs whose call is in progress
    bool idletimerrunning = false;
    void* (*idlethreadfunc)(void*) = nullptr;
    unsigned int period = 1;
    // Last, so that at unload the thread is finished while the rest still exists.
    std::unique_ptr<SThread> idlethread;
};

IdleState& State() {
    static IdleState state;
    return state;
}

thread_local bool onIdleThread = false;

// How long a removal waits for a call of its pair in progress. A call stuck longer (on a lock
// its remover holds, or in an X server that no longer answers) is left to end on its own: the
// remover must then keep the pair's data alive (see Calling).
constexpr auto kCallGrace = std::chrono::seconds(2);

bool InCall(const IdleState& s, const SIdleData& pair) {
    return std::any_of(s.calling.begin(), s.calling.end(),
                       [&](const SIdleData& e) { return Same(e, pair); });
}

// Removes the pair; off the idle thread, waits until no call of it is in progress. Returns the
// idle thread to finish when the registry became empty and stopIfEmpty is set.
std::unique_ptr<SThread> Unregister(const SIdleData& pair, bool stopIfEmpty) {
    IdleState& s = State();
    std::unique_lock<std::mutex> lock(s.lock);
    auto found = std::find_if(s.idledata.begin(), s.idledata.end(),
                              [&](const SIdleData& e) { return Same(e, pair); });
    if (found != s.idledata.end()) s.idledata.erase(found);
    if (!onIdleThread) s.callEnded.wait_for(lock, kCallGrace, [&] { return !InCall(s, pair); });
    std::unique_ptr<SThread> stopping;
    if (stopIfEmpty && s.idletimerrunning && s.idledata.empty()) {
        stopping = std::move(s.idlethread);
        s.idletimerrunning = false;
    }
    return stopping;
}

// One pass over the registry. The size is read again after every call, and the index only
// moves on when the pair just called is still in its place, so removals during a call neither
// skip an entry nor run past the end.
void RunRound() {
    IdleState& s = State();
    for (std::size_t i = 0;;) {
        SIdleData entry;
        {
            std::lock_guard<std::mutex> lock(s.lock);
            if (i >= s.idledata.size() || SThread::StopRequested()) return;
            entry = s.idledata[i];
            s.calling.push_back(entry);
        }
        if (SIdleFunction f = *entry.function) f(entry.data);
        {
            std::lock_guard<std::mutex> lock(s.lock);
            auto mine = std::find_if(s.calling.begin(), s.calling.end(),
                                     [&](const SIdleData& e) { return Same(e, entry); });
            if (mine != s.calling.end()) s.calling.erase(mine);
            if (i < s.idledata.size() && Same(s.idledata[i], entry)) ++i;
        }
        s.callEnded.notify_all();
    }
}

} // namespace

STimerIdle::STimerIdle(object::SIEventTarget* control, int id, int period, bool option)
    : control(control), id(id), period(period), option(option) {
    IdleState& s = State();
    std::lock_guard<std::mutex> lock(s.lock);
    if (s.idletimerrunning) return;
    s.period = period > 0 ? static_cast<unsigned int>(period) : 1u;
    s.idlethreadfunc = timercallback;
    s.idlethread = std::make_unique<SThread>(2);
    s.idlethread->Start(s.idlethreadfunc, this);
    s.idletimerrunning = s.idlethread->IsActive();
}

STimerIdle::~STimerIdle() {
    std::unique_ptr<SThread> stopping = Unregister(SIdleData{data, function}, true);
    if (stopping) stopping->Cancel();
}

void STimerIdle::SetFunction(SIdleFunction* newFunction, void* newData) {
    SIdleData pair{newData, newFunction};
    if (function && !Same(pair, SIdleData{data, function})) RemoveFunction();
    function = newFunction;
    data = newData;
    if (!function) return;
    IdleState& s = State();
    std::lock_guard<std::mutex> lock(s.lock);
    bool present = std::any_of(s.idledata.begin(), s.idledata.end(),
                               [&](const SIdleData& e) { return Same(e, pair); });
    if (!present) s.idledata.push_back(pair);
}

void STimerIdle::RemoveFunction() {
    if (function) Unregister(SIdleData{data, function}, false);
    function = nullptr;
    data = nullptr;
}

void* STimerIdle::timercallback(void* first) {
    if (!first) return nullptr;
    onIdleThread = true;
    unsigned int interval;
    {
        IdleState& s = State();
        std::lock_guard<std::mutex> lock(s.lock);
        interval = s.period;
    }
    while (!SThread::StopRequested()) {
        RunRound();
        if (!SThread::Pause(interval)) break;
    }
    return nullptr;
}

bool STimerIdle::Calling(SIdleFunction* function, void* data) {
    IdleState& s = State();
    std::lock_guard<std::mutex> lock(s.lock);
    return InCall(s, SIdleData{data, function});
}

std::size_t STimerIdle::RegisteredCount() {
    IdleState& s = State();
    std::lock_guard<std::mutex> lock(s.lock);
    return s.idledata.size();
}

bool STimerIdle::IdleThreadRunning() {
    IdleState& s = State();
    std::lock_guard<std::mutex> lock(s.lock);
    return s.idletimerrunning;
}

} // namespace zell::threading
