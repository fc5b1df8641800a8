// The toolkit's atoms, interned once per display in one round trip and compared as atoms. The
// names and their meaning are those of the toolkit's properties and messages. Private to the
// toolkit.
#pragma once

#include <X11/Xlib.h>

namespace zell::gui {

struct SAtoms {
    // Interned whether or not they exist.
    Atom zellWnd;
    Atom eventProc;
    Atom paintRegion;
    Atom paintArea;
    Atom paintOutlines;
    Atom menuEntered;
    Atom menuLeft;
    Atom protocols;
    // The event pump's messages to itself.
    Atom pumpStop;
    Atom pumpSync;
    // None where the server does not know them: a window manager's conventions.
    Atom deleteWindow;
    Atom changeState;
    Atom motifHints;
    Atom winHints;
    Atom kwmDecoration;
    Atom windowType;
    Atom typeOverride;
    Atom typeNormal;

    // The atoms of a display, interned at its first use; all None without a display.
    static const SAtoms& Of(Display* display);
    // Forgets a display's atoms before it is given back or closed.
    static void Forget(Display* display);
};

} // namespace zell::gui
