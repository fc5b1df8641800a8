// Labels: where the lines of a text go, clicks reported to listeners, the highlight frame.
#include "ControlsHarness.h"
#include "GuiHarness.h"

#include "SDrawFont.h"
#include "SLabel.h"
#include "SStaticData.h"

namespace zell::gui::test {
namespace {

using Label = SLabel<false>;

TEST(LabelLayout, LinesShareTheBlockAndTheLastTakesTheRemainder) {
    std::vector<Rect2> r = Label::LayoutLines(3, 50, 40, 100, 60, 0);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0], (Rect2{25, 10, 75, 23}));
    EXPECT_EQ(r[1], (Rect2{25, 23, 75, 36}));
    EXPECT_EQ(r[2], (Rect2{25, 36, 75, 50}));
}

TEST(LabelLayout, AlignBitsPlaceTheBlock) {
    struct Case {
        int align;
        int x1, y1;
    } cases[] = {
        {kAlignRight, 50, 10},
        {kAlignLeft, 0, 10},
        {kAlignTop, 25, 0},
        {kAlignTop | kAlignRight, 50, 0},
        {kAlignKeep | kAlignRight, 50, 20},
        {kAlignKeep | kAlignLeft, 0, 0},
        {kAlignKeep, 25, 10},
    };
    for (const Case& c : cases) {
        std::vector<Rect2> r = Label::LayoutLines(2, 50, 40, 100, 60, c.align);
        ASSERT_EQ(r.size(), 2u);
        EXPECT_EQ(r[0].x1, c.x1) << c.align;
        EXPECT_EQ(r[0].y1, c.y1) << c.align;
        EXPECT_EQ(r[1].y2, c.y1 + 40) << c.align;
    }
}

class Labels : public OwnDisplay {
  protected:
    void SetUp() override {
        OwnDisplay::SetUp();
        font = new context::SDrawFont(10, false, false, false, nullptr);
        ASSERT_TRUE(font->Loaded());
    }
    // Fonts belong to the connection that closes with the test.
    void TearDown() override {
        delete font;
        OwnDisplay::TearDown();
    }
    int Width(const char* text) { return MeasuredWidth(font, text); }
    int LineHeight() { return MeasuredHeight(font); }

    context::SDrawFont* font = nullptr;
};

TEST_F(Labels, LinesAreMeasuredInTheFontAndFollowTheSize) {
    Label label(globals, nullptr, 1, "label", 0, 0, 0, 120, 80, 0, false);
    label.SetLabel("one\ntwo\nthree", font, kAlignRight);
    const int widest = std::max({Width("one"), Width("two"), Width("three")});
    EXPECT_EQ(label.TextWidth(), widest);
    EXPECT_EQ(label.TextHeight(), 3 * LineHeight());
    ASSERT_EQ(label.Lines().size(), 3u);
    EXPECT_STREQ(label.Lines()[2].Text(), "three");
    const std::vector<Rect2>& r = label.LineRects();
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0].x2, 120);
    EXPECT_EQ(r[0].x1, 120 - widest);
    EXPECT_EQ(r[0].y1, (80 - 3 * LineHeight()) / 2);
    EXPECT_EQ(r[2].y2, r[0].y1 + 3 * LineHeight());
    label.SetSize(200, 80);
    EXPECT_EQ(label.LineRects()[0].x2, 200) << "a new size places the lines again";
}

TEST_F(Labels, EmptyLinesKeepTheirPlace) {
    Label label(globals, nullptr, 1, "label", 0, 0, 0, 120, 80, 0, false);
    label.SetLabel("a\n\nb", font, kAlignTop);
    EXPECT_EQ(label.Lines().size(), 3u);
    EXPECT_EQ(label.LineRects()[2].y1, 2 * LineHeight());
}

TEST_F(Labels, OneLineTakesTheWholeControlAndNoFontIgnoresTheText) {
    Label label(globals, nullptr, 1, "label", 0, 0, 0, 120, 30, 0, false);
    label.SetLabel("ignored");
    EXPECT_STREQ(label.GetLabel().Text(), "");
    EXPECT_TRUE(label.Lines().empty());
    label.SetLabel("single", font, 0);
    ASSERT_EQ(label.LineRects().size(), 1u);
    EXPECT_EQ(label.LineRects()[0], (Rect2{0, 0, 120, 30}));
}

TEST_F(Labels, ClicksReachListenersWithTheirCodes) {
    Listener listener(globals);
    Label label(globals, nullptr, 1, "label", 0, 50, 50, 100, 40, 0, false);
    label.AddEventListener(&listener, kEventValue);
    label.Show();
    Dispatch();
    Pointer pointer;
    pointer.MoveTo(70, 60);
    for (unsigned button : {1u, 3u, 2u})
        pointer.Click(button);
    Dispatch();
    EXPECT_EQ(listener.values, (std::vector<int>{kClickLeft, kClickRight, kClickMiddle}));
    pointer.Park();
}

TEST_F(Labels, HighlightFramesEvenWithoutAnOutline) {
    const int red = statdata.Colour(4), slate = statdata.Colour(SStaticData::kSlate);
    Label label(globals, nullptr, 1, "label", 0, 200, 50, 100, 40, 0, false);
    label.SetColours(slate, slate, slate, slate, slate, slate, slate);
    label.Show();
    Dispatch();
    EXPECT_EQ(PixelAt(display, label.GetWindow(), 0, 20), static_cast<unsigned long>(slate));
    label.Highlight(true, red, 0, 0);
    Dispatch();
    EXPECT_TRUE(label.Highlighted());
    EXPECT_EQ(PixelAt(display, label.GetWindow(), 0, 20), static_cast<unsigned long>(red));
    EXPECT_EQ(PixelAt(display, label.GetWindow(), 99, 39), static_cast<unsigned long>(red));
    EXPECT_EQ(PixelAt(display, label.GetWindow(), 50, 20), static_cast<unsigned long>(slate));
}

} // namespace
} // namespace zell::gui::test
