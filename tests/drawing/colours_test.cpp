// The pixels the colour cache finds are those the server's own allocation gives, on servers of
// every visual class: worked out on TrueColor (8 and 5-6-5 bits a component), allocated together
// on the others, where they take the cells one-by-one allocation takes, refusals included, on a
// colormap that fills up. A DirectColor colormap holds nothing in cells not allocated: a pixel
// worked out from its masks would show black there.
#include <gtest/gtest.h> // before Xlib, which defines None and Bool

#include "OwnXServer.h"
#include "SColour.h"
#include "SColourCache.h"
#include "SXConnection.h"
#include "XRelay.h"

#include <X11/Xlib.h>

#include <string>
#include <vector>

namespace {

using zell::gui::ColourCell;
using zell::gui::SColourCell;

// The palette, then a sweep of the cube: more colours than an 8-bit colormap holds.
std::vector<SColourCell> Wanted() {
    std::vector<SColourCell> cells;
    for (int i = 0; i < 29; ++i)
        cells.push_back(ColourCell((i * 97) % 256, (i * 57) % 256, (i * 31) % 256));
    for (int r = 0; r < 256; r += 37)
        for (int g = 0; g < 256; g += 41)
            for (int b = 0; b < 256; b += 43)
                cells.push_back(ColourCell(r, g, b));
    return cells;
}

// One XAllocColor after the other, as Xlib's callers allocate.
std::vector<SColourCell> OneByOne(Display* d, std::vector<SColourCell> cells) {
    for (SColourCell& c : cells) {
        XColor x{0, c.red, c.green, c.blue, DoRed | DoGreen | DoBlue, 0};
        c.found = XAllocColor(d, DefaultColormap(d, 0), &x) != 0;
        c.pixel = c.found ? x.pixel : 0;
        if (c.found) c.red = x.red, c.green = x.green, c.blue = x.blue;
    }
    return cells;
}

std::vector<SColourCell> Cached(Display* d, std::vector<SColourCell> cells) {
    FindColours(d, cells.data(), static_cast<int>(cells.size()));
    return cells;
}

void ExpectSame(const std::vector<SColourCell>& got, const std::vector<SColourCell>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE("colour " + std::to_string(i));
        EXPECT_EQ(got[i].found, want[i].found);
        EXPECT_EQ(got[i].pixel, want[i].pixel);
        EXPECT_EQ(got[i].red, want[i].red);
        EXPECT_EQ(got[i].green, want[i].green);
        EXPECT_EQ(got[i].blue, want[i].blue);
    }
}

// A connection to a new server of the kind, through a relay that counts the waits, and the
// toolkit's own as far as errors go (the server refuses colours for a full colormap); the
// colour cache forgets it before it closes.
struct Screen {
    explicit Screen(const std::vector<std::string>& kind) : server(kind), relay(server.Name()) {
        display = relay.Ok() ? XOpenDisplay(relay.Name().c_str()) : nullptr;
        zell::gui::SXConnection::WatchOwn(display);
    }
    ~Screen() {
        if (!display) return;
        zell::gui::ForgetColours(display);
        zell::gui::SXConnection::Unwatch(display);
        XCloseDisplay(display);
    }
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;
    OwnXServer server;
    XRelay relay;
    Display* display;
};

std::vector<std::string> Kind(const char* screen, const char* visualClass = nullptr) {
    std::vector<std::string> kind{"-screen", "0", screen};
    if (visualClass) kind.insert(kind.end(), {"-cc", visualClass});
    return kind;
}

struct VisualCase {
    const char* name;
    const char* screen;
    const char* visualClass; // Xvfb's -cc, or null for the depth's default
};

class Colours : public testing::TestWithParam<VisualCase> {};

TEST_P(Colours, ArePixelsTheServersAllocationGives) {
    const VisualCase& v = GetParam();
    Screen cached(Kind(v.screen, v.visualClass));
    ASSERT_NE(cached.display, nullptr) << "no Xvfb";
    const bool workedOut = zell::gui::ColoursWorkedOut(cached.display);
    cached.relay.SetPhase(1);
    const std::vector<SColourCell> ours = Cached(cached.display, Wanted());
    cached.relay.SetPhase(0);
    EXPECT_EQ(cached.relay.Count(1).waits, workedOut ? 0 : 1) << "one round trip for them all";
    // A colormap's cells depend on the order of allocation: the other way is asked of a server
    // of its own, with its colormap as new.
    Screen plain(Kind(v.screen, v.visualClass));
    ASSERT_NE(plain.display, nullptr) << "no Xvfb";
    const std::vector<SColourCell> servers = OneByOne(plain.display, Wanted());
    EXPECT_EQ(workedOut, DefaultVisual(cached.display, 0)->c_class == TrueColor);
    ExpectSame(ours, servers);
    SCOPED_TRACE("asked again: the same answers");
    ExpectSame(Cached(cached.display, Wanted()), ours);
}

INSTANTIATE_TEST_SUITE_P(EveryClass, Colours,
                         testing::Values(VisualCase{"TrueColor24", "320x240x24", nullptr},
                                         VisualCase{"TrueColor16", "320x240x16", nullptr},
                                         VisualCase{"DirectColor24", "320x240x24", "5"},
                                         VisualCase{"PseudoColor8", "320x240x8", nullptr},
                                         VisualCase{"StaticColor8", "320x240x8", "2"},
                                         VisualCase{"GrayScale8", "320x240x8", "1"}),
                         [](const testing::TestParamInfo<VisualCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
