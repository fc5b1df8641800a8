// Shapes, logic codes, digits and copies, read back from the X server pixel by pixel.
#include "Canvas.h"

#include "SDrawBrush.h"
#include "SGlobals.h"

using namespace ferrovane::test;
using zell::gui::SCOL;
using Point = SDrawing::Point;
using Rect = SDrawing::Rect;

namespace {

int White() {
    return SCOL(255, 255, 255);
}
int Black() {
    return SCOL(0, 0, 0);
}

int Count(const std::vector<int>& marks) {
    int n = 0;
    for (int m : marks)
        n += m;
    return n;
}

int Mark(const std::vector<int>& marks, int width, int x, int y) {
    return marks[static_cast<size_t>(y) * width + x];
}

} // namespace

TEST(Rectangles, OutlineAndFillCoverTheCornersUpToTheExclusiveOnes) {
    REQUIRE_DISPLAY();
    Canvas c(20, 20);
    c.Ink(White());
    c.drawing.DrawRect(2, 3, 12, 13);
    std::vector<int> outline = c.Marks(Black());
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            bool inside = x >= 2 && x <= 11 && y >= 3 && y <= 12;
            bool edge = inside && (x == 2 || x == 11 || y == 3 || y == 12);
            EXPECT_EQ(Mark(outline, 20, x, y), edge ? 1 : 0) << x << "," << y;
        }
    c.Clear(Black());
    c.Ink(White());
    c.drawing.FillRect(Rect{2, 3, 12, 13});
    std::vector<int> filled = c.Marks(Black());
    EXPECT_EQ(Count(filled), 100);
    EXPECT_EQ(Bounds(filled, 20), (Rect{2, 3, 12, 13}));
}

TEST(Rectangles, EmptyAndInvertedCornersDrawNothing) {
    REQUIRE_DISPLAY();
    Canvas c(16, 16);
    c.Ink(White());
    c.drawing.FillRect(5, 5, 5, 9);
    c.drawing.FillRect(9, 9, 4, 4);
    c.drawing.DrawRect(9, 9, 4, 4);
    c.drawing.DrawRoundedRect(9, 9, 4, 4, 3, 3);
    EXPECT_EQ(Count(c.Marks(Black())), 0);
}

TEST(Rectangles, RoundedOnesLeaveTheirCorners) {
    REQUIRE_DISPLAY();
    Canvas c(30, 30);
    c.Ink(White());
    c.drawing.FillRoundedRect(0, 0, 30, 30, 12, 12);
    std::vector<int> filled = c.Marks(Black());
    EXPECT_EQ(Bounds(filled, 30), (Rect{0, 0, 30, 30}));
    for (auto [x, y] : {std::pair{0, 0}, {29, 0}, {0, 29}, {29, 29}, {1, 1}})
        EXPECT_EQ(Mark(filled, 30, x, y), 0) << x << "," << y;
    EXPECT_EQ(Mark(filled, 30, 15, 0), 1);
    EXPECT_EQ(Mark(filled, 30, 15, 15), 1);

    c.Clear(Black());
    c.Ink(White());
    c.drawing.DrawRoundedRect(0, 0, 30, 30, 12, 12);
    std::vector<int> outline = c.Marks(Black());
    EXPECT_EQ(Mark(outline, 30, 15, 0), 1);
    EXPECT_EQ(Mark(outline, 30, 15, 29), 1);
    EXPECT_EQ(Mark(outline, 30, 0, 0), 0);
    EXPECT_EQ(Mark(outline, 30, 15, 15), 0);
}

TEST(Lines, PointsLinesAndPolygons) {
    REQUIRE_DISPLAY();
    Canvas c(20, 20);
    c.Ink(White());
    c.drawing.DrawPoint(Point{4, 7});
    EXPECT_EQ(Count(c.Marks(Black())), 1);
    EXPECT_EQ(c.At(4, 7), static_cast<unsigned long>(White()));

    c.Clear(Black());
    c.Ink(White());
    c.drawing.DrawLine(2, 5, 12, 5);
    std::vector<int> line = c.Marks(Black());
    EXPECT_EQ(Bounds(line, 20).y1, 5);
    EXPECT_EQ(Bounds(line, 20).y2, 6);
    // Lines keep their last point off, so chained lines do not draw the joints twice.
    EXPECT_EQ(Bounds(line, 20).x1, 2);
    EXPECT_EQ(Bounds(line, 20).x2, 12);

    c.Clear(Black());
    c.Ink(White());
    Point triangle[] = {{2, 2}, {17, 2}, {2, 17}};
    c.drawing.FillPoly(triangle, 3);
    std::vector<int> filled = c.Marks(Black());
    EXPECT_EQ(Mark(filled, 20, 4, 4), 1);
    EXPECT_EQ(Mark(filled, 20, 15, 15), 0);
    EXPECT_EQ(Bounds(filled, 20).x1, 2);

    c.Clear(Black());
    c.Ink(White());
    c.drawing.DrawPoly(triangle, 3);
    std::vector<int> open = c.Marks(Black());
    EXPECT_EQ(Mark(open, 20, 10, 2), 1);
    EXPECT_EQ(Mark(open, 20, 2, 10), 0) << "the outline is not closed";
    EXPECT_EQ(Mark(open, 20, 4, 4), 0);
}

TEST(Lines, TooFewOrMissingPointsDrawNothing) {
    REQUIRE_DISPLAY();
    Canvas c(10, 10);
    c.Ink(White());
    Point one[] = {{3, 3}};
    c.drawing.DrawPoly(one, 1);
    c.drawing.FillPoly(nullptr, 5);
    c.drawing.FillPoly(one, -4);
    EXPECT_EQ(Count(c.Marks(Black())), 0);
}

TEST(Lines, LargePolygonsConvertOnTheHeap) {
    REQUIRE_DISPLAY();
    Canvas c(40, 40);
    c.Ink(White());
    std::vector<Point> square;
    for (int i = 0; i < 300; ++i)
        square.push_back({5 + i % 30, 5});
    square.push_back({34, 34});
    square.push_back({5, 34});
    c.drawing.FillPoly(square.data(), static_cast<int>(square.size()));
    // A fill leaves out the right and bottom edges of the outline.
    EXPECT_EQ(Bounds(c.Marks(Black()), 40), (Rect{5, 5, 34, 34}));
}

TEST(Arcs, EllipsesPiesAndChordsStayInsideTheirBox) {
    REQUIRE_DISPLAY();
    Canvas c(40, 40);
    c.Ink(White());
    c.drawing.FillEllipse(5, 5, 35, 25);
    std::vector<int> ellipse = c.Marks(Black());
    EXPECT_EQ(Bounds(ellipse, 40), (Rect{5, 5, 35, 25}));
    EXPECT_EQ(Mark(ellipse, 40, 5, 5), 0);

    c.Clear(Black());
    c.Ink(White());
    // The upper-right quarter only.
    c.drawing.FillPie(0, 0, 40, 40, 0, 90);
    std::vector<int> pie = c.Marks(Black());
    EXPECT_EQ(Mark(pie, 40, 30, 10), 1);
    EXPECT_EQ(Mark(pie, 40, 10, 10), 0);
    EXPECT_EQ(Mark(pie, 40, 30, 30), 0);

    c.Clear(Black());
    c.Ink(White());
    c.drawing.FillChord(0, 0, 40, 40, 0, 90);
    std::vector<int> chord = c.Marks(Black());
    EXPECT_EQ(Mark(chord, 40, 33, 7), 1);
    EXPECT_EQ(Mark(chord, 40, 22, 18), 0) << "a chord leaves out the centre's triangle";
}

TEST(Logic, InvertXorAndCopy) {
    REQUIRE_DISPLAY();
    Canvas c(4, 1);
    int grey = SCOL(0x30, 0x60, 0x90);
    c.Clear(grey);
    c.drawing.SetLogic(2);
    c.drawing.FillRect(0, 0, 1, 1);
    c.drawing.SetLogic(1);
    c.Ink(SCOL(0xFF, 0, 0));
    c.drawing.FillRect(1, 0, 2, 1);
    c.drawing.SetLogic(99);
    c.drawing.FillRect(2, 0, 3, 1);
    c.drawing.SetLogic(15);
    c.Ink(White());
    c.drawing.FillRect(3, 0, 4, 1);
    EXPECT_EQ(Decode(c.At(0, 0)), (RGB{0xCF, 0x9F, 0x6F}));
    EXPECT_EQ(Decode(c.At(1, 0)), (RGB{0xCF, 0x60, 0x90}));
    EXPECT_EQ(Decode(c.At(2, 0)), (RGB{0xFF, 0, 0}));
    EXPECT_EQ(Decode(c.At(3, 0)), (RGB{0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(c.drawing.GetLogic(), 15);
}

TEST(Digits, SegmentsSitInTheirCell) {
    REQUIRE_DISPLAY();
    Canvas c(24, 14);
    c.Ink(White());
    c.drawing.DrawPixelNumber(0, 0, 8);
    std::vector<int> eight = c.Marks(Black());
    // Lines leave their last point off: 8 covers columns 1..5 and rows 3..9, less one corner.
    EXPECT_EQ(Bounds(eight, 24), (Rect{1, 3, 6, 10}));
    EXPECT_EQ(Mark(eight, 24, 3, 6), 1);
    EXPECT_EQ(Mark(eight, 24, 3, 4), 0);

    c.Clear(Black());
    c.Ink(White());
    Point at{10, 2};
    c.drawing.DrawPixelNumber(at, 1);
    EXPECT_EQ(Bounds(c.Marks(Black()), 24), (Rect{12, 5, 14, 11}));

    c.Clear(Black());
    c.Ink(White());
    c.drawing.DrawPixelNumber(0, 0, 10);
    c.drawing.DrawPixelNumber(0, 0, -1);
    EXPECT_EQ(Count(c.Marks(Black())), 0);
}

TEST(Copies, DrawMemoryCopiesTheSourceRectangle) {
    REQUIRE_DISPLAY();
    Canvas source(20, 20), target(20, 20);
    source.Ink(White());
    source.drawing.FillRect(2, 2, 6, 5);
    target.drawing.DrawMemory(&source.device, Point{10, 12}, Rect{0, 0, 8, 8});
    EXPECT_EQ(Bounds(target.Marks(Black()), 20), (Rect{12, 14, 16, 17}));

    target.Clear(Black());
    target.drawing.DrawMemory(&source.device, 0, 0, 4, 0, 20, 20, static_cast<unsigned char>(128));
    EXPECT_EQ(Bounds(target.Marks(Black()), 20), (Rect{0, 2, 2, 5}));

    target.Clear(Black());
    target.drawing.DrawMemory(nullptr, 0, 0, 0, 0, 20, 20);
    target.drawing.DrawMemory(&source.device, 0, 0, 8, 8, 0, 0);
    EXPECT_EQ(Count(target.Marks(Black())), 0);
}

TEST(Copies, BackgroundFillsWithTheSchemeThroughSharedPenAndBrush) {
    REQUIRE_DISPLAY();
    Canvas c(10, 10);
    zell::gui::SGlobals globals;
    c.drawing.DrawBackground(Rect{0, 0, 10, 10}, false);
    EXPECT_EQ(Count(c.Marks(Black())), 0) << "nothing without globals";

    SDrawing scheme(nullptr, &globals);
    zell::gui::context::SDrawDevice* own = scheme.GetDevice();
    scheme.SetDevice(&c.device);
    int slate = SCOL(77, 81, 84), steel = SCOL(138, 145, 150);
    scheme.SetColours(slate, White(), steel, White(), White(), White(), White());
    scheme.DrawBackground(Rect{0, 0, 5, 10}, false);
    scheme.DrawBackground(Rect{5, 0, 10, 10}, true);
    EXPECT_EQ(c.At(2, 2), static_cast<unsigned long>(slate));
    EXPECT_EQ(c.At(7, 2), static_cast<unsigned long>(steel));
    EXPECT_EQ(scheme.GetBrush(), zell::gui::statdata.FindBrush(steel));
    scheme.SetDevice(own);
}

TEST(Devices, AContextWithoutADeviceOrWindowDrawsNothing) {
    SDrawing none;
    none.FillRect(0, 0, 10, 10);
    none.DrawLine(0, 0, 5, 5);
    none.SetLogic(2);
    none.DrawRotatedText("x", Rect{0, 0, 10, 10}, 45, 0, Point{});
    SDrawing windowless(nullptr, nullptr);
    windowless.FillRect(0, 0, 10, 10);
    windowless.DrawMemory(windowless.GetDevice(), 0, 0, 0, 0, 4, 4);
    EXPECT_EQ(windowless.GetDevice()->Get(), nullptr);
}

// The panel and the matrix switch their contexts to devices they own; a context that ends, or
// makes its device again, while switched must leave those alone.
TEST(Devices, AContextEndsOnlyTheDeviceItMade) {
    REQUIRE_DISPLAY();
    Canvas c(10, 10);
    {
        SDrawing switched(nullptr, nullptr);
        switched.SetDevice(&c.device);
    }
    SDrawing remade(nullptr, nullptr);
    remade.SetDevice(&c.device);
    remade.InitDrawing(nullptr, nullptr);
    EXPECT_NE(remade.GetDevice(), &c.device);
    remade.SetDevice(&c.device);
    remade.CleanDrawing();
    EXPECT_EQ(remade.GetDevice(), nullptr);

    c.Clear(Black());
    c.Ink(White());
    c.drawing.FillRect(0, 0, 4, 4);
    EXPECT_EQ(Count(c.Marks(Black())), 16) << "the canvas's device still draws";
}
