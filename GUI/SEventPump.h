// The toolkit's own event loop: one thread that takes the events of the toolkit's own connection
// and hands each to the dispatcher. It runs while windows live on a connection that no host
// serves, starts with the first such window and is stopped and joined with the last one, and at
// unload.
#pragma once

#include <X11/Xlib.h>

namespace zell::gui {

class SEventPump {
  public:
    // A host that calls the dispatcher itself serves its own display; every other connection
    // is pumped here.
    static bool Serves(Display* display);
    static void WindowCreated(Display* display);
    static void WindowDestroyed(Display* display);
    // Stops and joins the thread; windows still counted keep no pump.
    static void Shutdown();
    static bool Running();
    // Returns once the pump has dispatched every event that reached its connection before the
    // call; at once on the pump's own thread or when no pump runs.
    static void Sync();
    // True on the pump's own thread.
    static bool OnPumpThread();
};

} // namespace zell::gui
