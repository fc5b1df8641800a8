// Controls on a real X server. The dispatcher tests put the controls on the test's own
// connection, which no event pump serves, and dispatch its events on the test thread: every
// event is crafted or real, and handled in a known order.
#pragma once

// GoogleTest first: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include "SControl.h"
#include "SGlobals.h"
#include "SHostDisplay.h"
#include "SWindow.h"
#include "SXRequestScope.h"
#include "ToolkitDisplay.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <optional>
#include <vector>

namespace zell::gui::test {

// A window that records what the dispatcher calls.
class Recorder : public SWindow {
  public:
    struct KeyCall {
        int key;
        bool pressed;
        int modifiers;
        int keyClass;
    };

    Recorder(SGlobals* g, SControl* parent, unsigned id, int flags, int x, int y, int w, int h,
             int parentWindow = 0)
        : SWindow(g, parent, id, "recorder", flags, x, y, w, h, parentWindow, false) {}

    void MouseStateChanged(bool*, int code) override { codes.push_back(code); }
    void MousePosChanged(int dx, int dy) override { moves.push_back({dx, dy}); }
    void KeyStateChanged(int key, bool pressed, int modifiers, int keyClass) override {
        keys.push_back({key, pressed, modifiers, keyClass});
    }
    void Draw(const Rect2& r) override {
        ++draws;
        SWindow::Draw(r);
    }
    void DrawArea(unsigned area) override { areas.push_back(area); }
    void DrawRegion(SDrawRegion* region) override { regions.push_back(region); }
    void DrawOutlines(const Rect2& r) override {
        ++outlines;
        SWindow::DrawOutlines(r);
    }
    void ParseEvent(SEvent* e) override { received.push_back(*e); }
    void Stop() override {
        stopped = true;
        SWindow::Stop();
    }
    void CloseDialog() override { closed = true; }

    std::vector<int> codes;
    std::vector<Point2> moves;
    std::vector<KeyCall> keys;
    std::vector<unsigned> areas;
    std::vector<SDrawRegion*> regions;
    std::vector<SEvent> received;
    int draws = 0;
    int outlines = 0;
    bool stopped = false;
    bool closed = false;
};

// The test's own connection as the toolkit's display, dispatched on the test thread: the
// test's calls are made inside a request scope on it, as a host's dispatching thread makes them.
class OwnDisplay : public testing::Test {
  protected:
    void SetUp() override {
        display = OpenDisplay(nullptr);
        ASSERT_NE(display, nullptr) << "no X server";
        globals = new SGlobals;
        SetHostDisplay(globals, display);
        scope.emplace(display);
    }
    void TearDown() override {
        scope.reset();
        ReleaseHostDisplay(globals); // as an instance that goes, before its host's display
        delete globals;
        if (display) XCloseDisplay(display);
    }

    // Hands every event to the dispatcher until a round trip brings no more: handlers post
    // requests of their own, which come back as further events.
    void Dispatch() {
        for (bool any = true; any;) {
            any = false;
            XSync(display, False);
            while (XPending(display)) {
                XEvent e;
                XNextEvent(display, &e);
                SControl::eventProc(&e);
                any = true;
            }
        }
    }

    // Sends a crafted event to the window's creator, which is this connection.
    void Send(XEvent e) {
        XSendEvent(display, e.xany.window, False, NoEventMask, &e);
        Dispatch();
    }

    XEvent Button(Window w, int type, unsigned button, Time time, int x = 5, int y = 5) {
        XEvent e{};
        e.xbutton.type = type;
        e.xbutton.window = w;
        e.xbutton.button = button;
        e.xbutton.time = time;
        e.xbutton.x = x;
        e.xbutton.y = y;
        e.xbutton.same_screen = True;
        return e;
    }

    XEvent Key(Window w, int type, KeySym sym, unsigned state = 0) {
        XEvent e{};
        e.xkey.type = type;
        e.xkey.window = w;
        e.xkey.display = display;
        e.xkey.keycode = XKeysymToKeycode(display, sym);
        e.xkey.state = state;
        e.xkey.same_screen = True;
        return e;
    }

    Display* display = nullptr;
    SGlobals* globals = nullptr;
    std::optional<SXRequestScope> scope;
};

} // namespace zell::gui::test
