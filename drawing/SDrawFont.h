// Fonts: a core X font chosen by size, weight and slant from the Helvetica and fixed families,
// or, where the server lacks those, the nearest font it has. Fonts are shared through the
// process-wide cache and freed on the display that loaded them.
#pragma once

#include "SDrawing.h"
#include "datastring.h"

#include <X11/Xlib.h>
#include <vector>

namespace zell::gui::context {

class SDrawFont {
  public:
    using Text = data::datastring<32, char>;

    // The display's default font: the font of the default GC, size 10.
    explicit SDrawFont(bool);
    // The fourth argument has no meaning. family is the foundry and family, as in
    // "adobe-helvetica", and only that family is tried; null chooses by size and falls back to
    // the nearest font the server has (SFontFallback.h).
    SDrawFont(int size, bool bold, bool italic, bool, const char* family);
    SDrawFont(const SDrawFont&) = delete;
    SDrawFont& operator=(const SDrawFont&) = delete;
    ~SDrawFont();

    // The pixel size a size asks for: 7 gives 8, 8 gives 10, 10 gives 12, 14 gives 17.
    static int PixelSize(int size) { return size + (size >> 2); }
    // The XLFD patterns tried for a font, in order; the first that loads is used.
    static std::vector<Text> Patterns(int size, bool bold, bool italic, const char* family);

    // Loads again when there was no display at construction and there is one now.
    void Reload();
    // Frees the font when it was loaded on that display, which is about to go; the next Reload
    // loads it on the toolkit's display of the time.
    void ReleaseOn(Display* gone);
    bool Loaded() const { return info != nullptr; }
    // The display it is loaded on; null when it is not.
    Display* GetDisplay() const { return display; }

    int size;
    Text name; // the pattern or font name tried last; empty for the default font
    bool bold;
    bool italic;
    Font fid = 0;
    XFontStruct* info = nullptr;

  private:
    void Load();
    // Loads the first font the pattern matches; name keeps the pattern either way.
    [[nodiscard]] bool LoadNamed(const char* pattern);
    void Release();

    Text family;
    Display* display = nullptr;
    bool isDefault = false;
};

// The loaded font a context draws with, or null.
inline XFontStruct* LoadedFont(const SDrawing& d) {
    SDrawFont* f = d.GetFont();
    return f ? f->info : nullptr;
}

} // namespace zell::gui::context
