// A sample sheet of every primitive and text mode, written as PNG files for a person to look
// at. The checks only make sure each panel of the sheet received pixels.
#include "Canvas.h"

#include "Images.h"
#include "SDrawFont.h"
#include "SGlobals.h"

#include <cmath>
#include <cstdio>

using namespace ferrovane::test;
using zell::gui::SCOL;
using zell::gui::statdata;
using Point = SDrawing::Point;
using Rect = SDrawing::Rect;

namespace {

constexpr int kCell = 100;
constexpr int kColumns = 6;
constexpr int kRows = 4;

class Sheet {
  public:
    Sheet() : canvas(kCell * kColumns, kCell * kRows), own(scheme.GetDevice()) {
        scheme.SetDevice(&canvas.device);
        int slate = statdata.Colour(24), charcoal = statdata.Colour(26);
        scheme.SetColours(slate, charcoal, slate, statdata.Colour(0), statdata.Colour(2),
                          statdata.Colour(0), statdata.Colour(21));
        scheme.DrawBackground(Rect{0, 0, canvas.width, canvas.height}, false);
        scheme.SetFont(statdata.FindFont(10, false, false));
    }
    ~Sheet() { scheme.SetDevice(own); }

    // Starts the next cell with its caption and returns its origin.
    Point Cell(int index, const char* caption) {
        Point at{(index % kColumns) * kCell, (index / kColumns) * kCell};
        Ink(statdata.Colour(23));
        scheme.DrawRect(at.x, at.y, at.x + kCell, at.y + kCell);
        scheme.SetFont(statdata.FindFont(8, false, false));
        scheme.SetTextColour(statdata.Colour(22), false);
        scheme.DrawLabel(caption, Rect{at.x, at.y + kCell - 14, at.x + kCell, at.y + kCell - 2}, 0,
                         Point{});
        scheme.SetFont(statdata.FindFont(10, false, false));
        return at;
    }
    void Ink(int colour) { scheme.SetPen(statdata.FindPen(colour)); }

    zell::gui::SGlobals globals;
    Canvas canvas;
    SDrawing scheme{nullptr, &globals};
    zell::gui::context::SDrawDevice* own;
};

void Shapes(Sheet& s) {
    Point p = s.Cell(0, "DrawRect / FillRect");
    s.Ink(statdata.Colour(0));
    s.scheme.DrawRect(p.x + 10, p.y + 10, p.x + 50, p.y + 50);
    s.Ink(statdata.Colour(2));
    s.scheme.FillRect(p.x + 40, p.y + 30, p.x + 90, p.y + 80);
    p = s.Cell(1, "Rounded rects");
    s.Ink(statdata.Colour(12));
    s.scheme.DrawRoundedRect(p.x + 8, p.y + 8, p.x + 92, p.y + 40, 12, 12);
    s.Ink(statdata.Colour(21));
    s.scheme.FillRoundedRect(Rect{p.x + 8, p.y + 46, p.x + 92, p.y + 80}, 16, 16);
    p = s.Cell(2, "Lines / points");
    for (int i = 0; i < 8; ++i) {
        s.Ink(statdata.Colour(i * 3 % 20));
        s.scheme.DrawLine(p.x + 10, p.y + 10 + i * 9, p.x + 90, p.y + 80 - i * 9);
    }
    s.Ink(statdata.Colour(0));
    for (int i = 0; i < 20; ++i)
        s.scheme.DrawPoint(p.x + 10 + i * 4, p.y + 83);
    p = s.Cell(3, "Ellipse / pie / chord");
    s.Ink(statdata.Colour(13));
    s.scheme.DrawEllipse(p.x + 5, p.y + 5, p.x + 45, p.y + 40);
    s.Ink(statdata.Colour(11));
    s.scheme.FillEllipse(p.x + 55, p.y + 5, p.x + 95, p.y + 40);
    s.Ink(statdata.Colour(4));
    s.scheme.FillPie(p.x + 5, p.y + 42, p.x + 45, p.y + 82, 30, 270);
    s.Ink(statdata.Colour(9));
    s.scheme.FillChord(p.x + 55, p.y + 42, p.x + 95, p.y + 82, 20, 200);
    s.scheme.DrawPie(p.x + 55, p.y + 42, p.x + 95, p.y + 82, 240, 90);
}

void Polygons(Sheet& s) {
    Point p = s.Cell(4, "DrawPoly / FillPoly");
    Point star[10];
    for (int i = 0; i < 10; ++i) {
        double a = i * 3.14159265 / 5 - 3.14159265 / 2;
        int r = i % 2 ? 16 : 40;
        star[i] = {p.x + 50 + static_cast<int>(r * std::cos(a)),
                   p.y + 44 + static_cast<int>(r * std::sin(a))};
    }
    s.Ink(statdata.Colour(1));
    s.scheme.FillPoly(star, 10);
    s.Ink(statdata.Colour(4));
    s.scheme.DrawPoly(star, 10);
    p = s.Cell(5, "Logic: inv xor copy");
    s.Ink(statdata.Colour(10));
    s.scheme.FillRect(p.x + 10, p.y + 10, p.x + 90, p.y + 80);
    s.scheme.SetLogic(2);
    s.scheme.FillRect(p.x + 20, p.y + 20, p.x + 45, p.y + 70);
    s.scheme.SetLogic(1);
    s.Ink(statdata.Colour(1));
    s.scheme.FillRect(p.x + 50, p.y + 20, p.x + 80, p.y + 45);
    s.scheme.SetLogic(15);
    s.Ink(statdata.Colour(0));
    s.scheme.FillRect(p.x + 50, p.y + 50, p.x + 80, p.y + 70);
}

void Texts(Sheet& s) {
    Point p = s.Cell(6, "DrawText");
    s.scheme.SetTextColour(statdata.Colour(0), false);
    s.scheme.DrawText("Ferrovane", p.x + 8, p.y + 8);
    s.scheme.SetFont(statdata.FindFont(14, true, false));
    s.scheme.DrawText("Bold 14", p.x + 8, p.y + 30);
    s.scheme.SetFont(statdata.FindFont(7, false, false));
    s.scheme.DrawText("fixed 7: 0123", p.x + 8, p.y + 60);
    p = s.Cell(7, "DrawLabel aligns");
    Rect box{p.x + 6, p.y + 6, p.x + 94, p.y + 80};
    s.Ink(statdata.Colour(19));
    s.scheme.DrawRect(box);
    s.scheme.SetTextColour(statdata.Colour(0), false);
    s.scheme.DrawLabel("TL", box, SDrawing::kLeft | SDrawing::kTop, Point{});
    s.scheme.DrawLabel("BR", box, SDrawing::kRight | SDrawing::kBottom, Point{});
    s.scheme.DrawLabel("mid", box, 0, Point{});
    s.scheme.DrawLabel("R", box, SDrawing::kRight, Point{});
    s.scheme.DrawLabel("B", box, SDrawing::kBottom, Point{});
    p = s.Cell(8, "DrawLabelRect");
    s.scheme.SetTextColour(statdata.Colour(0), false);
    s.scheme.DrawLabelRect("Clear", Rect{p.x + 20, p.y + 20, p.x + 80, p.y + 40},
                           statdata.Colour(26), Point{});
    s.scheme.DrawLabelRect("Reset", Rect{p.x + 20, p.y + 50, p.x + 80, p.y + 70},
                           statdata.Colour(5), Point{});
    p = s.Cell(9, "DrawVerticalLabel");
    s.scheme.SetTextColour(statdata.Colour(1), false);
    s.scheme.DrawVerticalLabel("Input 16", Rect{p.x, p.y, p.x + kCell, p.y + 84}, 0, 0, Point{},
                               false, false, nullptr);
    s.scheme.DrawVerticalLabel("Out", Rect{p.x + 4, p.y + 4, p.x + 30, p.y + 84}, 0,
                               SDrawing::kLeft | SDrawing::kTop, Point{}, false, false, nullptr);
}

void Turns(Sheet& s) {
    const int angles[] = {30, 90, 135, 180, 270, -45};
    for (int i = 0; i < 6; ++i) {
        char caption[32];
        snprintf(caption, sizeof caption, "Rotated %d", angles[i]);
        Point p = s.Cell(10 + i, caption);
        s.scheme.SetTextColour(statdata.Colour(i % 2 ? 21 : 12), false);
        s.scheme.DrawRotatedText("Ferrovane", Rect{p.x, p.y, p.x + kCell, p.y + 84}, angles[i], 0,
                                 Point{});
    }
}

void DigitsAndPictures(Sheet& s) {
    Point p = s.Cell(16, "DrawPixelNumber");
    s.Ink(statdata.Colour(13));
    for (int d = 0; d < 10; ++d)
        s.scheme.DrawPixelNumber(p.x + 8 + (d % 5) * 16, p.y + 10 + (d / 5) * 20, d);
    p = s.Cell(17, "DrawMemory");
    zell::gui::context::SDrawBitmap arrow(zell::images::cursor_arrow_XOR, 0, 0, false);
    SDrawMemoryDevice source(nullptr, &arrow);
    s.scheme.DrawMemory(&source, p.x + 10, p.y + 10, 0, 0, 24, 24);
    s.scheme.DrawMemory(&source, Point{p.x + 50, p.y + 30}, Rect{0, 0, 24, 24});
    p = s.Cell(18, "Logo (190 x 52)");
    zell::gui::context::SDrawBitmap logo(zell::images::text_logo, 0, 0, false);
    SDrawMemoryDevice picture(nullptr, &logo);
    s.scheme.DrawMemory(&picture, p.x + 5, p.y + 10, 0, 0, 190, 52);
}

} // namespace

TEST(SampleSheet, EveryPrimitiveAndTextModeDrawsIntoItsCell) {
    REQUIRE_DISPLAY();
    Sheet sheet;
    Shapes(sheet);
    Polygons(sheet);
    Texts(sheet);
    Turns(sheet);
    DigitsAndPictures(sheet);
    std::vector<int> marks = sheet.canvas.Marks(statdata.Colour(24));
    for (int cell = 0; cell < 19; ++cell) {
        Rect inside{(cell % kColumns) * kCell + 2, (cell / kColumns) * kCell + 2,
                    (cell % kColumns) * kCell + kCell - 2, (cell / kColumns) * kCell + kCell - 16};
        std::vector<int> part = Crop(marks, sheet.canvas.width, inside);
        EXPECT_GT(std::count(part.begin(), part.end(), 1), 10) << "cell " << cell;
    }
    EXPECT_TRUE(sheet.canvas.WritePng(std::string(FERROVANE_TEST_OUTPUT) + "/drawing-sheet.png"));
}
