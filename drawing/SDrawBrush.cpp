#include "SDrawBrush.h"

#include "SDrawBitmap.h"

namespace zell::gui::context {

SDrawBrush::~SDrawBrush() {
    delete bitmap;
}

} // namespace zell::gui::context
