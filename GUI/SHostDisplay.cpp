#include "SHostDisplay.h"

#include "SAtoms.h"
#include "SControlRegistry.h"
#include "SInfo.h"
#include "SStaticData.h"
#include "SXConnection.h"
#include "ToolkitDisplay.h"

#include <X11/Xlib.h>

namespace zell::gui {

bool AdoptHostDisplay(void* hostDisplay) {
    if constexpr (SControlRegistry::kAddressesInProperties) {
        SetHostDisplay(hostDisplay);
        if (ToolkitDisplay() && !ToolkitConnectionLost()) return true;
        if (!OpenToolkitDisplay(nullptr)) return false;
    } else {
        const char* name =
            hostDisplay ? XDisplayString(static_cast<Display*>(hostDisplay)) : nullptr;
        if (!OpenToolkitDisplay(name)) return false;
    }
    // A host may have put a handler of its own in front since the load.
    SXConnection::ClaimIOErrors();
    return true;
}

void InitThreads() {
    XInitThreads();
}

void ResizeHostWindow(unsigned long window, int width, int height) {
    Display* display = ToolkitDisplay();
    if (display && window && width > 0 && height > 0)
        XResizeWindow(display, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
}

void ReleaseHostDisplay() {
    Display* host = dp.load();
    if (!host) return;
    statdata.ReleaseDisplay(host);
    ReleaseToolkitDialogs(host);
    SAtoms::Forget(host);
    TakeHostDisplay();
}

} // namespace zell::gui
