#include "SColour.h"

#include "SColourCache.h"
#include "ToolkitDisplay.h"

#include <algorithm>

namespace zell::gui {

namespace {

unsigned short Component(int value) {
    return static_cast<unsigned short>(std::clamp(value, 0, 255) << 8);
}

} // namespace

SColourCell ColourCell(int r, int g, int b) {
    SColourCell cell;
    cell.red = Component(r);
    cell.green = Component(g);
    cell.blue = Component(b);
    return cell;
}

int SCOL(int r, int g, int b) {
    SColourCell cell = ColourCell(r, g, b);
    // A failed allocation leaves the pixel at 0, black on the usual visuals.
    FindColours(ToolkitDisplay(), &cell, 1);
    return static_cast<int>(cell.pixel);
}

} // namespace zell::gui
