#pragma once

#include "SControl.h"
#include "SXConnection.h"

namespace zell::gui {

template <typename F> bool GuardedXCall(Display* display, F call) {
    SControl::xerror = false;
    SXErrorTrap trap(display);
    call();
    return trap.End(&SControl::errorHandler);
}

} // namespace zell::gui
