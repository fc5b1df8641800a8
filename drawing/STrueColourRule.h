// How an X server answers a colour allocation in the default colormap of a TrueColor visual,
// worked out without asking it. The server first keeps the visual's
// significant bits of each component, then takes for each the colormap entry nearest to that
// (the first of two equally near); the entries are evenly spaced over the component's range,
// as the server set them up. The pixel is the three entries' indices in their masks (with the
// alpha bits set on a 32-bit visual), and the colour it holds is those entries' values.
#pragma once

#include "SColourCache.h"

namespace zell::gui {

struct STrueColourVisual {
    unsigned long redMask = 0, greenMask = 0, blueMask = 0;
    int bitsPerRgb = 0;
    int depth = 0;

    // False for masks or a bit count no such visual has: the server must then be asked.
    bool Usable() const;
    // The pixel of cell's colour, and the colour the colormap holds for it.
    void WorkOut(SColourCell& cell) const;
    // The colour the colormap holds for cell's pixel.
    void Held(SColourCell& cell) const;
};

} // namespace zell::gui
