// The shared palette and caches, fonts and their fallbacks, bitmaps, images and the
// per-instance globals, on a real X server.
#include "Canvas.h"

#include "Images.h"
#include "SDrawBrush.h"
#include "SDrawFont.h"
#include "SDrawImage.h"
#include "SDrawPen.h"
#include "SGlobals.h"

#include <cstdlib>

using namespace ferrovane::test;
using zell::gui::SCOL;
using zell::gui::statdata;
using zell::gui::context::SDrawBitmapMask;
using zell::gui::context::SDrawFont;
using zell::gui::context::SDrawImage;

namespace {

bool ServerHas(const char* pattern) {
    int count = 0;
    char** names = XListFonts(zell::gui::dps, pattern, 1, &count);
    if (names) XFreeFontNames(names);
    return count > 0;
}

} // namespace

TEST(Palette, HoldsTheTwentyNineColoursInOrder) {
    REQUIRE_DISPLAY();
    const RGB expected[] = {
        {255, 255, 255}, {255, 255, 0},   {255, 128, 0},   {128, 64, 0},    {255, 0, 0},
        {100, 0, 0},     {64, 0, 0},      {255, 0, 255},   {128, 0, 255},   {172, 128, 255},
        {0, 0, 255},     {0, 128, 255},   {0, 255, 255},   {0, 255, 0},     {0, 128, 0},
        {0, 64, 0},      {128, 255, 0},   {192, 255, 0},   {255, 236, 200}, {128, 128, 128},
        {0, 0, 0},       {247, 231, 168}, {236, 213, 123}, {138, 145, 150}, {77, 81, 84},
        {22, 22, 22},    {44, 44, 44},    {66, 66, 66},    {90, 90, 90}};
    ASSERT_EQ(statdata.palette.count, 29);
    for (int i = 0; i < 29; ++i)
        EXPECT_EQ(Decode(static_cast<unsigned long>(statdata.Colour(i))), expected[i]) << i;
    EXPECT_EQ(statdata.Colour(29), 0);
    EXPECT_EQ(statdata.Colour(-1), 0);
    EXPECT_FALSE(statdata.palette.Push(1)) << "the ring is full";
    SDrawing scheme(nullptr, nullptr);
    EXPECT_EQ(scheme.GetFrameColour(false, false), statdata.Colour(23));
}

TEST(Palette, AComponentScalesByShiftingAndIsClamped) {
    REQUIRE_DISPLAY();
    EXPECT_EQ(Decode(static_cast<unsigned long>(SCOL(300, -5, 128))), (RGB{255, 0, 128}));
}

TEST(Caches, SameColourGivesTheSamePenAndBrush) {
    REQUIRE_DISPLAY();
    int orange = statdata.Colour(2);
    int red = statdata.Colour(4);
    auto* pen = statdata.FindPen(orange);
    EXPECT_EQ(statdata.FindPen(orange), pen);
    EXPECT_NE(statdata.FindPen(red), pen);
    EXPECT_EQ(pen->width, 1);
    EXPECT_FALSE(pen->dashed);
    auto* brush = statdata.FindBrush(orange);
    EXPECT_EQ(statdata.FindBrush(orange), brush);
    EXPECT_NE(statdata.FindBrush(red), brush);
    EXPECT_EQ(brush->EffectiveColour(), orange);
    auto* font = statdata.FindFont(8, false, false);
    EXPECT_EQ(statdata.FindFont(8, false, false), font);
    EXPECT_NE(statdata.FindFont(8, true, false), font);
}

TEST(Fonts, PatternsFollowThePixelSize) {
    using Patterns = std::vector<SDrawFont::Text>;
    auto texts = [](const Patterns& p) {
        std::vector<std::string> out;
        for (const auto& t : p)
            out.emplace_back(t.Text());
        return out;
    };
    EXPECT_EQ(texts(SDrawFont::Patterns(5, true, true, nullptr)),
              std::vector<std::string>{"-misc-fixed-medium-r-*--6-*-*-*-*-*-iso8859-1"});
    EXPECT_EQ(texts(SDrawFont::Patterns(8, false, true, nullptr)),
              std::vector<std::string>{"-adobe-helvetica-medium-o-*--10-*-*-*-*-*-iso8859-1"});
    EXPECT_EQ(texts(SDrawFont::Patterns(10, true, false, nullptr)),
              std::vector<std::string>{"-adobe-helvetica-bold-r-*--12-*-*-*-*-*-iso8859-1"});
    std::vector<std::string> large = texts(SDrawFont::Patterns(14, true, false, nullptr));
    ASSERT_EQ(large.size(), 10u);
    EXPECT_EQ(large.front(), "-adobe-helvetica-bold-r-normal--21-*-*-*-*-*-iso8859-1");
    EXPECT_EQ(large[8], "-adobe-helvetica-bold-r-normal--13-*-*-*-*-*-iso8859-1");
    EXPECT_EQ(large.back(), "-adobe-helvetica-bold-r-normal--34-*-*-*-*-*-iso8859-1");
    EXPECT_EQ(texts(SDrawFont::Patterns(10, true, true, "adobe-courier")),
              std::vector<std::string>{"-adobe-courier-bold-i-normal--12-*-*-*-*-*-iso8859-1"});
}

TEST(Fonts, TheLargeSearchKeepsTheFirstSizeTheServerHas) {
    REQUIRE_DISPLAY();
    SDrawFont font(14, true, false, false, nullptr);
    std::string first;
    for (const auto& pattern : SDrawFont::Patterns(14, true, false, nullptr))
        if (ServerHas(pattern.Text())) {
            first = pattern.Text();
            break;
        }
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(std::string(font.name.Text()), first);
    ASSERT_TRUE(font.Loaded());
    EXPECT_EQ(font.fid, font.info->fid);
}

TEST(Fonts, ThePixelSizesThisProgramAsksForLoad) {
    REQUIRE_DISPLAY();
    for (auto [size, bold] : {std::pair{7, false}, {8, false}, {10, false}, {10, true}}) {
        SDrawFont font(size, bold, false, false, nullptr);
        EXPECT_TRUE(font.Loaded()) << size << (bold ? " bold" : "");
        EXPECT_EQ(font.size, size);
    }
}

TEST(Fonts, AMissingFontIsEmptyAndDrawsNothing) {
    REQUIRE_DISPLAY();
    SDrawFont font(10, false, false, false, "nosuch-family");
    EXPECT_FALSE(font.Loaded());
    EXPECT_EQ(font.fid, 0u);
    EXPECT_STREQ(font.name.Text(), "-nosuch-family-medium-r-normal--12-*-*-*-*-*-iso8859-1");
    Canvas c(40, 20);
    c.drawing.SetFont(&font);
    c.drawing.SetTextColour(SCOL(255, 255, 255), false);
    c.drawing.DrawText("abc", 0, 0);
    c.drawing.DrawLabel("abc", SDrawing::Rect{0, 0, 40, 20}, 0, SDrawing::Point{});
    EXPECT_EQ(Bounds(c.Marks(SCOL(0, 0, 0)), 40), (SDrawing::Rect{}));
    XSync(zell::gui::dps, False);
}

TEST(Fonts, TheDefaultFontIsTheDefaultGCs) {
    REQUIRE_DISPLAY();
    SDrawFont font(true);
    EXPECT_TRUE(font.Loaded());
    EXPECT_EQ(font.size, 10);
    EXPECT_EQ(font.name.Length(), 0u);
    int width = 0, height = 0;
    SDrawing::GetTextDimensions("abc", &width, &height, &font);
    EXPECT_GT(width, 0);
    EXPECT_EQ(height, font.info->ascent + font.info->descent);
}

TEST(Bitmaps, XpmPicturesTakeTheirOwnSize) {
    REQUIRE_DISPLAY();
    SDrawBitmap logo(zell::images::text_logo, 1, 1, true);
    EXPECT_NE(logo.GetPixmap(), 0u);
    EXPECT_EQ(logo.Width(), zell::images::kTextLogoWidth);
    EXPECT_EQ(logo.Height(), zell::images::kTextLogoHeight);
    EXPECT_TRUE(logo.Flag());
    SDrawBitmapMask mask(zell::images::cursor_arrow_AND, 0, 0);
    EXPECT_EQ(mask.Width(), 24);
    EXPECT_EQ(mask.Use(), 0);
    mask.SetMask(&logo, 7);
    EXPECT_EQ(mask.Mask(), 7);
    SDrawBitmap arrow(zell::images::cursor_arrow_XOR, 0, 0, false);
    EXPECT_EQ(arrow.Height(), 24);
}

TEST(Bitmaps, BadDataAndOddSizesGiveNoPixmap) {
    REQUIRE_DISPLAY();
    const char* broken[] = {"2 2 1 1", "x c #FF0000", "xy", "xx"};
    SDrawBitmap bad(broken, 5, 5, false);
    EXPECT_EQ(bad.GetPixmap(), 0u);
    EXPECT_EQ(bad.Width(), 0);
    for (auto [w, h] : {std::pair{0, 10}, {10, -3}, {40000, 2}}) {
        SDrawBitmap blank(nullptr, w, h, false);
        EXPECT_EQ(blank.GetPixmap(), 0u) << w << "x" << h;
    }
    SDrawMemoryDevice device(nullptr, &bad);
    EXPECT_EQ(device.Get(), nullptr);
}

TEST(Bitmaps, ASecondCreateKeepsTheFirstPixmap) {
    REQUIRE_DISPLAY();
    SDrawBitmap bitmap(nullptr, 10, 12, false);
    Pixmap first = bitmap.GetPixmap();
    ASSERT_NE(first, 0u);
    bitmap.Create(zell::images::text_logo, 30, 30, true);
    EXPECT_EQ(bitmap.GetPixmap(), first);
    EXPECT_EQ(bitmap.Width(), 10);
    EXPECT_EQ(bitmap.Height(), 12);
}

TEST(Bitmaps, TheLogoSitsOnThePanelSlate) {
    REQUIRE_DISPLAY();
    SDrawBitmap logo(zell::images::text_logo, 0, 0, false);
    SDrawMemoryDevice source(nullptr, &logo);
    Canvas c(190, 52);
    c.drawing.DrawMemory(&source, 0, 0, 0, 0, 190, 52);
    EXPECT_EQ(Decode(c.At(0, 0)), (RGB{77, 81, 84}));
    EXPECT_EQ(Decode(c.At(189, 51)), (RGB{77, 81, 84}));
    EXPECT_TRUE(c.WritePng(std::string(FERROVANE_TEST_OUTPUT) + "/drawing-logo.png"));
}

TEST(Images, PutImageCopiesTheSourceRectangleToTheTarget) {
    REQUIRE_DISPLAY();
    Display* d = zell::gui::dps;
    int depth = DefaultDepth(d, DefaultScreen(d));
    ASSERT_EQ(depth, 24);
    void* memory = malloc(8 * 8 * 4);
    SDrawImage image(memory, 8, 8, 0, 32);
    ASSERT_NE(image.Get(), nullptr);
    int red = SCOL(255, 0, 0);
    for (int y = 2; y < 4; ++y)
        for (int x = 1; x < 5; ++x)
            XPutPixel(image.Get(), x, y, static_cast<unsigned long>(red));
    Canvas c(20, 20);
    c.drawing.DrawImage(&image, SDrawing::Rect{0, 0, 8, 8}, SDrawing::Rect{10, 10, 11, 11});
    EXPECT_EQ(Bounds(c.Marks(SCOL(0, 0, 0)), 20), (SDrawing::Rect{11, 12, 15, 14}));
    c.Clear(SCOL(0, 0, 0));
    c.drawing.DrawImage(&image, SDrawing::Rect{-4, -4, 100, 100}, SDrawing::Rect{0, 0, 1, 1});
    EXPECT_EQ(Bounds(c.Marks(SCOL(0, 0, 0)), 20), (SDrawing::Rect{5, 6, 9, 8}));
}

TEST(Globals, IdsCountUpAndSeedsDiffer) {
    zell::gui::SGlobals a, b;
    EXPECT_EQ(a.NewId(), 1u);
    EXPECT_EQ(a.NewId(), 2u);
    EXPECT_EQ(b.NewId(), 1u);
    EXPECT_NE(a.random.SeedValue(), b.random.SeedValue());
    EXPECT_TRUE(a.lock.IsValid());
    EXPECT_EQ(a.parentWindow, 0u);
    EXPECT_EQ(a.cursor, nullptr);
}

TEST(Globals, BinaryDataSplitsTheModulePath) {
    zell::gui::SGlobals g;
    g.SetBinaryData();
    EXPECT_EQ(g.name.Length(), 0u);
    zell::gui::SGlobals::Text path("/usr/lib/lxvst/ferrovane.so");
    g.binaryPath = &path;
    g.SetBinaryData();
    EXPECT_STREQ(g.name.Text(), "ferrovane.so");
    EXPECT_STREQ(g.directory.Text(), "/usr/lib/lxvst/");
    path = "plugin";
    g.SetBinaryData();
    EXPECT_STREQ(g.name.Text(), "plugin");
    EXPECT_STREQ(g.directory.Text(), "");
}
