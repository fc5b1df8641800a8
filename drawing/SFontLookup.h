// What a connection's server said about font names, asked once per connection and name: whether
// a name lists a font, the names a pattern lists, and the description (XFontStruct) of the font
// it opens. A font's
// description cannot change while the connection lasts, so a font opened again by name takes a
// copy of it instead of asking the server. Many names can be asked about at once, for a round
// trip each for all the listings and all the descriptions (SXReplyBatch.h). Any thread.
#pragma once

#include <X11/Xlib.h>

#include <string>
#include <vector>

namespace zell::gui::context {

class SFontLookup {
  public:
    // For each font wanted, its names in the order they are tried: the first that lists a font
    // is described. What is known already is not asked again.
    static void Prefetch(Display* display, const std::vector<std::vector<std::string>>& fonts);

    // The names each pattern lists (as XListFonts with a limit of 4000), asked at once for the
    // patterns not asked yet; each name listed is known to list a font from then on.
    static void PrefetchListings(Display* display, const std::vector<std::string>& patterns);
    // The names a pattern lists, asked on its first use; empty without a display.
    static std::vector<std::string> Listing(Display* display, const std::string& pattern);

    // Whether the name lists a font; -1 when it has not been asked yet.
    static int Listed(Display* display, const std::string& name);

    // Opens the font the name lists and gives its description, copied from the one known, or
    // null when none is known yet. Freed with XFreeFont as Xlib's own.
    static XFontStruct* OpenKnown(Display* display, const std::string& name);

    // Forgets a connection before it is given back or closed.
    static void Forget(Display* display);
};

} // namespace zell::gui::context
