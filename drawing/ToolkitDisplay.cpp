#include "ToolkitDisplay.h"

#include "SXConnection.h"

#include <X11/Xlib.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace zell::gui {

namespace {

constexpr int kMaxHooks = 4;
void (*unloadHooks[kMaxHooks])() = {};

} // namespace

std::atomic<_XDisplay*> dp{nullptr};
_XDisplay* dps = nullptr;

_XDisplay* ToolkitDisplay() {
    _XDisplay* host = dp.load(std::memory_order_acquire);
    if (host) return host;
    return dps && !SXConnection::Lost(dps) ? dps : nullptr;
}

bool ToolkitConnectionLost() {
    return dps && SXConnection::Lost(dps);
}

bool SetHostDisplay(void* display) {
    if (!display) return false;
    _XDisplay* expected = nullptr;
    if (!dp.compare_exchange_strong(expected, static_cast<_XDisplay*>(display),
                                    std::memory_order_acq_rel))
        return false;
    SXConnection::WatchHost(static_cast<_XDisplay*>(display));
    return true;
}

_XDisplay* TakeHostDisplay() {
    _XDisplay* host = dp.exchange(nullptr, std::memory_order_acq_rel);
    if (host) SXConnection::Unwatch(host);
    return host;
}

_XDisplay* OpenDisplay(const char* name) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        errno = 0;
        if (Display* d = XOpenDisplay(name)) return d;
        // A full queue shows as EAGAIN, as a reset during the handshake, or as no error at all;
        // anything else (no server, refused) is final.
        if (errno != EAGAIN && errno != ECONNRESET && errno != 0) return nullptr;
        timespec pause{0, 5 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
    return nullptr;
}

bool OpenToolkitDisplay(const char* name) {
    if (dps) return !SXConnection::Lost(dps);
    const char* fallback = getenv("DISPLAY");
    dps = OpenDisplay(name && *name ? name : fallback);
    SXConnection::WatchOwn(dps);
    return dps != nullptr;
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
