#include "SXConnection.h"

#include "KeepLoaded.h"
#include "ToolkitDisplay.h"

#include <X11/Xlib.h>

#include <atomic>
#include <dlfcn.h>
#include <mutex>

// Last: it defines macros that clash with ordinary names.
#include <X11/Xlibint.h>

namespace zell::gui {

namespace {

using WireError = Bool (*)(Display*, XErrorEvent*, xError*);

constexpr int kErrorCodes = 256;
constexpr int kWatches = 4;
constexpr int kRanges = 256;
constexpr int kTraps = 16;

// Serials [first, end) of the toolkit's requests on the host's display.
struct Range {
    unsigned long first;
    unsigned long end;
};

struct Watch {
    std::atomic<Display*> display{nullptr};
    bool own = false;
    int holders = 0; // instances holding a host's display
    std::atomic<bool> lost{false};
    WireError previous[kErrorCodes] = {};
    Range ranges[kRanges] = {};
    int oldest = 0;
    int ranged = 0;
    // The scope open now (the display lock makes it the only one; nested ones count in it):
    // its errors may arrive before it ends.
    int scopes = 0;
    unsigned long openFirst = 0;
};

// Trivially destructible or plain, so that every static destructor of the toolkit may still
// route errors through them.
std::mutex routeLock; // never held while calling Xlib
Watch watches[kWatches];
SXErrorTrap* traps[kTraps] = {};
std::atomic<XIOErrorHandler> hostIOHandler{nullptr};
std::atomic<bool> ioClaimed{false};
// The innermost request scope's display on this thread (see ToolkitDisplay).
thread_local Display* scopeDisplay = nullptr;

Watch* Find(Display* d) {
    if (!d) return nullptr;
    for (Watch& w : watches)
        if (w.display.load(std::memory_order_relaxed) == d) return &w;
    return nullptr;
}

bool InRanges(const Watch& w, unsigned long serial) {
    if (w.scopes > 0 && serial >= w.openFirst) return true;
    for (int i = 0; i < w.ranged; ++i) {
        const Range& r = w.ranges[(w.oldest + i) % kRanges];
        if (serial >= r.first && serial < r.end) return true;
    }
    return false;
}

// Drops, oldest first, the ranges whose every request the server has answered. Serials are
// compared as Xlib counts them, modulo the word.
void DropAnswered(Watch& w, unsigned long answered) {
    while (w.ranged > 0) {
        const Range& r = w.ranges[w.oldest];
        if (static_cast<long>(answered - (r.end - 1)) < 0) return;
        w.oldest = (w.oldest + 1) % kRanges;
        --w.ranged;
    }
}

// Runs inside Xlib for every protocol error of a watched display, before the process's handler;
// False keeps the error from it. Xlib holds the display here: no Xlib call.
Bool RouteError(Display* d, XErrorEvent* error, xError* wire) {
    WireError chained = nullptr;
    {
        std::lock_guard<std::mutex> hold(routeLock);
        for (SXErrorTrap* trap : traps)
            if (trap && trap->Covers(d, error->serial)) {
                trap->Keep(*error);
                return False;
            }
        Watch* w = Find(d);
        if (!w) return True;
        if (w->own || InRanges(*w, error->serial)) return False;
        chained = w->previous[wire->errorCode];
    }
    return chained ? chained(d, error, wire) : True;
}

// Xlib asserts (and aborts) when a resource is made on a connection that has gone; a request on
// it goes nowhere, so any id serves.
XID IdOfNothing(Display*) {
    return 1;
}

// The connection is gone. Xlib took the display's user lock for the handlers and keeps it when
// they return, so every other thread would wait for it for ever: it is given back. An event is
// put back so that a reader blocked in XNextEvent gets something to return (an empty queue
// there crashes once the connection is gone); readers see the loss and stop.
void OnLost(Display* d, void*) {
    if (Watch* w = Find(d)) w->lost.store(true);
    reinterpret_cast<_XPrivDisplay>(d)->resource_alloc = IdOfNothing;
    XEvent wake{};
    wake.xclient.type = ClientMessage;
    wake.xclient.display = d;
    wake.xclient.format = 32;
    XPutBackEvent(d, &wake);
    XUnlockDisplay(d);
}

// The process-wide connection-loss handler in front of the host's: the loss of our own
// connection goes no further (the per-display handler above takes it); any other display's loss
// goes to the handler that was there, which may end the process as it would without us.
int RouteIOError(Display* d) {
    bool own = false;
    {
        std::lock_guard<std::mutex> hold(routeLock);
        Watch* w = Find(d);
        own = w && w->own;
    }
    if (own) return 0;
    XIOErrorHandler host = hostIOHandler.load();
    return host ? host(d) : 0;
}

// A host's display watched already counts one holder more.
Watch* Claim(Display* d, bool own) {
    std::lock_guard<std::mutex> hold(routeLock);
    if (Watch* w = Find(d)) {
        if (!own && !w->own) ++w->holders;
        return nullptr;
    }
    for (Watch& w : watches) {
        if (w.display.load() != nullptr) continue;
        w.own = own;
        w.holders = own ? 0 : 1;
        w.lost = false;
        w.oldest = w.ranged = 0;
        for (WireError& p : w.previous)
            p = nullptr;
        w.display.store(d);
        return &w;
    }
    return nullptr;
}

// Routes every error code of d through RouteError. The previous routes are stored only after
// they were replaced, so an error meanwhile takes the default route to the handler; we call
// them and may put them back, so their libraries stay loaded.
void InstallRoutes(Display* d) {
    WireError previous[kErrorCodes] = {};
    WireError kept = nullptr;
    for (int code = 1; code < kErrorCodes; ++code) {
        previous[code] = XESetWireToError(d, code, RouteError);
        if (previous[code] != kept) {
            kept = previous[code];
            system::KeepLoaded(reinterpret_cast<const void*>(kept));
        }
    }
    std::lock_guard<std::mutex> hold(routeLock);
    if (Watch* w = Find(d))
        for (int code = 1; code < kErrorCodes; ++code)
            w->previous[code] = previous[code];
}

// Puts the routes back where RouteError is still the route of an error code; where another
// library replaced it since, its route stays, and ours stays valid for it. With the display
// locked, no error is routed meanwhile.
void PutBackRoutes(Display* d, const WireError* previous) {
    bool overtaken = false;
    XLockDisplay(d);
    for (int code = 1; code < kErrorCodes; ++code) {
        const WireError current = XESetWireToError(d, code, previous[code]);
        if (current == RouteError) continue;
        XESetWireToError(d, code, current);
        overtaken = true;
    }
    XUnlockDisplay(d);
    if (overtaken) system::KeepOwnObjectLoaded();
}

using ExitHandler = void (*)(Display*, void*);
using SetExitHandler = void (*)(Display*, ExitHandler, void*);

// XSetIOErrorExitHandler, which libX11 has since 1.7: looked up, so that an older libX11 loads
// the plugin too. Null where it is missing.
SetExitHandler ExitHandlerSetter() {
    static const SetExitHandler found = [] {
        void* x11 = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
        if (!x11) return SetExitHandler{nullptr};
        auto entry = reinterpret_cast<SetExitHandler>(dlsym(x11, "XSetIOErrorExitHandler"));
        dlclose(x11);
        return entry;
    }();
    return found;
}

// Once per load: the toolkit's connection-loss handler in front of the process's; the handler
// that was there gets every other connection's loss.
void ClaimIOErrors() {
    if (ioClaimed.exchange(true)) return;
    XIOErrorHandler before = XSetIOErrorHandler(RouteIOError);
    system::KeepLoaded(reinterpret_cast<const void*>(before));
    hostIOHandler.store(before);
}

} // namespace

// Before libX11 1.7 Xlib ends the process after any loss handler: ours would change nothing.
void SXConnection::WatchOwn(Display* d) {
    if (!d || !Claim(d, true)) return;
    InstallRoutes(d);
    if (SetExitHandler setExitHandler = ExitHandlerSetter()) {
        setExitHandler(d, OnLost, nullptr);
        ClaimIOErrors();
    }
}

void SXConnection::WatchHost(Display* d) {
    if (!d || !Claim(d, false)) return;
    InstallRoutes(d);
}

void SXConnection::Unwatch(Display* d) {
    WireError previous[kErrorCodes] = {};
    bool own = false;
    {
        std::lock_guard<std::mutex> hold(routeLock);
        Watch* w = Find(d);
        if (!w) return;
        own = w->own;
        if (!own && --w->holders > 0) return;
        for (int code = 1; code < kErrorCodes; ++code)
            previous[code] = w->previous[code];
    }
    // A lost connection is never called again; our own one is about to be closed.
    if (!own && !Lost(d)) PutBackRoutes(d, previous);
    std::lock_guard<std::mutex> hold(routeLock);
    if (Watch* w = Find(d)) w->display.store(nullptr);
}

bool SXConnection::IsHost(Display* d) {
    std::lock_guard<std::mutex> hold(routeLock);
    Watch* w = d ? Find(d) : nullptr;
    return w && !w->own;
}

int SXConnection::HostHolders(Display* d) {
    std::lock_guard<std::mutex> hold(routeLock);
    Watch* w = d ? Find(d) : nullptr;
    return w && !w->own ? w->holders : 0;
}

bool SXConnection::ThreadSafe(Display* d) {
    return d && d->lock_fns != nullptr;
}

bool SXConnection::Lost(Display* d) {
    if (!d) return false;
    for (Watch& w : watches)
        if (w.display.load() == d) return w.lost.load();
    return false;
}

bool SXConnection::NextEvent(Display* d, XEvent* e) {
    if (!d || Lost(d)) return false;
    XNextEvent(d, e);
    return !Lost(d);
}

// Asking which handler is installed means installing one: ours, for a moment.
void SXConnection::KeepIfOvertaken() {
    if (!ioClaimed.load()) return;
    XIOErrorHandler current = XSetIOErrorHandler(RouteIOError);
    if (current == RouteIOError) return;
    XSetIOErrorHandler(current);
    system::KeepOwnObjectLoaded();
}

// Where someone installed a handler after us, theirs stays in front, and ours keeps routing to
// the one we saved for whoever saved ours.
void SXConnection::ReleaseIOErrors() {
    if (!ioClaimed.load()) return;
    XIOErrorHandler current = XSetIOErrorHandler(hostIOHandler.load());
    if (current != RouteIOError) {
        XSetIOErrorHandler(current);
        return;
    }
    ioClaimed = false;
}

Display* SXRequestScope::Innermost() {
    return scopeDisplay;
}

SXRequestScope::SXRequestScope() : SXRequestScope(ToolkitDisplay()) {}

SXRequestScope::SXRequestScope(Display* d)
    : display(SXConnection::IsHost(d) ? d : nullptr), outer(scopeDisplay) {
    if (d) scopeDisplay = d;
    if (!display) return;
    XLockDisplay(display);
    first = XNextRequest(display);
    std::lock_guard<std::mutex> hold(routeLock);
    if (Watch* w = Find(display); w && w->scopes++ == 0) w->openFirst = first;
}

// When the ring is full, the ranges whose requests the server has answered already are dropped
// (the errors of those have been routed); only when none has, the server is asked to answer
// every request first, and the ring starts over. The host reads its events meanwhile, so that
// is rare: a path that opens scopes again and again does not wait on the server.
SXRequestScope::~SXRequestScope() {
    scopeDisplay = outer;
    if (!display) return;
    const unsigned long end = XNextRequest(display);
    const unsigned long answered = XLastKnownRequestProcessed(display);
    bool full = false;
    {
        std::lock_guard<std::mutex> hold(routeLock);
        Watch* w = Find(display);
        if (w && w->ranged == kRanges) DropAnswered(*w, answered);
        full = w && w->ranged == kRanges;
    }
    if (full) XSync(display, False);
    {
        std::lock_guard<std::mutex> hold(routeLock);
        Watch* w = Find(display);
        if (w && full) w->oldest = w->ranged = 0;
        if (w && w->scopes > 0) --w->scopes;
        // A nested scope's requests belong to the one around it.
        if (w && w->scopes == 0 && end > first) {
            Range& last = w->ranges[(w->oldest + w->ranged - 1 + kRanges) % kRanges];
            if (w->ranged > 0 && last.end == first) {
                last.end = end; // nothing of the host's in between
            } else {
                w->ranges[(w->oldest + w->ranged) % kRanges] = Range{first, end};
                ++w->ranged;
            }
        }
    }
    XUnlockDisplay(display);
}

SXErrorTrap::SXErrorTrap(Display* d) : display(d) {
    if (!display) return;
    first = XNextRequest(display);
    std::lock_guard<std::mutex> hold(routeLock);
    for (SXErrorTrap*& slot : traps)
        if (!slot) {
            slot = this;
            return;
        }
}

SXErrorTrap::~SXErrorTrap() {
    End(nullptr);
}

bool SXErrorTrap::Covers(Display* d, unsigned long serial) const {
    return d == display && serial >= first;
}

void SXErrorTrap::Keep(const XErrorEvent& error) {
    if (caught < kKept) kept[caught].xerror = error;
    ++caught;
}

bool SXErrorTrap::End(SXErrorReport report) {
    if (ended || !display) return caught == 0;
    ended = true;
    XSync(display, False);
    {
        std::lock_guard<std::mutex> hold(routeLock);
        for (SXErrorTrap*& slot : traps)
            if (slot == this) slot = nullptr;
    }
    if (report)
        for (int i = 0; i < caught && i < kKept; ++i)
            report(display, &kept[i]);
    return caught == 0;
}

} // namespace zell::gui
