// One plugin instance's interface work, from whichever thread does it (the host's, the idle
// thread, the event pump), on the instance's display: the host's display is taken first (see
// SXRequestScope), then the instance's interface lock, always in that order. Free of X headers.
#pragma once

#include "SGlobals.h"
#include "SXRequestScope.h"
#include "ToolkitDisplay.h"

#include <mutex>

namespace zell::gui {

class SUiScope {
  public:
    explicit SUiScope(SGlobals* globals)
        : display(InstanceDisplay(globals)), hold(globals->uiLock) {}
    SUiScope(const SUiScope&) = delete;
    SUiScope& operator=(const SUiScope&) = delete;

  private:
    SXRequestScope display; // first: constructed before the lock is taken
    std::lock_guard<std::recursive_mutex> hold;
};

} // namespace zell::gui
