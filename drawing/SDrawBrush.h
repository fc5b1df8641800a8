// A brush: a fill colour, or a patterned fill with a second colour.
#pragma once

#include <memory>

namespace zell::gui::context {

class SDrawBitmap;

class SDrawBrush {
  public:
    // Style -1 is solid. The brush owns the bitmap.
    SDrawBrush(int colour, int style, SDrawBitmap* bitmap);
    SDrawBrush(const SDrawBrush&) = delete;
    SDrawBrush& operator=(const SDrawBrush&) = delete;
    ~SDrawBrush();

    // The colour a fill with this brush takes.
    int EffectiveColour() const { return style == kSolid ? colour : secondColour; }

    static constexpr int kSolid = -1;

    std::unique_ptr<SDrawBitmap> bitmap;
    int style;
    int colour;
    int secondColour = 0;
};

} // namespace zell::gui::context
