// The size of a text of several lines in one font, as labels, message boxes and tooltips lay
// their text out.
#pragma once

#include "datastring.h"

#include <vector>

namespace zell::gui::context {

class SDrawFont;

struct STextBlock {
    int width = 0;  // of the widest line
    int height = 0; // the lines' heights added up
    int lines = 0;
};

// Every measure is in the layout's pixels of a drawing at the scale: the font's face for the
// scale measured (SDrawFont::At), and its pixels divided by the scale, rounded up.

// The width of one line of text (the first `length` bytes); 0 without a loaded font.
int TextWidth(const char* text, int length, SDrawFont* font, int scale = 1);
// The height of every line in the font (ascent plus descent); 0 without a loaded font.
int LineHeight(SDrawFont* font, int scale = 1);

// Measures the lines between newlines; an empty line counts the font's height, an empty or
// null text measures 0 x 0 with no lines.
STextBlock MeasureLines(const char* text, SDrawFont* font, int scale = 1);
// Measures the given lines.
STextBlock MeasureLines(const std::vector<data::datastring<32, char>>& lines, SDrawFont* font,
                        int scale = 1);

// Splits at newlines, keeping empty lines, so that each measured line has its own place.
std::vector<data::datastring<32, char>> SplitLines(const char* text);

} // namespace zell::gui::context
