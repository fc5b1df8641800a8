// The per-control input state: pointer position, the mouse-state flags reported through
// MouseStateChanged, the modifier keys and what double-click detection needs.
#pragma once

namespace zell::gui::context {

// Index of a mouse-state flag; the same number is the code passed to MouseStateChanged.
enum MouseFlag {
    kMouseEntered = 0,
    kMouseMoving = 1,
    kMouseLeft = 2,
    kMouseLeftDown = 3,
    kMouseRightDown = 4,
    kMouseMiddleDown = 5,
    kMouseReleased = 6,
    kMouseLeftDouble = 7,
    kMouseRightDouble = 8,
    kMouseMiddleDouble = 9,
    kMouseWheel = 13,
    kMouseWheelUp = 14,
    kMouseWheelDown = 15,
    kMouseInside = 16,
    kMouseCaptured = 17,
    kMouseTracking = 19,
    kMouseFlags = 20,
};

class SInput {
  public:
    SInput() = default;
    virtual ~SInput() = default;
    SInput(const SInput&) = delete;
    SInput& operator=(const SInput&) = delete;

    // Back to the state of a fresh record.
    void Reset() {
        lastX = lastY = -1;
        deltaX = deltaY = 0;
        for (bool& m : mouse)
            m = false;
        alt = shift = control = false;
        keyState = 0;
    }
    // Shift, control and alt from an X modifier state word.
    void SetModifiers(int xstate) {
        shift = (xstate & 1) != 0;
        control = (xstate & 4) != 0;
        alt = (xstate & 8) != 0;
    }
    int ModifierBits() const { return (shift ? 1 : 0) | (control ? 2 : 0) | (alt ? 4 : 0); }

    int lastX = -1;
    int lastY = -1;
    int deltaX = 0;
    int deltaY = 0;
    bool mouse[kMouseFlags] = {};
    bool alt = false;
    bool shift = false;
    bool control = false;
    int lastButton = 0;
    unsigned long lastPressTime = 0; // X server time
    int keyState = 0;
};

} // namespace zell::gui::context
