// Keysyms into key codes and classes, and the tooltip placement rules.
#include <gtest/gtest.h> // before Xlib, which defines None and Bool

#include "SDisplay.h"
#include "SKeys.h"
#include "SToolTipLink.h"

#include <X11/keysym.h>

namespace zell::gui {
namespace {

TEST(Keys, TableRows) {
    struct {
        unsigned long sym;
        int code, keyClass;
    } rows[] = {
        {XK_Return, 0, 4},
        {XK_KP_Enter, 0, 4},
        {XK_Escape, 1, 4},
        {XK_KP_Tab, 2, 4},
        {XK_BackSpace, 3, 4},
        {XK_KP_Delete, 4, 4},
        {XK_Insert, 5, 4},
        {XK_KP_Up, 6, 4},
        {XK_Down, 7, 4},
        {XK_Left, 8, 4},
        {XK_KP_Right, 9, 4},
        {XK_Prior, 10, 4},
        {XK_KP_Next, 11, 4},
        {XK_Home, 12, 4},
        {XK_KP_End, 13, 4},
        {XK_Caps_Lock, 14, 4},
        {XK_Print, 15, 4},
        {XK_Break, 16, 4},
        {XK_Shift_R, 17, 3},
        {XK_Control_L, 18, 3},
        {XK_Alt_R, 19, 3},
        {XK_KP_0, '0', 0},
        {XK_KP_9, '9', 0},
        {XK_KP_Multiply, '*', 0},
        {XK_KP_Separator, ',', 0},
        {XK_KP_Equal, '=', 0},
        {XK_KP_Space, ' ', 0},
        {XK_KP_F1, static_cast<int>(XK_KP_F1), 5},
        {XK_F24, static_cast<int>(XK_F24), 5},
        {XK_a, 'a', 0},
        {XK_eacute, static_cast<int>(XK_eacute), 0},
    };
    for (const auto& r : rows) {
        SKey k = TranslateKeysym(r.sym);
        EXPECT_EQ(k.code, r.code) << std::hex << r.sym;
        EXPECT_EQ(k.keyClass, r.keyClass) << std::hex << r.sym;
    }
}

struct Tip : SIToolTipSource {
    int side;
    Point2 offset{0, 0};
    bool flipped = false;
    int Side() const override { return side; }
    Point2 Offset() const override { return offset; }
    int TextWidth() const override { return 52; }
    int TextHeight() const override { return 14; }
    void SetFlipped(bool f) override { flipped = f; }
};

TEST(ToolTips, PlacedOnTheirSideAndFlippedAtTheEdges) {
    const Rect2 screen{0, 0, 1280, 1024};
    Tip above{};
    above.side = kTipAbove;
    Point2 p = PlaceToolTip(above, 60, 20, {400, 300}, screen, 1);
    EXPECT_EQ(p.x, 400 + (60 - 100) / 2);
    EXPECT_EQ(p.y, 300 - 30 - 3);
    EXPECT_FALSE(above.flipped);
    p = PlaceToolTip(above, 60, 20, {400, 10}, screen, 1);
    EXPECT_EQ(p.y, 10 + 20 + 3);
    EXPECT_TRUE(above.flipped);
    Tip right{};
    right.side = kTipRight;
    right.offset = {2, 1};
    p = PlaceToolTip(right, 60, 20, {1200, 500}, screen, 1);
    EXPECT_EQ(p.x, 1200 - 3 - 100 + 2);
    EXPECT_TRUE(right.flipped);
    Tip below{};
    below.side = kTipBelow;
    p = PlaceToolTip(below, 60, 20, {400, 1000}, screen, 1);
    EXPECT_EQ(p.y, 1000 - 30 - 3);
    EXPECT_TRUE(below.flipped);
    PlaceToolTip(below, 60, 20, {400, 300}, screen, 1);
    EXPECT_FALSE(below.flipped) << "cleared before each placement";
    Tip left{};
    left.side = kTipLeft;
    p = PlaceToolTip(left, 60, 20, {50, 300}, screen, 1);
    EXPECT_EQ(p.x, 50 + 60 + 3);
    Tip odd{};
    odd.side = 9;
    p = PlaceToolTip(odd, 60, 20, {50, 300}, screen, 1);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
}

TEST(Monitors, VirtualSplitOfWideAndTallScreens) {
    std::vector<Rect2> m;
    EXPECT_TRUE(SDisplay::SplitScreen(3840, 1024, m));
    ASSERT_EQ(m.size(), 3u);
    EXPECT_TRUE(SameRect(m[0], Rect2{0, 0, 1280, 1024}));
    EXPECT_TRUE(SameRect(m[2], Rect2{2560, 0, 3840, 1024}));
    m.clear();
    EXPECT_FALSE(SDisplay::SplitScreen(1280, 1024, m));
    ASSERT_EQ(m.size(), 1u);
    EXPECT_TRUE(SameRect(m[0], Rect2{0, 0, 1280, 1024}));
    m.clear();
    EXPECT_TRUE(SDisplay::SplitScreen(1024, 3840, m));
    ASSERT_EQ(m.size(), 5u); // 3840 / 819.2 rounds to 5 monitors of 819 rows
    EXPECT_TRUE(SameRect(m[1], Rect2{0, 819, 1024, 1638}));
    m.clear();
    EXPECT_FALSE(SDisplay::SplitScreen(0, 0, m));
}

} // namespace
} // namespace zell::gui
