// Real pointer events, pixels and screenshots for the control tests.
#pragma once

#include <gtest/gtest.h> // before Xlib, which defines None and Bool

#include "PngFile.h"
#include "SDrawFont.h"
#include "STextBlock.h"
#include "SWindow.h"
#include "ToolkitDisplay.h"
#include "XUser.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cstring>
#include <string>
#include <vector>

namespace zell::gui::test {

// Real pointer events through the XTest extension, on a connection of the test's own. Each
// call returns once the server has handled the events, so they are queued for the controls'
// connection before its next round trip.
class Pointer {
  public:
    Pointer() : d(zell::gui::OpenDisplay(nullptr)) {}
    ~Pointer() {
        if (d) XCloseDisplay(d);
    }
    Pointer(const Pointer&) = delete;
    Pointer& operator=(const Pointer&) = delete;

    void MoveTo(int x, int y) {
        XTestFakeMotionEvent(d, -1, x, y, CurrentTime);
        XSync(d, False);
    }
    void Press(unsigned button) {
        XTestFakeButtonEvent(d, button, True, CurrentTime);
        XSync(d, False);
    }
    void Release(unsigned button) {
        XTestFakeButtonEvent(d, button, False, CurrentTime);
        XSync(d, False);
    }
    void Click(unsigned button) {
        Press(button);
        Release(button);
    }
    // Somewhere no test puts a control.
    void Park() { MoveTo(1270, 1010); }

    Display* d;
};

// A font's measures for the expectations. A font that did not load fails the test with a message
// and measures 0, rather than taking the test down.
inline bool FontLoaded(context::SDrawFont* font) {
    if (font && font->Loaded()) return true;
    ADD_FAILURE() << "the font of size " << (font ? font->size : 0) << " did not load";
    return false;
}
inline int MeasuredWidth(context::SDrawFont* font, const char* text) {
    return FontLoaded(font) ? context::TextWidth(text, static_cast<int>(strlen(text)), font) : 0;
}
inline int MeasuredHeight(context::SDrawFont* font) {
    return FontLoaded(font) ? context::LineHeight(font) : 0;
}

using ::PixelAt;

// Saves the screen area (x, y, w, h) as a PNG file in the test output folder.
inline void SaveScreen(Display* d, int x, int y, int w, int h, const char* name) {
    EXPECT_TRUE(ferrovane::test::WriteDrawablePng(d, DefaultRootWindow(d), x, y, w, h, name));
}

// The root position of a control's window.
inline Point2 OnScreen(SControl* c) {
    Point2 p{0, 0};
    c->GetClient2Screen(p);
    return p;
}

// Collects the value events a control sends.
class Listener : public SWindow {
  public:
    explicit Listener(SGlobals* g) : SWindow(g, nullptr, 99, "listener", 0, 0, 0, 1, 1, 0, false) {}
    void ParseEvent(SEvent* e) override {
        if (e->type == kEventValue && e->kind == kKindValue) values.push_back(e->value);
    }
    std::vector<int> values;
};

} // namespace zell::gui::test
