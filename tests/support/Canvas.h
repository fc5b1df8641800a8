// A drawing context over an off-screen pixmap on the display the load-time set-up opened, and
// the pixels read back from the server.
#pragma once

// GoogleTest first: Xlib defines macros such as None that clash with its names.
#include <gtest/gtest.h>

#include "SColour.h"
#include "SDrawBitmap.h"
#include "SDrawDevice.h"
#include "SDrawing.h"
#include "SStaticData.h"
#include "ToolkitDisplay.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ferrovane::test {

using zell::gui::context::SDrawBitmap;
using zell::gui::context::SDrawing;
using zell::gui::context::SDrawMemoryDevice;

struct RGB {
    int r, g, b;
    bool operator==(const RGB&) const = default;
};

// The red, green and blue of a pixel of the default visual.
RGB Decode(unsigned long pixel);

class Canvas {
  public:
    Canvas(int width, int height);

    void Clear(int colour);
    // Sets colour as the GC foreground through a shared 1-pixel pen.
    void Ink(int colour);
    // Every pixel, row by row.
    std::vector<unsigned long> Pixels() const;
    // 1 where the pixel differs from the background colour.
    std::vector<int> Marks(int background) const;
    unsigned long At(int x, int y) const { return Pixels()[static_cast<size_t>(y) * width + x]; }
    bool WritePng(const std::string& path) const;

    int width, height;
    SDrawBitmap bitmap;
    SDrawMemoryDevice device;
    SDrawing drawing;
};

// The bounding box of the marks: x1, y1, x2, y2 exclusive; all 0 when there is none.
zell::math::geom::Rectangle<int, 2> Bounds(const std::vector<int>& marks, int width);
// The marks inside the box, as a box-sized grid.
std::vector<int> Crop(const std::vector<int>& marks, int width,
                      const zell::math::geom::Rectangle<int, 2>& box);

// Fails the test when the load-time set-up found no X server.
#define REQUIRE_DISPLAY()                                                                          \
    ASSERT_NE(zell::gui::dps, nullptr) << "needs an X server: run under xvfb-run"

} // namespace ferrovane::test
