#include "SDrawImage.h"

#include "ToolkitDisplay.h"

#include <X11/Xlib.h>

#include <X11/Xutil.h>
#include <cstdlib>
#include <cstring>

namespace zell::gui::context {

SDrawImage::SDrawImage(gsl::owner<void*> data, int w, int h, int bytesPerLine, int bitsPerPixel)
    : width(w == 0 ? 1 : w), height(h == 0 ? 1 : h), data(data) {
    if (!data || width < 0 || height < 0 || bitsPerPixel <= 0 || bytesPerLine < 0) return;
    memset(data, 0, static_cast<size_t>(width) * height * (bitsPerPixel / 8));
    Display* display = ToolkitDisplay();
    if (!display) return;
    int screen = DefaultScreen(display);
    ximage = XCreateImage(display, DefaultVisual(display, screen), DefaultDepth(display, screen),
                          ZPixmap, 0, static_cast<char*>(data), width, height, bitsPerPixel,
                          bytesPerLine);
}

SDrawImage::~SDrawImage() {
    // The XImage releases the pixel memory with it.
    if (ximage)
        XDestroyImage(ximage);
    else
        free(data);
}

} // namespace zell::gui::context
