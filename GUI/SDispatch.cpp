// The X event dispatcher: one table from X event types to the control's operations, and the
// mouse and keyboard handling behind its input rows.
#include "SControl.h"

#include "SAtoms.h"
#include "SControlRegistry.h"
#include "SCursor.h"
#include "SDisplay.h"
#include "SEventScale.h"
#include "SGlobals.h"
#include "SKeys.h"
#include "SToolTipLink.h"
#include "SXConnection.h"

#include <X11/Xlib.h>

#include <X11/Xutil.h>

#include <cstring>
#include <mutex>

namespace zell::gui {

using namespace context;

struct SDispatch {
    using Handler = int (*)(SControl* control, XEvent* e);

    static SControl* Target(SControl* c) { return SControl::capture ? SControl::capture : c; }

    static void CursorSet(SControl* c) {
        if (SCursor* cursor = c->globals ? c->globals->cursor : nullptr) cursor->Set();
    }
    static void CursorFree(SControl* c) {
        if (SCursor* cursor = c->globals ? c->globals->cursor : nullptr) cursor->Free();
    }

    // Mouse and key events reach only enabled controls whose parent is enabled, unless the
    // control counts as enabled alone.
    static bool Accepts(SControl* c) {
        return (c->status & kStatusEnabled) &&
               (!c->parent || c->parent->Enabled() || c->enabledAlone);
    }

    static int OnKey(SControl* control, XEvent* e) {
        SControl* t = Target(control);
        if (!Accepts(t) || !t->input) return 1;
        char buffer[20];
        KeySym keysym = NoSymbol;
        XLookupString(&e->xkey, buffer, sizeof buffer, &keysym, nullptr);
        const bool pressed = e->type == KeyPress;
        SKey key = TranslateKeysym(keysym);
        if (key.keyClass == kKeyModifier) {
            if (key.code == kKeyShift) t->input->shift = pressed;
            if (key.code == kKeyCtrl) t->input->control = pressed;
            if (key.code == kKeyAlt) t->input->alt = pressed;
        }
        t->KeyStateChanged(key.code, pressed, t->input->ModifierBits(), key.keyClass);
        return 1;
    }

    static int OnButtonPress(SControl* control, XEvent* e) {
        CursorSet(control);
        SControl* t = Target(control);
        const XButtonEvent& b = e->xbutton;
        if (b.button == Button4 || b.button == Button5) return OnWheel(t, b);
        if (!Accepts(t) || !t->input) return 1;
        bool* ms = t->input->mouse;
        int code = -1;
        auto press = [&](int on, int off1, int off2) {
            if (!ms[on]) code = on;
            ms[on] = true;
            ms[off1] = ms[off2] = false;
        };
        if (b.button == Button1) press(kMouseLeftDown, kMouseRightDown, kMouseMiddleDown);
        if (b.button == Button2) press(kMouseMiddleDown, kMouseRightDown, kMouseRightDown);
        if (b.button == Button3) press(kMouseRightDown, kMouseMiddleDown, kMouseMiddleDown);
        if (b.button >= Button1 && b.button <= Button3) code = DoubleClick(t->input.get(), b, code);
        ms[kMouseInside] = true;
        ms[kMouseEntered] = ms[kMouseMoving] = ms[kMouseReleased] = ms[kMouseWheel] = false;
        t->Modifiers(static_cast<int>(b.state));
        if (code >= 0) t->MouseStateChanged(ms, code);
        if ((t->flags & kFlagGrabOnPress) && !ms[kMouseCaptured]) {
            t->MouseSetCapture();
            t->MouseStateChanged(ms, kMouseCaptured);
        }
        t->MousePosition(b.x, b.y);
        return 1;
    }

    // A press of the same button within 360 ms of the last (server time) is a double click.
    static int DoubleClick(SInput* in, const XButtonEvent& b, int code) {
        static const int kDouble[4] = {0, kMouseLeftDouble, kMouseMiddleDouble, kMouseRightDouble};
        const bool quick = in->lastPressTime && b.time - in->lastPressTime < 360 &&
                           in->lastButton == static_cast<int>(b.button);
        in->lastPressTime = b.time;
        in->lastButton = static_cast<int>(b.button);
        if (!quick) return code;
        in->mouse[kMouseLeftDouble] = in->mouse[kMouseRightDouble] = in->mouse[kMouseMiddleDouble] =
            false;
        in->mouse[kDouble[b.button]] = true;
        return kDouble[b.button];
    }

    static int OnWheel(SControl* t, const XButtonEvent& b) {
        if ((t->flags & kFlagWheelToParentA) && (t->flags & kFlagWheelToParentB)) {
            if (!t->parent) return 1;
            t = t->parent;
        }
        if (!Accepts(t) || !t->input) return 1;
        bool* ms = t->input->mouse;
        ms[kMouseWheel] = true;
        ms[kMouseLeftDown] = ms[kMouseRightDown] = ms[kMouseMiddleDown] = false;
        ms[kMouseWheelUp] = b.button == Button4;
        ms[kMouseWheelDown] = b.button == Button5;
        t->Modifiers(static_cast<int>(b.state));
        t->MouseStateChanged(ms, kMouseWheel);
        t->MousePosition(b.x, b.y);
        return 1;
    }

    static int OnButtonRelease(SControl* control, XEvent* e) {
        SControl* t = Target(control);
        if (!Accepts(t) || !t->input) return 1;
        const XButtonEvent& b = e->xbutton;
        bool* ms = t->input->mouse;
        const bool wasReleased = ms[kMouseReleased];
        ms[kMouseReleased] = true;
        for (int i :
             {kMouseMoving, kMouseLeftDown, kMouseRightDown, kMouseMiddleDown, kMouseLeftDouble,
              kMouseRightDouble, kMouseMiddleDouble, kMouseWheel, kMouseEntered})
            ms[i] = false;
        ms[kMouseLeft] = !ms[kMouseInside];
        if (ms[kMouseInside])
            CursorSet(t);
        else
            CursorFree(t);
        t->Modifiers(static_cast<int>(b.state));
        if (!wasReleased) t->MouseStateChanged(ms, kMouseReleased);
        t->MousePosition(b.x, b.y);
        if ((t->flags & kFlagGrabOnPress) && ms[kMouseCaptured]) {
            t->MouseReleaseCapture();
            t->MouseStateChanged(ms, kMouseCaptured);
        }
        return 1;
    }

    static int OnMotion(SControl* control, XEvent* e) {
        CursorSet(control);
        SControl* t = Target(control);
        if (!Accepts(t) || !t->input) return 1;
        const XMotionEvent& m = e->xmotion;
        bool* ms = t->input->mouse;
        if (ms[kMouseInside]) {
            if (!ms[kMouseEntered] && ms[kMouseMoving]) {
                ms[kMouseWheel] = false;
                t->Modifiers(static_cast<int>(m.state));
            } else {
                ms[kMouseEntered] = false;
                ms[kMouseMoving] = true;
                ms[kMouseWheel] = false;
                t->Modifiers(static_cast<int>(m.state));
                t->MouseStateChanged(ms, kMouseMoving);
            }
        } else {
            ms[kMouseEntered] = ms[kMouseMoving] = ms[kMouseWheel] = false;
            t->Modifiers(static_cast<int>(m.state));
        }
        t->MousePosition(m.x, m.y);
        return 1;
    }

    static int OnCrossing(SControl* c, XEvent* e) {
        const bool enter = e->type == EnterNotify;
        if (enter)
            CursorSet(c);
        else
            CursorFree(c);
        if (!Accepts(c) || !c->input || SControl::capture) return 1;
        bool* ms = c->input->mouse;
        int code = -1;
        if (enter) {
            if (!ms[kMouseEntered]) code = kMouseEntered;
            ms[kMouseInside] = ms[kMouseEntered] = true;
            ms[kMouseLeft] = false;
            if (c->tooltipData && (c->status & kStatusTooltip)) ShowTip(c);
        } else {
            if (!ms[kMouseLeft]) code = kMouseLeft;
            ms[kMouseEntered] = ms[kMouseInside] = false;
            ms[kMouseLeft] = true;
            if (c->tooltipData && (c->status & kStatusTooltip)) c->HideTooltip();
        }
        if (!ms[kMouseCaptured])
            for (int i : {kMouseLeftDown, kMouseRightDown, kMouseMiddleDown, kMouseLeftDouble,
                          kMouseRightDouble, kMouseMiddleDouble})
                ms[i] = false;
        ms[kMouseWheel] = false;
        c->Modifiers(static_cast<int>(e->xcrossing.state));
        if (code >= 0) c->MouseStateChanged(ms, code);
        c->MousePosition(e->xcrossing.x, e->xcrossing.y);
        if (c->flags & kFlagHoverOutlines) c->RefreshOutlines();
        return 1;
    }

    // The window's place on the screen is where the crossing event puts the pointer, less
    // where it puts it in the window.
    static void ShowTip(SControl* c) {
        const SControl::EventPointer& e = c->eventPointer;
        Point2 origin = e.origin;
        if (!e.valid) {
            origin = {0, 0};
            c->GetClient2Screen(origin);
        }
        Point2 at = PlaceToolTip(*c->tooltipData, c->windowRect.Width(), c->windowRect.Height(),
                                 origin, SDisplay::Instance().Bounds(), c->Scale());
        c->ShowTooltip(at);
    }

    static int OnFocusIn(SControl* c, XEvent*) {
        c->Focussing(true);
        if (c->pointerOver) CursorSet(c);
        return 1;
    }

    static int OnFocusOut(SControl* c, XEvent*) {
        if ((c->flags & kFlagPopup) && c->input && c->input->mouse[kMouseCaptured]) {
            c->MouseReleaseCapture();
            c->MouseStateChanged(c->input->mouse, kMouseCaptured);
        }
        if (c->flags & kFlagOwnsMenu) c->CloseMenu();
        c->Focussing(false);
        return 1;
    }

    // Paints once for a burst: every further Expose queued for the window is taken first.
    static int OnExpose(SControl* c, XEvent* e) {
        if (!c->Shown()) return 1;
        Display* d = e->xany.display;
        XLockDisplay(d);
        XEvent more;
        while (XCheckTypedWindowEvent(d, c->window, Expose, &more)) {
        }
        c->Draw(c->clientRect);
        XFlush(d);
        XUnlockDisplay(d);
        return 1;
    }

    static int OnNoExpose(SControl*, XEvent*) { return 1; }

    static int OnUnmap(SControl* c, XEvent*) {
        if (c->globals && c->parent && c->parent->pointerOver) CursorSet(c);
        c->status &= ~kStatusShown;
        return 1;
    }

    // A window mapped under the pointer hears of it next, by its crossing event.
    static int OnMap(SControl* c, XEvent*) {
        if (c->globals && c->pointerOver) CursorSet(c);
        c->status |= kStatusShown;
        return 1;
    }

    // The window was destroyed under the control: a host destroyed its own window, and with it
    // everything placed in it. The control stays, with no window to make requests on.
    static int OnDestroy(SControl* c, XEvent* e) {
        if (e->xdestroywindow.window != c->window) return 0;
        c->WindowGone();
        return 1;
    }

    static int OnConfigure(SControl* c, XEvent* e) {
        XConfigureEvent newest = e->xconfigure;
        XEvent more;
        while (XCheckTypedWindowEvent(e->xany.display, c->window, ConfigureNotify, &more))
            newest = more.xconfigure;
        c->TakeGeometry(newest.x, newest.y, newest.width, newest.height);
        return 1;
    }

    static int OnMessage(SControl* c, XEvent* e);

    static int OnMapping(SControl*, XEvent* e) {
        if (e->xmapping.request == MappingModifier || e->xmapping.request == MappingKeyboard)
            XRefreshKeyboardMapping(&e->xmapping);
        return 1;
    }

    static const Handler* Table();

    // Where a pointer or key event puts the pointer, kept on the control it is dispatched to
    // for the time of its handling; a crossing or a motion also says whether the pointer is
    // over the window (a pointer that went on into a child, or was grabbed, still is). The
    // event is the server's, in the screen's pixels.
    struct PointerOfEvent {
        PointerOfEvent(SControl* c, const XEvent* e) : control(c) {
            int x = 0, y = 0, rootX = 0, rootY = 0;
            switch (e->type) {
            case KeyPress:
            case KeyRelease:
                x = e->xkey.x, y = e->xkey.y, rootX = e->xkey.x_root, rootY = e->xkey.y_root;
                break;
            case ButtonPress:
            case ButtonRelease:
                x = e->xbutton.x, y = e->xbutton.y;
                rootX = e->xbutton.x_root, rootY = e->xbutton.y_root;
                break;
            case MotionNotify:
                x = e->xmotion.x, y = e->xmotion.y;
                rootX = e->xmotion.x_root, rootY = e->xmotion.y_root;
                c->pointerOver = x >= 0 && y >= 0 && x < c->clientRect.Width() * c->Scale() &&
                                 y < c->clientRect.Height() * c->Scale();
                break;
            case EnterNotify:
            case LeaveNotify:
                x = e->xcrossing.x, y = e->xcrossing.y;
                rootX = e->xcrossing.x_root, rootY = e->xcrossing.y_root;
                // A grab's leave moves no pointer: it is still over the window.
                if (e->type == EnterNotify || e->xcrossing.mode != NotifyGrab)
                    c->pointerOver =
                        e->type == EnterNotify || e->xcrossing.detail == NotifyInferior;
                break;
            default:
                control = nullptr;
                return;
            }
            saved = c->eventPointer;
            const int scale = c->Scale();
            c->eventPointer = {{math::geom::FloorDiv(x, scale), math::geom::FloorDiv(y, scale)},
                               {rootX - x, rootY - y},
                               true};
        }
        ~PointerOfEvent() {
            if (control) control->eventPointer = saved;
        }
        PointerOfEvent(const PointerOfEvent&) = delete;
        PointerOfEvent& operator=(const PointerOfEvent&) = delete;

        SControl* control;
        SControl::EventPointer saved;
    };
    static int Deliver(XEvent* e);
};

// Client messages by their type: the paint requests, menu notices and the window manager's close
// request.
int SDispatch::OnMessage(SControl* c, XEvent* e) {
    const XClientMessageEvent& m = e->xclient;
    Display* d = e->xany.display;
    const SAtoms& atoms = SAtoms::Of(d);
    const auto type = static_cast<Atom>(m.message_type);
    auto is = [&](Atom a) { return a != None && type == a; };
    int handled = 0;
    auto paint = [&](auto draw) {
        XLockDisplay(d);
        draw();
        XFlush(d);
        XUnlockDisplay(d);
        handled = 1;
    };
    if (is(atoms.paintRegion)) {
        auto low = static_cast<uint32_t>(m.data.l[1]);
        auto high = static_cast<uint64_t>(static_cast<uint32_t>(m.data.l[2]));
        auto* region = reinterpret_cast<SDrawRegion*>(
            static_cast<uintptr_t>(sizeof(void*) == 4 ? low : (high << 32 | low)));
        paint([&] { c->DrawRegion(region); });
    } else if (is(atoms.paintArea)) {
        paint([&] { c->DrawArea(static_cast<unsigned>(m.data.l[1])); });
    } else if (is(atoms.paintOutlines)) {
        paint([&] { c->DrawOutlines(Rect2{0, 0, c->windowRect.Width(), c->windowRect.Height()}); });
    } else if (is(atoms.menuEntered) || is(atoms.menuLeft)) {
        handled = 1;
    } else if (is(atoms.protocols)) {
        if ((c->flags & kFlagPopup) && !(c->flags & kFlagPopupInRoot)) {
            c->CloseDialog();
            handled = 1;
        } else if (c->flags & kFlagTopLevel) {
            c->Stop();
            handled = 1;
        }
    }
    return handled;
}

const SDispatch::Handler* SDispatch::Table() {
    static Handler table[LASTEvent] = {};
    static bool filled = [] {
        table[KeyPress] = OnKey;
        table[KeyRelease] = OnKey;
        table[ButtonPress] = OnButtonPress;
        table[ButtonRelease] = OnButtonRelease;
        table[MotionNotify] = OnMotion;
        table[EnterNotify] = OnCrossing;
        table[LeaveNotify] = OnCrossing;
        table[FocusIn] = OnFocusIn;
        table[FocusOut] = OnFocusOut;
        table[Expose] = OnExpose;
        table[NoExpose] = OnNoExpose;
        table[UnmapNotify] = OnUnmap;
        table[MapNotify] = OnMap;
        table[DestroyNotify] = OnDestroy;
        table[ConfigureNotify] = OnConfigure;
        table[ClientMessage] = OnMessage;
        table[MappingNotify] = OnMapping;
        return true;
    }();
    (void)filled;
    return table;
}

// On the host's display the display lock is taken before the instance's interface lock, in
// the order of a host that holds the display while it calls us.
int SDispatch::Deliver(XEvent* e) {
    if (!e || !e->xany.window || e->type < 0 || e->type >= LASTEvent) return 0;
    Handler handler = Table()[e->type];
    if (!handler) return 0;
    SXRequestScope scope(e->xany.display);
    SControl* control = SControlRegistry::Find(e->xany.display, e->xany.window);
    if (!control) return 0;
    // The handlers see the pointer in the control's pixels; the host's event stays as it is.
    XEvent local;
    XEvent* event = e;
    if (const int scale = control->Scale(); scale > 1) {
        local = *e;
        ScaleEventDown(&local, scale);
        event = &local;
    }
    std::unique_lock<std::recursive_mutex> hold;
    if (control->globals) hold = std::unique_lock<std::recursive_mutex>(control->globals->uiLock);
    SDispatch::PointerOfEvent pointer(control, e);
    return handler(control, event);
}

// Hosts call this (through _XEventProc) and Xlib's callers sit beneath it: a failure of a
// handler leaves the event unhandled and goes no further.
int SControl::eventProc(XEvent* e) {
    try {
        return SDispatch::Deliver(e);
    } catch (...) {
        return 0;
    }
}

} // namespace zell::gui
