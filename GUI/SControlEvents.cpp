// Toolkit events between controls, and the control side of timers and idle functions.
#include "SControl.h"

#include "SGlobals.h"
#include "SMutexID.h"
#include "STimer.h"
#include "STimerIdle.h"

#include <ctime>

namespace zell::gui {

bool SControl::EventHandled(int type) const {
    const SEventHandler* h = events.Handler(type);
    return h && h->enabled;
}

void SControl::AddEventListener(SControl* listener, int type) {
    if (SEventHandler* h = events.Handler(type)) h->Add(listener);
}

void SControl::RemoveEventListener(SControl* listener, int type) {
    if (SEventHandler* h = events.Handler(type)) h->Remove(listener);
}

void SControl::EnableEventHandler(int type) {
    if (SEventHandler* h = events.Handler(type)) h->enabled = true;
}

void SControl::DisableEventHandler(int type) {
    if (SEventHandler* h = events.Handler(type)) h->enabled = false;
}

void SControl::PrepareEvent(SEvent& e, int type, int kind, int value, float fvalue, void* data,
                            SControl* sender, threading::SMutexID* mutex) {
    e.type = type;
    e.kind = kind;
    e.value = value;
    e.fvalue = fvalue;
    e.data = data;
    e.sender = sender;
    e.mutex = mutex;
}

void SControl::SendEvent(int type, int kind, int value, float fvalue, void* data, SControl* sender,
                         threading::SMutexID* mutex) {
    PrepareEvent(event, type, kind, value, fvalue, data, sender, mutex);
    event.time = static_cast<int>(clock());
    SendEvent(&event);
}

// Listeners are called in the order they registered; a listener list copied first lets a
// listener remove itself during its call.
void SControl::SendEvent(SEvent* e) {
    if (!e) return;
    const SEventHandler* h = events.Handler(e->type);
    if (!h) return;
    std::vector<SControl*> listeners = h->Listeners();
    for (SControl* listener : listeners) {
        if (e->mutex) e->mutex->Lock();
        listener->ParseEvent(e);
        if (e->mutex) e->mutex->Unlock();
    }
}

// On the timer's thread: its own record, so the dispatcher's sends are not disturbed.
void SControl::SendBaseEvent(const object::SBaseEvent& base) {
    SEvent e;
    PrepareEvent(e, base.type, base.kind, base.value, 0.0f, nullptr, this, nullptr);
    e.time = static_cast<int>(base.time);
    SendEvent(&e);
}

unsigned SControl::NextId() {
    return globals ? globals->NewId() : 0;
}

void SControl::CreateTimer(int interval, bool start) {
    StopTimer(true);
    flags |= kFlagHasTimer;
    timerId = static_cast<int>(NextId());
    timer = std::make_unique<threading::STimer>(this, static_cast<unsigned>(timerId), 0);
    if (start) timer->Start(static_cast<unsigned>(interval));
}

void SControl::StartTimer(int interval) {
    if (timer) timer->Start(static_cast<unsigned>(interval));
}

void SControl::StopTimer(bool destroy) {
    if (!timer) return;
    timer->Stop();
    if (destroy) {
        timer.reset();
        timerId = 0;
    }
}

std::unique_ptr<threading::STimer> SControl::AddTimer(int interval, bool start) {
    EnableEventHandler(kEventTimer);
    AddEventListener(this, kEventTimer);
    auto extra = std::make_unique<threading::STimer>(this, NextId(), 0);
    if (start) extra->Start(static_cast<unsigned>(interval));
    return extra;
}

void SControl::CreateIdleTimer(int interval, bool option) {
    if (!idleTimer)
        idleTimer = std::make_unique<threading::STimerIdle>(this, static_cast<int>(NextId()),
                                                            interval, option);
}

void SControl::CreateIdleFunction(void (**function)(void*), void* data) {
    if (idleTimer) idleTimer->SetFunction(function, data);
}

void SControl::DestroyIdleFunction() {
    if (idleTimer) idleTimer->RemoveFunction();
}

void SControl::DestroyIdleTimer() {
    idleTimer.reset();
}

} // namespace zell::gui
