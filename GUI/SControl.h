// A control owns one X window, a drawing context and an input record, and turns the X events of
// its window into calls of its virtual operations. Controls notify each other with SEvents sent
// to registered listeners. Every call runs on the thread that dispatches X events, unless it says
// otherwise.
#pragma once

#include "GeometryOps.h"
#include "XHandles.h"
#include "SEvent.h"
#include "SIExtended.h"
#include "SIEventTarget.h"
#include "SInput.h"
#include "datastring.h"

#include <atomic>
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
    virtual int Create(SGlobals* globals, SControl* parent, unsigned id, const char* title,
                       int flags, int x, int y, int w, int h, int parentWindow, bool unused);
    virtual void CreateContexts();
    virtual void CleanRessources();
    virtual void CleanUp();
    virtual void PrepareCleanUp();
    virtual void LoadControls() {}
    virtual void Reparent(int window);
    virtual void ReparentChildren() {}
    virtual void Inherit(int window);
    virtual void SetType(int) {}
    // 11-33: state, visibility, position, focus.
    virtual void Enable(bool enable);
    virtual void EnableChildren(bool) {}
    virtual void Show();
    virtual void Hide();
    virtual void Reset() {}
    virtual void Toggle() {}
    virtual void Move(int dx, int dy);
    virtual void Move(Point2& by) { Move(by.x, by.y); }
    virtual void Move(const Point2& by) { Move(by.x, by.y); }
    virtual void Center();
    virtual void Center(Point2& at);
    virtual void Foreground(bool);
    virtual void Minimized();
    virtual void WindowClose() {}
    virtual void WindowMinimize(bool) {}
    virtual void WindowMaximize(bool) {}
    virtual void CloseDialog() {}
    virtual void ClearState() {}
    virtual void CloseTip();
    virtual void Focussing(bool focus);
    virtual void Focus(bool take);
    virtual void FocusTopParent();
    virtual void ActivateOwner();
    // 34-45: the paint protocol. Refresh requests are X events to the control's own window;
    // painting happens only when the dispatcher handles them.
    virtual void Refresh();
    virtual void RefreshRectangle(const Rect2& rect);
    virtual void RefreshOutlines();
    virtual void RefreshRegion(SDrawRegion* region);
    virtual void RefreshArea(unsigned area);
    virtual void RefreshControls(long) {}
    virtual void Draw(const Rect2& rect);
    virtual void DrawRegion(SDrawRegion*) {}
    virtual void DrawArea(unsigned) {}
    virtual void DrawOutlines(const Rect2& rect);
    virtual void DrawBorder(const Rect2& rect);
    virtual void SetBitmaps(context::SDrawBitmap*, context::SDrawBitmap*) {}
    // 46-58: pointer and keys.
    virtual void MousePosition(int x, int y);
    virtual bool* MouseState();
    virtual void MouseStateChanged(bool*, int) {}
    virtual void MousePosChanged(int, int) {}
    virtual void MouseTracker(bool) {}
    virtual bool MouseTracking();
    virtual void Modifiers(int xstate);
    virtual void KeyStateChanged(int, bool, int, int) {}
    virtual void UpdateModifiers(int state, bool);
    virtual int Key(int, bool) { return 1; }
    virtual void MouseSetCapture();
    virtual void MouseReleaseCapture();
    virtual void MousePointer(int x, int y);
    // 59-77: colours and text, forwarded to the drawing context.
    virtual void SetDrawingMode(bool active);
    virtual void SetBackgroundMode(bool mode);
    virtual void SetBackground(int colour, bool active);
    virtual void SetBackgroundColour(bool active);
    virtual void SetBackgroundColour(int colour);
    virtual int GetBackgroundColour();
    virtual int GetForegroundColour();
    virtual void SetColours(int bgNormal, int bgActive, int parentBg, int fg, int fgActive,
                            int text, int textActive);
    virtual void SetTextColour(int colour);
    virtual void SetTitleColour(bool) {}
    virtual void SetTitleText(const char* text);
    virtual int GetFrameColour(bool enabled, bool active);
    virtual void SetFrameColour(int normal, int active, int disabled);
    virtual const data::datastring<32, char>& GetLabel() { return title; }
    virtual void SetAlignment(int) {}
    virtual void SetOffset(Point2) {}
    virtual void SetLabelOffset(Point2&) {}
    virtual void SetTextSize(int) {}
    virtual void Highlight(bool, int, int, int) {}
    // 78-91: timers, idle functions, toolkit events.
    virtual void CreateTimer(int interval, bool start);
    virtual void CreateIdleTimer(int interval, bool option);
    virtual void CreateIdleFunction(void (**function)(void*), void* data);
    virtual void DestroyIdleTimer();
    virtual void DestroyIdleFunction();
    virtual void StartTimer(int interval);
    virtual void StopTimer(bool destroy);
    virtual threading::STimer* AddTimer(int interval, bool start);
    virtual void TimerProc(int) {}
    virtual void IdleProc() {}
    virtual void Run() {}
    virtual void Stop() {}
    virtual void ParseEvent(SEvent*) {}
    virtual void EnableHandlers() {}
    // 92-104: menus (never attached here), tooltips, size, shape.
    virtual void MenuProcess(short) {}
    virtual void ChangeMenu() {}
    virtual void ShowMenu(const Point2&) {}
    virtual void CloseMenu() {}
    virtual void SetTooltip(SIToolTip* tip, SIToolTipSource* data, int);
    virtual void ShowTooltip(const Point2& where);
    virtual void HideTooltip();
    // This control's own tip on or off (its status 0x20); a tooltip's EnableTooltips switches
    // every control that uses it.
    virtual void EnableTooltip(bool enable);
    virtual void SetSize(int w, int h);
    virtual bool IsSubcontrol(unsigned window);
    virtual void SetRoundShape(bool round);

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
    void GetClient2Screen(Point2& p);
    void GetScreen2Client(Point2& p);
    // Where the pointer is, in this control's coordinates; (-1, -1) when it cannot be asked.
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
    context::SDrawing* Drawing() const { return drawing; }
    context::SInput* Input() const { return input; }
    // Timer threads deliver through these; ticks stop once clean-up has begun.
    bool CleaningUp() const override { return cleaningUp.load(std::memory_order_relaxed); }
    void SendBaseEvent(const object::SBaseEvent& e) override;
    void SetEnabledAlone(bool alone) { enabledAlone = alone; }
    SIToolTipSource* TooltipData() const { return tooltipData; }

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
    context::SDrawing* drawing = nullptr;
    context::SInput* input = nullptr;
    threading::STimer* timer = nullptr;
    threading::STimerIdle* idleTimer = nullptr;
    SIToolTipSource* tooltipData = nullptr; // owned
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

    // Takes this control out of dispatch and stops what calls it from other threads (its
    // timer, its idle function); a window does the same for its children.
    void Quiesce();
    virtual void QuiesceChildren() {}
    virtual void ChildWindowsGone() {}

  private:
    void DestroyContexts();
    unsigned NextId();
    void CreateWindow(int x, int y, int w, int h, int parentWindowId);
    void SetWindowManagerHints(int w, int h);
    void SetUndecorated();
    void Publish();
    bool PointerInside(SControl* control);
};

} // namespace zell::gui
