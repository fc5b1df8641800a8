// Lines kept inside a box: laid out as the font sets them when they fit, closer together when
// they do not, moved only as far as their ink must, and never cut through a glyph.
#include "Canvas.h"

#include "SDrawFont.h"
#include "STextFit.h"

#include <cstring>

using namespace ferrovane::test;
using zell::gui::SCOL;
using zell::gui::context::FitLine;
using zell::gui::context::GlyphMetrics;
using zell::gui::context::GlyphsBefore;
using zell::gui::context::STextRun;
using Rect = SDrawing::Rect;

namespace {

int Length(const char* text) {
    return static_cast<int>(strlen(text));
}

// "fixed", which every X server has: a character-cell font whose cells hold a blank column.
class Fit : public testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_DISPLAY();
        fixed = XLoadQueryFont(zell::gui::dps, "fixed");
        ASSERT_NE(fixed, nullptr) << "the server has no font called \"fixed\"";
    }
    void TearDown() override {
        if (fixed) XFreeFont(zell::gui::dps, fixed);
    }

    struct Ink {
        int left, right;
    };
    // The ink of each glyph that has some, in order.
    std::vector<Ink> Inks(const char* text, const STextRun& run) {
        std::vector<Ink> inks;
        for (int i = 0; i < Length(text); ++i) {
            const XCharStruct m = GlyphMetrics(fixed, static_cast<unsigned char>(text[i]));
            if (text[i] != ' ' && m.rbearing > m.lbearing)
                inks.push_back({run.x[i] + m.lbearing, run.x[i] + m.rbearing});
        }
        return inks;
    }
    // The narrowest gap between two neighbours' ink, and the one with a space in it.
    std::pair<int, int> NarrowestGaps(const char* text, const STextRun& run) {
        const std::vector<Ink> inks = Inks(text, run);
        int glyph = 1000, word = 1000;
        size_t k = 0;
        bool space = false;
        for (int i = 0; i < Length(text); ++i) {
            if (text[i] == ' ') {
                space = true;
                continue;
            }
            if (k > 0) {
                const int gap = inks[k].left - inks[k - 1].right;
                (space ? word : glyph) = std::min(space ? word : glyph, gap);
            }
            ++k;
            space = false;
        }
        return {glyph, word};
    }

    XFontStruct* fixed = nullptr;
};

TEST_F(Fit, ALineThatFitsKeepsTheFontsOwnAdvances) {
    const char* text = "Filters";
    const STextRun run = FitLine(fixed, text, Length(text), 1000, 0);
    EXPECT_FALSE(run.respaced);
    for (int i = 1; i < Length(text); ++i)
        EXPECT_EQ(run.x[i] - run.x[i - 1], XTextWidth(fixed, text + i - 1, 1));
    EXPECT_EQ(run.inkLeft, GlyphMetrics(fixed, 'F').lbearing);
    EXPECT_EQ(run.inkRight, run.x[6] + GlyphMetrics(fixed, 's').rbearing);
    EXPECT_GT(run.ascent, 0);
}

TEST_F(Fit, ANarrowRoomTakesTheBlankColumnsAndKeepsWordsApart) {
    const char* text = "VST Plugin Technology by Steinberg";
    const STextRun wide = FitLine(fixed, text, Length(text), 1000, 0);
    const int natural = wide.inkRight - wide.inkLeft;
    // A little narrower: glyphs stay a pixel apart, words three.
    STextRun run = FitLine(fixed, text, Length(text), natural - 10, 0);
    EXPECT_TRUE(run.respaced);
    EXPECT_LE(run.inkRight - run.inkLeft, natural - 10);
    EXPECT_EQ(run.inkLeft, wide.inkLeft) << "the line keeps its start";
    auto [glyph, word] = NarrowestGaps(text, run);
    EXPECT_GE(glyph, 1);
    EXPECT_GE(word, 3);
    // Narrower than that allows: glyphs may touch, never overlap, words stay two apart.
    std::vector<Ink> inks = Inks(text, wide);
    int ink = 0;
    for (const Ink& i : inks)
        ink += i.right - i.left;
    run = FitLine(fixed, text, Length(text), ink + 4 * 2, 0);
    EXPECT_LE(run.inkRight - run.inkLeft, ink + 4 * 2);
    std::tie(glyph, word) = NarrowestGaps(text, run);
    EXPECT_GE(glyph, 0);
    EXPECT_GE(word, 2);
}

TEST_F(Fit, SpacesWidenOnlyWhereTheLineStillFits) {
    const char* text = "[ 4 | 7 ]";
    const int space = XTextWidth(fixed, " ", 1);
    const STextRun wide = FitLine(fixed, text, Length(text), 1000, space + 3);
    EXPECT_TRUE(wide.respaced);
    EXPECT_EQ(wide.x[2] - wide.x[0], XTextWidth(fixed, "[", 1) + space + 3);
    const STextRun natural = FitLine(fixed, text, Length(text), 1000, 0);
    const int room = natural.inkRight - natural.inkLeft + 4;
    const STextRun tight = FitLine(fixed, text, Length(text), room, space + 3);
    EXPECT_LE(tight.inkRight - tight.inkLeft, room);
    EXPECT_GT(tight.x[2] - tight.x[0], natural.x[2] - natural.x[0]) << "some of the widening";
}

TEST_F(Fit, GlyphsThatCannotFitAreLeftOutWhole) {
    const char* text = "WWWWWWWWWW";
    const STextRun run = FitLine(fixed, text, Length(text), 20, 0);
    const int kept = GlyphsBefore(fixed, text, run, 20);
    ASSERT_GT(kept, 0);
    EXPECT_LT(kept, Length(text));
    EXPECT_LE(run.x[kept - 1] + GlyphMetrics(fixed, 'W').rbearing, 20);
    EXPECT_GT(run.x[kept] + GlyphMetrics(fixed, 'W').rbearing, 20);
    EXPECT_EQ(FitLine(fixed, "", 0, 20, 0).x.size(), 0u);
    EXPECT_EQ(FitLine(nullptr, text, Length(text), 20, 0).x.size(), 0u);
}

// Through a drawing context, with the font this program asks for its small texts.
class FittedDrawing : public testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_DISPLAY();
        font = zell::gui::statdata.FindFont(7, false, false);
        ASSERT_TRUE(font->Loaded()) << "no font for size 7 on this server";
    }
    std::vector<int> Drawn(void (*draw)(SDrawing&)) {
        Canvas c(120, 40);
        c.Clear(SCOL(0, 0, 0));
        c.drawing.SetFont(font);
        c.drawing.SetTextColour(SCOL(255, 255, 255), false);
        draw(c.drawing);
        return c.Marks(SCOL(0, 0, 0));
    }
    zell::gui::context::SDrawFont* font = nullptr;
};

TEST_F(FittedDrawing, ALineWithRoomIsDrawnAsDrawLabelAndDrawTextDrawIt) {
    auto label = [](SDrawing& d) { d.DrawLabel("Reset", Rect{10, 5, 90, 30}, 0, {1, 2}); };
    auto fitted = [](SDrawing& d) {
        d.DrawLabelFitted("Reset", Rect{10, 5, 90, 30}, 0, {1, 2}, Rect{0, 0, 120, 40});
    };
    EXPECT_EQ(Drawn(label), Drawn(fitted));
    auto text = [](SDrawing& d) { d.DrawText("Filters", 7, 3); };
    auto textFitted = [](SDrawing& d) { d.DrawTextFitted("Filters", 7, 3, Rect{0, 0, 120, 40}); };
    EXPECT_EQ(Drawn(text), Drawn(textFitted));
}

// A box a little narrower than the line and a pixel short of its descenders.
TEST_F(FittedDrawing, TheInkStaysInsideItsBoxMovingNoFurtherThanItMust) {
    const char* text = "Technology";
    const STextRun natural = FitLine(font->info, text, Length(text), 1000, 0);
    const int top = 8 + font->info->ascent - natural.ascent;
    static Rect box;
    box = {20, top - 3, 20 + natural.inkRight - natural.inkLeft - 4,
           8 + font->info->ascent + natural.descent - 1};
    auto label = [](SDrawing& d) {
        d.DrawLabelFitted("Technology", Rect{20, 8, 200, 40}, SDrawing::kLeft | SDrawing::kTop,
                          {0, 0}, box);
    };
    Rect ink = Bounds(Drawn(label), 120);
    EXPECT_GT(ink.Width(), 0);
    EXPECT_GE(ink.x1, box.x1);
    EXPECT_LE(ink.x2, box.x2);
    EXPECT_LE(ink.y2, box.y2);
    EXPECT_GE(ink.y1, top - 1) << "moved up by the one pixel it needs";
    // The same text at a point keeps its start; FittedTextInk says where its ink goes.
    auto atPoint = [](SDrawing& d) { d.DrawTextFitted("Technology", 20, 8, box); };
    ink = Bounds(Drawn(atPoint), 120);
    Canvas c(10, 10);
    c.drawing.SetFont(font);
    const Rect said = c.drawing.FittedTextInk("Technology", 20, 8, box);
    EXPECT_EQ(said.x1, 20 + natural.inkLeft);
    EXPECT_GE(ink.x1, said.x1);
    EXPECT_LE(ink.x2, said.x2);
    EXPECT_GE(ink.y1, said.y1);
    EXPECT_LE(ink.y2, said.y2);
    EXPECT_LE(said.x2, box.x2);
    EXPECT_LE(said.y2, box.y2);
}

} // namespace
