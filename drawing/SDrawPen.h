// A pen: the line attributes and colour a drawing context sets on its GC.
#pragma once

namespace zell::gui::context {

class SDrawPen {
  public:
    SDrawPen(int colour, int width, bool dashed) : width(width), dashed(dashed), colour(colour) {}
    SDrawPen(const SDrawPen&) = delete;
    SDrawPen& operator=(const SDrawPen&) = delete;

    int width;
    bool dashed;
    int colour;
};

} // namespace zell::gui::context
