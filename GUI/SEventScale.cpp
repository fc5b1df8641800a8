#include "SEventScale.h"

#include "Geometry.h"

#include <X11/Xlib.h>

namespace zell::gui {

namespace {

void Divide(int& x, int& y, int scale) {
    x = math::geom::FloorDiv(x, scale);
    y = math::geom::FloorDiv(y, scale);
}

} // namespace

void ScaleEventDown(XEvent* e, int scale) {
    if (!e || scale <= 1) return;
    switch (e->type) {
    case KeyPress:
    case KeyRelease:
        return Divide(e->xkey.x, e->xkey.y, scale);
    case ButtonPress:
    case ButtonRelease:
        return Divide(e->xbutton.x, e->xbutton.y, scale);
    case MotionNotify:
        return Divide(e->xmotion.x, e->xmotion.y, scale);
    case EnterNotify:
    case LeaveNotify:
        return Divide(e->xcrossing.x, e->xcrossing.y, scale);
    default:
        return;
    }
}

} // namespace zell::gui
