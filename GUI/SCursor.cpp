#include "SCursor.h"

#include "SColourCache.h"
#include "ToolkitDisplay.h"

#include <X11/Xlib.h>

#include <vector>

// Last: it defines macros that clash with ordinary names.
#include <X11/Xlibint.h>

namespace zell::gui {

namespace {

constexpr int kSize = 24;

// An arrow pointing to the top-left corner, 23 rows high: its outline, and the arrow filled.
const unsigned char kOutline[kSize * 3] = {
    0x01, 0x00, 0x00, 0x03, 0x00, 0x00, 0x05, 0x00, 0x00, 0x09, 0x00, 0x00, 0x11, 0x00, 0x00,
    0x21, 0x00, 0x00, 0x41, 0x00, 0x00, 0x81, 0x00, 0x00, 0x01, 0x01, 0x00, 0x01, 0x02, 0x00,
    0x01, 0x04, 0x00, 0x01, 0x08, 0x00, 0x01, 0x10, 0x00, 0x01, 0x20, 0x00, 0x41, 0x78, 0x00,
    0xa1, 0x04, 0x00, 0x91, 0x04, 0x00, 0x09, 0x09, 0x00, 0x05, 0x09, 0x00, 0x03, 0x12, 0x00,
    0x01, 0x12, 0x00, 0x00, 0x24, 0x00, 0x00, 0x3c, 0x00, 0x00, 0x00, 0x00,
};
const unsigned char kFilled[kSize * 3] = {
    0x01, 0x00, 0x00, 0x03, 0x00, 0x00, 0x07, 0x00, 0x00, 0x0f, 0x00, 0x00, 0x1f, 0x00, 0x00,
    0x3f, 0x00, 0x00, 0x7f, 0x00, 0x00, 0xff, 0x00, 0x00, 0xff, 0x01, 0x00, 0xff, 0x03, 0x00,
    0xff, 0x07, 0x00, 0xff, 0x0f, 0x00, 0xff, 0x1f, 0x00, 0xff, 0x3f, 0x00, 0xff, 0x7f, 0x00,
    0xbf, 0x07, 0x00, 0x9f, 0x07, 0x00, 0x0f, 0x0f, 0x00, 0x07, 0x0f, 0x00, 0x03, 0x1e, 0x00,
    0x01, 0x1e, 0x00, 0x00, 0x3c, 0x00, 0x00, 0x3c, 0x00, 0x00, 0x00, 0x00,
};

// A bitmap of side kSize (rows of bytes, least significant bit first) with each pixel made a
// square of side s.
std::vector<unsigned char> Enlarged(const unsigned char* bits, int s) {
    const size_t scale = static_cast<size_t>(s), side = kSize * scale, stride = (side + 7) / 8;
    const size_t rowBits = static_cast<size_t>(kSize + 7) / 8 * 8;
    std::vector<unsigned char> out(stride * side, 0);
    for (size_t y = 0; y < side; ++y)
        for (size_t x = 0; x < side; ++x) {
            const size_t from = (y / scale) * rowBits + x / scale;
            if (bits[from / 8] & (1u << (from % 8)))
                out[y * stride + x / 8] |= static_cast<unsigned char>(1u << (x % 8));
        }
    return out;
}

XColor AsXColor(const SColourCell& cell) {
    XColor c{};
    c.pixel = cell.pixel;
    c.red = cell.red;
    c.green = cell.green;
    c.blue = cell.blue;
    return c;
}

// The request XCreatePixmapCursor makes, without the look for a themed cursor of that picture
// that it makes first, which asks the server about its rendering extension: the arrow is the
// toolkit's own picture.
Cursor PixmapCursor(Display* dpy, Pixmap source, Pixmap mask, const XColor& fore,
                    const XColor& back) {
    LockDisplay(dpy);
    xCreateCursorReq* req;
    GetReq(CreateCursor, req);
    const Cursor made = XAllocID(dpy);
    req->cid = static_cast<CARD32>(made);
    req->source = static_cast<CARD32>(source);
    req->mask = static_cast<CARD32>(mask);
    req->foreRed = fore.red;
    req->foreGreen = fore.green;
    req->foreBlue = fore.blue;
    req->backRed = back.red;
    req->backGreen = back.green;
    req->backBlue = back.blue;
    req->x = 0;
    req->y = 0;
    UnlockDisplay(dpy);
    SyncHandle();
    return made;
}

} // namespace

// The window may be gone already (a host destroys its own), and undefining a cursor on a
// destroyed window is an X error that ends the host; freeing the cursor alone is always safe.
SCursor::~SCursor() {
    if (display && cursor) {
        XFreeCursor(display, cursor);
        XFlush(display);
    }
}

void SCursor::CreateDefault(int scale) {
    Display* d = ToolkitDisplay();
    if (!d || cursor) return;
    display = d;
    int screen = DefaultScreen(d);
    SColourCell orange;
    orange.red = 0xFF00;
    orange.green = 0x7F00;
    FindColours(d, &orange, 1);
    SColourCell black;
    black.pixel = BlackPixel(d, screen);
    QueryColours(d, &black, 1);
    Window root = RootWindow(d, screen);
    const int s = scale > 1 ? scale : 1;
    const auto side = static_cast<unsigned>(kSize * s);
    std::vector<unsigned char> outline = Enlarged(kOutline, s), filled = Enlarged(kFilled, s);
    Pixmap image = XCreatePixmapFromBitmapData(d, root, reinterpret_cast<char*>(outline.data()),
                                               side, side, 1, 0, 1);
    Pixmap mask = XCreatePixmapFromBitmapData(d, root, reinterpret_cast<char*>(filled.data()), side,
                                              side, 1, 0, 1);
    cursor = PixmapCursor(d, image, mask, AsXColor(black), AsXColor(orange));
    XFreePixmap(d, image);
    XFreePixmap(d, mask);
}

void SCursor::Set() {
    if (display && window && cursor) XDefineCursor(display, window, cursor);
}

void SCursor::Free() {
    if (!display || !window) return;
    if (cursor) XUndefineCursor(display, window);
    XFlush(display);
}

} // namespace zell::gui
