#include "STextBlock.h"

#include "SDrawFont.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <cstring>

namespace zell::gui::context {

int TextWidth(const char* text, int length, SDrawFont* font, int scale) {
    XFontStruct* face = font ? font->At(scale) : nullptr;
    if (!text || length <= 0 || !face) return 0;
    int direction = 0, ascent = 0, descent = 0;
    XCharStruct overall{};
    XTextExtents(face, text, length, &direction, &ascent, &descent, &overall);
    return math::geom::CeilDiv(overall.width, std::max(scale, 1));
}

// XTextExtents answers the font's own ascent and descent whatever the text, also for an empty
// one.
int LineHeight(SDrawFont* font, int scale) {
    XFontStruct* face = font ? font->At(scale) : nullptr;
    if (!face) return 0;
    return math::geom::CeilDiv(face->ascent + face->descent, std::max(scale, 1));
}

STextBlock MeasureLines(const char* text, SDrawFont* font, int scale) {
    STextBlock block;
    if (!text || !*text) return block;
    const int height = LineHeight(font, scale);
    for (const char* line = text;; ++block.lines) {
        const char* end = strchr(line, '\n');
        int length = static_cast<int>(end ? end - line : strlen(line));
        int width = TextWidth(line, length, font, scale);
        if (width > block.width) block.width = width;
        block.height += height;
        if (!end) break;
        line = end + 1;
    }
    ++block.lines;
    return block;
}

STextBlock MeasureLines(const std::vector<data::datastring<32, char>>& lines, SDrawFont* font,
                        int scale) {
    STextBlock block;
    const int height = LineHeight(font, scale);
    for (const auto& line : lines) {
        int width = TextWidth(line.Text(), static_cast<int>(line.Length()), font, scale);
        if (width > block.width) block.width = width;
        block.height += height;
        ++block.lines;
    }
    return block;
}

std::vector<data::datastring<32, char>> SplitLines(const char* text) {
    std::vector<data::datastring<32, char>> lines;
    if (!text) return lines;
    data::datastring<32, char> line;
    for (const char* at = text;; ++at) {
        if (*at == '\n' || *at == 0) {
            lines.push_back(line);
            line.Clear(false);
            if (!*at) break;
        } else {
            line.Append(*at);
        }
    }
    return lines;
}

} // namespace zell::gui::context
