// The built plugin in hosts that behave as some real ones do: an X error handler that ends the
// process on any error (installed for the whole of this program, before any plugin is loaded),
// a host that destroys its window before it closes the editor, one that holds its display while
// it hands events over, one that closes its display before it unloads the plugin, and an X
// server that goes away under an open editor. The program must end normally.
#include <gtest/gtest.h> // before Xlib, which defines None and Bool

#include "ExitingXHandlers.h"
#include "HostWindow.h"
#include "OwnXServer.h"
#include "PngFile.h"
#include "ThreadProbe.h"
#include "VstHost.h"
#include "XUser.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <future>
#include <malloc.h>
#include <memory>
#include <thread>

namespace ferrovane::host {
namespace {

// Installed before anything of X happens in this program, as such a host does at its start.
class ExitingHandlers : public testing::Environment {
  public:
    void SetUp() override { InstallExitingXHandlers(); }
};
const auto* const kHandlers = testing::AddGlobalTestEnvironment(new ExitingHandlers);

constexpr int kWidth = 307, kHeight = 425;
constexpr unsigned long kLimeGreen = 0xC0FF00;

// The plugin's window in the host's, and what it shows.
Window PanelIn(Display* d, Window host) {
    Window root = 0, parent = 0, *children = nullptr, found = 0;
    unsigned count = 0;
    if (!XQueryTree(d, host, &root, &parent, &children, &count)) return 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        XWindowAttributes a;
        if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable &&
            a.width == kWidth && a.height == kHeight)
            found = children[i];
    }
    if (children) XFree(children);
    return found;
}

// The centre of matrix node (in, out) in the panel.
constexpr int NodeX(int in) {
    return 32 + 16 * in + 8;
}
constexpr int NodeY(int out) {
    return 103 + 16 * out + 8;
}

bool Routes(VstHost& host, unsigned char from, unsigned char to) {
    const auto out = host.Process({MidiEvent(static_cast<unsigned char>(0xB0 | from), 7, 1)}, 64);
    return std::any_of(out.begin(), out.end(), [&](const VstMidiEvent& e) {
        return static_cast<unsigned char>(e.midiData[0]) == (0xB0 | to);
    });
}

// The plugin loaded by a host with its window: the host hands its display over in event-proc
// mode, as hosts that call _XEventProc do.
struct Session {
    explicit Session(bool eventProc, bool lockDisplay = false)
        : window(kWidth, kHeight, eventProc) {
        if (!window.Ok()) return;
        window.LockDisplayWhileForwarding(lockDisplay);
        window.Start();
        if (!host.Load(FERROVANE_PLUGIN_PATH) || !host.Instantiate()) return;
        host.Start();
    }
    VstIntPtr Open() { return window.OpenEditor(host) ? 1 : 0; }
    void Call(VstInt32 opcode, VstIntPtr value = 0) {
        window.Exclusive([&] { host.Dispatch(opcode, 0, value); });
    }
    void End() {
        window.Exclusive([&] { host.Unload(); });
    }
    bool Ok() { return window.Ok() && host.Effect(); }
    Display* D() { return window.GetDisplay(); }

    HostWindow window;
    VstHost host;
};

class Hosts : public testing::TestWithParam<bool> {};

TEST_P(Hosts, EditorLifeUnderAHostThatExitsOnXErrors) {
    Session s(GetParam());
    ASSERT_TRUE(s.Ok());
    ASSERT_EQ(s.Open(), 1);
    ASSERT_TRUE(Eventually([&] { return PanelIn(s.D(), s.window.GetWindow()) != 0; }));
    AEffect* e = s.host.Effect();
    for (int i = 0; i < 20; ++i) {
        e->setParameter(e, 2 + i % 3, static_cast<float>(i & 1));
        s.Call(effSetProgram, i % 5);
        s.Call(effEditIdle);
    }
    s.Call(effEditClose);
    ASSERT_EQ(s.Open(), 1);
    ASSERT_TRUE(Eventually([&] { return PanelIn(s.D(), s.window.GetWindow()) != 0; }));
    s.Call(effEditClose);
    s.End();
}

// The host destroys its window with the editor in it, goes on changing parameters and programs,
// and only then closes the editor (or opens it again at once): the panel comes back in the new
// window, painted, with the node the user selected and the options as they were.
TEST_P(Hosts, WindowDestroyedBeforeTheEditorCloses) {
    for (bool closes : {true, false}) {
        SCOPED_TRACE(closes ? "the host closes the editor" : "the host opens it again at once");
        Session s(GetParam());
        ASSERT_TRUE(s.Ok());
        ASSERT_EQ(s.Open(), 1);
        Window panel = 0;
        ASSERT_TRUE(Eventually([&] { return (panel = PanelIn(s.D(), s.window.GetWindow())); }));
        Click(s.D(), panel, NodeX(2), NodeY(9)); // connects and selects 3 -> 10
        ASSERT_TRUE(Eventually([&] { return Routes(s.host, 2, 9); }));
        AEffect* e = s.host.Effect();
        e->setParameter(e, 3, 1.0f); // grid on

        s.window.DestroyWindow();
        for (int i = 0; i < 30; ++i) {
            e->setParameter(e, 4, static_cast<float>(i & 1));
            s.host.Dispatch(effSetProgram, 0, i % 2);
            s.host.Dispatch(effEditIdle);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        s.host.Dispatch(effSetProgram, 0, 0);
        if (closes) {
            EXPECT_EQ(s.host.Dispatch(effEditClose), 1);
        }
        s.window.NewWindow();
        ASSERT_EQ(s.Open(), 1);
        ASSERT_TRUE(Eventually([&] { return (panel = PanelIn(s.D(), s.window.GetWindow())); }))
            << "the panel is in the new window";
        EXPECT_TRUE(Eventually([&] {
            return PixelAt(s.D(), panel, NodeX(2), NodeY(9)) == kLimeGreen;
        })) << "the selected node, painted";
        EXPECT_TRUE(Routes(s.host, 2, 9));
        EXPECT_EQ(e->getParameter(e, 3), 1.0f);
        if (closes) {
            EXPECT_TRUE(test::WriteDrawablePng(s.D(), panel, 0, 0, kWidth, kHeight,
                                               GetParam() ? "editor-rebuilt-event-proc-host.png"
                                                          : "editor-rebuilt-plain-host.png"));
        }
        s.Call(effEditClose);
        s.End();
    }
}

INSTANTIATE_TEST_SUITE_P(BothHosts, Hosts, testing::Values(false, true));

// A host that holds XLockDisplay while it calls _XEventProc, during pointer motion over the
// matrix, while the host's parameter changes keep the editor's idle pass refreshing. Where the
// plugin draws on the host's display (i386) the two lock orders would meet.
TEST(LockingHost, MotionUnderTheDisplayLockWhileTheIdlePassRefreshes) {
    Session s(true, true);
    ASSERT_TRUE(s.Ok());
    ASSERT_EQ(s.Open(), 1);
    Window panel = 0;
    ASSERT_TRUE(Eventually([&] { return (panel = PanelIn(s.D(), s.window.GetWindow())); }));
    AEffect* e = s.host.Effect();
    auto work = std::async(std::launch::async, [&] {
        Display* pointer = XOpenDisplay(nullptr);
        int rx = 0, ry = 0;
        Window child;
        XTranslateCoordinates(pointer, panel, DefaultRootWindow(pointer), 32, 103, &rx, &ry,
                              &child);
        for (int i = 0; i < 400; ++i) {
            XTestFakeMotionEvent(pointer, -1, rx + (i * 7) % 256, ry + (i * 13) % 256, CurrentTime);
            XFlush(pointer);
            e->setParameter(e, 4, static_cast<float>(i & 1)); // highlight: a refresh each time
            e->setParameter(e, 3, static_cast<float>((i >> 1) & 1));
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        XCloseDisplay(pointer);
        s.Call(effEditClose);
        s.End();
    });
    // A deadlock never ends; a minute is far beyond what the work takes even under emulation.
    ASSERT_EQ(work.wait_for(std::chrono::seconds(60)), std::future_status::ready) << "deadlocked";
}

size_t HeapInUse() {
    return mallinfo2().uordblks;
}

// A host that closes its display once every instance is closed and only then unloads the
// plugin; the same after many editor openings on that display, which leave no memory behind.
TEST(ClosingHost, DisplayClosedBeforeTheUnload) {
    // Freeing a block above glibc's mmap threshold raises the threshold, which moves later large
    // blocks from mmap to the heap that HeapInUse counts: a fixed threshold keeps the measure.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    for (int cycles : {1, 500}) {
        VstHost host;
        auto window = std::make_unique<HostWindow>(kWidth, kHeight, true);
        ASSERT_TRUE(window->Ok());
        window->Start();
        ASSERT_TRUE(host.Load(FERROVANE_PLUGIN_PATH) && host.Instantiate());
        host.Start();
        const auto display = reinterpret_cast<VstIntPtr>(window->GetDisplay());
        size_t before = 0;
        constexpr int kWarmUp = 20;
        for (int i = 0; i < cycles + kWarmUp; ++i) {
            if (i == kWarmUp) before = HeapInUse();
            window->Exclusive([&] {
                ASSERT_EQ(host.Dispatch(effEditOpen, 0, display, window->EditOpenPtr()), 1);
                host.Dispatch(effEditIdle);
                host.Dispatch(effEditClose);
            });
            // The host's loop handles the editor's events between its calls, as a host's does;
            // Xlib keeps the queue's storage at its deepest, so a starved loop looks like a leak.
            window->Sync();
        }
        const long growth = static_cast<long>(HeapInUse()) - static_cast<long>(before);
        if (cycles > 1) {
            EXPECT_LT(growth / cycles, 256) << growth << " bytes after " << cycles << " cycles";
        }
        window->Exclusive([&] { host.Close(); });
        window.reset(); // the host closes its connection while the plugin is still loaded
        host.Unload();
    }
}

// A host that opens one X connection per editor window and closes it with its instance: each
// instance works on the connection its host handed it, and once one instance and its
// connection are gone the other's editor still takes clicks and paints them.
TEST(ClosingHost, EachInstanceOnTheConnectionItWasHanded) {
    auto first = std::make_unique<Session>(true);
    Session second(true);
    ASSERT_TRUE(first->Ok() && second.Ok());
    XMoveWindow(second.D(), second.window.GetWindow(), kWidth + 20, 0); // side by side
    XSync(second.D(), False);
    ASSERT_EQ(first->Open(), 1);
    ASSERT_EQ(second.Open(), 1);
    Window one = 0, two = 0;
    ASSERT_TRUE(Eventually([&] { return (one = PanelIn(first->D(), first->window.GetWindow())); }));
    ASSERT_TRUE(Eventually([&] { return (two = PanelIn(second.D(), second.window.GetWindow())); }));
    Click(first->D(), one, NodeX(1), NodeY(5));
    ASSERT_TRUE(Eventually([&] { return Routes(first->host, 1, 5); }));
    first->Call(effEditClose);
    first->End();
    first.reset(); // the host closes that connection, and everything made on it goes
    Click(second.D(), two, NodeX(2), NodeY(9));
    EXPECT_TRUE(Eventually([&] { return Routes(second.host, 2, 9); })) << "the click arrived";
    EXPECT_TRUE(Eventually([&] {
        return PixelAt(second.D(), two, NodeX(2), NodeY(9)) == kLimeGreen;
    })) << "and was painted";
    second.Call(effEditClose);
    second.End();
}

// The X server goes away with the editor open while processing runs: MIDI keeps coming out
// routed, and closing the editor, the plugin and the unload all end. The plugin's connection is
// its own here (the host hands no display over), as it always is on x86_64.
TEST(LostServer, ProcessingGoesOnAndEverythingCloses) {
    OwnXServer server;
    ASSERT_TRUE(server.Ok()) << "no Xvfb";
    DisplayName name(server.Name());
    auto s = std::make_unique<Session>(false);
    ASSERT_TRUE(s->Ok());
    ASSERT_EQ(s->Open(), 1);
    ASSERT_TRUE(Eventually([&] { return PanelIn(s->D(), s->window.GetWindow()) != 0; }));
    std::atomic<bool> running{true};
    std::atomic<int> routedBlocks{0};
    std::thread processing([&] {
        while (running.load()) {
            if (Routes(s->host, 4, 4)) routedBlocks.fetch_add(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    s->window.Stop(); // the host's own connection goes quiet: its loss is not what is tested
    // The stand-in host ignores SIGPIPE; a host that keeps its default action dies of it. A write
    // of the plugin's that finds the server gone must not raise it where the host would see it.
    const sighandler_t hostsOwn = signal(SIGPIPE, SIG_DFL);
    AEffect* e = s->host.Effect();
    e->setParameter(e, 3, 1.0f); // the idle pass has work when the server goes
    server.Kill();
    const int before = routedBlocks.load();
    EXPECT_TRUE(Eventually([&] { return routedBlocks.load() > before + 20; }))
        << "MIDI still routed";
    e->setParameter(e, 4, 1.0f);
    EXPECT_EQ(s->host.Dispatch(effEditClose), 1);
    EXPECT_EQ(s->host.Dispatch(effEditOpen, 0, 0, s->window.EditOpenPtr()), 0)
        << "no editor without a server";
    running = false;
    processing.join();
    s->host.Unload();
    s->window.Abandon();
    signal(SIGPIPE, hostsOwn);
}

} // namespace
} // namespace ferrovane::host
