#include "SControlRegistry.h"

#include "SAtoms.h"
#include "SControl.h"

#include <X11/Xlib.h>

#include <X11/Xatom.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <mutex>

namespace zell::gui {

namespace {

XContext ControlContext() {
    static XContext context = XUniqueContext();
    return context;
}

} // namespace

void SControlRegistry::Register(Display* display, Window window, SControl* control) {
    if (!display || !window) return;
    if constexpr (kAddressesInProperties) {
        const SAtoms& atoms = SAtoms::Of(display);
        auto address = static_cast<unsigned long>(reinterpret_cast<uintptr_t>(control));
        XChangeProperty(display, window, atoms.zellWnd, atoms.zellWnd, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&address), 1);
        auto entry = static_cast<unsigned long>(reinterpret_cast<uintptr_t>(&SControl::eventProc));
        XChangeProperty(display, window, atoms.eventProc, atoms.eventProc, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&entry), 1);
    }
    // Kept in the process as well: a destroyed window's properties are gone with it, and its
    // control must still hear that it was destroyed.
    XSaveContext(display, window, ControlContext(), reinterpret_cast<XPointer>(control));
}

void SControlRegistry::Unregister(Display* display, Window window) {
    if (!display || !window) return;
    if constexpr (kAddressesInProperties)
        XDeleteProperty(display, window, SAtoms::Of(display).zellWnd);
    XDeleteContext(display, window, ControlContext());
}

void SControlRegistry::Forget(Display* display, Window window) {
    if (display && window) XDeleteContext(display, window, ControlContext());
}

// The process's own record answers as the window's property would: it holds exactly the
// windows that carry one, with the address the property holds, and it still knows a window that
// was just destroyed. Asking the server would cost a round trip on every event.
SControl* SControlRegistry::Find(Display* display, Window window) {
    XPointer found = nullptr;
    if (!display || !window || XFindContext(display, window, ControlContext(), &found) != 0)
        return nullptr;
    return reinterpret_cast<SControl*>(found);
}

} // namespace zell::gui
