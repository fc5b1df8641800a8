// Text kept inside a box: the fonts a layout was made for may be missing, and the nearest font
// the server has can be wider.
#include "SDrawing.h"

#include "SDrawDevice.h"
#include "SDrawFont.h"
#include "STextFit.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace zell::gui::context {

namespace {

// A line placed inside its box: the glyph positions, the line's origin and how many glyphs fit.
struct Placed {
    STextRun run;
    int x = 0, baseline = 0, count = 0;
};

// A left-aligned line keeps its start, so its room is what lies right of that.
Placed Place(XFontStruct* f, const char* text, int x, int baseline, const SDrawing::Rect& r,
             int align, const SDrawing::Rect& box, int minSpace) {
    Placed p;
    const int length = static_cast<int>(strlen(text));
    const int start = x + GlyphMetrics(f, static_cast<unsigned char>(text[0])).lbearing;
    const int room = align & SDrawing::kLeft ? box.x2 - std::max(box.x1, start) : box.Width();
    p.run = FitLine(f, text, length, room, minSpace);
    const STextRun& run = p.run;
    if (run.respaced && !(align & SDrawing::kLeft)) {
        const int ink = run.inkRight - run.inkLeft;
        x = (align & SDrawing::kRight ? r.x2 - ink : r.x1 + ((r.Width() - ink) >> 1)) - run.inkLeft;
    }
    // The least move that brings the ink inside; the left and top edges win.
    if (x + run.inkRight > box.x2) x = box.x2 - run.inkRight;
    if (x + run.inkLeft < box.x1) x = box.x1 - run.inkLeft;
    if (baseline + run.descent > box.y2) baseline = box.y2 - run.descent;
    if (baseline - run.ascent < box.y1) baseline = box.y1 + run.ascent;
    p.x = x;
    p.baseline = baseline;
    p.count = GlyphsBefore(f, text, run, box.x2 - x);
    return p;
}

} // namespace

// The work is done in the target's pixels, with the font's face for the scale.
void SDrawing::DrawTextFitted(const char* text, int x, int y, const Rect& box) {
    XFontStruct* f = LoadedFont(*this);
    if (!f) return;
    const Rect b = Scaled(box), from = Scaled(Rect{x, y, box.x2, box.y2});
    DrawInside(text, from.x1, from.y1 + f->ascent, from, kLeft, b, 0);
}

void SDrawing::DrawLabelFitted(const char* text, Rect r, int align, const Point& offset,
                               const Rect& box, int minSpace) {
    XFontStruct* f = LoadedFont(*this);
    if (!f || !text || !*text) return;
    const Rect in = Scaled(r.Moved(offset));
    const Point at = LabelOrigin(f, text, in, align, Scale());
    DrawInside(text, at.x, at.y, in, align, Scaled(box), minSpace * Scale());
}

// Back in the layout's pixels, the ink's box rounded outwards.
SDrawing::Rect SDrawing::FittedTextInk(const char* text, int x, int y, const Rect& box) {
    XFontStruct* f = LoadedFont(*this);
    if (!f || !text || !*text) return {};
    const Rect from = Scaled(Rect{x, y, box.x2, box.y2});
    const Placed p = Place(f, text, from.x1, from.y1 + f->ascent, from, kLeft, Scaled(box), 0);
    if (p.count <= 0 || p.run.inkRight <= p.run.inkLeft) return {};
    using math::geom::CeilDiv;
    using math::geom::FloorDiv;
    const int s = Scale();
    return {FloorDiv(p.x + p.run.inkLeft, s), FloorDiv(p.baseline - p.run.ascent, s),
            CeilDiv(p.x + p.run.inkRight, s), CeilDiv(p.baseline + p.run.descent, s)};
}

void SDrawing::DrawInside(const char* text, int x, int baseline, const Rect& r, int align,
                          const Rect& box, int minSpace) {
    XFontStruct* f = LoadedFont(*this);
    Target t = Current();
    if (!f || !text || !*text || !t) return;
    const Placed p = Place(f, text, x, baseline, r, align, box, minSpace);
    if (p.count <= 0) return;
    XSetFont(t.display, t.gc, f->fid);
    if (!p.run.respaced) {
        XDrawString(t.display, t.drawable, t.gc, p.x, p.baseline, text, p.count);
        return;
    }
    // One item for each stretch of glyphs that keep the font's own advances.
    std::vector<XTextItem> items;
    int pen = 0;
    for (int i = 0; i < p.count; ++i) {
        const int delta = p.run.x[i] - pen;
        if (items.empty() || delta != 0)
            items.push_back(XTextItem{const_cast<char*>(text + i), 0, delta, None});
        ++items.back().nchars;
        pen = p.run.x[i] + GlyphMetrics(f, static_cast<unsigned char>(text[i])).width;
    }
    XDrawText(t.display, t.drawable, t.gc, p.x, p.baseline, items.data(),
              static_cast<int>(items.size()));
}

} // namespace zell::gui::context
