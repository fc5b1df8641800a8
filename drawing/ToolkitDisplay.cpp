#include "ToolkitDisplay.h"

#include "SBrokenPipeScope.h"
#include "SGlobals.h"
#include "SXConnection.h"
#include "SXServerProbe.h"

#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace zell::gui {

namespace {

constexpr int kMaxHooks = 4;
void (*unloadHooks[kMaxHooks])() = {};
std::atomic<bool> leftOpen{false};

} // namespace

_XDisplay* dps = nullptr;

_XDisplay* ToolkitDisplay() {
    if (_XDisplay* scoped = SXRequestScope::Innermost()) return scoped;
    return dps && !SXConnection::Lost(dps) ? dps : nullptr;
}

bool ToolkitConnectionLost() {
    return dps && SXConnection::Lost(dps);
}

_XDisplay* InstanceDisplay(const SGlobals* globals) {
    _XDisplay* host = globals ? globals->dp.load(std::memory_order_acquire) : nullptr;
    return host ? host : ToolkitDisplay();
}

bool SetHostDisplay(SGlobals* globals, void* display) {
    if (!globals || !display) return false;
    _XDisplay* expected = nullptr;
    auto* host = static_cast<_XDisplay*>(display);
    if (!globals->dp.compare_exchange_strong(expected, host, std::memory_order_acq_rel))
        return false;
    SXConnection::WatchHost(host);
    return true;
}

_XDisplay* TakeHostDisplay(SGlobals* globals) {
    _XDisplay* host = globals ? globals->dp.exchange(nullptr, std::memory_order_acq_rel) : nullptr;
    if (host) SXConnection::Unwatch(host);
    return host;
}

int HostDisplayHolders(_XDisplay* display) {
    return SXConnection::HostHolders(display);
}

namespace {

// However the server behaves, an open gives up after this long.
constexpr auto kOpenBudget = std::chrono::seconds(1);
constexpr auto kRetryPause = std::chrono::milliseconds(5);

} // namespace

// Xlib is asked once, and only once the server has said how it would answer (see
// SXServerProbe): a server that answered and refused is final, one that is busy or dropped the
// probe is asked again until the budget is spent, and one that never answers is given up on
// without a connection of Xlib's waiting for it.
_XDisplay* OpenDisplay(const char* name) {
    zell::threading::SBrokenPipeScope dropped; // a dropped set-up must not end the host
    const auto deadline = std::chrono::steady_clock::now() + kOpenBudget;
    for (;;) {
        SXServerProbe probe;
        const SXServerProbe::Answer answer = probe.Ask(name, deadline);
        if (answer == SXServerProbe::kSilent) return nullptr;
        if (answer != SXServerProbe::kBusy) return XOpenDisplay(name);
        if (std::chrono::steady_clock::now() + kRetryPause >= deadline) return nullptr;
        std::this_thread::sleep_for(kRetryPause);
    }
}

bool OpenToolkitDisplay(const char* name) {
    if (dps) return !SXConnection::Lost(dps);
    const char* fallback = getenv("DISPLAY");
    dps = OpenDisplay(name && *name ? name : fallback);
    SXConnection::WatchOwn(dps);
    return dps != nullptr;
}

void LeaveToolkitDisplayOpen() {
    leftOpen = true;
}

bool ToolkitDisplayLeftOpen() {
    return leftOpen.load();
}

void AtToolkitUnload(void (*hook)()) {
    for (auto& slot : unloadHooks)
        if (!slot || slot == hook) {
            slot = hook;
            return;
        }
}

void RunToolkitUnloadHooks() {
    for (auto& slot : unloadHooks)
        if (slot) {
            slot();
            slot = nullptr;
        }
}

} // namespace zell::gui
