#include "SDrawFont.h"

#include "SDisplayLock.h"
#include "SFontFallback.h"
#include "SFontLookup.h"
#include "SXRequestScope.h"
#include "ToolkitDisplay.h"

#include <X11/Xlib.h>

#include <algorithm>

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

std::vector<std::string> SDrawFont::ScaledListings(int size, bool bold, bool italic,
                                                   const char* family, int scale) {
    const char* slant = !italic ? "r" : family ? "i" : "o";
    std::vector<std::string> patterns = {std::string("-") + (family ? family : "adobe-helvetica") +
                                         "-" + Weight(bold) + "-" + slant + "-*-*-*" + kTail};
    if (!family)
        for (const std::string& listing : FallbackListings(scale * PixelSize(size)))
            patterns.push_back(listing);
    return patterns;
}

std::vector<std::string> SDrawFont::ScaledNames(Display* d, int size, bool bold, bool italic,
                                                const char* family, int scale) {
    const int pixels = scale * PixelSize(size);
    std::vector<std::string> names;
    const std::string family0 = ScaledListings(size, bold, italic, family, scale).front();
    const std::string nearest = NearestHeld(SFontLookup::Listing(d, family0), pixels);
    if (!nearest.empty()) names.push_back(nearest);
    if (!family)
        for (const std::string& name : FallbackFonts(d, pixels, bold))
            if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    return names;
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
    info = OpenNamed(pattern);
    if (info) fid = info->fid;
    return info != nullptr;
}

XFontStruct* SDrawFont::OpenNamed(const char* pattern) {
    if (!display) return nullptr;
    SFontLookup::Prefetch(display, {{pattern}});
    return SFontLookup::Listed(display, pattern) == 1 ? SFontLookup::OpenKnown(display, pattern)
                                                      : nullptr;
}

XFontStruct* SDrawFont::At(int scale) {
    if (scale <= 1 || isDefault || !info) return info;
    Face& face = faces[std::min(scale, kLargestScale) - 2];
    if (XFontStruct* loaded = face.info.load(std::memory_order_acquire)) return loaded;
    XFontStruct* loaded = LoadFace(std::min(scale, kLargestScale));
    return loaded ? loaded : info;
}

// Asks the server only what the display's listings and the prefetch did not answer already
// (SStaticData::PrefetchFonts).
XFontStruct* SDrawFont::LoadFace(int scale) {
    SDisplayLock locked(display);
    std::lock_guard<std::mutex> hold(facesLock);
    Face& face = faces[scale - 2];
    if (face.tried) return face.info.load(std::memory_order_acquire);
    face.tried = true;
    SXRequestScope scope(display);
    const char* named = family.Length() ? family.Text() : nullptr;
    for (const std::string& candidate : ScaledNames(display, size, bold, italic, named, scale))
        if (XFontStruct* opened = OpenNamed(candidate.c_str())) {
            face.info.store(opened, std::memory_order_release);
            return opened;
        }
    return nullptr;
}

void SDrawFont::Release() {
    if (!info || !display) return;
    for (Face& face : faces) {
        if (XFontStruct* f = face.info.exchange(nullptr)) XFreeFont(display, f);
        face.tried = false;
    }
    // The default font's id belongs to the default GC; only its description is ours.
    if (isDefault)
        XFreeFontInfo(nullptr, info, 1);
    else
        XFreeFont(display, info);
    info = nullptr;
    fid = 0;
}

} // namespace zell::gui::context
