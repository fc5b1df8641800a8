// The toolkit's own event pump, and plain controls in the stand-in host's window under both
// kinds of host: one that calls the published _XEventProc, one that serves only itself.
#include <gtest/gtest.h> // before Xlib, which defines None and Bool

#include "HostWindow.h"
#include "OwnXServer.h"
#include "PngFile.h"
#include "SControlRegistry.h"
#include "SXConnection.h"
#include "SEventPump.h"
#include "SGlobals.h"
#include "SHostDisplay.h"
#include "SStaticData.h"
#include "STimer.h"
#include "SWindow.h"
#include "ThreadProbe.h"
#include "ToolkitDisplay.h"
#include "XRelay.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <atomic>
#include <chrono>
#include <thread>

// Last: it defines macros that clash with ordinary names.
#include <X11/Xlibint.h>

namespace zell::gui::test {
namespace {

using ferrovane::host::HostWindow;

// Counts what reaches it; the counts are read on the test thread while another thread
// dispatches.
class Probe : public SWindow {
  public:
    using SWindow::SWindow;
    void MouseStateChanged(bool*, int code) override {
        if (code == 0) ++entered;
        if (code == 3) ++pressed;
    }
    void KeyStateChanged(int key, bool down, int, int) override {
        if (down && key == 'x') ++typed;
    }
    void Draw(const Rect2& r) override {
        SWindow::Draw(r);
        ++draws;
    }
    std::atomic<int> entered{0}, pressed{0}, typed{0}, draws{0};
};

// Waits for a condition another thread brings about; false when it never comes.
template <typename F> bool WaitFor(F done) {
    for (int i = 0; i < 500 && !done(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done();
}

// Real pointer and key events through the XTest extension, on a connection of the test's own.
class Fake {
  public:
    Fake() : d(OpenDisplay(nullptr)) {}
    ~Fake() {
        if (d) XCloseDisplay(d);
    }
    void MoveTo(int x, int y) {
        XTestFakeMotionEvent(d, -1, x, y, CurrentTime);
        XFlush(d);
    }
    void Click() {
        XTestFakeButtonEvent(d, 1, True, CurrentTime);
        XTestFakeButtonEvent(d, 1, False, CurrentTime);
        XFlush(d);
    }
    void Type(KeySym sym) {
        KeyCode code = XKeysymToKeycode(d, sym);
        XTestFakeKeyEvent(d, code, True, CurrentTime);
        XTestFakeKeyEvent(d, code, False, CurrentTime);
        XFlush(d);
    }
    Display* d;
};

TEST(Pump, StartsWithTheFirstWindowServesAndStopsWithTheLast) {
    ASSERT_NE(dps, nullptr) << "no X server at load";
    const int before = BaseThreads();
    SGlobals globals;
    auto* probe = new Probe(&globals, nullptr, 1, "probe", 0, 10, 10, 80, 60, 0, false);
    EXPECT_TRUE(SEventPump::Running());
    EXPECT_TRUE(ThreadsSettleAt(before + 1));
    auto* second = new Probe(&globals, nullptr, 2, "second", 0, 100, 10, 20, 20, 0, false);
    EXPECT_TRUE(ThreadsSettleAt(before + 1)) << "one pump for every window";
    probe->Show();
    ASSERT_TRUE(WaitFor([&] { return probe->draws.load() > 0; })) << "the pump paints";
    Fake fake;
    fake.MoveTo(30, 30);
    fake.Click();
    EXPECT_TRUE(WaitFor([&] { return probe->pressed.load() > 0; }));
    probe->Retire(); // the pump dispatches on its own thread
    delete probe;
    EXPECT_TRUE(SEventPump::Running());
    second->Retire();
    delete second;
    EXPECT_FALSE(SEventPump::Running());
    EXPECT_TRUE(ThreadsSettleAt(before));
    auto* again = new Probe(&globals, nullptr, 3, "again", 0, 0, 0, 20, 20, 0, false);
    EXPECT_TRUE(SEventPump::Running());
    again->Retire();
    delete again;
    EXPECT_TRUE(ThreadsSettleAt(before));
}

// Timer ticks reach the control's ParseEvent on the timer's own thread.
class Ticked : public SWindow {
  public:
    using SWindow::SWindow;
    void ParseEvent(SEvent* e) override {
        if (e->type == kEventTimer && e->kind == kKindValue && e->sender == this) {
            lastId = e->value;
            ++ticks;
        }
    }
    std::atomic<int> ticks{0}, lastId{0};
};

TEST(Timers, TicksReachTheControlAndStopWithIt) {
    const int before = BaseThreads();
    SGlobals globals;
    auto* c = new Ticked(&globals, nullptr, 1, "ticked", 0, 0, 0, 10, 10, 0, false);
    std::unique_ptr<threading::STimer> extra = c->AddTimer(5, true);
    EXPECT_TRUE(WaitFor([&] { return c->ticks.load() >= 3; }));
    EXPECT_EQ(static_cast<unsigned>(c->lastId.load()), extra->Id());
    extra.reset();
    c->CreateTimer(5, true); // the control's own timer; nobody listens but the control
    c->Retire();
    delete c;
    EXPECT_TRUE(ThreadsSettleAt(before)) << "no timer thread outlives it";
}

void SaveScreenshot(Display* d, Window w, const char* name) {
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(d, w, &a));
    EXPECT_TRUE(ferrovane::test::WriteDrawablePng(d, w, 0, 0, a.width, a.height, name));
}

// Each instance holds the display its host gave it, several may hold one, and the toolkit lets
// go of it with the last of them.
TEST(HostDisplay, AdoptedOnlyWhereHostsCanDispatchForIt) {
    constexpr bool kAdopts = SControlRegistry::kAddressesInProperties;
    Display* host = OpenDisplay(nullptr);
    Display* other = OpenDisplay(nullptr);
    ASSERT_TRUE(host && other);
    SGlobals first, second, third;
    EXPECT_TRUE(AdoptHostDisplay(&first, host));
    EXPECT_TRUE(AdoptHostDisplay(&second, host));
    EXPECT_TRUE(AdoptHostDisplay(&third, other));
    EXPECT_EQ(first.dp.load() == host, kAdopts);
    EXPECT_EQ(third.dp.load() == other, kAdopts);
    EXPECT_TRUE(AdoptHostDisplay(&first, other)) << "a later open keeps the first display";
    EXPECT_EQ(first.dp.load() == host, kAdopts);
    EXPECT_EQ(HostDisplayHolders(host), kAdopts ? 2 : 0);
    EXPECT_EQ(InstanceDisplay(&third), kAdopts ? other : dps);
    ReleaseHostDisplay(&first);
    EXPECT_EQ(SXConnection::IsHost(host), kAdopts) << "the second instance still holds it";
    ReleaseHostDisplay(&second);
    ReleaseHostDisplay(&third);
    EXPECT_FALSE(SXConnection::IsHost(host));
    EXPECT_FALSE(SXConnection::IsHost(other));
    EXPECT_EQ(first.dp.load(), nullptr);

    // A display opened before Xlib's thread support was enabled has no lock functions: our own
    // threads could not make requests on it safely, so the toolkit keeps to its own.
    _XDisplay* unlocked = host;
    _XLockPtrs* locks = unlocked->lock_fns;
    unlocked->lock_fns = nullptr;
    EXPECT_FALSE(SXConnection::ThreadSafe(host));
    EXPECT_TRUE(AdoptHostDisplay(&first, host));
    EXPECT_EQ(first.dp.load(), nullptr);
    unlocked->lock_fns = locks;

    // No server at load: the toolkit's own connection is opened now, to the host's display.
    _XDisplay* loaded = dps;
    dps = nullptr;
    EXPECT_TRUE(AdoptHostDisplay(&first, kAdopts ? nullptr : host));
    ASSERT_NE(dps, nullptr);
    EXPECT_NE(dps, host);
    SXConnection::Unwatch(dps);
    XCloseDisplay(dps);
    dps = loaded;
    XCloseDisplay(other);
    XCloseDisplay(host);
}

int hostErrors = 0;
int CountHostError(Display*, XErrorEvent*) {
    ++hostErrors;
    return 0;
}

// On a host's display the toolkit's requests fail quietly, however many of its scopes came and
// went between the host's own requests; the host's failures still reach the host's handler.
TEST(HostDisplay, ErrorsOfTheToolkitsRequestsStayWithItAcrossManyScopes) {
    Display* host = OpenDisplay(nullptr);
    ASSERT_NE(host, nullptr);
    XErrorHandler before = XSetErrorHandler(CountHostError);
    SXConnection::WatchHost(host);
    const Window nowhere = 0x1FFFFFF0; // no window of any client
    hostErrors = 0;
    for (int i = 0; i < 3 * 256 + 7; ++i) {
        {
            SXRequestScope scope(host);
            XMapWindow(host, nowhere);
        }
        XNoOp(host); // the host's request: the scopes' ranges never join
        if (i % 100 == 0) XSync(host, False);
    }
    XSync(host, False);
    EXPECT_EQ(hostErrors, 0);
    XMapWindow(host, nowhere);
    XSync(host, False);
    EXPECT_EQ(hostErrors, 1) << "the host's own failure";
    SXConnection::Unwatch(host);
    XSetErrorHandler(before);
    XCloseDisplay(host);
}

// A host that reads its answers lets the toolkit drop the ranges of its answered requests: scopes
// opened again and again (one per event dispatched, one per idle refresh) never wait; the host's
// own syncs are the only waits.
TEST(HostDisplay, ScopesOnAHostThatReadsItsAnswersWaitForNothing) {
    OwnXServer server;
    ASSERT_TRUE(server.Ok()) << "no Xvfb";
    XRelay relay(server.Name());
    ASSERT_TRUE(relay.Ok());
    Display* host = XOpenDisplay(relay.Name().c_str());
    ASSERT_NE(host, nullptr);
    const Window w = XCreateSimpleWindow(host, DefaultRootWindow(host), 0, 0, 10, 10, 0, 0, 0);
    XSync(host, False);
    SXConnection::WatchHost(host);
    relay.SetPhase(1);
    const long value = 1;
    for (int i = 0; i < 3 * 256 + 7; ++i) {
        {
            SXRequestScope scope(host);
            XChangeProperty(host, w, XA_CARDINAL, XA_CARDINAL, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&value), 1);
        }
        XNoOp(host); // the host's request: the scopes' ranges never join
        if (i % 64 == 0) XSync(host, True);
    }
    XFlush(host);
    relay.SetPhase(0);
    EXPECT_EQ(relay.Count(1).waits, (3 * 256 + 7 + 63) / 64) << "the host's syncs alone";
    SXConnection::Unwatch(host);
    XCloseDisplay(host);
}

class HostKinds : public testing::TestWithParam<bool> {};

// The host calls _XEventProc only where the plugin publishes it: the 32-bit build, with the
// host's display adopted as editors adopt it on open.
TEST_P(HostKinds, PlainControlsCanBeClickedHoveredAndTyped) {
    const bool eventProc = GetParam();
    const bool adopt = eventProc && SControlRegistry::kAddressesInProperties;
    HostWindow host(240, 140, eventProc);
    ASSERT_TRUE(host.Ok());
    SGlobals globals;
    if (adopt) SetHostDisplay(&globals, host.GetDisplay());
    host.Start();
    auto* panel = new Probe(&globals, nullptr, 1, "panel", kFlagOutline | kFlagGripFrame, 0, 0, 240,
                            140, static_cast<int>(host.GetWindow()), false);
    auto* button = new Probe(&globals, panel, 2, "button", kFlagOutline | kFlagHoverOutlines, 40,
                             40, 120, 40, 0, false);
    panel->Add(button);
    int slate = statdata.Colour(SStaticData::kSlate), steel = statdata.Colour(SStaticData::kSteel);
    int white = statdata.Colour(SStaticData::kWhite);
    panel->SetColours(slate, slate, slate, white, white, white, white);
    button->SetColours(steel, steel, slate, white, white, white, white);
    button->SetFrameColour(white, white, white);
    panel->Show();
    button->Show();
    ASSERT_TRUE(WaitFor([&] { return button->draws.load() > 0 && panel->draws.load() > 0; }));
    Fake fake;
    fake.MoveTo(200, 120);
    fake.MoveTo(80, 60);
    EXPECT_TRUE(WaitFor([&] { return button->entered.load() > 0; })) << "hover";
    fake.Click();
    EXPECT_TRUE(WaitFor([&] { return button->pressed.load() > 0; })) << "click";
    fake.Type(XK_x);
    EXPECT_TRUE(WaitFor([&] { return button->typed.load() > 0; })) << "type";
    EXPECT_EQ(host.Forwarded() > 0, adopt);
    SaveScreenshot(host.GetDisplay(), host.GetWindow(),
                   eventProc ? "controls-event-proc-host.png" : "controls-plain-host.png");
    host.Stop();
    panel->Retire();
    delete panel;
    TakeHostDisplay(&globals);
    EXPECT_FALSE(SEventPump::Running());
}

INSTANTIATE_TEST_SUITE_P(BothHosts, HostKinds, testing::Values(false, true));

} // namespace
} // namespace zell::gui::test
