// XPM pictures made into pixmaps, their colours found through the colour cache (SColourCache.h):
// libXpm lays a picture out twice, once to learn which colours it asks for and in what order,
// and once to take their pixels. Where the colormap has no room for a colour, the colour of the
// colormap nearest it within a closeness of 40000 is taken, as libXpm takes it.
#pragma once

#include "XHandles.h"

namespace zell::gui::context {

struct SXpmPixmap {
    XId pixmap = 0; // 0 when the data could not be converted
    int width = 0;
    int height = 0;
};

// At a scale above 1 each pixel of the picture becomes a square of the scale's side, so that the
// picture stays as sharp as it was drawn.
[[nodiscard]] SXpmPixmap MakeXpmPixmap(_XDisplay* display, const char* const* xpm, int scale);

} // namespace zell::gui::context
