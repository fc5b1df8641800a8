// A client-side picture over pixel memory the caller supplies, put onto a drawable with
// SDrawing::DrawImage.
#pragma once

#include "Owner.h"

#include <X11/Xlib.h>

namespace zell::gui::context {

class SDrawImage {
  public:
    // data must come from malloc and hold width x height pixels of bitsPerPixel bits with
    // bytesPerLine bytes a row (0 lets X compute it); the image owns it from here on and clears
    // width x height x bitsPerPixel / 8 bytes. A side of 0 counts as 1. Without a display, or
    // when X refuses the format, there is no XImage and nothing is drawn.
    SDrawImage(gsl::owner<void*> data, int width, int height, int bytesPerLine, int bitsPerPixel);
    SDrawImage(const SDrawImage&) = delete;
    SDrawImage& operator=(const SDrawImage&) = delete;
    ~SDrawImage();

    int Width() const { return width; }
    int Height() const { return height; }
    XImage* Get() const { return ximage; }
    void* Data() const {
        void* pixels = data;
        return pixels;
    }

  private:
    int width;
    int height;
    XImage* ximage = nullptr;
    gsl::owner<void*> data; // the XImage's once it exists, which frees it with itself
};

} // namespace zell::gui::context
