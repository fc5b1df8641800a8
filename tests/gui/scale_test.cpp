// How the editor's scale is chosen: the sources in their order, each with values it cannot use
// (which pass the choice on to the next), the desktop's resolution read from the resources a
// server of the test's own holds, and the one report of a forced scale that is ignored.
#include <gtest/gtest.h> // before Xlib, which defines None and Bool

#include "EnvironmentVariable.h"
#include "OwnXServer.h"
#include "SAtoms.h"
#include "SScale.h"
#include "ToolkitDisplay.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace zell::gui {
namespace {

struct Case {
    const char* forced;
    float hint;
    const char* gdk;
    double dpi;
    int scale;
    bool forcedIgnored;
};

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinite = std::numeric_limits<float>::infinity();

TEST(ScaleChoice, TheFirstSourceWithAUsableValueDecides) {
    const Case cases[] = {
        // Each source above every later one.
        {"2", 3.0f, "3", 288, 2, false},
        {"1", 3.0f, "3", 288, 1, false},
        {nullptr, 3.0f, "2", 288, 3, false},
        {nullptr, 0.0f, "2", 288, 2, false},
        {nullptr, 0.0f, nullptr, 288, 3, false},
        {nullptr, 0.0f, nullptr, 0, 1, false},
        // A forced scale other than 1, 2 or 3 is flagged and passed over; an empty one is unset.
        {"0", 2.0f, nullptr, 0, 2, true},
        {"4", 0.0f, "3", 0, 3, true},
        {"abc", 0.0f, nullptr, 192, 2, true},
        {"2x", 0.0f, nullptr, 0, 1, true},
        {" 2", 0.0f, nullptr, 0, 1, true},
        {"-1", 0.0f, nullptr, 0, 1, true},
        {"", 3.0f, nullptr, 0, 3, false},
        // The host's factor rounds as desktops round; one that is no factor says nothing.
        {nullptr, 1.25f, "3", 0, 1, false},
        {nullptr, 1.5f, nullptr, 0, 2, false},
        {nullptr, 2.49f, nullptr, 0, 2, false},
        {nullptr, 2.5f, nullptr, 0, 3, false},
        {nullptr, 4.0f, nullptr, 0, 3, false},
        {nullptr, -2.0f, "2", 0, 2, false},
        {nullptr, kNaN, "2", 0, 2, false},
        {nullptr, kInfinite, "2", 0, 2, false},
        // GDK_SCALE is a whole number from 1 up; anything else says nothing.
        {nullptr, 0.0f, "7", 0, 3, false},
        {nullptr, 0.0f, "0", 144, 2, false},
        {nullptr, 0.0f, "abc", 144, 2, false},
        {nullptr, 0.0f, "1.5", 0, 1, false},
        {nullptr, 0.0f, "-2", 240, 3, false},
        {nullptr, 0.0f, "", 240, 3, false},
        // Resolutions: 144 dpi and above is 2, 240 and above is 3.
        {nullptr, 0.0f, nullptr, 96, 1, false},
        {nullptr, 0.0f, nullptr, 143.9, 1, false},
        {nullptr, 0.0f, nullptr, 144, 2, false},
        {nullptr, 0.0f, nullptr, 239, 2, false},
        {nullptr, 0.0f, nullptr, 240, 3, false},
        {nullptr, 0.0f, nullptr, -96, 1, false},
    };
    for (const Case& c : cases) {
        const SScaleChoice choice = ChooseScale({c.forced, c.hint, c.gdk, c.dpi});
        const std::string what = std::string("forced ") + (c.forced ? c.forced : "(unset)") +
                                 ", hint " + std::to_string(c.hint) + ", GDK_SCALE " +
                                 (c.gdk ? c.gdk : "(unset)") + ", dpi " + std::to_string(c.dpi);
        EXPECT_EQ(choice.scale, c.scale) << what;
        EXPECT_EQ(choice.forcedIgnored, c.forcedIgnored) << what;
    }
}

double Dpi(const char* resources) {
    return XftDpi(resources, strlen(resources));
}

TEST(ScaleChoice, TheResolutionIsTheXftDpiLineOfTheResources) {
    EXPECT_EQ(Dpi("Xft.dpi:\t192\n"), 192);
    EXPECT_EQ(Dpi("Xft.antialias:\t1\nXft.dpi: 144.5\nXft.hinting:\t1\n"), 144.5);
    EXPECT_EQ(Dpi("  Xft.dpi :\t120"), 120) << "blanks around the name, no last newline";
    EXPECT_EQ(Dpi("Xft.dpi:\t96\nXft.dpi:\t192\n"), 192) << "the last one set";
    EXPECT_EQ(Dpi(""), 0);
    EXPECT_EQ(XftDpi(nullptr, 0), 0);
    for (const char* bad :
         {"Xft.dpi:\tabc\n", "Xft.dpi:\t-96\n", "Xft.dpi:\t0\n", "Xft.dpi:\t192 dpi\n",
          "Xft.dpi:\tnan\n", "Xft.dpi:\tinf\n", "Xft.dpix:\t192\n", "Xft.dp:\t192\n",
          "xft.dpi:\t192\n", "Xft.dpi\t192\n", "Xft.dpi:\n"})
        EXPECT_EQ(Dpi(bad), 0) << bad;
    // The length bounds the text, which need not end in a 0.
    const char cut[] = "Xft.dpi:\t19200";
    EXPECT_EQ(XftDpi(cut, sizeof cut - 3), 192);
}

// A server of the test's own whose root window holds the resources, as xrdb leaves them.
class Desktop : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(server.Ok()); }
    // The scale a fresh connection to the server finds with the host's hint.
    int ScaleWith(const char* resources, float hint = 0.0f) {
        Display* d = XOpenDisplay(server.Name().c_str());
        if (!d) return -1;
        XChangeProperty(d, DefaultRootWindow(d), XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(resources),
                        static_cast<int>(strlen(resources)));
        XCloseDisplay(d);
        d = XOpenDisplay(server.Name().c_str());
        if (!d) return -1;
        const int scale = DesktopScale(d, hint);
        SAtoms::Forget(d); // the next connection may have the same address
        XCloseDisplay(d);
        return scale;
    }

    OwnXServer server;
    EnvironmentVariable forced{"FERROVANE_SCALE", nullptr};
    EnvironmentVariable gdk{"GDK_SCALE", nullptr};
};

TEST_F(Desktop, EachSourceInItsOrderBadValuesPassedOverAndReportedOnce) {
    EXPECT_EQ(ScaleWith("Xft.dpi:\t192\n"), 2);
    EXPECT_EQ(ScaleWith("Xft.dpi:\t288\n"), 3);
    EXPECT_EQ(ScaleWith("Xft.dpi:\tabc\n"), 1);
    EXPECT_EQ(ScaleWith("Xft.antialias:\t1\n"), 1);
    {
        EnvironmentVariable set("GDK_SCALE", "3");
        EXPECT_EQ(ScaleWith("Xft.dpi:\t192\n"), 3);
        EXPECT_EQ(ScaleWith("Xft.dpi:\t192\n", 2.0f), 2) << "the host's hint before GDK_SCALE";
    }
    {
        EnvironmentVariable set("GDK_SCALE", "abc");
        EXPECT_EQ(ScaleWith("Xft.dpi:\t192\n"), 2);
        EXPECT_EQ(ScaleWith("Xft.dpi:\t192\n", kNaN), 2);
    }
    EnvironmentVariable set("FERROVANE_SCALE", "1");
    EXPECT_EQ(ScaleWith("Xft.dpi:\t288\n", 3.0f), 1) << "forced, whatever the others say";

    testing::internal::CaptureStderr();
    {
        EnvironmentVariable bad("FERROVANE_SCALE", "4");
        EXPECT_EQ(ScaleWith("Xft.dpi:\t192\n"), 2);
    }
    {
        EnvironmentVariable bad("FERROVANE_SCALE", "abc");
        EXPECT_EQ(ScaleWith("Xft.dpi:\t96\n"), 1);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Ferrovane: FERROVANE_SCALE \"4\" is ignored: the scale is 1, 2 or 3.\n")
        << "once in the process's life";
}

} // namespace
} // namespace zell::gui
