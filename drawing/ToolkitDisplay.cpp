#include "ToolkitDisplay.h"

namespace zell::gui {

std::atomic<_XDisplay*> dp{nullptr};
_XDisplay* dps = nullptr;

_XDisplay* ToolkitDisplay() {
    _XDisplay* host = dp.load(std::memory_order_acquire);
    return host ? host : dps;
}

bool SetHostDisplay(void* display) {
    if (!display) return false;
    _XDisplay* expected = nullptr;
    return dp.compare_exchange_strong(expected, static_cast<_XDisplay*>(display),
                                      std::memory_order_acq_rel);
}

} // namespace zell::gui
