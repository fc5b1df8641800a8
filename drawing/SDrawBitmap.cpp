#include "SDrawBitmap.h"

#include "SXpmPixmap.h"
#include "ToolkitDisplay.h"

#include <X11/Xlib.h>

namespace zell::gui::context {

namespace {

// The largest side a pixmap may have in the X protocol.
constexpr int kMaxSide = 32767;

} // namespace

SDrawBitmap::SDrawBitmap(const char* const* xpm, int width, int height, bool flag) {
    Create(xpm, width, height, flag);
}

SDrawBitmap::~SDrawBitmap() {
    if (pixmap && display) XFreePixmap(display, pixmap);
}

void SDrawBitmap::Create(const char* const* xpm, int w, int h, bool f) {
    if (pixmap) return;
    flag = f;
    width = w;
    height = h;
    Display* connection = ToolkitDisplay();
    if (xpm) {
        if (!connection || !CreateFromXpm(connection, xpm)) width = height = 1;
    } else if (connection) {
        CreateBlank(connection);
    }
}

bool SDrawBitmap::CreateFromXpm(Display* connection, const char* const* xpm) {
    const SXpmPixmap made = MakeXpmPixmap(connection, xpm);
    if (!made.pixmap) return false;
    pixmap = made.pixmap;
    display = connection;
    width = made.width;
    height = made.height;
    return true;
}

void SDrawBitmap::CreateBlank(Display* connection) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return;
    int screen = DefaultScreen(connection);
    pixmap = XCreatePixmap(connection, RootWindow(connection, screen), width, height,
                           DefaultDepth(connection, screen));
    display = connection;
}

} // namespace zell::gui::context
