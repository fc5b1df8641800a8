// The editor of the real shared object in the stand-in host's window, under both kinds of host:
// one that hands its display over and calls the published _XEventProc, one that serves only
// itself. Everything is seen from outside: the X window tree, real clicks and the MIDI that the
// plugin routes afterwards.
#include "LoadedPlugin.h" // first: Xlib's macros clash with its names

#include "HostWindow.h"
#include "PngFile.h"
#include "ThreadProbe.h"
#include "XUser.h"

#include <algorithm>
#include <memory>

namespace ferrovane::test {
namespace {

void Shoot(Display* d, Window w, const std::string& name, int width = 307, int height = 425) {
    EXPECT_TRUE(WriteDrawablePng(d, w, 0, 0, width, height, name));
}

constexpr unsigned long kLimeGreen = 0xC0FF00;

// Whether a controller on channel 3 now also goes out on channel 6.
bool RoutedToSix(VstHost& host) {
    const auto out = host.Process({MidiEvent(0xB2, 7, 100)}, 64);
    return std::any_of(out.begin(), out.end(),
                       [](const VstMidiEvent& e) { return uint8_t(e.midiData[0]) == 0xB5; });
}

class Loaded : public testing::TestWithParam<bool> {};

TEST_P(Loaded, EditorOpensTakesClicksClosesAndLeavesNoThread) {
    const bool handsDisplay = GetParam();
    const int before = BaseThreads();
    host::HostWindow window(307, 425, handsDisplay);
    ASSERT_TRUE(window.Ok());
    Display* d = window.GetDisplay();
    window.Start();
    {
        auto loaded = std::make_unique<LoadedPlugin>();
        LoadedPlugin& p = *loaded;
        ASSERT_NE(p.effect, nullptr);
        EXPECT_EQ(p.effect->flags, 0x139);
        p.host.Start();
        ASSERT_TRUE(window.OpenEditor(p.host));
        EXPECT_TRUE(Eventually([&] { return MappedChildren(d, window.GetWindow()) == 1; }));
        EXPECT_FALSE(RoutedToSix(p.host));

        Click(d, window.GetWindow(), 32 + 16 * 2 + 8, 103 + 16 * 5 + 8);
        EXPECT_TRUE(Eventually([&] { return RoutedToSix(p.host); }))
            << "the click connected 3 to 6";
        const Window w = window.GetWindow();
        EXPECT_TRUE(Eventually([&] {
            return PixelAt(d, w, 32 + 16 * 2 + 8, 103 + 16 * 5 + 8) == kLimeGreen;
        })) << "the selected node";
        EXPECT_TRUE(Eventually([&] { return PixelAt(d, w, 150, 363) == kLimeGreen; }))
            << "the filter box outlined for the selection, after the editor's refresh";
        // Only a 32-bit address fits the published property.
        if (handsDisplay && sizeof(void*) == 4) {
            EXPECT_GT(window.Forwarded(), 0);
        }
        Shoot(d, window.GetWindow(),
              handsDisplay ? "editor-loaded-event-proc-host.png" : "editor-loaded-plain-host.png");

        window.Exclusive([&] { EXPECT_EQ(p.host.Dispatch(effEditClose), 1); });
        EXPECT_TRUE(Eventually([&] { return MappedChildren(d, window.GetWindow()) == 0; }))
            << "parked";
        ASSERT_TRUE(window.OpenEditor(p.host));
        EXPECT_TRUE(Eventually([&] { return MappedChildren(d, window.GetWindow()) == 1; }));
        EXPECT_TRUE(RoutedToSix(p.host)) << "the program kept its edit";
        window.Exclusive([&] { p.host.Close(); }); // with the window open
        window.Exclusive([&] { loaded.reset(); });
    }
    window.Stop();
    EXPECT_TRUE(ThreadsSettleAt(before)) << "the pump and the idle thread are gone";
}

INSTANTIATE_TEST_SUITE_P(BothHosts, Loaded, testing::Values(false, true));

TEST(LoadedRefusal, UsineGetsNoPluginAndTheBoxOnScreen) {
    HostAnswers answers;
    answers.product = "Usine Hollyhock II";
    VstHost host(answers);
    ASSERT_TRUE(host.Load(FERROVANE_PLUGIN_PATH)) << host.Error();
    testing::internal::CaptureStderr();
    EXPECT_EQ(host.Instantiate(), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Ferrovane: Failed to load plugin\n"
              "Ferrovane: (Reason: Host not supported (Usine))\n");
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);
    Window box = 0;
    EXPECT_TRUE(Eventually([&] { return (box = NamedWindow(d, "Ferrovane")) != 0; }))
        << "the message box is shown without any editor";
    if (box) {
        XWindowAttributes a;
        ASSERT_TRUE(XGetWindowAttributes(d, box, &a));
        EXPECT_GT(a.width, 100);
        XSync(d, False);
        Shoot(d, box, "editor-loaded-usine-refused.png", a.width, a.height);
    }
    host.Unload(); // takes the box with it
    EXPECT_TRUE(Eventually([&] { return NamedWindow(d, "Ferrovane") == 0; }));
    XCloseDisplay(d);
}

} // namespace
} // namespace ferrovane::test
