#include "SDrawBitmap.h"

#include "SXpmPixmap.h"
#include "ToolkitDisplay.h"

#include <X11/Xlib.h>

namespace zell::gui::context {

namespace {

// The largest side a pixmap may have in the X protocol.
constexpr int kMaxSide = 32767;

} // namespace

SDrawBitmap::SDrawBitmap(const char* const* xpm, int width, int height, bool flag, int scale) {
    Create(xpm, width, height, flag, scale);
}

SDrawBitmap::~SDrawBitmap() {
    if (pixmap && display) XFreePixmap(display, pixmap);
}

void SDrawBitmap::Create(const char* const* xpm, int w, int h, bool f, int s) {
    if (pixmap) return;
    scale = s > 1 ? s : 1;
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
    const SXpmPixmap made = MakeXpmPixmap(connection, xpm, scale);
    if (!made.pixmap) return false;
    pixmap = made.pixmap;
    display = connection;
    width = made.width / scale;
    height = made.height / scale;
    return true;
}

void SDrawBitmap::CreateBlank(Display* connection) {
    if (width < 1 || height < 1 || width > kMaxSide / scale || height > kMaxSide / scale) return;
    int screen = DefaultScreen(connection);
    pixmap = XCreatePixmap(connection, RootWindow(connection, screen),
                           static_cast<unsigned>(width * scale),
                           static_cast<unsigned>(height * scale), DefaultDepth(connection, screen));
    display = connection;
}

} // namespace zell::gui::context
