// Tooltips opened by the pointer entering a control: their sizes, the placement flipping at the
// screen edges with the pointer triangle following, switching all tips off and on.
#include "ControlsHarness.h"
#include "GuiHarness.h"

#include "SButton.h"
#include "SColour.h"
#include "SDrawFont.h"
#include "SDrawObject.h"
#include "SStaticData.h"
#include "SToolTip.h"
#include "SToolTipData.h"

namespace zell::gui::test {
namespace {

class Tooltips : public OwnDisplay {
  protected:
    void SetUp() override {
        OwnDisplay::SetUp();
        pointer.Park();
        slate = statdata.Colour(SStaticData::kSlate);
        steel = statdata.Colour(SStaticData::kSteel);
        font = new context::SDrawFont(10, false, false, false, nullptr);
    }
    // Fonts belong to the connection that closes with the test.
    void TearDown() override {
        pointer.Park();
        delete panel;
        delete tip;
        delete font;
        OwnDisplay::TearDown();
    }
    // A panel at (x, y) with a button at (bx, by) in it that has a tip on `side`.
    SButton<false>* Make(int x, int y, int bx, int by, int side, const char* text = "A tip") {
        panel = new SWindow(globals, nullptr, 1, "panel", 0, x, y, 200, 100, 0, false);
        panel->SetColours(slate, slate, slate, slate, slate, slate, slate);
        auto* button = new SButton<false>(globals, panel, 2, "button", 0, bx, by, 80, 30, 0, false);
        panel->Add(button);
        button->SetColours(steel, steel, slate, slate, slate, slate, slate);
        button->SetLabel("Button", font, 0);
        tip = new SToolTip(panel, false);
        data = tip->Attach(button, text, side);
        tip->EnableTooltips(true);
        panel->Show();
        button->Show();
        Dispatch();
        return button;
    }
    void Enter(SControl* c) {
        Point2 at = OnScreen(c);
        pointer.MoveTo(at.x + 40, at.y + 15);
        Dispatch();
    }
    Rect2 TipOnScreen() {
        Window root = 0;
        int x = 0, y = 0;
        unsigned w = 0, h = 0, border = 0, depth = 0;
        XGetGeometry(display, tip->GetWindow(), &root, &x, &y, &w, &h, &border, &depth);
        return {x, y, x + static_cast<int>(w), y + static_cast<int>(h)};
    }
    int TextWidth(const char* text) { return MeasuredWidth(tip->RegularFont(), text); }
    int FontHeight() { return MeasuredHeight(tip->RegularFont()); }

    Pointer pointer;
    SWindow* panel = nullptr;
    SToolTip* tip = nullptr;
    SToolTipData* data = nullptr;
    context::SDrawFont* font = nullptr;
    int slate = 0, steel = 0;
};

TEST_F(Tooltips, OneLineTipIsSizedAroundItsText) {
    SButton<false>* button = Make(300, 300, 60, 40, kTipBelow, "Connect the channels");
    const int w = TextWidth("Connect the channels"), h = FontHeight();
    EXPECT_EQ(data->BoxWidth(), w + 48);
    EXPECT_EQ(data->BoxHeight(), h + 20);
    EXPECT_EQ(data->Rect(), (Rect2{24, 6, 24 + w, 6 + h + 4}));
    Enter(button);
    ASSERT_TRUE(tip->IsOpen());
    Rect2 on = TipOnScreen();
    EXPECT_EQ(on.Width(), w + 48);
    EXPECT_EQ(on.Height(), h + 20);
    const Point2 b = OnScreen(button);
    EXPECT_EQ(on.y1, b.y + 30 + 3) << "below, not flipped";
    EXPECT_EQ(on.x1, b.x + (80 - (w + 48)) / 2);
    EXPECT_FALSE(tip->Flipped());
    EXPECT_EQ(PixelAt(display, tip->GetWindow(), (w + 48) / 2, 4),
              static_cast<unsigned long>(SCOL(255, 128, 0)))
        << "the pointer at the top edge points up at the button";
    SaveScreen(display, b.x - 40, b.y - 10, 240, 100, "tooltip-next-to-button.png");
    pointer.Park();
    Dispatch();
    EXPECT_FALSE(tip->IsOpen());
}

TEST_F(Tooltips, TwoLinesStackWithOneWidth) {
    Make(300, 300, 60, 40, kTipBelow, "short\nmuch longer line");
    ASSERT_EQ(data->Objects().size(), 2u);
    const Rect2 a = data->Objects()[0]->rect, b = data->Objects()[1]->rect;
    EXPECT_EQ(a.Width(), b.Width());
    EXPECT_EQ(a.Width(), TextWidth("much longer line"));
    EXPECT_EQ(a.y2, b.y1);
    EXPECT_EQ(data->Rect().Height(), 2 * FontHeight() + 4);
}

TEST_F(Tooltips, PlacementFlipsAtEachScreenEdge) {
    struct Case {
        int x, y, side;
    } cases[] = {
        {300, 0, kTipAbove},    // no room above the top edge
        {1080, 300, kTipRight}, // nor right of the right edge
        {300, 924, kTipBelow},  // nor below the bottom
        {0, 300, kTipLeft},     // nor left of the left edge
    };
    for (const Case& c : cases) {
        SButton<false>* button =
            Make(c.x, c.y, c.side == kTipRight ? 120 : 0, c.side == kTipBelow ? 70 : 0, c.side);
        Enter(button);
        ASSERT_TRUE(tip->IsOpen()) << c.side;
        EXPECT_TRUE(tip->Flipped()) << c.side;
        const Point2 b = OnScreen(button);
        const Rect2 on = TipOnScreen();
        const int expected[] = {b.y + 33, b.x - 3, b.y - 3, b.x + 83};
        const int got[] = {on.y1, on.x2, on.y2, on.x1};
        EXPECT_EQ(got[c.side], expected[c.side]) << c.side;
        pointer.Park();
        Dispatch();
        delete panel;
        delete tip;
        panel = nullptr;
        tip = nullptr;
    }
}

TEST_F(Tooltips, TogglingTwiceRestoresTipsAndIndicator) {
    SButton<false>* button = Make(300, 300, 60, 40, kTipBelow);
    const int on = tip->IndicatorColour();
    EXPECT_EQ(on, statdata.Colour(4));
    tip->ToggleTooltips();
    EXPECT_FALSE(tip->TipsEnabled());
    EXPECT_EQ(tip->IndicatorColour(), statdata.Colour(10));
    Enter(button);
    EXPECT_FALSE(tip->IsOpen()) << "tips are off";
    pointer.Park();
    Dispatch();
    tip->ToggleTooltips();
    EXPECT_TRUE(tip->TipsEnabled());
    EXPECT_EQ(tip->IndicatorColour(), on);
    Enter(button);
    EXPECT_TRUE(tip->IsOpen());
}

TEST_F(Tooltips, OpeningAnotherTipClosesTheFirst) {
    Make(300, 300, 60, 40, kTipBelow, "first");
    SToolTipData other(tip, panel, kTipBelow);
    other.AddLabel("a second, longer tip", 0);
    tip->Open(data, {10, 10});
    tip->Open(&other, {20, 20});
    Dispatch();
    EXPECT_EQ(tip->Data(), &other);
    EXPECT_EQ(TipOnScreen(),
              (Rect2{20, 20, 20 + other.Rect().Width() + 48, 20 + other.Rect().Height() + 16}));
    tip->Open(nullptr, {0, 0});
    EXPECT_EQ(tip->Data(), &other) << "null data is ignored";
    tip->Close();
}

} // namespace
} // namespace zell::gui::test
