// A control owns one X window, a drawing context and an input record, and turns the X events of
// its window into calls of its virtual operations. Controls notify each other with SEvents sent
// to registered listeners.
//
// The dispatching thread is the one that hands X events to eventProc: the toolkit's event pump
// on x86_64, and on i386 the host's thread that calls _XEventProc on its display. It holds the
// instance's interface lock while it dispatches. Every call runs there unless it says otherwise;
// the editor's other threads (the host's GUI thread in effEditOpen and effEditClose, the idle
// thread) take the same lock.
//
// The virtual functions keep the design's documented order (its numbered table, 1 to 104), so
// that the class reads against the design entry by entry; that is the only reason. Nothing
// outside the shared object depends on the layout: hosts reach the plugin through the plain
// functions of the VST 2.x record, the LV2 descriptors and _XEventProc, no control crosses
// from one shared object to another, and a _ZELLWND address is read back only by the object
// that wrote it. Nothing in the product calls these, marked "kept for the design's slot order"
// where they are declared: ReparentChildren, Inherit, the three Move, both Center,
// FocusTopParent, ActivateOwner, RefreshRectangle, RefreshRegion, DrawBorder, MouseState,
// MouseTracking, Key, MousePointer, SetBackgroundMode, SetBackground,
// SetBackgroundColour(bool), SetTextColour, SetTitleColour, SetFrameColour, SetTextSize,
// CreateTimer, StartTimer, AddTimer, TimerProc, IdleProc, EnableHandlers, MenuProcess and
// ChangeMenu. The last bool of Create is the design's too, and unused.
#pragma once

#include "GeometryOps.h"
#include "XHandles.h"
#include "SEvent.h"
#include "SIExtended.h"
#include "SIEventTarget.h"
#include "SInput.h"
#include "datastring.h"

#include <atomic>
#include <memory>
#include <vector>

namespace zell::threading {
class STimer;
class STimerIdle;
} // namespace zell::threading

namespace zell::gui {

namespace context {
class SDrawing;
class SDrawDevice;
class SDrawBitmap;
} // namespace context

class SGlobals;
class SDrawRegion;
class SIToolTip;
class SIToolTipSource;

// Creation flags.
enum SControlFlags {
    kFlagHasChildren = 0x2,
    kFlagHoverOutlines = 0x4,
    kFlagGrabOnPress = 0x8,
    kFlagRounded = 0x10,
    kFlagPopup = 0x100,
    kFlagTopLevel = 0x200,
    kFlagResizable = 0x400,
    kFlagOwnsMenu = 0x800,
    kFlagWheelToParentA = 0x2000,
    kFlagDecorated = 0x20000,
    kFlagOutline = 0x40000,
    kFlagGripFrame = 0x80000,
    kFlagHasTimer = 0x100000,
    kFlagWheelToParentB = 0x200000,
    kFlagPopupInRoot = 0x400000,
    kFlagPopupFullInput = 0x800000,
};

// Run-time status bits.
enum SControlStatus {
    kStatusEnabled = 0x1,
    kStatusShown = 0x4,
    kStatusTooltip = 0x20,
    kStatusFocus = 0x100,
};

struct SHotkey {
    int key;
    int modifiers;
    unsigned id;
};

class SControl : public SIExtended, public object::SIEventTarget {
  public:
    SControl();
    SControl(SGlobals* globals, SControl* parent, unsigned id, const char* title, int flags, int x,
             int y, int w, int h, int parentWindow, bool unused);
    ~SControl() override;

    // 1-10: creation, clean-up, hierarchy.
    // Create makes the window (when the toolkit has a display) and its drawing and input
    // contexts (CreateContexts), registers it for dispatch and leaves it hidden; it cannot fail
    // and answers 1. It runs on the thread that builds the control: the host's GUI thread in
    // effEditOpen for the editor's controls, the first thread to show a message for the shared
    // message box.
    virtual int Create(SGlobals* globals, SControl* parent, unsigned id, const char* title,
                       int flags, int x, int y, int w, int h, int parentWindow, bool unused);
    virtual void CreateContexts();
    // On the thread that deletes the control, after Retire took it out of dispatch (the host's
    // GUI thread in effEditClose or effClose for the editor's controls). CleanUp runs once:
    // it hides the window (PrepareCleanUp), ends the timer and the idle function, gives up a
    // pointer grab and frees the contexts. CleanRessources marks the control as going; a
    // top-level or pop-up window also deletes its children and its window (at Loop's end).
    virtual void CleanRessources();
    virtual void CleanUp();
    virtual void PrepareCleanUp();
    // Builds the children. The editor calls it once per panel, on the host's GUI thread in
    // effEditOpen, under the interface lock.
    virtual void LoadControls() {}
    // Moves the window into another parent (0: the root), shown again if it was. The editor
    // calls it on the host's GUI thread in effEditOpen and effEditClose, under the interface
    // lock.
    virtual void Reparent(int window);
    // Kept for the design's slot order; nothing calls or overrides these.
    virtual void ReparentChildren() {}
    virtual void Inherit(int window);
    // A button's type bits, set while it is built.
    virtual void SetType(int) {}
    // 11-33: state, visibility, position, focus. These run on the dispatching thread, or on
    // another thread under the interface lock: the host's GUI thread while the editor opens
    // (Show) and the idle thread while the panel refreshes (Enable); Hide also in clean-up.
    // Enable stores the state and asks for a repaint; EnableChildren does so for each child.
    virtual void Enable(bool enable);
    virtual void EnableChildren(bool) {}
    // Maps the window raised, or unmaps it; the shown state follows at once.
    virtual void Show();
    virtual void Hide();
    // A button's value: Reset goes back to 0 and tells the listeners, Toggle acts as a click.
    virtual void Reset() {}
    virtual void Toggle() {}
    // Kept for the design's slot order; nothing calls or overrides these, apart from the
    // overloads forwarding to one another.
    virtual void Move(int dx, int dy);
    virtual void Move(Point2& by) { Move(by.x, by.y); }
    virtual void Move(const Point2& by) { Move(by.x, by.y); }
    virtual void Center();
    virtual void Center(Point2& at);
    // Raises the window; a dialog raises itself as it shows.
    virtual void Foreground(bool);
    // Window-manager operations of a top-level window: a window closes its menu and passes
    // Minimized on to its children. Nothing in this program calls them.
    virtual void Minimized();
    virtual void WindowClose() {}
    virtual void WindowMinimize(bool) {}
    virtual void WindowMaximize(bool) {}
    // The window manager asked a pop-up to close, or a dialog's own button did.
    virtual void CloseDialog() {}
    // A button drops its pointer state and tip and repaints at once; nothing calls it here.
    virtual void ClearState() {}
    // Closes the control's tip; only SButton::ClearState calls it.
    virtual void CloseTip();
    // Focussing reports the window's focus change (FocusIn, FocusOut); Focus takes the input
    // focus, or gives it back to the window that held it before.
    virtual void Focussing(bool focus);
    virtual void Focus(bool take);
    // Kept for the design's slot order; nothing calls or overrides these.
    virtual void FocusTopParent();
    virtual void ActivateOwner();
    // 34-45: the paint protocol. The Refresh calls only send an event to the control's own
    // window (an Expose, or a client message for the outlines, a region or an area) and do
    // nothing while it is hidden; they may come from any thread (the editor's callers hold the
    // interface lock: the dispatcher, the idle thread's panel refresh, the host's GUI thread).
    // Painting happens only when the dispatcher handles those events: it calls Draw, DrawRegion,
    // DrawArea and DrawOutlines on the dispatching thread with the display locked.
    virtual void Refresh();
    // Kept for the design's slot order; nothing calls or overrides it.
    virtual void RefreshRectangle(const Rect2& rect);
    virtual void RefreshOutlines();
    // Kept for the design's slot order; nothing calls or overrides it.
    virtual void RefreshRegion(SDrawRegion* region);
    virtual void RefreshArea(unsigned area);
    // The panel reads the plugin again: -1 everything, else one parameter. The editor calls it
    // on the idle thread under the interface lock.
    virtual void RefreshControls(long) {}
    // The background (with the grip frame) and then the outlines.
    virtual void Draw(const Rect2& rect);
    virtual void DrawRegion(SDrawRegion*) {}
    virtual void DrawArea(unsigned) {}
    virtual void DrawOutlines(const Rect2& rect);
    // Kept for the design's slot order; nothing calls or overrides it.
    virtual void DrawBorder(const Rect2& rect);
    // A button takes both pictures over; nothing calls it here.
    virtual void SetBitmaps(context::SDrawBitmap*, context::SDrawBitmap*) {}
    // 46-58: pointer and keys, on the dispatching thread. While a control holds the grab, mouse
    // and key events go to it; they reach only enabled controls. The dispatcher keeps the input
    // record's flags and reports a changed flag to MouseStateChanged (the code is the flag, see
    // SInput.h), each position to MousePosition (a movement goes on to MousePosChanged), the X
    // modifier state to Modifiers and each key to KeyStateChanged.
    virtual void MousePosition(int x, int y);
    // Kept for the design's slot order; nothing calls or overrides it.
    virtual bool* MouseState();
    virtual void MouseStateChanged(bool*, int) {}
    virtual void MousePosChanged(int, int) {}
    // Switches pointer tracking; only SButton::ClearState calls it.
    virtual void MouseTracker(bool) {}
    // Kept for the design's slot order; nothing calls or overrides it.
    virtual bool MouseTracking();
    virtual void Modifiers(int xstate);
    virtual void KeyStateChanged(int, bool, int, int) {}
    // The modifiers from the stored key state; a window hands them to its children. Nothing
    // calls it here.
    virtual void UpdateModifiers(int state, bool);
    // Kept for the design's slot order; nothing calls or overrides it.
    virtual int Key(int, bool) { return 1; }
    // The pointer grab of a control with kFlagGrabOnPress, taken on a press and given back on
    // the release; a grab the server refuses leaves none. CleanUp also releases it, on the
    // thread that deletes the control.
    virtual void MouseSetCapture();
    virtual void MouseReleaseCapture();
    // Kept for the design's slot order; nothing calls or overrides it.
    virtual void MousePointer(int x, int y);
    // 59-77: colours and text, kept by the drawing context or the control; none of them
    // repaints. They run where the control is built (the host's GUI thread, under the interface
    // lock, for the editor's controls), on the dispatching thread, and on the idle thread when
    // the panel's refresh changes a button's value (SetDrawingMode).
    // The active or the normal colour set.
    virtual void SetDrawingMode(bool active);
    // Kept for the design's slot order; nothing calls or overrides these.
    virtual void SetBackgroundMode(bool mode);
    virtual void SetBackground(int colour, bool active);
    virtual void SetBackgroundColour(bool active);
    // The drawing context's colours: SetColours gives all of them while the control is built;
    // the others serve painting and the matrix's focus mark.
    virtual void SetBackgroundColour(int colour);
    virtual int GetBackgroundColour();
    virtual int GetForegroundColour();
    virtual void SetColours(int bgNormal, int bgActive, int parentBg, int fg, int fgActive,
                            int text, int textActive);
    // Kept for the design's slot order; nothing calls or overrides these.
    virtual void SetTextColour(int colour);
    virtual void SetTitleColour(bool) {}
    // The window's title, which the window manager shows as its name.
    virtual void SetTitleText(const char* text);
    virtual int GetFrameColour(bool enabled, bool active);
    // Kept for the design's slot order; nothing calls or overrides it.
    virtual void SetFrameColour(int normal, int active, int disabled);
    // A label's text and placement, kept by SLabel; nothing calls the setters here.
    virtual const data::datastring<32, char>& GetLabel() { return title; }
    virtual void SetAlignment(int) {}
    virtual void SetOffset(Point2) {}
    virtual void SetLabelOffset(Point2&) {}
    // Kept for the design's slot order; nothing calls or overrides it.
    virtual void SetTextSize(int) {}
    // A label's highlight frame; nothing calls it here.
    virtual void Highlight(bool, int, int, int) {}
    // 78-91: timers, idle functions, toolkit events.
    // Kept for the design's slot order; nothing calls or overrides it.
    virtual void CreateTimer(int interval, bool start);
    // The editor's idle pass: the timer is made and given its function on the host's GUI
    // thread in effEditOpen, and the function then runs on the process's idle thread. Taking
    // the function away (DestroyIdleFunction, from Retire) or the timer (DestroyIdleTimer, in
    // effEditClose and CleanUp) returns once a call in progress has ended (see STimerIdle).
    virtual void CreateIdleTimer(int interval, bool option);
    virtual void CreateIdleFunction(void (**function)(void*), void* data);
    virtual void DestroyIdleTimer();
    virtual void DestroyIdleFunction();
    // Kept for the design's slot order; nothing calls or overrides it.
    virtual void StartTimer(int interval);
    // Stops the control's timer, and deletes it when destroy is set; the stop waits for the
    // timer's thread unless it comes from a tick. CleanUp calls it.
    virtual void StopTimer(bool destroy);
    // Kept for the design's slot order; nothing overrides these and nothing calls them but the
    // editor's idleslow (TimerProc), which nothing calls.
    virtual std::unique_ptr<threading::STimer> AddTimer(int interval, bool start);
    virtual void TimerProc(int) {}
    virtual void IdleProc() {}
    // A window's own event loop: Stop ends it, and the dispatcher stops a top-level window the
    // window manager asks to close. Nothing calls Run here.
    virtual void Run() {}
    virtual void Stop() {}
    // An event of a control this one listens to, on the sender's thread: the dispatching
    // thread for clicks and value changes, a timer thread for ticks (SendBaseEvent).
    virtual void ParseEvent(SEvent*) {}
    // Kept for the design's slot order; nothing calls or overrides it.
    virtual void EnableHandlers() {}
    // 92-104: menus (never attached here), tooltips, size, shape.
    // Kept for the design's slot order; nothing calls or overrides these.
    virtual void MenuProcess(short) {}
    virtual void ChangeMenu() {}
    // A menu button's menu; without one attached only the shown state is kept.
    virtual void ShowMenu(const Point2&) {}
    virtual void CloseMenu() {}
    // SetTooltip gives the control a shared tooltip and its data (owned from then on) while the
    // editor builds its controls. While the control's tip is on, the dispatcher opens it at a
    // root position when the pointer enters and closes it when the pointer leaves.
    virtual void SetTooltip(SIToolTip* tip, SIToolTipSource* data, int);
    virtual void ShowTooltip(const Point2& where);
    virtual void HideTooltip();
    // This control's own tip on or off (its status 0x20); a tooltip's EnableTooltips switches
    // every control that uses it.
    virtual void EnableTooltip(bool enable);
    // Resizes the window, where the control is laid out (the host's GUI thread in effEditOpen
    // for the panel, the dispatching thread for the message box).
    virtual void SetSize(int w, int h);
    // Whether the window is this control's or, for a window, one of its children's; nothing
    // calls it from outside.
    virtual bool IsSubcontrol(unsigned window);
    // Cuts the window's corners, or gives it back its rectangle; the tooltip does it as it
    // opens.
    virtual void SetRoundShape(bool round);
    // Asks the server once per connection whether it shapes windows (the extension's first
    // use), so that SetRoundShape later waits for nothing.
    void PrepareRoundShape();

    void Destroy();
    // The control's window was destroyed by someone else (a host destroys its own window, and
    // everything in it, before it closes the editor): the control forgets it, and a window its
    // children's, without a request on any of them.
    void WindowGone();
    // Whether the control's window still exists; false without one. May wait for the event pump:
    // never under an interface lock.
    bool WindowAlive();
    // Takes the control (and a window's children) out of event dispatch and waits until an
    // event being dispatched on the pump's thread is done. An owner on another thread than the
    // dispatcher calls it before deleting the control.
    void Retire();
    bool Enabled() const;
    bool EventHandled(int type) const;
    void AddEventListener(SControl* listener, int type);
    void RemoveEventListener(SControl* listener, int type);
    void EnableEventHandler(int type);
    void DisableEventHandler(int type);
    void SendEvent(int type, int kind, int value, float fvalue, void* data, SControl* sender,
                   threading::SMutexID* mutex);
    void SendEvent(SEvent* e);
    static void PrepareEvent(SEvent& e, int type, int kind, int value, float fvalue, void* data,
                             SControl* sender, threading::SMutexID* mutex);
    void SetPosition(int x, int y);
    void Resized(bool refresh);
    // A point of the control's (in the layout's pixels) on the screen (in the screen's), and
    // back, rounded down to the layout pixel that holds it.
    void GetClient2Screen(Point2& p);
    void GetScreen2Client(Point2& p);
    // Where the pointer is, in this control's coordinates: while an event of the pointer is
    // being dispatched to the control, where that event says it is; otherwise the server is
    // asked. (-1, -1) when it cannot be asked.
    Point2 PointerPosition();
    Point2 GetTopPosition();
    Point2 GetScreenPosition();
    int KeyStateGet() const;
    void KeyStateSet(int state);
    bool KeyPressed(int) const { return false; }
    bool KeyToggled(int) const { return false; }
    context::SDrawDevice* GetDevice();

    // The one entry from X into the toolkit: finds the control of the event's window and calls
    // its operations. Answers 1 when the event was handled.
    static int eventProc(_XEvent* event);
    // Reports an X error of a guarded read (the error event is error->xerror).
    static int errorHandler(_XDisplay* display, _XEvent* error);
    static unsigned long getProperty(XId window, XId atom);

    // How many screen pixels stand for one of the layout's: the instance's scale. Every
    // position and size the control keeps (windowRect, clientRect, the pointer it is told of) is
    // in the layout's pixels; its window and the pointer's events are scaled where they meet the
    // server.
    int Scale() const;

    // Accessors for the drawing context, the panel and tests.
    XId GetWindow() const { return window; }
    XId GetParentWindow() const { return parentWindow; }
    _XDisplay* GetDisplay() const { return display; }
    SControl* GetParent() const { return parent; }
    SGlobals* GetGlobals() const { return globals; }
    unsigned GetId() const { return id; }
    int GetFlags() const { return flags; }
    int GetStatus() const { return status; }
    bool Shown() const { return (status & kStatusShown) != 0; }
    const Rect2& WindowRect() const { return windowRect; }
    const Rect2& ClientRect() const { return clientRect; }
    context::SDrawing* Drawing() const { return drawing.get(); }
    context::SInput* Input() const { return input.get(); }
    // Timer threads deliver through these; ticks stop once clean-up has begun.
    bool CleaningUp() const override { return cleaningUp.load(std::memory_order_relaxed); }
    void SendBaseEvent(const object::SBaseEvent& e) override;
    void SetEnabledAlone(bool alone) { enabledAlone = alone; }
    SIToolTipSource* TooltipData() const { return tooltipData.get(); }

    // The control holding the pointer grab, or null.
    static SControl* capture;
    // Set by the error handler while an X read is guarded.
    static bool xerror;

  protected:
    friend struct SDispatch;
    friend class SWindow; // quiesces its children

    SGlobals* globals = nullptr;
    SControl* parent = nullptr;
    unsigned id = 0;
    int timerId = 0;
    data::datastring<32, char> title;
    Rect2 windowRect;
    Rect2 clientRect;
    int flags = 0;
    int status = kStatusEnabled;
    SEventManager events;
    SEvent event;
    std::unique_ptr<context::SDrawing> drawing;
    std::unique_ptr<context::SInput> input;
    std::unique_ptr<threading::STimer> timer;
    std::unique_ptr<threading::STimerIdle> idleTimer;
    std::unique_ptr<SIToolTipSource> tooltipData;
    SIToolTip* tipWindow = nullptr;         // the shared tooltip that shows tooltipData; not owned
    std::vector<SHotkey> hotkeys;
    std::atomic<bool> cleaningUp{false}; // read by timer threads
    bool cleanedUp = false;
    bool enabledAlone = false;
    XId window = 0;
    XId parentWindow = 0;
    XId previousFocus = 0;
    XId deleteAtom = 0;
    _XDisplay* display = nullptr; // the connection the window lives on

    // The pointer as the event being dispatched to this control reports it, in the control's
    // coordinates, and where that puts the window's origin on the screen (in the screen's
    // pixels); set by the dispatcher for the time of the event.
    struct EventPointer {
        Point2 at;
        Point2 origin;
        bool valid = false;
    } eventPointer;
    // Whether the pointer is over the window, as the crossing and motion events report it.
    bool pointerOver = false;

    // Takes this control out of dispatch and stops what calls it from other threads (its
    // timer, its idle function); a window does the same for its children. Only Retire calls
    // it, and waits out the dispatch afterwards: the control is retired then.
    void Quiesce();
    bool retired = false;
    // A window passes Quiesce and WindowGone on to its children: on the thread that retires
    // the control, and for WindowGone also on the dispatching thread when the window's
    // destruction arrives.
    virtual void QuiesceChildren() {}
    virtual void ChildWindowsGone() {}

    // Takes the window's place and size as the server reports them, in the screen's pixels.
    void TakeGeometry(int x, int y, int w, int h);

  private:
    void DestroyContexts();
    unsigned NextId();
    void CreateWindow(int x, int y, int w, int h, int parentWindowId);
    void SetWindowManagerHints(int w, int h);
    void SetUndecorated();
    void Publish();
};

} // namespace zell::gui
