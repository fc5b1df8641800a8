// A one-bit picture in plain memory, and the two rotations that vertical and rotated labels
// apply to rendered text. Free of X so the pixel mapping can be checked on its own.
#pragma once

#include <cstdint>
#include <vector>

namespace zell::gui::context {

class SMonoImage {
  public:
    SMonoImage() = default;
    SMonoImage(int width, int height);

    int Width() const { return width; }
    int Height() const { return height; }
    // Pixels outside the picture read as clear and ignore writes.
    bool Get(int x, int y) const;
    void Set(int x, int y, bool on);
    int Count() const;

    // A quarter turn counter-clockwise (text reads upwards, glyph tops to the left) into a
    // picture of odd sides: H x W with one side each grown by one when even, so the turn
    // keeps its centre on a pixel. Source (x, y) lands on (y, W' - 1 - x).
    SMonoImage QuarterTurn() const;
    // A counter-clockwise turn by degrees about the centres of source and result: each result
    // pixel takes the nearest source pixel. The result's sides are odd and hold the whole
    // turned picture with a pixel of room around it.
    SMonoImage Rotated(int degrees) const;

  private:
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
};

// Makes an even side odd.
inline int OddSide(int side) {
    return side % 2 ? side : side + 1;
}

} // namespace zell::gui::context
