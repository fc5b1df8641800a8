// How the toolkit keeps X errors, and the loss of the X server, away from the host. Xlib's error
// handlers are process-wide and a host's may end the process, so the toolkit never relies on
// them for its own requests:
//
// - Our own connection: every protocol error on it is ours and is absorbed before any handler
//   of the process sees it. Losing the connection (the server dies, the session ends) marks it
//   lost and wakes its readers; the process goes on, and every later call on it fails at once.
//   That needs libX11 1.7 (found at run time): with an older one Xlib ends the process on any
//   connection's loss, as it does for every X client there.
// - A host's display (adopted on i386): the errors of requests the toolkit makes inside an
//   SXRequestScope or an SXErrorTrap are absorbed; every other error goes where it went before.
//   Losing that connection is the host's business.
//
// The hooks and the process-wide handler are put back at the end only where ours are still the
// ones installed. Where another library has installed its own since, it may have saved ours,
// so the shared object stays loaded (see KeepLoaded.h); and whatever foreign hook or handler we
// save ourselves keeps its library loaded, since we may call it or put it back later.
//
// Traps report the errors of one guarded call to their caller. Everything here is safe from
// any thread.
#pragma once

#include "SXRequestScope.h"

#include <X11/Xlib.h>

namespace zell::gui {

// Called for each error a trap caught, on the trap's own thread, after the guarded call; the
// error event is error->xerror.
using SXErrorReport = int (*)(Display* display, XEvent* error);

class SXConnection {
  public:
    static void WatchOwn(Display* display);
    // A host's display, watched once however many instances hold it: each WatchHost counts
    // one holder more, each Unwatch one less.
    static void WatchHost(Display* display);
    // Gives a watched display back; a host's display once its last holder gives it: the host's
    // error routing restored. Afterwards nothing of the toolkit refers to it.
    static void Unwatch(Display* display);
    static bool IsHost(Display* display);
    static int HostHolders(Display* display);
    static bool Lost(Display* display);
    // Whether the display was opened with Xlib's thread support. One opened before it was
    // enabled (a host's, with libX11 older than 1.8) takes no lock: only the thread that owns
    // it may make requests on it.
    static bool ThreadSafe(Display* display);

    // The next event, or false once the connection is lost (Xlib's own read crashes then).
    [[nodiscard]] static bool NextEvent(Display* display, XEvent* event);

    // When an instance goes: where another library has put its connection-loss handler in
    // front of ours since, the shared object stays loaded (that library may have saved ours).
    static void KeepIfOvertaken();
    // At unload: the process's connection-loss handler as it was before the toolkit came,
    // where ours is still the one installed.
    static void ReleaseIOErrors();
};

// Catches the errors of the requests made from construction to End on a watched display.
class SXErrorTrap {
  public:
    static constexpr int kKept = 4;

    explicit SXErrorTrap(Display* display);
    ~SXErrorTrap();
    SXErrorTrap(const SXErrorTrap&) = delete;
    SXErrorTrap& operator=(const SXErrorTrap&) = delete;

    // Waits until the server has answered every request made since construction, hands each
    // error caught to report (when given) and returns true when there was none.
    bool End(SXErrorReport report);

    // Called by the error routing, under its lock.
    bool Covers(Display* d, unsigned long serial) const;
    void Keep(const XErrorEvent& error);

  private:
    Display* display;
    unsigned long first = 0;
    int caught = 0;
    XEvent kept[kKept] = {};
    bool ended = false;
};

} // namespace zell::gui
