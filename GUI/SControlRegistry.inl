#pragma once

namespace zell::gui {

bool InstallErrorHandler(Display* display);
bool RestoreErrorHandler(Display* display);

template <typename F> bool GuardedXCall(Display* display, F call) {
    InstallErrorHandler(display);
    call();
    return RestoreErrorHandler(display);
}

} // namespace zell::gui
