#include "SColour.h"

#include "ToolkitDisplay.h"

#include <X11/Xlib.h>
#include <algorithm>

namespace zell::gui {

namespace {

unsigned short Component(int value) {
    return static_cast<unsigned short>(std::clamp(value, 0, 255) << 8);
}

} // namespace

int SCOL(int r, int g, int b) {
    Display* display = ToolkitDisplay();
    if (!display) return 0;
    XColor colour{};
    colour.red = Component(r);
    colour.green = Component(g);
    colour.blue = Component(b);
    colour.flags = DoRed | DoGreen | DoBlue;
    // A failed allocation leaves the pixel at 0, black on the usual visuals.
    XAllocColor(display, DefaultColormap(display, 0), &colour);
    return static_cast<int>(colour.pixel);
}

} // namespace zell::gui
