#include "SControl.h"

#include "SAtoms.h"
#include "SControlRegistry.h"
#include "SDrawing.h"
#include "SEventPump.h"
#include "SGlobals.h"
#include "SInput.h"
#include "STimer.h"
#include "STimerIdle.h"
#include "SXConnection.h"
#include "SXReplyBatch.h"
#include "SToolTipLink.h"
#include "ToolkitDisplay.h"

#include <X11/Xlib.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cstring>

// Last: it defines macros that clash with ordinary names.
#include <X11/Xlibint.h>

namespace zell::gui {

SControl* SControl::capture = nullptr;
bool SControl::xerror = false;

namespace {

// Key and button presses and releases, crossings, motion, exposure, structure, focus, property
// changes and owner-grab-button.
constexpr long kControlEvents = 0x163A07F;
constexpr long kPopupEvents = 0x228000;
constexpr long kPopupNoPropagate = 0x200F;

void SetProperty32(Display* d, Window w, Atom atom, Atom type, const long* items, int n) {
    if (atom == None) return; // a server without the convention keeps its decorations
    XChangeProperty(d, w, atom, type == None ? atom : type, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(items), n);
}

} // namespace

SControl::SControl() = default;

SControl::SControl(SGlobals* globals, SControl* parent, unsigned id, const char* title, int flags,
                   int x, int y, int w, int h, int parentWindow, bool unused) {
    SControl::Create(globals, parent, id, title, flags, x, y, w, h, parentWindow, unused);
}

SControl::~SControl() {
    Destroy();
}

int SControl::Create(SGlobals* g, SControl* p, unsigned i, const char* text, int f, int x, int y,
                     int w, int h, int parentWindowId, bool) {
    globals = g;
    parent = p;
    flags = f;
    id = i;
    status |= kStatusShown;
    title = text;
    windowRect = {x, y, x + w, y + h};
    clientRect = {0, 0, w, h};
    cleaningUp = false;
    cleanedUp = enabledAlone = false;
    previousFocus = 0;
    display = InstanceDisplay(globals);
    // What the control makes for itself (its drawing context) lives on the same display.
    SXRequestScope scope(display);
    if (display) {
        CreateWindow(x, y, w, h, parentWindowId);
        if (flags & (kFlagTopLevel | kFlagPopup)) SetWindowManagerHints(w, h);
        if (!(flags & kFlagDecorated)) SetUndecorated();
        SControlRegistry::Register(display, window, this);
        SEventPump::WindowCreated(display);
    }
    CreateContexts();
    Hide();
    return 1;
}

int SControl::Scale() const {
    return globals ? globals->Scale() : 1;
}

// The window is made at the scale: its place and size in the screen's pixels.
void SControl::CreateWindow(int x, int y, int w, int h, int parentWindowId) {
    Window root = DefaultRootWindow(display);
    XSetWindowAttributes a{};
    a.event_mask = kControlEvents;
    a.save_under = True;
    a.override_redirect = (flags & kFlagDecorated) ? False : True;
    const int s = Scale();
    const unsigned border = (flags & kFlagDecorated) ? 3 * s : 0;
    auto dim = [s](int v) { return static_cast<unsigned>((v > 0 ? v : 1) * s); };
    x *= s;
    y *= s;
    if (flags & kFlagTopLevel) {
        parentWindow = root;
        window = XCreateWindow(display, root, x, y, dim(w), dim(h), border, CopyFromParent,
                               CopyFromParent, CopyFromParent,
                               CWSaveUnder | CWOverrideRedirect | CWEventMask, &a);
    } else if (flags & kFlagPopup) {
        parentWindow = root;
        if (!(flags & kFlagPopupInRoot))
            parentWindow = parent && parent->window ? parent->window
                           : parentWindowId         ? static_cast<Window>(parentWindowId)
                                                    : root;
        a.do_not_propagate_mask = kPopupNoPropagate;
        int screen = DefaultScreen(display);
        window = XCreateWindow(
            display, parentWindow, x, y, dim(w), dim(h), border, DefaultDepth(display, screen),
            InputOutput, DefaultVisual(display, screen),
            CWSaveUnder | CWOverrideRedirect | CWEventMask | CWDontPropagate, &a);
        XSelectInput(display, window,
                     (flags & kFlagPopupFullInput) ? kControlEvents : kPopupEvents);
    } else {
        XFlush(display);
        parentWindow = parent && parent->window ? parent->window
                       : parentWindowId         ? static_cast<Window>(parentWindowId)
                                                : root;
        a.override_redirect = True;
        window = XCreateWindow(display, parentWindow, x, y, dim(w), dim(h), 0, CopyFromParent,
                               InputOutput, CopyFromParent, CWOverrideRedirect | CWEventMask, &a);
    }
    // What XSetWMProtocols sets, with the atom already interned.
    if (flags & (kFlagTopLevel | kFlagPopup)) {
        const SAtoms& atoms = SAtoms::Of(display);
        deleteAtom = atoms.deleteWindow;
        const auto protocol = static_cast<long>(deleteAtom);
        if (deleteAtom != None)
            SetProperty32(display, window, atoms.protocols, XA_ATOM, &protocol, 1);
    }
}

void SControl::SetWindowManagerHints(int w, int h) {
    XTextProperty name;
    char* text = const_cast<char*>(title.Text());
    if (XStringListToTextProperty(&text, 1, &name)) {
        XSetWMName(display, window, &name);
        XSetWMIconName(display, window, &name);
        XFree(name.value);
    }
    XStoreName(display, window, title.Text());
    XSetIconName(display, window, title.Text());
    if (flags & kFlagResizable) return;
    XSizeHints* hints = XAllocSizeHints();
    if (!hints) return;
    hints->flags = PSize | PMinSize | PMaxSize | PResizeInc;
    hints->width = hints->min_width = hints->max_width = w * Scale();
    hints->height = hints->min_height = hints->max_height = h * Scale();
    hints->width_inc = hints->height_inc = 0;
    XSetWMNormalHints(display, window, hints);
    XFree(hints);
}

// Asks window managers of every generation for a window without decorations.
void SControl::SetUndecorated() {
    const SAtoms& atoms = SAtoms::Of(display);
    const long motif[4] = {2, 0, 0, 0};
    SetProperty32(display, window, atoms.motifHints, None, motif, 4);
    const long win = 0;
    SetProperty32(display, window, atoms.winHints, None, &win, 1);
    const long kwm = 2;
    SetProperty32(display, window, atoms.kwmDecoration, None, &kwm, 1);
    if (atoms.typeOverride != None && atoms.typeNormal != None) {
        const long types[2] = {static_cast<long>(atoms.typeOverride),
                               static_cast<long>(atoms.typeNormal)};
        SetProperty32(display, window, atoms.windowType, XA_ATOM, types, 2);
    }
}

void SControl::CleanRessources() {
    cleaningUp = true;
}

void SControl::PrepareCleanUp() {
    if (window) Hide();
}

void SControl::CleanUp() {
    if (cleanedUp) return;
    cleaningUp = true;
    PrepareCleanUp();
    DestroyIdleTimer();
    StopTimer(true);
    if ((flags & kFlagGrabOnPress) && input) {
        if (input->mouse[context::kMouseCaptured]) MouseReleaseCapture();
        input->Reset();
    }
    tooltipData.reset();
    DestroyContexts();
    cleanedUp = true;
}

void SControl::Quiesce() {
    cleaningUp = true;
    retired = true;
    if (display && window) SControlRegistry::Unregister(display, window);
    if (timer) timer->Stop();
    DestroyIdleFunction();
    QuiesceChildren();
}

void SControl::Retire() {
    Quiesce();
    if (SEventPump::Serves(display)) SEventPump::Sync();
}

void SControl::Destroy() {
    cleaningUp = true;
    CleanUp();
    if (capture == this) capture = nullptr;
    if (display && window) {
        // Once unregistered no event reaches this control; the pump's sync waits out one that
        // is being dispatched on its thread right now. A retired control has had it already.
        SControlRegistry::Unregister(display, window);
        if (!retired && SEventPump::Serves(display)) SEventPump::Sync();
        XDestroyWindow(display, window);
        XFlush(display);
        window = 0;
        SEventPump::WindowDestroyed(display);
    }
}

void SControl::WindowGone() {
    ChildWindowsGone();
    if (!window) return;
    if (capture == this) capture = nullptr;
    SControlRegistry::Forget(display, window);
    window = 0;
    status &= ~kStatusShown;
    SEventPump::WindowDestroyed(display);
}

// On a connection the pump reads, the window's destruction comes as an event: once the pump has
// handled everything up to now, a destroyed window has been forgotten. A request that fails
// there while the pump waits for events can break the connection (Xlib hands the error to the
// wrong reader). Elsewhere the server is asked, in a batch: a refusal only goes unanswered.
bool SControl::WindowAlive() {
    if (display && SEventPump::Serves(display)) {
        SEventPump::Sync();
        return window != 0;
    }
    if (!display || !window) return false;
    bool alive = false;
    AskTogether(
        display, 1,
        [&](Display* dpy, int) {
            xResourceReq* req;
            GetResReq(GetGeometry, window, req);
            (void)req;
        },
        [&](int, const unsigned char*, size_t) { alive = true; });
    return alive;
}

bool SControl::Enabled() const {
    return (status & kStatusEnabled) && (!parent || parent->Enabled() || enabledAlone);
}

void SControl::Enable(bool enable) {
    status = enable ? (status | kStatusEnabled) : (status & ~kStatusEnabled);
    Refresh();
}

void SControl::Show() {
    if (Shown() || !display || !window) return;
    XMapRaised(display, window);
    status |= kStatusShown;
    Refresh();
}

void SControl::Hide() {
    if (Shown() && display && window) XUnmapWindow(display, window);
    status &= ~kStatusShown;
}

void SControl::Reparent(int newParent) {
    bool wasShown = Shown();
    Hide();
    if (!display || !window) return;
    parentWindow = newParent ? static_cast<Window>(newParent) : DefaultRootWindow(display);
    XReparentWindow(display, window, parentWindow, windowRect.x1 * Scale(),
                    windowRect.y1 * Scale());
    if (wasShown) Show();
}

void SControl::Inherit(int other) {
    XWindowAttributes from;
    if (!display || !window || !XGetWindowAttributes(display, static_cast<Window>(other), &from))
        return;
    XSetWindowAttributes to{};
    to.save_under = from.save_under;
    to.event_mask = from.your_event_mask;
    to.do_not_propagate_mask = from.do_not_propagate_mask;
    to.override_redirect = from.override_redirect;
    XChangeWindowAttributes(display, window,
                            CWSaveUnder | CWEventMask | CWDontPropagate | CWOverrideRedirect, &to);
}

void SControl::Move(int dx, int dy) {
    SetPosition(windowRect.x1 + dx, windowRect.y1 + dy);
}

void SControl::SetPosition(int x, int y) {
    int w = windowRect.Width(), h = windowRect.Height();
    windowRect = {x, y, x + w, y + h};
    if (display && window) XMoveWindow(display, window, x * Scale(), y * Scale());
}

void SControl::SetSize(int w, int h) {
    windowRect = {windowRect.x1, windowRect.y1, windowRect.x1 + w, windowRect.y1 + h};
    clientRect = {0, 0, w, h};
    if (display && window && w > 0 && h > 0)
        XResizeWindow(display, window, static_cast<unsigned>(w * Scale()),
                      static_cast<unsigned>(h * Scale()));
}

void SControl::Resized(bool refresh) {
    XWindowAttributes a;
    if (!display || !window || !XGetWindowAttributes(display, window, &a)) return;
    TakeGeometry(a.x, a.y, a.width, a.height);
    if (refresh) Refresh();
}

void SControl::TakeGeometry(int x, int y, int w, int h) {
    using math::geom::FloorDiv;
    const int s = Scale();
    x = FloorDiv(x, s);
    y = FloorDiv(y, s);
    windowRect = {x, y, x + w / s, y + h / s};
    clientRect = {0, 0, w / s, h / s};
}

void SControl::Foreground(bool) {
    if (display && window) XRaiseWindow(display, window);
}

void SControl::Minimized() {
    if (flags & kFlagOwnsMenu) CloseMenu();
}

void SControl::Focussing(bool focus) {
    status = focus ? (status | kStatusFocus) : (status & ~kStatusFocus);
}

void SControl::Focus(bool take) {
    if (!display || !window) return;
    Window holder = 0;
    int revert = 0;
    XGetInputFocus(display, &holder, &revert);
    if (take) {
        if (cleaningUp || !Shown() || holder == window) return;
        previousFocus = holder;
        XSetInputFocus(display, window, RevertToNone, CurrentTime);
    } else if (holder == window && previousFocus) {
        XSetInputFocus(display, previousFocus, RevertToNone, CurrentTime);
    }
}

void SControl::ActivateOwner() {
    if (parent) parent->Focus(true);
}

bool SControl::IsSubcontrol(unsigned w) {
    return w == window;
}

void SControl::SetTitleText(const char* text) {
    title = text;
    if (display && window) XStoreName(display, window, title.Text());
}

void SControl::GetClient2Screen(Point2& p) {
    Window child;
    if (display && window)
        XTranslateCoordinates(display, window, DefaultRootWindow(display), p.x * Scale(),
                              p.y * Scale(), &p.x, &p.y, &child);
}

void SControl::GetScreen2Client(Point2& p) {
    Window child;
    if (!display || !window ||
        !XTranslateCoordinates(display, DefaultRootWindow(display), window, p.x, p.y, &p.x, &p.y,
                               &child))
        return;
    p = {math::geom::FloorDiv(p.x, Scale()), math::geom::FloorDiv(p.y, Scale())};
}

Point2 SControl::PointerPosition() {
    if (eventPointer.valid) return eventPointer.at;
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned mask = 0;
    if (!display || !XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX,
                                   &rootY, &x, &y, &mask))
        return {-1, -1};
    Point2 p{rootX, rootY};
    GetScreen2Client(p);
    return p;
}

Point2 SControl::GetScreenPosition() {
    Point2 p{0, 0};
    GetClient2Screen(p);
    return p;
}

Point2 SControl::GetTopPosition() {
    if (!display || !window) return {0, 0};
    Window at = window, root = 0, up = 0, *children = nullptr;
    unsigned n = 0;
    while (XQueryTree(display, at, &root, &up, &children, &n)) {
        if (children) XFree(children);
        if (up == root || !up) break;
        at = up;
    }
    XWindowAttributes a;
    if (!XGetWindowAttributes(display, at, &a)) return {0, 0};
    return {a.x, a.y};
}

} // namespace zell::gui
