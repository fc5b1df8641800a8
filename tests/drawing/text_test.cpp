// Text placement, aligned labels and turned text, compared with the font's own measures and
// with the unturned text's pixels.
#include "Canvas.h"

#include "SDrawFont.h"
#include "SMonoImage.h"

using namespace ferrovane::test;
using zell::gui::SCOL;
using zell::gui::context::SDrawFont;
using zell::gui::context::SMonoImage;
using Point = SDrawing::Point;
using Rect = SDrawing::Rect;

namespace {

constexpr const char* kSample = "Route 16";

int White() {
    return SCOL(255, 255, 255);
}
int Black() {
    return SCOL(0, 0, 0);
}

SDrawFont* SampleFont() {
    return zell::gui::statdata.FindFont(10, false, false);
}

struct Measure {
    int width, ascent, descent;
};

Measure Of(const char* text) {
    SDrawFont* f = SampleFont();
    if (!f->Loaded()) {
        ADD_FAILURE() << "the sample font did not load";
        return {0, 0, 0};
    }
    int width = 0, height = 0;
    SDrawing::GetTextDimensions(text, &width, &height, f);
    return {width, f->info->ascent, f->info->descent};
}

// The text drawn unturned with its top-left at (x, y), as marks.
std::vector<int> Plain(const char* text, int size, int x, int y) {
    Canvas c(size, size);
    c.drawing.SetFont(SampleFont());
    c.drawing.SetTextColour(White(), false);
    c.drawing.DrawText(text, x, y);
    return c.Marks(Black());
}

// The marks of a grid turned a quarter counter-clockwise.
std::vector<int> QuarterTurned(const std::vector<int>& grid, int width, int height) {
    std::vector<int> out(grid.size());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out[static_cast<size_t>(width - 1 - x) * height + y] =
                grid[static_cast<size_t>(y) * width + x];
    return out;
}

class Text : public ::testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_DISPLAY();
        ASSERT_TRUE(SampleFont()->Loaded());
        canvas.drawing.SetFont(SampleFont());
        canvas.drawing.SetTextColour(White(), false);
    }
    Canvas canvas{120, 120};
};

} // namespace

TEST_F(Text, NothingWithoutAFontOrText) {
    SDrawing bare;
    bare.SetDevice(&canvas.device);
    bare.DrawText(kSample, 10, 10);
    bare.DrawLabel(kSample, Rect{0, 0, 100, 100}, 0, Point{});
    bare.DrawVerticalLabel(kSample, Rect{0, 0, 100, 100}, 0, 0, Point{}, false, false, nullptr);
    bare.SetDevice(nullptr);
    canvas.drawing.DrawText(nullptr, 10, 10);
    canvas.drawing.DrawText("", 10, 10);
    canvas.drawing.DrawRotatedText("", Rect{0, 0, 100, 100}, 30, 0, Point{});
    EXPECT_EQ(Bounds(canvas.Marks(Black()), 120), (Rect{}));
    int w = 5, h = 5;
    SDrawing::GetTextDimensions("", &w, &h, SampleFont());
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    SDrawing::GetTextDimensions(kSample, nullptr, nullptr, nullptr);
}

TEST_F(Text, DrawTextTakesTheTopLeftCornerOfTheLine) {
    Measure m = Of(kSample);
    canvas.drawing.DrawText(kSample, 20, 30);
    Rect box = Bounds(canvas.Marks(Black()), 120);
    EXPECT_GE(box.x1, 20);
    EXPECT_LE(box.x2, 20 + m.width);
    EXPECT_GE(box.y1, 30);
    EXPECT_LE(box.y2, 30 + m.ascent + m.descent);
    EXPECT_GT(box.x2 - box.x1, m.width / 2);
}

TEST_F(Text, LabelsFollowTheirAlignBits) {
    Measure m = Of(kSample);
    Rect r{10, 20, 110, 100};
    Point offset{3, -4};
    Rect moved = r.Moved(offset);
    struct Case {
        int align, x, y;
    } cases[] = {
        {0, moved.x1 + (moved.Width() >> 1) - (m.width >> 1),
         moved.y1 + (m.ascent >> 1) + (moved.Height() >> 1) - 1 - m.ascent},
        {SDrawing::kLeft | SDrawing::kTop, moved.x1, moved.y1},
        {SDrawing::kRight | SDrawing::kBottom, moved.x2 - m.width, moved.y2 - m.descent - m.ascent},
        {SDrawing::kRight, moved.x2 - m.width,
         moved.y1 + (m.ascent >> 1) + (moved.Height() >> 1) - 1 - m.ascent},
    };
    for (const Case& c : cases) {
        canvas.Clear(Black());
        canvas.drawing.SetTextColour(White(), false);
        canvas.drawing.DrawLabel(kSample, r, c.align, offset);
        EXPECT_EQ(canvas.Marks(Black()), Plain(kSample, 120, c.x, c.y)) << "align " << c.align;
    }
}

TEST_F(Text, LabelRectFillsAndShowsTheText) {
    int grey = SCOL(90, 90, 90);
    canvas.drawing.DrawLabelRect(kSample, Rect{0, 0, 120, 40}, grey, Point{});
    EXPECT_EQ(canvas.At(1, 1), static_cast<unsigned long>(grey));
    std::vector<unsigned long> pixels = canvas.Pixels();
    Rect text = Bounds(Crop(canvas.Marks(grey), 120, Rect{0, 0, 120, 40}), 120);
    EXPECT_GT(std::count(pixels.begin(), pixels.end(), static_cast<unsigned long>(White())), 20);
    EXPECT_GT(text.x1, 0);
    EXPECT_LT(text.y2, 40);
}

TEST_F(Text, VerticalLabelsAreTheTextTurnedAQuarter) {
    Measure m = Of(kSample);
    int height = m.ascent + m.descent;
    canvas.drawing.DrawVerticalLabel(kSample, Rect{0, 0, 120, 120}, 0,
                                     SDrawing::kLeft | SDrawing::kTop, Point{5, 6}, false, false,
                                     nullptr);
    std::vector<int> turned = canvas.Marks(Black());

    std::vector<int> plain = Crop(Plain(kSample, 120, 0, 0), 120, Rect{0, 0, m.width, height});
    std::vector<int> expected = QuarterTurned(plain, m.width, height);
    // The turned box starts at (5, 6); an even width leaves its extra row on top, an even height
    // its extra column on the right.
    int top = 6 + (m.width % 2 ? 0 : 1);
    EXPECT_EQ(Crop(turned, 120, Rect{5, top, 5 + height, top + m.width}), expected);
    if (m.width % 2 == 0) {
        std::vector<int> extra = Crop(turned, 120, Rect{0, 6, 120, 7});
        EXPECT_EQ(std::count(extra.begin(), extra.end(), 1), 0);
    }
    EXPECT_EQ(std::count(turned.begin(), turned.end(), 1),
              std::count(plain.begin(), plain.end(), 1));
}

TEST_F(Text, RotatedTextTurnsCounterClockwise) {
    Measure m = Of(kSample);
    int height = m.ascent + m.descent;
    std::vector<int> plain = Crop(Plain(kSample, 120, 0, 0), 120, Rect{0, 0, m.width, height});
    std::vector<int> quarter = QuarterTurned(plain, m.width, height);
    Rect quarterBox = Bounds(quarter, height);

    canvas.drawing.DrawRotatedText(kSample, Rect{0, 0, 120, 120}, 90, 0, Point{});
    std::vector<int> turned = canvas.Marks(Black());
    Rect box = Bounds(turned, 120);
    EXPECT_EQ(Crop(turned, 120, box), Crop(quarter, height, quarterBox));

    canvas.Clear(Black());
    canvas.drawing.DrawRotatedText(kSample, Rect{0, 0, 120, 120}, -270, 0, Point{});
    EXPECT_EQ(canvas.Marks(Black()), turned) << "-270 is the same turn";

    canvas.Clear(Black());
    canvas.drawing.DrawRotatedText(kSample, Rect{0, 0, 120, 120}, 180, 0, Point{});
    std::vector<int> half = canvas.Marks(Black());
    std::vector<int> flipped(plain.rbegin(), plain.rend());
    Rect flippedBox = Bounds(flipped, m.width);
    EXPECT_EQ(Crop(half, 120, Bounds(half, 120)), Crop(flipped, m.width, flippedBox));
}

TEST_F(Text, WholeTurnsAreDrawnAsLabels) {
    Rect r{0, 0, 120, 60};
    canvas.drawing.DrawLabel(kSample, r, 0, Point{2, 2});
    std::vector<int> label = canvas.Marks(Black());
    for (int degrees : {360, 720, -360}) {
        canvas.Clear(Black());
        canvas.drawing.SetTextColour(White(), false);
        canvas.drawing.DrawRotatedText(kSample, r, degrees, 0, Point{2, 2});
        EXPECT_EQ(canvas.Marks(Black()), label) << degrees;
    }
}

TEST_F(Text, SlantedTextKeepsItsPixelsInsideTheBox) {
    canvas.drawing.DrawRotatedText(kSample, Rect{0, 0, 120, 120}, 30, 0, Point{});
    std::vector<int> marks = canvas.Marks(Black());
    Rect box = Bounds(marks, 120);
    Measure m = Of(kSample);
    // A 30 degree turn rises by about half the text's width from its start to its end.
    EXPECT_GT(box.Height(), m.width / 2);
    EXPECT_LT(box.Width(), m.width + 4);
    EXPECT_GT(std::count(marks.begin(), marks.end(), 1), 20);
}
