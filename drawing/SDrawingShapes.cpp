// Lines, rectangles, arcs, polygons, the seven-segment digits and copies between devices.
#include "SDrawing.h"

#include "SDrawDevice.h"
#include "Owner.h"
#include "SDrawImage.h"
#include "SStaticData.h"

#include <X11/Xlib.h>

#include <X11/Xmu/Drawing.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <cstdlib>
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

// The rectangle r of the image with each pixel made a square of side s, in the image's format;
// null where there is no memory for it.
XImage* Replicated(Display* d, XImage* from, const SDrawing::Rect& r, int s) {
    const int w = r.Width() * s, h = r.Height() * s;
    XImage* to = XCreateImage(
        d, DefaultVisual(d, DefaultScreen(d)), static_cast<unsigned>(from->depth), from->format, 0,
        nullptr, static_cast<unsigned>(w), static_cast<unsigned>(h), from->bitmap_pad, 0);
    if (!to) return nullptr;
    // The image frees its memory with itself.
    gsl::owner<char*> data =
        static_cast<char*>(calloc(static_cast<size_t>(to->bytes_per_line) * h, 1));
    to->data = data;
    if (!to->data) {
        XDestroyImage(to);
        return nullptr;
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            XPutPixel(to, x, y, XGetPixel(from, r.x1 + x / s, r.y1 + y / s));
    return to;
}

} // namespace

void SDrawing::DrawBackground(const Rect& rect, bool useParent) {
    if (!globals) return;
    int colour = useParent ? GetParentBackgroundColour() : GetBackgroundColour();
    SetPen(statdata.FindPen(colour));
    SetBrush(statdata.FindBrush(colour));
    FillRect(rect);
}

void SDrawing::DrawPoint(int x, int y) {
    if (Scale() > 1) {
        FillRect(x, y, x + 1, y + 1);
        return;
    }
    if (Target t = Current()) XDrawPoint(t.display, t.drawable, t.gc, x, y);
}

// Along a straight line its ends lie on pixel edges; across it, it runs through the middle of
// its pixels.
void SDrawing::DrawLine(int x1, int y1, int x2, int y2) {
    Target t = Current();
    if (!t) return;
    const int s = Scale();
    const bool across = x1 != x2, down = y1 != y2;
    auto at = [&](int v, bool along) { return along ? v * s : Middle(v); };
    if (s > 1) StrokeWidth(t);
    XDrawLine(t.display, t.drawable, t.gc, at(x1, across && !down), at(y1, down && !across),
              at(x2, across && !down), at(y2, down && !across));
}

// At a larger scale the outline is filled as four bands, each as thick as a pixel of the
// layout, inside the rectangle as the layout's one-pixel outline is; none overlaps another, so
// an inverting outline inverts each pixel once.
void SDrawing::DrawRect(int x1, int y1, int x2, int y2) {
    unsigned int w, h;
    Target t = Current();
    if (!t || !Side(x1, x2, 1, w) || !Side(y1, y2, 1, h)) return;
    const int s = Scale();
    if (s == 1) {
        XDrawRectangle(t.display, t.drawable, t.gc, x1, y1, w, h);
        return;
    }
    const Rect r = Scaled(Rect{x1, y1, x2, y2});
    const int band = std::max(penWidth, 1) * s;
    if (r.Width() <= 2 * band || r.Height() <= 2 * band) return FillRect(x1, y1, x2, y2);
    const auto W = static_cast<unsigned short>(r.Width()), B = static_cast<unsigned short>(band);
    const auto H = static_cast<unsigned short>(r.Height() - 2 * band);
    XRectangle bands[4] = {
        {Coordinate(r.x1), Coordinate(r.y1), W, B},
        {Coordinate(r.x1), Coordinate(r.y2 - band), W, B},
        {Coordinate(r.x1), Coordinate(r.y1 + band), B, H},
        {Coordinate(r.x2 - band), Coordinate(r.y1 + band), B, H},
    };
    XFillRectangles(t.display, t.drawable, t.gc, bands, 4);
}

void SDrawing::FillRect(int x1, int y1, int x2, int y2) {
    unsigned int w, h;
    Target t = Current();
    const int s = Scale();
    if (t && Side(x1, x2, 0, w) && Side(y1, y2, 0, h))
        XFillRectangle(t.display, t.drawable, t.gc, x1 * s, y1 * s, w * s, h * s);
}

void SDrawing::DrawRoundedRect(int x1, int y1, int x2, int y2, int ew, int eh) {
    unsigned int w, h;
    Target t = Current();
    if (!t || !Side(x1, x2, 1, w) || !Side(y1, y2, 1, h)) return;
    const int s = Scale();
    if (s > 1) StrokeWidth(t);
    XmuDrawRoundedRectangle(t.display, t.drawable, t.gc, Middle(x1), Middle(y1),
                            static_cast<int>(w) * s, static_cast<int>(h) * s, ew * s, eh * s);
}

void SDrawing::FillRoundedRect(int x1, int y1, int x2, int y2, int ew, int eh) {
    unsigned int w, h;
    Target t = Current();
    const int s = Scale();
    if (t && Side(x1, x2, 0, w) && Side(y1, y2, 0, h))
        XmuFillRoundedRectangle(t.display, t.drawable, t.gc, x1 * s, y1 * s,
                                static_cast<int>(w) * s, static_cast<int>(h) * s, ew * s, eh * s);
}

// A filled arc covers the scaled area; an outline runs through the middle of its pixels.
void SDrawing::Arc(int x1, int y1, int x2, int y2, int start, int extent, int mode, bool fill) {
    unsigned int w, h;
    Target t = Current();
    if (!t || !Side(x1, x2, 0, w) || !Side(y1, y2, 0, h)) return;
    const int s = Scale();
    XSetArcMode(t.display, t.gc, mode);
    if (fill) {
        XFillArc(t.display, t.drawable, t.gc, x1 * s, y1 * s, w * s, h * s, start, extent);
        return;
    }
    if (s > 1) StrokeWidth(t);
    XDrawArc(t.display, t.drawable, t.gc, Middle(x1), Middle(y1), w * s, h * s, start, extent);
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
    // A filled polygon's corners are pixel edges; a line runs through the middle of its pixels.
    const int s = Scale();
    for (int i = 0; i < count; ++i)
        converted[i] =
            fill ? XPoint{Coordinate(points[i].x * s), Coordinate(points[i].y * s)}
                 : XPoint{Coordinate(Middle(points[i].x)), Coordinate(Middle(points[i].y))};
    if (fill) {
        XFillPolygon(t.display, t.drawable, t.gc, converted, count, Nonconvex, CoordModeOrigin);
        return;
    }
    if (s > 1) StrokeWidth(t);
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
    const int s = Scale();
    // The copy goes through the source's GC, so it is sent on the connection that GC lives on.
    XCopyArea(source->GetDisplay(), source->GetDrawable(), t.drawable, source->Get(), sx1 * s,
              sy1 * s, w * s, h * s, dx * s, dy * s);
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
    const int s = Scale();
    const int dx = (dst.x1 + (x1 - src.x1)) * s, dy = (dst.y1 + (y1 - src.y1)) * s;
    if (s == 1) {
        XPutImage(t.display, t.drawable, t.gc, image->Get(), x1, y1, dx, dy,
                  static_cast<unsigned>(x2 - x1), static_cast<unsigned>(y2 - y1));
        return;
    }
    // Each pixel of the picture becomes a square of the scale's side.
    XImage* scaled = Replicated(t.display, image->Get(), Rect{x1, y1, x2, y2}, s);
    if (!scaled) return;
    XPutImage(t.display, t.drawable, t.gc, scaled, 0, 0, dx, dy,
              static_cast<unsigned>(scaled->width), static_cast<unsigned>(scaled->height));
    XDestroyImage(scaled);
}

} // namespace zell::gui::context
