#include "STextFit.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <cmath>

namespace zell::gui::context {

namespace {

// The narrowest gaps between two glyphs' ink, and where a space lies between them, in the order
// they are given up: a pixel between glyphs, then glyphs touch, and words close to two pixels
// only where nothing else is left.
struct Gaps {
    int glyph, word;
};
constexpr Gaps kTiers[] = {{1, 3}, {0, 3}, {0, 2}};

const XCharStruct* Entry(const XFontStruct* f, unsigned code) {
    const unsigned row = code >> 8, column = code & 0xFF;
    if (row < f->min_byte1 || row > f->max_byte1 || column < f->min_char_or_byte2 ||
        column > f->max_char_or_byte2)
        return nullptr;
    if (!f->per_char) return &f->max_bounds;
    const unsigned columns = f->max_char_or_byte2 - f->min_char_or_byte2 + 1;
    const XCharStruct* c =
        &f->per_char[(row - f->min_byte1) * columns + (column - f->min_char_or_byte2)];
    // An entry of zeros stands for a glyph the font does not have.
    if (!c->width && !c->lbearing && !c->rbearing && !c->ascent && !c->descent) return nullptr;
    return c;
}

std::vector<int> Origins(const std::vector<int>& advances) {
    std::vector<int> x(advances.size(), 0);
    for (size_t i = 1; i < advances.size(); ++i)
        x[i] = x[i - 1] + advances[i - 1];
    return x;
}

struct Glyphs {
    std::vector<XCharStruct> metrics;
    std::vector<size_t> inked; // the glyphs that set pixels, in order
    std::vector<bool> space;
};

bool Blank(char c, const XCharStruct& m) {
    return c == ' ' || m.rbearing <= m.lbearing || m.ascent + m.descent <= 0;
}

Glyphs Measure(const XFontStruct* font, const char* text, int length) {
    Glyphs g;
    for (int i = 0; i < length; ++i) {
        const XCharStruct m = GlyphMetrics(font, static_cast<unsigned char>(text[i]));
        const bool blank = Blank(text[i], m);
        g.metrics.push_back(m);
        g.space.push_back(text[i] == ' ');
        if (!blank) g.inked.push_back(static_cast<size_t>(i));
    }
    return g;
}

int InkLeft(const Glyphs& g, const std::vector<int>& x, size_t i) {
    return x[i] + g.metrics[i].lbearing;
}

int InkRight(const Glyphs& g, const std::vector<int>& x, size_t i) {
    return x[i] + g.metrics[i].rbearing;
}

int InkWidth(const Glyphs& g, const std::vector<int>& x) {
    if (g.inked.empty()) return 0;
    return InkRight(g, x, g.inked.back()) - InkLeft(g, x, g.inked.front());
}

// Moves every glyph left by its share of the excess, gap by gap: each gap gives the same part
// of what it has above its minimum. Answers what is left of the excess.
int Tighten(const Glyphs& g, std::vector<int>& x, int excess, const Gaps& least) {
    const size_t n = g.inked.size();
    std::vector<int> give(n, 0);
    long total = 0;
    for (size_t j = 1; j < n; ++j) {
        const size_t a = g.inked[j - 1], b = g.inked[j];
        const int gap = InkLeft(g, x, b) - InkRight(g, x, a);
        const bool word =
            std::any_of(g.space.begin() + static_cast<long>(a) + 1,
                        g.space.begin() + static_cast<long>(b), [](bool s) { return s; });
        give[j] = std::max(0, gap - (word ? least.word : least.glyph));
        total += give[j];
    }
    if (total <= 0) return excess;
    const double share = std::min(1.0, static_cast<double>(excess) / static_cast<double>(total));
    std::vector<int> shift(x.size(), 0);
    double given = 0.0;
    size_t next = 0;
    int moved = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        if (next < n && g.inked[next] == i) {
            given += give[next] * share;
            moved = static_cast<int>(std::lround(given));
            ++next;
        }
        shift[i] = moved;
    }
    for (size_t i = 0; i < x.size(); ++i)
        x[i] -= shift[i];
    return excess - moved;
}

} // namespace

XCharStruct GlyphMetrics(const XFontStruct* font, unsigned char c) {
    if (!font) return {};
    if (const XCharStruct* m = Entry(font, c)) return *m;
    if (const XCharStruct* m = Entry(font, font->default_char)) return *m;
    return {};
}

STextRun FitLine(const XFontStruct* font, const char* text, int length, int room, int minSpace) {
    STextRun run;
    if (!font || !text || length <= 0) return run;
    const Glyphs g = Measure(font, text, length);
    std::vector<int> advances;
    for (const XCharStruct& m : g.metrics)
        advances.push_back(m.width);
    run.x = Origins(advances);
    if (minSpace > 0) {
        for (size_t i = 0; i < advances.size(); ++i)
            if (g.space[i]) advances[i] = std::max(advances[i], minSpace);
        std::vector<int> wide = Origins(advances);
        run.respaced = wide != run.x;
        run.x = wide;
    }
    if (g.inked.empty()) return run;
    int excess = InkWidth(g, run.x) - room;
    for (const Gaps& tier : kTiers) {
        if (excess <= 0) break;
        excess = Tighten(g, run.x, excess, tier);
        run.respaced = true;
    }
    run.inkLeft = InkLeft(g, run.x, g.inked.front());
    run.inkRight = InkRight(g, run.x, g.inked.back());
    for (size_t i : g.inked) {
        run.ascent = std::max(run.ascent, static_cast<int>(g.metrics[i].ascent));
        run.descent = std::max(run.descent, static_cast<int>(g.metrics[i].descent));
    }
    return run;
}

int GlyphsBefore(const XFontStruct* font, const char* text, const STextRun& run, int limit) {
    const int length = static_cast<int>(run.x.size());
    for (int i = 0; i < length; ++i) {
        const XCharStruct m = GlyphMetrics(font, static_cast<unsigned char>(text[i]));
        if (!Blank(text[i], m) && run.x[i] + m.rbearing > limit) return i;
    }
    return length;
}

} // namespace zell::gui::context
