// Colours. Drawing works with X pixel values held in an int; SColour is a plain RGBA value that
// no drawing call takes.
#pragma once

#include "SColourCache.h"

namespace zell::gui {

// The pixel of the colour in the default colormap of screen 0 of the toolkit display (found as
// SColourCache says). Each component is taken as 0..255 (clamped) and scaled by 256, so 255
// becomes 0xFF00. Without a display, or where the colormap has no room, the answer is 0.
int SCOL(int r, int g, int b);
// The colour SCOL asks for, for asking for many at once with FindColours.
SColourCell ColourCell(int r, int g, int b);

struct SColour {
    SColour() = default;
    SColour(float r, float g, float b, float a) : red(r), green(g), blue(b), alpha(a) {}
    SColour(int r, int g, int b, int a)
        : red(static_cast<float>(r)), green(static_cast<float>(g)), blue(static_cast<float>(b)),
          alpha(static_cast<float>(a)) {}
    SColour(unsigned char r, unsigned char g, unsigned char b, unsigned char a)
        : SColour(int{r}, int{g}, int{b}, int{a}) {}

    float red = 255.0f;
    float green = 255.0f;
    float blue = 255.0f;
    float alpha = 255.0f;
};

} // namespace zell::gui
