// Fonts: a core X font chosen by size, weight and slant from the Helvetica and fixed families,
// or, where the server lacks those, the nearest font it has. A drawing at a larger scale takes
// the font's face for it: the font the server holds nearest the scaled pixel size. Fonts are
// shared through the process-wide cache and freed on the display that loaded them.
#pragma once

#include "SDrawing.h"
#include "datastring.h"

#include <X11/Xlib.h>

#include <atomic>
#include <mutex>
#include <string>
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
    // The patterns whose listings choose a font's faces for larger scales (ScaledNames).
    static std::vector<std::string> ScaledListings(int size, bool bold, bool italic,
                                                   const char* family, int scale);
    // The names tried for a face at a larger scale, in order, from the display's listings: the
    // font of the family, weight and slant held nearest the scaled pixel size, then (for a
    // font chosen by size) the fallback fonts of that size (SFontFallback.h).
    static std::vector<std::string> ScaledNames(Display* display, int size, bool bold, bool italic,
                                                const char* family, int scale);

    // The face for drawing at a scale (1 to 3): the font itself at 1 and for the display's
    // default font; at 2 and 3 a face loaded on the font's display at its first use, or the
    // font itself where none loads. Null when the font did not load. Any thread that draws.
    XFontStruct* At(int scale);

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
    // A face for a larger scale; loaded faces are only freed with the font.
    struct Face {
        std::atomic<XFontStruct*> info{nullptr};
        bool tried = false;
    };
    static constexpr int kLargestScale = 3;

    void Load();
    // Loads the first font the pattern matches into info; name keeps the pattern either way.
    [[nodiscard]] bool LoadNamed(const char* pattern);
    [[nodiscard]] XFontStruct* OpenNamed(const char* pattern);
    XFontStruct* LoadFace(int scale);
    void Release();

    Text family;
    Display* display = nullptr;
    bool isDefault = false;
    Face faces[kLargestScale - 1]; // for 2 and 3
    std::mutex facesLock;          // taken after the display's lock
};

// The loaded face a context draws with at its scale, or null.
inline XFontStruct* LoadedFont(const SDrawing& d) {
    SDrawFont* f = d.GetFont();
    return f ? f->At(d.Scale()) : nullptr;
}

// Where DrawLabel puts a line of text in r (the target's pixels): its start and baseline.
SDrawing::Point LabelOrigin(const XFontStruct* f, const char* text, const SDrawing::Rect& r,
                            int align, int scale);

} // namespace zell::gui::context
