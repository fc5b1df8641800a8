// The dispatcher, row by row, with crafted and real events on the test's own connection.
#include "GuiHarness.h"

#include "SControlRegistry.h"
#include "SCursor.h"
#include "SInput.h"

#include <X11/extensions/shape.h>
#include <X11/keysym.h>

#include <algorithm>
#include <new>

namespace zell::gui::test {
namespace {

using namespace context;

class Dispatch : public OwnDisplay {
  protected:
    // A shown control at the root's top-left, with its map handled.
    Recorder* Make(int flags = 0, SControl* parent = nullptr, int x = 0, int y = 0) {
        auto* r = new Recorder(globals, parent, 1, flags, x, y, 60, 40);
        r->Show();
        OwnDisplay::Dispatch();
        return r;
    }
};

TEST_F(Dispatch, WindowsFindTheirControlAndForeignWindowsNone) {
    Recorder* r = Make();
    Window w = r->GetWindow();
    Atom proc = XInternAtom(display, "_XEventProc", False);
    if constexpr (SControlRegistry::kAddressesInProperties) {
        EXPECT_EQ(SControl::getProperty(w, XInternAtom(display, "_ZELLWND", False)),
                  reinterpret_cast<uintptr_t>(static_cast<SControl*>(r)));
        EXPECT_EQ(SControl::getProperty(w, proc),
                  reinterpret_cast<uintptr_t>(&SControl::eventProc));
    } else {
        EXPECT_EQ(SControl::getProperty(w, proc), 0u) << "no address goes through the server";
        EXPECT_EQ(SControlRegistry::Find(display, w), r);
    }
    Window foreign = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 5, 5, 0, 0, 0);
    XEvent e = Button(foreign, ButtonPress, 1, 10);
    EXPECT_EQ(SControl::eventProc(&e), 0);
    e.xany.window = 0;
    EXPECT_EQ(SControl::eventProc(&e), 0);
    XDestroyWindow(display, foreign);
    delete r;
    EXPECT_EQ(SControlRegistry::Find(display, w), nullptr);
}

// A handler that fails (as an allocation may) leaves the event unhandled; nothing goes on to
// the host that called _XEventProc, and the next event is dispatched as usual.
class Failing : public Recorder {
  public:
    using Recorder::Recorder;
    void MouseStateChanged(bool* state, int code) override {
        Recorder::MouseStateChanged(state, code);
        throw std::bad_alloc();
    }
};

TEST_F(Dispatch, AFailingHandlerStaysInsideTheToolkit) {
    auto* f = new Failing(globals, nullptr, 1, 0, 0, 0, 60, 40);
    f->Show();
    OwnDisplay::Dispatch();
    XEvent press = Button(f->GetWindow(), ButtonPress, 1, 10);
    press.xany.display = display;
    int answer = -1;
    EXPECT_NO_THROW(answer = SControl::eventProc(&press));
    EXPECT_EQ(answer, 0);
    XEvent release = Button(f->GetWindow(), ButtonRelease, 1, 20);
    release.xany.display = display;
    EXPECT_NO_THROW(SControl::eventProc(&release));
    EXPECT_EQ(f->codes.size(), 2u) << "both reached it";
    delete f;
}

TEST_F(Dispatch, PressesAndTheDoubleClickBoundary) {
    Recorder* r = Make();
    Window w = r->GetWindow();
    Send(Button(w, ButtonPress, 1, 1000));
    Send(Button(w, ButtonRelease, 1, 1010));
    Send(Button(w, ButtonPress, 1, 1359)); // 359 ms after the last press
    Send(Button(w, ButtonRelease, 1, 1365));
    Send(Button(w, ButtonPress, 1, 1719)); // 360 ms
    Send(Button(w, ButtonRelease, 1, 1720));
    Send(Button(w, ButtonPress, 1, 1800)); // quick again
    EXPECT_EQ(r->codes, (std::vector<int>{3, 6, 7, 6, 3, 6, 7}));
    Send(Button(w, ButtonRelease, 1, 1900));
    Send(Button(w, ButtonPress, 3, 2000));
    Send(Button(w, ButtonPress, 3, 2100));
    Send(Button(w, ButtonPress, 2, 2200)); // another button is no double click
    EXPECT_EQ(std::vector<int>(r->codes.end() - 4, r->codes.end()), (std::vector<int>{6, 4, 8, 5}));
    delete r;
}

TEST_F(Dispatch, WheelStepsNeverCaptureOrDoubleClick) {
    Recorder* r = Make(kFlagGrabOnPress);
    Send(Button(r->GetWindow(), ButtonPress, 4, 100));
    Send(Button(r->GetWindow(), ButtonPress, 4, 150));
    EXPECT_EQ(r->codes, (std::vector<int>{13, 13}));
    EXPECT_TRUE(r->MouseState()[kMouseWheelUp]);
    EXPECT_FALSE(r->MouseState()[kMouseWheelDown]);
    EXPECT_EQ(SControl::capture, nullptr);
    Send(Button(r->GetWindow(), ButtonPress, 5, 200));
    EXPECT_TRUE(r->MouseState()[kMouseWheelDown]);
    delete r;
}

TEST_F(Dispatch, ReleaseOutsideReportsOnce) {
    Recorder* r = Make();
    Window w = r->GetWindow();
    XEvent enter{};
    enter.xcrossing.type = EnterNotify;
    enter.xcrossing.window = w;
    Send(enter);
    Send(Button(w, ButtonPress, 1, 10));
    XEvent leave = enter;
    leave.xcrossing.type = LeaveNotify;
    Send(leave);
    r->codes.clear();
    Send(Button(w, ButtonRelease, 1, 20, 100, 100));
    EXPECT_EQ(r->codes, (std::vector<int>{6}));
    EXPECT_TRUE(r->MouseState()[kMouseLeft]);
    Send(Button(w, ButtonRelease, 1, 30, 100, 100));
    EXPECT_EQ(r->codes, (std::vector<int>{6}));
    delete r;
}

TEST_F(Dispatch, CrossingAndMotionCodes) {
    Recorder* r = Make(kFlagHoverOutlines);
    r->outlines = 0; // the first paint after mapping draws them too
    Window w = r->GetWindow();
    XEvent e{};
    e.xcrossing.type = EnterNotify;
    e.xcrossing.window = w;
    e.xcrossing.x = 3;
    e.xcrossing.y = 4;
    Send(e);
    XEvent m{};
    m.xmotion.type = MotionNotify;
    m.xmotion.window = w;
    m.xmotion.x = 6;
    m.xmotion.y = 9;
    Send(m);
    m.xmotion.x = 7;
    Send(m); // already moving inside: no second code
    e.xcrossing.type = LeaveNotify;
    Send(e);
    EXPECT_EQ(r->codes, (std::vector<int>{0, 1, 2}));
    ASSERT_GE(r->moves.size(), 3u);
    EXPECT_EQ(r->moves[1].x, 3);
    EXPECT_EQ(r->moves[1].y, 5);
    EXPECT_EQ(r->outlines, 2) << "hover outlines repaint on enter and leave";
    delete r;
}

TEST_F(Dispatch, KeysAreTranslated) {
    Recorder* r = Make();
    Window w = r->GetWindow();
    Send(Key(w, KeyPress, XK_Shift_L));
    Send(Key(w, KeyPress, XK_Return, ShiftMask));
    Send(Key(w, KeyRelease, XK_Shift_L, ShiftMask));
    Send(Key(w, KeyPress, XK_a));
    Send(Key(w, KeyPress, XK_F5));
    ASSERT_EQ(r->keys.size(), 5u);
    EXPECT_EQ(r->keys[0].key, 17);
    EXPECT_EQ(r->keys[0].keyClass, 3);
    EXPECT_EQ(r->keys[0].modifiers & 1, 1) << "the shift is already held";
    EXPECT_EQ(r->keys[1].key, 0);
    EXPECT_EQ(r->keys[1].keyClass, 4);
    EXPECT_FALSE(r->keys[2].pressed);
    EXPECT_EQ(r->keys[2].modifiers, 0);
    EXPECT_EQ(r->keys[3].key, 'a');
    EXPECT_EQ(r->keys[3].keyClass, 0);
    EXPECT_EQ(r->keys[4].key, static_cast<int>(XK_F5));
    EXPECT_EQ(r->keys[4].keyClass, 5);
    delete r;
}

TEST_F(Dispatch, ExposesAreCollapsedAndHiddenControlsAskForNothing) {
    Recorder* r = Make();
    r->draws = 0;
    XEvent e{};
    e.xexpose.type = Expose;
    e.xexpose.window = r->GetWindow();
    for (int i = 0; i < 3; ++i)
        XSendEvent(display, r->GetWindow(), False, NoEventMask, &e);
    OwnDisplay::Dispatch();
    EXPECT_EQ(r->draws, 1);
    r->Refresh();
    r->Refresh();
    OwnDisplay::Dispatch();
    EXPECT_EQ(r->draws, 2);
    r->Hide();
    OwnDisplay::Dispatch();
    r->Refresh();
    r->RefreshArea(3);
    r->RefreshOutlines();
    OwnDisplay::Dispatch();
    EXPECT_EQ(r->draws, 2);
    EXPECT_TRUE(r->areas.empty());
    delete r;
}

TEST_F(Dispatch, QueuedConfigurationsCollapseIntoTheNewest) {
    Recorder* r = Make();
    XMoveResizeWindow(display, r->GetWindow(), 3, 4, 70, 50);
    XMoveResizeWindow(display, r->GetWindow(), 11, 12, 90, 30);
    OwnDisplay::Dispatch();
    EXPECT_TRUE(SameRect(r->WindowRect(), Rect2{11, 12, 101, 42}));
    EXPECT_TRUE(SameRect(r->ClientRect(), Rect2{0, 0, 90, 30}));
    r->SetSize(20, 10);
    r->Resized(false);
    EXPECT_TRUE(SameRect(r->WindowRect(), Rect2{11, 12, 31, 22}));
    delete r;
}

TEST_F(Dispatch, PaintMessagesReachTheirHandlers) {
    Recorder* r = Make(kFlagTopLevel);
    auto* region = reinterpret_cast<SDrawRegion*>(
        static_cast<uintptr_t>(0x12345678) | (sizeof(void*) == 8 ? uintptr_t(0xABCD) << 32 : 0));
    r->RefreshArea(7);
    r->RefreshRegion(region);
    r->outlines = 0;
    r->RefreshOutlines();
    OwnDisplay::Dispatch();
    EXPECT_EQ(r->areas, (std::vector<unsigned>{7}));
    EXPECT_EQ(r->regions, (std::vector<SDrawRegion*>{region}));
    EXPECT_EQ(r->outlines, 1);
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = r->GetWindow();
    close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    Send(close);
    EXPECT_TRUE(r->stopped);
    delete r;
}

TEST_F(Dispatch, CaptureRoutesEverythingToTheCapturingControl) {
    Recorder* a = Make(kFlagGrabOnPress);
    Recorder* b = Make(0, nullptr, 100, 0);
    Send(Button(a->GetWindow(), ButtonPress, 1, 10));
    EXPECT_EQ(SControl::capture, a);
    EXPECT_TRUE(a->MouseState()[kMouseCaptured]);
    EXPECT_EQ(a->codes, (std::vector<int>{3, 17}));
    XEvent m{};
    m.xmotion.type = MotionNotify;
    m.xmotion.window = b->GetWindow();
    m.xmotion.x = 20;
    Send(m);
    XEvent enter{};
    enter.xcrossing.type = EnterNotify;
    enter.xcrossing.window = b->GetWindow();
    Send(enter);
    EXPECT_TRUE(b->codes.empty()) << "motion and crossings go to the capture or nowhere";
    EXPECT_EQ(a->MouseState()[kMouseMoving], true);
    Send(Button(b->GetWindow(), ButtonRelease, 1, 20));
    EXPECT_EQ(SControl::capture, nullptr);
    EXPECT_FALSE(a->MouseState()[kMouseCaptured]);
    // The release reports 6, then the end of the capture (the ungrab may add real crossings).
    auto released = std::find(a->codes.begin(), a->codes.end(), 6);
    ASSERT_NE(released, a->codes.end());
    ASSERT_NE(released + 1, a->codes.end());
    EXPECT_EQ(released[1], 17);
    delete a;
    delete b;
}

TEST_F(Dispatch, DisabledParentsSilenceChildrenUnlessEnabledAlone) {
    Recorder* parent = Make();
    auto* child = new Recorder(globals, parent, 2, 0, 0, 0, 20, 20);
    parent->Add(child);
    child->Show();
    OwnDisplay::Dispatch();
    parent->Enable(false);
    Send(Button(child->GetWindow(), ButtonPress, 1, 10));
    EXPECT_TRUE(child->codes.empty());
    EXPECT_FALSE(child->Enabled());
    child->SetEnabledAlone(true);
    EXPECT_TRUE(child->Enabled());
    Send(Button(child->GetWindow(), ButtonPress, 1, 1000));
    EXPECT_EQ(child->codes, (std::vector<int>{3}));
    child->Enable(false);
    Send(Button(child->GetWindow(), ButtonPress, 3, 2000));
    EXPECT_EQ(child->codes, (std::vector<int>{3}));
    delete parent;
}

TEST_F(Dispatch, ListenersInOrderWithoutDuplicates) {
    Recorder* sender = Make();
    Recorder* a = Make();
    Recorder* b = Make();
    sender->AddEventListener(a, kEventValue);
    sender->AddEventListener(b, kEventValue);
    sender->AddEventListener(a, kEventValue);
    sender->AddEventListener(nullptr, kEventValue);
    sender->AddEventListener(a, 13);
    sender->SendEvent(kEventValue, kKindValue, 42, 0.5f, nullptr, sender, nullptr);
    ASSERT_EQ(a->received.size(), 1u);
    ASSERT_EQ(b->received.size(), 1u);
    EXPECT_EQ(a->received[0].value, 42);
    EXPECT_EQ(a->received[0].sender, sender);
    EXPECT_EQ(b->received[0].fvalue, 0.5f);
    sender->RemoveEventListener(a, kEventValue);
    sender->SendEvent(kEventValue, kKindValue, 1, 0, nullptr, sender, nullptr);
    EXPECT_EQ(a->received.size(), 1u);
    EXPECT_EQ(b->received.size(), 2u);
    EXPECT_FALSE(sender->EventHandled(kEventValue));
    sender->EnableEventHandler(kEventValue);
    EXPECT_TRUE(sender->EventHandled(kEventValue));
    EXPECT_FALSE(sender->EventHandled(20));
    delete sender;
    delete a;
    delete b;
}

TEST_F(Dispatch, ChildrenIdsAndCleanUp) {
    Recorder* w = Make();
    auto* five = new Recorder(globals, w, 5, 0, 0, 0, 5, 5);
    auto* three = new Recorder(globals, w, 3, 0, 0, 0, 5, 5);
    w->Add(five);
    w->Add(three);
    EXPECT_TRUE(w->GetFlags() & kFlagHasChildren);
    EXPECT_EQ(w->MinChildId(), 3);
    EXPECT_EQ(w->MaxChildId(), 5);
    EXPECT_TRUE(w->IsSubcontrol(static_cast<unsigned>(three->GetWindow())));
    w->Remove(five, true);
    w->Remove(three, true);
    EXPECT_FALSE(w->GetFlags() & kFlagHasChildren);
    w->CleanUp();
    w->CleanUp();
    EXPECT_EQ(w->Drawing(), nullptr);
    EXPECT_EQ(w->Input(), nullptr);
    delete w;
}

TEST_F(Dispatch, ControlIdsComeFromTheSharedCounter) {
    unsigned first = globals->NewId();
    Recorder* r = Make();
    r->CreateIdleTimer(22, false);
    r->CreateTimer(1000, false);
    EXPECT_GT(globals->NewId(), first + 2);
    delete r;
}

int sentinelCalls = 0;
int Sentinel(Display*, XErrorEvent*) {
    ++sentinelCalls;
    return 0;
}

TEST_F(Dispatch, GuardedReadsReportXErrorsAndAnswerNothing) {
    // The process's handler is the host's: it neither sees the error nor is replaced.
    XErrorHandler before = XSetErrorHandler(Sentinel);
    testing::internal::CaptureStderr();
    EXPECT_EQ(SControl::getProperty(0x3FFFFFF, XInternAtom(display, "_ZELLWND", False)), 0u);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.rfind("XError Message: ", 0), 0u) << said;
    EXPECT_NE(said.find("XError Message: Request=20\n"), std::string::npos) << said;
    EXPECT_NE(said.find("XError Message: XID=67108863\n"), std::string::npos) << said;
    EXPECT_TRUE(SControl::xerror);
    EXPECT_EQ(XSetErrorHandler(before), &Sentinel);
    EXPECT_EQ(sentinelCalls, 0);
}

TEST_F(Dispatch, RoundShapeNotchesTheCorners) {
    Recorder* r = Make();
    r->SetRoundShape(true);
    int count = 0, ordering = 0;
    XRectangle* rects =
        XShapeGetRectangles(display, r->GetWindow(), ShapeBounding, &count, &ordering);
    auto inside = [&](int x, int y) {
        for (int i = 0; i < count; ++i)
            if (x >= rects[i].x && x < rects[i].x + rects[i].width && y >= rects[i].y &&
                y < rects[i].y + rects[i].height)
                return true;
        return false;
    };
    EXPECT_FALSE(inside(0, 0));
    EXPECT_FALSE(inside(4, 0));
    EXPECT_TRUE(inside(5, 0));
    EXPECT_FALSE(inside(0, 4)) << "two rows of one pixel";
    EXPECT_TRUE(inside(1, 4));
    EXPECT_FALSE(inside(59, 39));
    EXPECT_TRUE(inside(30, 20));
    XFree(rects);
    r->SetRoundShape(false);
    rects = XShapeGetRectangles(display, r->GetWindow(), ShapeBounding, &count, &ordering);
    EXPECT_EQ(count, 1);
    XFree(rects);
    delete r;
}

TEST_F(Dispatch, FocusIsTakenAndGivenBack) {
    Recorder* r = Make();
    Window before = 0;
    int revert = 0;
    XGetInputFocus(display, &before, &revert);
    r->Focus(true);
    Window now = 0;
    XGetInputFocus(display, &now, &revert);
    EXPECT_EQ(now, r->GetWindow());
    OwnDisplay::Dispatch();
    EXPECT_TRUE(r->GetStatus() & kStatusFocus);
    r->Focus(false);
    XGetInputFocus(display, &now, &revert);
    EXPECT_EQ(now, before);
    OwnDisplay::Dispatch();
    EXPECT_FALSE(r->GetStatus() & kStatusFocus);
    delete r;
}

TEST_F(Dispatch, TheCursorIsSetOnEntryAndFreedOnLeave) {
    Recorder* r = Make();
    SCursor cursor;
    cursor.CreateDefault();
    EXPECT_NE(cursor.cursor, 0u);
    cursor.window = r->GetWindow();
    globals->cursor = &cursor;
    XEvent e{};
    e.xcrossing.type = EnterNotify;
    e.xcrossing.window = r->GetWindow();
    Send(e);
    e.xcrossing.type = LeaveNotify;
    Send(e);
    cursor.Free();
    cursor.Free(); // twice is harmless
    globals->cursor = nullptr;
    SCursor none; // never created: nothing to set or free
    none.Set();
    none.Free();
    delete r; // the cursor outlives its window, as when a host destroys its window first
}

} // namespace
} // namespace zell::gui::test
