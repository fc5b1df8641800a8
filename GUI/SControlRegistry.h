// Finding the control of an X window. On i386 the window carries the control's address in its
// _ZELLWND property and the dispatcher's in _XEventProc, which hosts read and call. A 64-bit
// address does not survive a 32-bit property, so there nothing but ids goes through the server.
// Either way the toolkit finds its controls in a process-local table.
#pragma once

#include <X11/Xlib.h>

namespace zell::gui {

class SControl;

class SControlRegistry {
  public:
    static constexpr bool kAddressesInProperties = sizeof(void*) == 4;

    // Publishes or records the control of its window.
    static void Register(Display* display, Window window, SControl* control);
    static void Unregister(Display* display, Window window);
    // Drops the record of a window that is gone, without a request on it.
    static void Forget(Display* display, Window window);
    // The control of a window, or null for a foreign window; a window that has just been
    // destroyed is still found (for its DestroyNotify).
    static SControl* Find(Display* display, Window window);
};

} // namespace zell::gui
