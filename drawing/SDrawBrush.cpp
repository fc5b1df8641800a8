#include "SDrawBrush.h"

#include "SDrawBitmap.h"

namespace zell::gui::context {

SDrawBrush::SDrawBrush(int colour, int style, SDrawBitmap* bitmap)
    : bitmap(bitmap), style(style), colour(colour) {}

SDrawBrush::~SDrawBrush() = default;

} // namespace zell::gui::context
