// Where the glyphs of one line of text go when the line must keep inside a box. A fallback font
// can be wider than the font a layout was made for; a character-cell font then gives each glyph
// its whole cell, and taking back the blank columns between glyphs lets the line fit without
// clipping a glyph. A line that fits is laid out as the font sets it.
#pragma once

#include <X11/Xlib.h>
#include <vector>

namespace zell::gui::context {

struct STextRun {
    std::vector<int> x;    // each byte's glyph origin, relative to the line's origin
    int inkLeft = 0;       // the ink's horizontal extent, relative to the line's origin
    int inkRight = 0;      // (exclusive); both 0 for a line without ink
    int ascent = 0;        // the ink's extent above the baseline
    int descent = 0;       // and below it
    bool respaced = false; // the glyphs are not where the font's own advances put them
};

// The metrics of one byte's glyph; bytes outside the font take its default character.
XCharStruct GlyphMetrics(const XFontStruct* font, unsigned char c);

// Lays the line out so that its ink is at most room pixels wide. Spaces are first widened to
// minSpace pixels where the line still fits. A line whose ink is wider than room has every gap
// between two glyphs' ink shrunk by the same share of what it can give, down to one pixel
// (three where a space lies between), so the line reads as set in a proportional font; where
// that is not enough, down to glyphs that touch (two pixels at a space). A line that cannot fit
// even then stays at that tightest layout.
STextRun FitLine(const XFontStruct* font, const char* text, int length, int room, int minSpace);

// How many leading bytes of the laid-out line have their ink end at or before limit (relative to
// the line's origin); the rest would cross it.
int GlyphsBefore(const XFontStruct* font, const char* text, const STextRun& run, int limit);

} // namespace zell::gui::context
