// How a button answers the mouse codes of the dispatcher, by button type.
#include "SButton.h"

#include "SInput.h"

#include <X11/Xlib.h>

namespace zell::gui {

using namespace context;

void SButton<false>::MouseStateChanged(bool* state, int code) {
    switch (code) {
    case kMouseEntered:
        hovering = true;
        RefreshOutlines();
        break;
    case kMouseMoving:
        if (!hovering) {
            hovering = true;
            RefreshOutlines();
        }
        resetPending = false;
        break;
    case kMouseLeft:
        if (Is(kButtonMomentary) && value == 1) Toggle();
        hovering = false;
        RefreshOutlines();
        resetPending = false;
        break;
    case kMouseLeftDown:
    case kMouseLeftDouble:
        LeftPress();
        break;
    case kMouseRightDown:
    case kMouseRightDouble:
        OtherPress(code, kClickRight);
        break;
    case kMouseMiddleDown:
    case kMouseMiddleDouble:
        OtherPress(code, kClickMiddle);
        break;
    case kMouseReleased:
        if (Is(kButtonMomentary) && value == 1) Toggle();
        TrackPointer(state);
        RefreshOutlines();
        if (Is(kButtonMenu) && value == 0) resetPending = false;
        break;
    default:
        break;
    }
}

void SButton<false>::LeftPress() {
    hovering = true;
    if (Is(kButtonPush)) {
        Toggle();
        value = 0;
        SetDrawingMode(false);
        TrackPointer(nullptr);
        Refresh();
    } else if (Is(kButtonMenu)) {
        if (value == 0 && !resetPending)
            Toggle();
        else
            resetPending = false;
    } else if (!Is(kButtonNoLeft)) {
        Toggle();
    }
}

// Right and middle presses: a menu button opens or closes, a push button reports the click.
void SButton<false>::OtherPress(int code, int click) {
    const bool right = code == kMouseRightDown || code == kMouseRightDouble;
    if (Is(kButtonMenu) && !right) {
        CloseMenu();
        SetValue(0, true);
        return;
    }
    if (Is(kButtonMenu)) {
        if (value == 0 && !resetPending)
            Toggle();
        else
            resetPending = false;
    }
    hovering = true;
    if (Is(kButtonPush)) PushClick(click);
}

void SButton<false>::PushClick(int click) {
    SetDrawingMode(true);
    Refresh();
    SendEvent(kEventValue, kKindValue, click, 0.0f, nullptr, this, nullptr);
    value = 0;
    SetDrawingMode(false);
    Refresh();
    TrackPointer(nullptr);
    RefreshOutlines();
}

// In an event's handling the event says where the pointer is; otherwise the server is asked.
void SButton<false>::TrackPointer(bool* state) {
    if (!state && input) state = input->mouse;
    Point2 at = eventPointer.at;
    bool known = eventPointer.valid;
    Window root = 0, child = 0;
    int rx = 0, ry = 0, x = 0, y = 0;
    unsigned mask = 0;
    if (!known && display && window &&
        XQueryPointer(display, window, &root, &child, &rx, &ry, &x, &y, &mask)) {
        at = {math::geom::FloorDiv(x, Scale()), math::geom::FloorDiv(y, Scale())};
        known = true;
    }
    const bool inside =
        known && at.x >= 0 && at.y >= 0 && at.x < clientRect.Width() && at.y < clientRect.Height();
    if (state) state[kMouseInside] = inside;
    hovering = inside;
}

} // namespace zell::gui
