// Monitors of the real screen, centring on them, and the system data's monitor list.
#include <gtest/gtest.h> // before Xlib, which defines None and Bool

#include "SDisplay.h"
#include "SGlobals.h"
#include "SSystemData.h"
#include "SUiScope.h"
#include "SWindow.h"
#include "ToolkitDisplay.h"

namespace zell::gui {
namespace {

TEST(Monitors, TheScreenAsTheServerHasIt) {
    Display* d = ToolkitDisplay();
    ASSERT_NE(d, nullptr);
    SDisplay& display = SDisplay::Instance();
    const int w = DisplayWidth(d, DefaultScreen(d)), h = DisplayHeight(d, DefaultScreen(d));
    EXPECT_TRUE(SameRect(display.Bounds(), Rect2{0, 0, w, h}));
    if (w == 3840 && h == 1024) {
        EXPECT_TRUE(display.VirtualSplit());
        ASSERT_EQ(display.MonitorCount(), 3);
        EXPECT_TRUE(SameRect(display.Monitors()[1], Rect2{1280, 0, 2560, 1024}));
    } else {
        EXPECT_FALSE(display.VirtualSplit()) << w << " x " << h;
        EXPECT_EQ(display.MonitorCount(), 1);
    }
    // The system data took the same list.
    const system::SSystemData& s = system::sd();
    ASSERT_NE(s.displays, nullptr);
    ASSERT_EQ(static_cast<int>(s.displays->size()), display.MonitorCount());
    EXPECT_EQ((*s.displays)[0].width, display.Monitors()[0].Width());
    EXPECT_NE(std::string(s.FeatureMessage().Text()).find("\nDisplay "), std::string::npos);
}

TEST(Monitors, CentringOnTheMonitorOfAPoint) {
    SGlobals globals;
    SWindow dialog(&globals, nullptr, 1, "dialog", 0, 7, 9, 244, 154, 0, false);
    // As an editor does: the event pump records the server's answers to these moves in the same
    // rectangle, under the interface lock. The window is destroyed outside it, since destroying
    // waits for the pump.
    SUiScope ui(&globals);
    SDisplay& display = SDisplay::Instance();
    const Rect2 first = display.Monitors()[0];
    display.CenterOnWindow(&dialog, Point2{-5000, -5000}); // outside: the first monitor
    EXPECT_EQ(dialog.WindowRect().x1, first.x1 + ((first.Width() - 244) >> 1));
    EXPECT_EQ(dialog.WindowRect().y1, first.y1 + ((first.Height() - 154) >> 1));
    if (SameRect(first, Rect2{0, 0, 1280, 1024})) {
        EXPECT_EQ(dialog.WindowRect().x1, 518);
        EXPECT_EQ(dialog.WindowRect().y1, 435);
    }
    const Rect2 last = display.Monitors().back();
    display.CenterOnWindow(&dialog, Point2{last.x2 - 1, last.y1 + 1});
    EXPECT_EQ(dialog.WindowRect().x1, last.x1 + ((last.Width() - 244) >> 1));
    dialog.Center(); // on the monitor of its own centre
    EXPECT_EQ(dialog.WindowRect().x1, last.x1 + ((last.Width() - 244) >> 1));
    display.CenterOnWindow(nullptr);
}

} // namespace
} // namespace zell::gui
