// Texts the server has drawn into one-bit pictures for turned labels, kept per connection, font
// and text: reading a picture back is a round trip, and the picture of a text in a font cannot
// change while the connection lasts. Any thread.
#pragma once

#include "SMonoImage.h"

#include <X11/Xlib.h>

#include <string>

namespace zell::gui::context {

class STextPictures {
  public:
    // False when the text has not been drawn in that font on that connection yet.
    [[nodiscard]] static bool Find(Display* display, Font font, const std::string& text,
                                   SMonoImage& picture);
    static void Keep(Display* display, Font font, const std::string& text,
                     const SMonoImage& picture);
    // Forgets a connection before it is given back or closed.
    static void Forget(Display* display);
};

} // namespace zell::gui::context
