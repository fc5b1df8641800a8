#include "SDrawFont.h"

#include "SFontFallback.h"
#include "SFontLookup.h"
#include "ToolkitDisplay.h"

#include <X11/Xlib.h>

namespace zell::gui::context {

namespace {

constexpr const char* kTail = "-*-*-*-*-*-iso8859-1";
// Pixel sizes up to here come from fixed or from one Helvetica pattern; larger ones search.
constexpr int kFixedBelow = 8;
constexpr int kSearchFrom = 13;
constexpr const char* kLargeFallback = "-adobe-helvetica-bold-r-normal--34-*-*-*-*-*-iso8859-1";

const char* Weight(bool bold) {
    return bold ? "bold" : "medium";
}

SDrawFont::Text Pattern(unsigned int limit, const char* format, const char* a, const char* b,
                        int pixels) {
    SDrawFont::Text text;
    text.Append(limit, format, a, b, pixels, kTail);
    return text;
}

} // namespace

std::vector<SDrawFont::Text> SDrawFont::Patterns(int size, bool bold, bool italic,
                                                 const char* family) {
    int pixels = PixelSize(size);
    std::vector<Text> patterns;
    if (family) {
        Text text;
        text.Append(512, "-%s-%s-%s-normal--%i%s", family, Weight(bold), italic ? "i" : "r", pixels,
                    kTail);
        patterns.push_back(text);
    } else if (pixels < kFixedBelow) {
        patterns.push_back(Pattern(128, "-%s-%s-r-*--%i%s", "misc-fixed", "medium", pixels));
    } else if (pixels < kSearchFrom) {
        patterns.push_back(Pattern(128, "-adobe-helvetica-%s-%s-*--%i%s", Weight(bold),
                                   italic ? "o" : "r", pixels));
    } else {
        for (int n = pixels + 4; n >= kSearchFrom; --n)
            patterns.push_back(
                Pattern(128, "-adobe-helvetica-%s-%s-normal--%i%s", Weight(bold), "r", n));
        patterns.emplace_back(kLargeFallback);
    }
    return patterns;
}

SDrawFont::SDrawFont(bool) : size(10), bold(false), italic(false), isDefault(true) {
    Load();
}

SDrawFont::SDrawFont(int size, bool bold, bool italic, bool, const char* family)
    : size(size), bold(bold), italic(italic), family(family) {
    Load();
}

SDrawFont::~SDrawFont() {
    Release();
}

void SDrawFont::Reload() {
    if (display || !ToolkitDisplay()) return;
    Load();
}

void SDrawFont::ReleaseOn(Display* gone) {
    if (!gone || display != gone) return;
    Release();
    display = nullptr;
}

void SDrawFont::Load() {
    display = ToolkitDisplay();
    if (isDefault) {
        if (!display) return;
        fid = XGContextFromGC(DefaultGC(display, DefaultScreen(display)));
        info = XQueryFont(display, fid);
        return;
    }
    const char* named = family.Length() ? family.Text() : nullptr;
    for (const Text& pattern : Patterns(size, bold, italic, named))
        if (LoadNamed(pattern.Text())) return;
    if (!display || named) return;
    // A font chosen by size stands for a look, not a family: where the one asked for is missing
    // the nearest font the server has draws the text.
    for (const std::string& fallback : FallbackFonts(display, PixelSize(size), bold))
        if (LoadNamed(fallback.c_str())) return;
}

// Only a name the server lists is opened: opening a missing font raises an X error, which on a
// connection that another thread reads may reach that thread instead of this call. A font
// listed but gone before it opens still just answers null. What the server said about a name
// is asked once per connection (SFontLookup.h).
bool SDrawFont::LoadNamed(const char* pattern) {
    name = pattern;
    if (!display) return false;
    int listed = SFontLookup::Listed(display, pattern);
    if (listed < 0) {
        int count = 0;
        char** names = XListFonts(display, pattern, 1, &count);
        if (names) XFreeFontNames(names);
        listed = count > 0 ? 1 : 0;
        SFontLookup::NoteListed(display, pattern, listed == 1);
    }
    if (listed != 1) return false;
    info = SFontLookup::OpenKnown(display, pattern);
    if (!info) {
        info = XLoadQueryFont(display, pattern);
        if (info) SFontLookup::NoteDescription(display, pattern, *info);
    }
    if (info) fid = info->fid;
    return info != nullptr;
}

void SDrawFont::Release() {
    if (!info || !display) return;
    // The default font's id belongs to the default GC; only its description is ours.
    if (isDefault)
        XFreeFontInfo(nullptr, info, 1);
    else
        XFreeFont(display, info);
    info = nullptr;
    fid = 0;
}

} // namespace zell::gui::context
