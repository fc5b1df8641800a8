// Xlib's display lock (XLockDisplay) for a scope; nothing for a null display. Taken before any
// lock of the toolkit's own that is also taken while painting: a painting thread holds the
// display while it looks its resources up, and the lookups that ask the server need it too.
#pragma once

#include <X11/Xlib.h>

namespace zell::gui {

class SDisplayLock {
  public:
    explicit SDisplayLock(Display* d) : display(d) {
        if (display) XLockDisplay(display);
    }
    ~SDisplayLock() {
        if (display) XUnlockDisplay(display);
    }
    SDisplayLock(const SDisplayLock&) = delete;
    SDisplayLock& operator=(const SDisplayLock&) = delete;

  private:
    Display* display;
};

} // namespace zell::gui
