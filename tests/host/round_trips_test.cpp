// How often the built plugin waits for the X server, counted on a server of the test's own
// through a relay that reads the protocol: each step a host takes (load, editor open with its
// first frame, idle passes, repaints, the pointer, close) is a phase, and the replies the
// plugin waited for in it are counted beyond what opening a connection waits for itself.
// A 64-bit host serves its own window and the plugin keeps to its own connection; a 32-bit
// host hands its display over and calls the published event procedure for every event.
#include "LoadedPlugin.h" // first: Xlib's macros clash with its names

#include "EnvironmentVariable.h"
#include "HostWindow.h"
#include "OwnXServer.h"
#include "ThreadProbe.h"
#include "XRelay.h"
#include "XUser.h"

#include <X11/extensions/XTest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

namespace ferrovane::test {
namespace {

enum Phase {
    kQuiet,
    kConnection,
    kLoad,
    kHost,
    kEditorOpen,
    kIdle,
    kParameter,
    kProgram,
    kClick,
    kPointer,
    kEditorClose,
    kUnload,
};
constexpr const char* kPhaseNames[] = {"quiet", "connection", "load",  "host",
                                       "open",  "idle",       "param", "program",
                                       "click", "pointer",    "close", "unload"};
static_assert(sizeof kPhaseNames / sizeof *kPhaseNames == kUnload + 1, "a name for every phase");

constexpr bool kHandsDisplay = sizeof(void*) == 4;

// Returns once nothing has passed the relay for a while: the plugin has done what the last
// step asked of it (its idle thread, its event pump or the host's loop included).
void Quiet(const XRelay& relay) {
    unsigned long last = relay.Moved();
    for (int still = 0, i = 0; still < 8 && i < 1000; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
        const unsigned long now = relay.Moved();
        still = now == last ? still + 1 : 0;
        last = now;
    }
}

// Whether a tooltip window is on the screen.
bool TipShown(Display* d) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    bool shown = false;
    if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) return false;
    for (unsigned i = 0; i < count && !shown; ++i) {
        XWindowAttributes a;
        char* title = nullptr;
        if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable &&
            XFetchName(d, children[i], &title) && title)
            shown = strstr(title, "(Tooltip)") != nullptr;
        if (title) XFree(title);
    }
    if (children) XFree(children);
    return shown;
}

// A host that hands over its display, relayed, and calls the editor's event procedure for
// every event that is not its own window's. It reads the procedure's address once, through the
// test's own connection, so that its reads are not counted as the plugin's.
class ForwardingHost {
  public:
    ForwardingHost(const std::string& name, Display* reader, int scale)
        : display(XOpenDisplay(name.c_str())), reader(reader) {
        if (!display) return;
        window = XCreateSimpleWindow(
            display, DefaultRootWindow(display), 0, 0, static_cast<unsigned>(307 * scale),
            static_cast<unsigned>(425 * scale), 0, 0, WhitePixel(display, DefaultScreen(display)));
        XSelectInput(display, window, StructureNotifyMask);
        XMapWindow(display, window);
        XEvent e;
        do
            XWindowEvent(display, window, StructureNotifyMask, &e);
        while (e.type != MapNotify);
        loop = std::thread([this] { Loop(); });
    }
    ~ForwardingHost() {
        if (!display) return;
        XEvent stop{};
        stop.xclient.type = ClientMessage;
        stop.xclient.window = window;
        stop.xclient.format = 32;
        XSendEvent(display, window, False, NoEventMask, &stop);
        XFlush(display);
        loop.join();
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
    ForwardingHost(const ForwardingHost&) = delete;
    ForwardingHost& operator=(const ForwardingHost&) = delete;

    template <typename F> void Exclusive(F&& f) {
        std::lock_guard<std::mutex> hold(forwardLock);
        f();
    }
    // The plugin is gone: nothing is forwarded any more. Inside Exclusive.
    void Unloaded() { forwarding = false; }

    Display* display;
    Window window = 0;

  private:
    using Procedure = void (*)(XEvent*);

    void Loop() {
        while (true) {
            XEvent e;
            XNextEvent(display, &e);
            if (e.type == ClientMessage && e.xclient.window == window) return;
            if (e.xany.window == window) continue;
            std::lock_guard<std::mutex> hold(forwardLock);
            if (!forwarding) continue;
            if (!procedure) procedure = Published(e.xany.window);
            if (procedure) procedure(&e);
        }
    }

    Procedure Published(Window w) {
        Atom type = None;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        Procedure found = nullptr;
        XGetWindowProperty(reader, w, XInternAtom(reader, "_XEventProc", False), 0, 1, False,
                           AnyPropertyType, &type, &format, &items, &after, &data);
        if (data && format == 32 && items == 1)
            found = reinterpret_cast<Procedure>(
                static_cast<uintptr_t>(*reinterpret_cast<unsigned long*>(data)));
        if (data) XFree(data);
        return found;
    }

    Display* reader;
    std::mutex forwardLock;
    Procedure procedure = nullptr;
    bool forwarding = true;
    std::thread loop;
};

// At 1 and at 2, where the editor asks for the fonts of its scale too.
class RoundTrips : public testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.Ok()) << "no Xvfb";
        ASSERT_TRUE(relay.Ok()) << "no display number free for the relay";
        user = XOpenDisplay(server.Name().c_str());
        ASSERT_NE(user, nullptr);
    }
    void TearDown() override {
        if (user) XCloseDisplay(user);
    }

    int Waits(Phase p) { return relay.Count(p).waits; }

    // Every phase's count on one line each, with the requests waited for.
    void Report() {
        for (int p = kConnection; p <= kUnload; ++p) {
            const XRelay::Tally t = relay.Count(p);
            std::string requests;
            for (uint8_t op : t.waited)
                requests += " " + std::to_string(op);
            printf("%-10s replies %4d waited %3d:%s\n", kPhaseNames[p], t.replies, t.waits,
                   requests.c_str());
        }
    }

    void Step(Phase p, const std::function<void()>& step) {
        relay.SetPhase(p);
        step();
        Quiet(relay);
        relay.SetPhase(kQuiet);
    }

    // The pixel of the editor at (x, y), read past the relay.
    unsigned long EditorPixel(Window host, int x, int y) { return PixelAt(user, host, x, y); }

    OwnXServer server;
    XRelay relay{server.Name()};
    Display* user = nullptr;
};

TEST_P(RoundTrips, EachStepOfAHostWaitsOnlyWhereItMust) {
    const int s = GetParam();
    EnvironmentVariable forced("FERROVANE_SCALE", std::to_string(s).c_str());
    Step(kConnection, [&] {
        Display* d = XOpenDisplay(relay.Name().c_str());
        ASSERT_NE(d, nullptr);
        relay.SetPhase(kQuiet);
        XCloseDisplay(d);
    });
    const int connection = Waits(kConnection);

    std::unique_ptr<LoadedPlugin> loaded;
    Step(kLoad, [&] {
        DisplayName toRelay(relay.Name());
        loaded = std::make_unique<LoadedPlugin>();
        loaded->host.Start();
    });
    ASSERT_NE(loaded->effect, nullptr);
    VstHost& host = loaded->host;

    // The host's window: on the server directly, or handed over through the relay.
    std::unique_ptr<host::HostWindow> own;
    std::unique_ptr<ForwardingHost> forwarding;
    Step(kHost, [&] {
        if (kHandsDisplay) {
            forwarding = std::make_unique<ForwardingHost>(relay.Name(), user, s);
        } else {
            DisplayName direct(server.Name());
            own = std::make_unique<host::HostWindow>(307 * s, 425 * s, false);
            own->Start();
        }
    });
    const Window hostWindow = kHandsDisplay ? forwarding->window : own->GetWindow();
    ASSERT_NE(hostWindow, 0u);
    auto exclusive = [&](const std::function<void()>& f) {
        if (kHandsDisplay)
            forwarding->Exclusive(f);
        else
            own->Exclusive(f);
    };

    Step(kEditorOpen, [&] {
        const auto d = kHandsDisplay ? reinterpret_cast<VstIntPtr>(forwarding->display) : 0;
        exclusive([&] {
            EXPECT_EQ(host.Dispatch(effEditOpen, 0, d,
                                    reinterpret_cast<void*>(static_cast<uintptr_t>(hostWindow))),
                      1);
        });
        EXPECT_TRUE(Eventually([&] { return MappedChildren(user, hostWindow) == 1; }));
    });
    Step(kIdle, [&] { std::this_thread::sleep_for(std::chrono::milliseconds(300)); });

    // The grid, switched on by the host, is drawn between the nodes.
    const unsigned long gridOff = EditorPixel(hostWindow, (32 + 16) * s, (103 + 3) * s);
    Step(kParameter, [&] {
        exclusive([&] { loaded->effect->setParameter(loaded->effect, 3, 1.0f); });
        EXPECT_TRUE(Eventually([&] {
            return EditorPixel(hostWindow, (32 + 16) * s, (103 + 3) * s) != gridOff;
        })) << "the grid is drawn";
    });
    Step(kProgram, [&] { exclusive([&] { host.Dispatch(effSetProgram, 0, 5); }); });

    // The tips, switched on by a click on the panel's corner square; then the pointer across the
    // matrix, whose bands follow it, and onto the Clear button, whose tip opens.
    Step(kClick, [&] { Click(user, hostWindow, 5 * s, 5 * s); });
    Step(kPointer, [&] {
        int x = 0, y = 0;
        Window child;
        XTranslateCoordinates(user, hostWindow, DefaultRootWindow(user), 0, 0, &x, &y, &child);
        for (int i = 0; i < 12; ++i) {
            XTestFakeMotionEvent(user, -1, x + (40 + 16 * i) * s, y + (110 + 12 * i) * s,
                                 CurrentTime);
            XSync(user, False);
        }
        XTestFakeMotionEvent(user, -1, x + 267 * s, y + 25 * s, CurrentTime);
        XSync(user, False);
        EXPECT_TRUE(Eventually([&] { return TipShown(user); })) << "the Clear button's tip";
    });

    Step(kEditorClose, [&] { exclusive([&] { host.Dispatch(effEditClose); }); });
    // The host goes on with its display after the unload, and closes it: nothing of the plugin
    // (no extension library's hooks) is left in it.
    Step(kUnload, [&] {
        exclusive([&] {
            loaded.reset();
            if (forwarding) forwarding->Unloaded();
        });
        forwarding.reset();
        own.reset();
    });
    Report();

    EXPECT_LE(Waits(kLoad) - connection, 3) << "load";
    EXPECT_LE(Waits(kEditorOpen), 15) << "editor open and its first frame";
    EXPECT_EQ(Waits(kIdle), 0) << "idle passes with nothing new";
    EXPECT_EQ(Waits(kParameter), 0) << "a parameter's repaint";
    EXPECT_EQ(Waits(kProgram), 0) << "a program's repaint";
    EXPECT_EQ(Waits(kClick), 0) << "a click on the panel";
    EXPECT_EQ(Waits(kPointer), 0) << "the pointer and a tooltip";
    EXPECT_LE(Waits(kEditorClose), 1)
        << "editor close asks whether the host's window is still there";
}

INSTANTIATE_TEST_SUITE_P(AtOneAndTwo, RoundTrips, testing::Values(1, 2));

} // namespace
} // namespace ferrovane::test
