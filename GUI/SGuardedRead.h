// An X read whose errors are the caller's: each is reported in the toolkit's "XError Message: "
// lines and none reaches a handler of the process. Private to the toolkit.
#pragma once

#include "SControl.h"
#include "SXConnection.h"

namespace zell::gui {

// True when no X error happened.
template <typename F> [[nodiscard]] bool GuardedXCall(Display* display, F call) {
    SControl::xerror = false;
    SXErrorTrap trap(display);
    call();
    return trap.End(&SControl::errorHandler);
}

} // namespace zell::gui
