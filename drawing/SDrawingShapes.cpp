// Lines, rectangles, arcs, polygons, the seven-segment digits and copies between devices.
#include "SDrawing.h"

#include "SDrawDevice.h"
#include "SDrawImage.h"
#include "SStaticData.h"

#include <X11/Xlib.h>

#include <X11/Xmu/Drawing.h>
#include <algorithm>
#include <vector>

namespace zell::gui::context {

namespace {

// A full turn in X's 1/64 degree units.
constexpr int kFullCircle = 360 * 64;
// Polygons up to this size convert on the stack; larger ones take the heap.
constexpr int kStackPoints = 256;

short Coordinate(int v) {
    return static_cast<short>(std::clamp(v, -32768, 32767));
}

// A side taken from two corners; negative sides draw nothing.
bool Side(int from, int to, int less, unsigned int& side) {
    int length = to - from - less;
    if (length < 0) return false;
    side = static_cast<unsigned int>(length);
    return true;
}

struct Segment {
    signed char x1, y1, x2, y2;
};

// Segment ends of the digits: columns 1 (L) and 5 (R), rows 3 (T), 6 (M) and 9 (B) of the
// cell; digit 1 stands in columns 2 and 3.
constexpr signed char L = 1, R = 5, T = 3, M = 6, B = 9;
struct DigitLines {
    int count;
    Segment lines[5];
};
constexpr DigitLines kDigits[10] = {
    {4, {{L, T, R, T}, {L, T, L, B}, {R, T, R, B}, {L, B, R, B}}},
    {2, {{2, T, 3, T}, {3, T, 3, B}}},
    {5, {{L, T, R, T}, {R, T, R, M}, {R, M, L, M}, {L, M, L, B}, {L, B, R, B}}},
    {4, {{L, T, R, T}, {R, T, R, B}, {L, M, R, M}, {L, B, R, B}}},
    {3, {{L, T, L, M}, {L, M, R, M}, {R, T, R, B}}},
    {5, {{L, T, R, T}, {L, T, L, M}, {L, M, R, M}, {R, M, R, B}, {L, B, R, B}}},
    {5, {{L, T, R, T}, {L, T, L, B}, {L, M, R, M}, {R, M, R, B}, {L, B, R, B}}},
    {2, {{L, T, R, T}, {R, T, R, B}}},
    {5, {{L, T, R, T}, {L, T, L, B}, {L, M, R, M}, {R, T, R, B}, {L, B, R, B}}},
    {5, {{L, T, R, T}, {L, T, L, M}, {L, M, R, M}, {R, T, R, B}, {L, B, R, B}}},
};

} // namespace

void SDrawing::DrawBackground(const Rect& rect, bool useParent) {
    if (!globals) return;
    int colour = useParent ? GetParentBackgroundColour() : GetBackgroundColour();
    SetPen(statdata.FindPen(colour));
    SetBrush(statdata.FindBrush(colour));
    FillRect(rect);
}

void SDrawing::DrawPoint(int x, int y) {
    if (Target t = Current()) XDrawPoint(t.display, t.drawable, t.gc, x, y);
}

void SDrawing::DrawLine(int x1, int y1, int x2, int y2) {
    if (Target t = Current()) XDrawLine(t.display, t.drawable, t.gc, x1, y1, x2, y2);
}

void SDrawing::DrawRect(int x1, int y1, int x2, int y2) {
    unsigned int w, h;
    Target t = Current();
    if (t && Side(x1, x2, 1, w) && Side(y1, y2, 1, h))
        XDrawRectangle(t.display, t.drawable, t.gc, x1, y1, w, h);
}

void SDrawing::FillRect(int x1, int y1, int x2, int y2) {
    unsigned int w, h;
    Target t = Current();
    if (t && Side(x1, x2, 0, w) && Side(y1, y2, 0, h))
        XFillRectangle(t.display, t.drawable, t.gc, x1, y1, w, h);
}

void SDrawing::DrawRoundedRect(int x1, int y1, int x2, int y2, int ew, int eh) {
    unsigned int w, h;
    Target t = Current();
    if (t && Side(x1, x2, 1, w) && Side(y1, y2, 1, h))
        XmuDrawRoundedRectangle(t.display, t.drawable, t.gc, x1, y1, static_cast<int>(w),
                                static_cast<int>(h), ew, eh);
}

void SDrawing::FillRoundedRect(int x1, int y1, int x2, int y2, int ew, int eh) {
    unsigned int w, h;
    Target t = Current();
    if (t && Side(x1, x2, 0, w) && Side(y1, y2, 0, h))
        XmuFillRoundedRectangle(t.display, t.drawable, t.gc, x1, y1, static_cast<int>(w),
                                static_cast<int>(h), ew, eh);
}

void SDrawing::Arc(int x1, int y1, int x2, int y2, int start, int extent, int mode, bool fill) {
    unsigned int w, h;
    Target t = Current();
    if (!t || !Side(x1, x2, 0, w) || !Side(y1, y2, 0, h)) return;
    XSetArcMode(t.display, t.gc, mode);
    if (fill)
        XFillArc(t.display, t.drawable, t.gc, x1, y1, w, h, start, extent);
    else
        XDrawArc(t.display, t.drawable, t.gc, x1, y1, w, h, start, extent);
}

void SDrawing::DrawEllipse(int x1, int y1, int x2, int y2) {
    Arc(x1, y1, x2, y2, 0, kFullCircle, ArcPieSlice, false);
}

void SDrawing::FillEllipse(int x1, int y1, int x2, int y2) {
    Arc(x1, y1, x2, y2, 0, kFullCircle, ArcPieSlice, true);
}

void SDrawing::DrawPie(int x1, int y1, int x2, int y2, int start, int extent) {
    Arc(x1, y1, x2, y2, start * 64, extent * 64, ArcPieSlice, false);
}

void SDrawing::FillPie(int x1, int y1, int x2, int y2, int start, int extent) {
    Arc(x1, y1, x2, y2, start * 64, extent * 64, ArcPieSlice, true);
}

void SDrawing::DrawChord(int x1, int y1, int x2, int y2, int start, int extent) {
    Arc(x1, y1, x2, y2, start * 64, extent * 64, ArcChord, false);
}

void SDrawing::FillChord(int x1, int y1, int x2, int y2, int start, int extent) {
    Arc(x1, y1, x2, y2, start * 64, extent * 64, ArcChord, true);
}

void SDrawing::DrawPoly(Point* points, int count) {
    Poly(points, count, false);
}

void SDrawing::FillPoly(Point* points, int count) {
    Poly(points, count, true);
}

void SDrawing::Poly(Point* points, int count, bool fill) {
    Target t = Current();
    if (!t || !points || count <= 1) return;
    XPoint local[kStackPoints];
    std::vector<XPoint> large;
    XPoint* converted = local;
    if (count > kStackPoints) {
        large.resize(static_cast<size_t>(count));
        converted = large.data();
    }
    for (int i = 0; i < count; ++i)
        converted[i] = {Coordinate(points[i].x), Coordinate(points[i].y)};
    if (fill)
        XFillPolygon(t.display, t.drawable, t.gc, converted, count, Nonconvex, CoordModeOrigin);
    else
        XDrawLines(t.display, t.drawable, t.gc, converted, count, CoordModeOrigin);
}

void SDrawing::DrawPixelNumber(int x, int y, int digit) {
    if (digit < 0 || digit > 9) return;
    const DigitLines& d = kDigits[digit];
    for (int i = 0; i < d.count; ++i) {
        const Segment& s = d.lines[i];
        DrawLine(x + s.x1, y + s.y1, x + s.x2, y + s.y2);
    }
}

void SDrawing::DrawMemory(SDrawDevice* source, int dx, int dy, int sx1, int sy1, int sx2, int sy2) {
    unsigned int w, h;
    Target t = Current();
    if (!source || !t || !source->GetDisplay() || !source->GetDrawable() || !source->Get()) return;
    if (!Side(sx1, sx2, 0, w) || !Side(sy1, sy2, 0, h)) return;
    // The copy goes through the source's GC, so it is sent on the connection that GC lives on.
    XCopyArea(source->GetDisplay(), source->GetDrawable(), t.drawable, source->Get(), sx1, sy1, w,
              h, dx, dy);
}

void SDrawing::DrawImage(SDrawImage* image, const Rect& src, const Rect& dst) {
    Target t = Current();
    if (!image || !image->Get() || !t) return;
    // Xlib reads the image memory without bounds checks, so the source is kept inside it.
    int x1 = std::max(src.x1, 0);
    int y1 = std::max(src.y1, 0);
    int x2 = std::min(src.x2, image->Width());
    int y2 = std::min(src.y2, image->Height());
    if (x2 <= x1 || y2 <= y1) return;
    XPutImage(t.display, t.drawable, t.gc, image->Get(), x1, y1, dst.x1 + (x1 - src.x1),
              dst.y1 + (y1 - src.y1), static_cast<unsigned>(x2 - x1),
              static_cast<unsigned>(y2 - y1));
}

} // namespace zell::gui::context
