#include "SDrawDevice.h"

#include "SDrawBitmap.h"
#include "ToolkitDisplay.h"

#include <X11/Xlib.h>

namespace zell::gui::context {

SDrawDevice::SDrawDevice(Drawable target) : drawable(target) {
    Display* connection = ToolkitDisplay();
    if (!connection || !target) return;
    gc = XCreateGC(connection, target, 0, nullptr);
    if (gc) display = connection;
}

SDrawDevice::~SDrawDevice() {
    if (display) {
        XFlush(display);
        if (gc) XFreeGC(display, gc);
    }
    gc = nullptr;
    drawable = 0;
    display = nullptr;
}

SDrawMemoryDevice::SDrawMemoryDevice(SDrawDevice* parent, SDrawBitmap* target) : parent(parent) {
    Select(target);
}

SDrawMemoryDevice::~SDrawMemoryDevice() {
    FreeGC();
}

void SDrawMemoryDevice::Select(SDrawBitmap* target) {
    if (!target) return;
    bitmap = target;
    FreeGC();
    Display* connection = ToolkitDisplay();
    if (!connection || !target->GetPixmap()) return;
    // A copy out of a pixmap never finds its source hidden: without this, every copy would be
    // answered with a NoExpose event for a drawable that is not a window.
    XGCValues values{};
    values.graphics_exposures = False;
    memoryGC = XCreateGC(connection, target->GetPixmap(), GCGraphicsExposures, &values);
    if (memoryGC) memoryDisplay = connection;
}

Drawable SDrawMemoryDevice::GetDrawable() {
    return bitmap ? bitmap->GetPixmap() : 0;
}

void SDrawMemoryDevice::FreeGC() {
    if (memoryDisplay && memoryGC) {
        XFlush(memoryDisplay);
        XFreeGC(memoryDisplay, memoryGC);
    }
    memoryGC = nullptr;
    memoryDisplay = nullptr;
}

} // namespace zell::gui::context
