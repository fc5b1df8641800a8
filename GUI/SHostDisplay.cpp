#include "SHostDisplay.h"

#include "SControlRegistry.h"
#include "ToolkitDisplay.h"

#include <X11/Xlib.h>

namespace zell::gui {

bool AdoptHostDisplay(void* hostDisplay) {
    if constexpr (SControlRegistry::kAddressesInProperties) {
        SetHostDisplay(hostDisplay);
        if (ToolkitDisplay()) return true;
        return OpenToolkitDisplay(nullptr);
    } else {
        if (dps) return true;
        const char* name =
            hostDisplay ? XDisplayString(static_cast<Display*>(hostDisplay)) : nullptr;
        return OpenToolkitDisplay(name);
    }
}

} // namespace zell::gui
