#include "SHostDisplay.h"

#include "SAtoms.h"
#include "SControlRegistry.h"
#include "SGlobals.h"
#include "SInfo.h"
#include "SStaticData.h"
#include "SXConnection.h"
#include "ToolkitDisplay.h"

#include <X11/Xlib.h>

#include <mutex>

namespace zell::gui {

namespace {

// Adoptions and releases of host displays, one at a time: the last holder's release must not
// cross another instance's adoption of the same display.
std::mutex holdersLock;

} // namespace

bool AdoptHostDisplay(SGlobals* globals, void* hostDisplay) {
    auto* host = static_cast<Display*>(hostDisplay);
    if constexpr (SControlRegistry::kAddressesInProperties) {
        std::lock_guard<std::mutex> hold(holdersLock);
        if (SXConnection::ThreadSafe(host)) SetHostDisplay(globals, host);
        if (globals->dp.load()) return true;
    }
    return OpenToolkitDisplay(host ? XDisplayString(host) : nullptr);
}

void InitThreads() {
    XInitThreads();
}

void ResizeHostWindow(unsigned long window, int width, int height) {
    Display* display = ToolkitDisplay();
    if (display && window && width > 0 && height > 0)
        XResizeWindow(display, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
}

void ReleaseHostDisplay(SGlobals* globals) {
    SXConnection::KeepIfOvertaken();
    std::lock_guard<std::mutex> hold(holdersLock);
    Display* host = globals ? globals->dp.load() : nullptr;
    if (!host) return;
    if (HostDisplayHolders(host) == 1) {
        statdata.ReleaseDisplay(host);
        ReleaseToolkitDialogs(host);
        SAtoms::Forget(host);
    }
    TakeHostDisplay(globals);
}

} // namespace zell::gui
