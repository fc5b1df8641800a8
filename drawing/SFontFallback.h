// The nearest fonts a server has when the ones a size asks for are missing. Many desktops lack
// the optional bitmap font packages, and an Xwayland server may hold little more than "fixed";
// every text must still be drawn.
#pragma once

#include <string>
#include <vector>

struct _XDisplay;

namespace zell::gui::context {

// The fields of a core font name that the choice looks at:
// -foundry-family-weight-slant-width-style-pixels-points-resx-resy-spacing-average-registry-enc
struct SFontName {
    std::string name;
    std::string foundryFamily; // "misc-fixed"
    std::string weight;
    std::string style; // "sans", or empty
    int pixels = 0;
    char spacing = 0;     // 'p' proportional, 'm' monospaced, 'c' character cell
    int averageWidth = 0; // tenths of a pixel; 0 where the server scales an outline or bitmap
};

// False for aliases such as "fixed" and for names of another shape.
[[nodiscard]] bool ParseFontName(const char* name, SFontName& out);

// The order in which to try listed fonts for a pixel size and weight:
//  1. other families of that very size and weight: sans serif, then proportional, then the rest;
//  2. the misc "fixed" fonts of the nearest size: the same weight first, of two sizes equally
//     near the smaller, of two widths the narrower;
//  3. "fixed".
// Only fonts the server holds at their own size are taken: a bitmap scaled to another size reads
// badly. sameSize holds names listed for the pixel size, miscFixed those of the misc family.
std::vector<std::string> FallbackOrder(const std::vector<std::string>& sameSize,
                                       const std::vector<std::string>& miscFixed, int pixels,
                                       bool bold);

// The patterns whose listings FallbackFonts orders.
std::vector<std::string> FallbackListings(int pixels);
// The candidates the display lists, in that order; its listings are asked once per connection
// (SFontLookup::Listing).
std::vector<std::string> FallbackFonts(_XDisplay* display, int pixels, bool bold);

// Of the listed names, the font held at its own size nearest the pixel size: of two sizes
// equally near the smaller, of two widths the narrower. Empty when none is held.
std::string NearestHeld(const std::vector<std::string>& names, int pixels);

} // namespace zell::gui::context
