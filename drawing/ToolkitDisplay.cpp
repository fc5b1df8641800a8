#include "ToolkitDisplay.h"

#include "SXConnection.h"

#include <X11/Xlib.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
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

namespace {

// Xlib reads a display name as [protocol/][host]:display[.screen], and a missing or empty name
// as the DISPLAY variable. The host part of the name that would be used, or null when there is
// no name or it is not of that form: then no server is tried at all.
const char* HostOfDisplayName(const char* name, size_t* hostLength) {
    if (!name || !*name) name = getenv("DISPLAY");
    if (!name) return nullptr;
    if (const char* slash = strrchr(name, '/')) name = slash + 1;
    const char* colon = strrchr(name, ':');
    if (!colon || !isdigit(static_cast<unsigned char>(colon[1]))) return nullptr;
    const char* end = colon + 1;
    while (isdigit(static_cast<unsigned char>(*end)))
        ++end;
    if (*end == '.') {
        if (!isdigit(static_cast<unsigned char>(*++end))) return nullptr;
        while (isdigit(static_cast<unsigned char>(*end)))
            ++end;
    }
    if (*end) return nullptr;
    *hostLength = static_cast<size_t>(colon - name);
    return name;
}

// A server that exists but has more new connections than it accepts at once fails the open
// with EAGAIN, with a reset during the handshake, or, on a local socket, with a closed one that
// leaves errno 0. A malformed name, no server (refused, no such socket) and, for a remote host,
// errno 0 (a name that does not resolve) are final.
bool WorthRetrying(const char* name, int error) {
    size_t hostLength = 0;
    const char* host = HostOfDisplayName(name, &hostLength);
    if (!host) return false;
    if (error == EAGAIN || error == ECONNRESET) return true;
    const bool local = hostLength == 0 || (hostLength == 4 && !strncmp(host, "unix", 4));
    return error == 0 && local;
}

} // namespace

_XDisplay* OpenDisplay(const char* name) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        errno = 0;
        if (Display* d = XOpenDisplay(name)) return d;
        if (!WorthRetrying(name, errno)) return nullptr;
        timespec pause{0, 5'000'000};
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
