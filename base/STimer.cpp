#include "STimer.h"

namespace zell::threading {

STimerObject::~STimerObject() {
    Stop();
}

void STimerObject::Start(object::SIEventTarget* target, int timerId, unsigned int ms) {
    // The old thread goes first so that it never sees the fields change.
    Stop();
    period = ms;
    id = timerId;
    control = target;
    event.type = object::SBaseEvent::kTimer;
    event.kind = 1;
    event.sender = control;
    event.value = id;
    running = true;
    thread = std::make_unique<SThread>(2);
    thread->Start(Job, this);
}

void STimerObject::Stop() {
    running = false;
    if (thread) {
        thread->Cancel();
        thread.reset();
    }
    id = 0;
}

void* STimerObject::Job(void* worker) {
    auto* self = static_cast<STimerObject*>(worker);
    if (!self) return nullptr;
    while (!SThread::StopRequested() && self->running) {
        self->Notification();
        // A tick may have stopped or deleted this worker; only the thread's own state is safe.
        if (SThread::StopRequested() || !self->Sleep()) break;
    }
    return nullptr;
}

void STimerObject::Notification() {
    if (!control) return;
    object::SBaseEvent tick = event;
    tick.time = clock();
    if (!control->CleaningUp()) control->SendBaseEvent(tick);
}

bool STimerObject::Sleep() {
    if (!thread) return true;
    // A zero period still yields between ticks.
    return SThread::Pause(period ? period : 1);
}

STimer::STimer(object::SIEventTarget* control, unsigned int id, unsigned int unused)
    : control(control), unused(unused), id(id), worker(std::make_unique<STimerObject>()) {}

STimer::~STimer() {
    if (running) worker->Stop();
}

void STimer::Start(unsigned int ms) {
    period = ms;
    // Set first: the first tick may already stop the timer.
    running = true;
    worker->Start(control, static_cast<int>(id), ms);
}

void STimer::Stop() {
    worker->Stop();
    running = false;
}

} // namespace zell::threading
