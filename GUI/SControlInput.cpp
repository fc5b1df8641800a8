// Pointer position, capture, modifier keys, and the guarded property reads of the dispatcher.
#include "SControl.h"

#include "SGuardedRead.h"
#include "ToolkitDisplay.h"

#include <X11/Xlib.h>

#include <X11/Xutil.h>

#include <cstdio>

namespace zell::gui {

using namespace context;

void SControl::MousePosition(int x, int y) {
    if (!input) return;
    if (x == input->lastX && y == input->lastY) {
        input->deltaX = input->deltaY = 0;
        input->mouse[kMouseMoving] = false;
        return;
    }
    input->deltaX = x - input->lastX;
    input->deltaY = y - input->lastY;
    input->lastX = x;
    input->lastY = y;
    input->mouse[kMouseMoving] = true;
    MousePosChanged(input->deltaX, input->deltaY);
}

bool* SControl::MouseState() {
    return input ? input->mouse : nullptr;
}

bool SControl::MouseTracking() {
    return input && input->mouse[kMouseTracking];
}

void SControl::Modifiers(int xstate) {
    if (input) input->SetModifiers(xstate);
}

void SControl::UpdateModifiers(int, bool) {
    if (input) input->SetModifiers(input->keyState);
}

int SControl::KeyStateGet() const {
    return input ? input->keyState : 0;
}

void SControl::KeyStateSet(int state) {
    if (!input) return;
    input->keyState = state;
    input->SetModifiers(state);
}

// A grab the server refuses (the window is not viewable, another client holds one) leaves no
// capture behind.
void SControl::MouseSetCapture() {
    if (!input || !display || !window) return;
    capture = this;
    input->mouse[kMouseCaptured] = true;
    int result = XGrabPointer(display, window, False, 0x207C, GrabModeAsync, GrabModeAsync, None,
                              None, CurrentTime);
    if (result != GrabSuccess) {
        capture = nullptr;
        input->mouse[kMouseCaptured] = false;
    }
}

void SControl::MouseReleaseCapture() {
    if (input) input->mouse[kMouseCaptured] = false;
    if (capture == this) capture = nullptr;
    if (display) {
        XUngrabPointer(display, CurrentTime);
        XFlush(display);
    }
}

void SControl::MousePointer(int x, int y) {
    if (display && window)
        XWarpPointer(display, None, window, 0, 0, 0, 0, x * Scale(), y * Scale());
}

int SControl::errorHandler(Display* d, XEvent* event) {
    const XErrorEvent* error = &event->xerror;
    char text[1024] = {};
    XGetErrorText(d, error->error_code, text, sizeof text);
    fprintf(stderr, "XError Message: %s\n", text);
    if (error->request_code < 128) {
        char code[16], name[1024] = {};
        snprintf(code, sizeof code, "%d", error->request_code);
        XGetErrorDatabaseText(d, "XRequest", code, "", name, sizeof name);
        fprintf(stderr, "XError Message: (%s)\n", name);
        fprintf(stderr, "XError Message: Request=%i\n", error->request_code);
        fprintf(stderr, "XError Message: Serial=%i\n", static_cast<int>(error->serial));
        fprintf(stderr, "XError Message: Minor=%i\n", error->minor_code);
        fprintf(stderr, "XError Message: XID=%i\n", static_cast<int>(error->resourceid));
    }
    xerror = true;
    return 0;
}

// The first 32-bit item of any property; 0 on an error, an empty property or no display.
unsigned long SControl::getProperty(Window w, Atom atom) {
    Display* d = ToolkitDisplay();
    if (!d || !w) return 0;
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    int status = Success;
    bool clean = GuardedXCall(d, [&] {
        status = XGetWindowProperty(d, w, atom, 0, 1, False, AnyPropertyType, &type, &format,
                                    &items, &after, &data);
    });
    unsigned long value = 0;
    if (clean && status == Success && data && format == 32 && items == 1)
        value = *reinterpret_cast<unsigned long*>(data);
    if (data) XFree(data);
    return value;
}

} // namespace zell::gui
