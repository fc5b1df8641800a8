#include "SFontFallback.h"

#include "SFontLookup.h"

#include <X11/Xlib.h>
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <tuple>

namespace zell::gui::context {

namespace {

enum Field { kFoundry, kFamily, kWeight, kSlant, kWidth, kStyle, kPixels, kSpacing = 10, kAverage };
constexpr size_t kFields = 14;
constexpr const char* kLastResort = "fixed";

bool Number(const std::string& text, int& value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
    value = atoi(text.c_str());
    return true;
}

bool IsBold(const std::string& weight) {
    for (const char* heavy : {"bold", "black", "heavy"})
        if (weight.find(heavy) != std::string::npos) return true;
    return false;
}

// Held at its own size: the listing shows an average width of 0 for sizes the server scales.
bool Usable(const SFontName& f) {
    return f.averageWidth > 0 && f.pixels > 0;
}

std::vector<SFontName> Parsed(const std::vector<std::string>& names) {
    std::vector<SFontName> fonts;
    SFontName f;
    for (const std::string& name : names)
        if (ParseFontName(name.c_str(), f) && Usable(f)) fonts.push_back(f);
    return fonts;
}

} // namespace

bool ParseFontName(const char* name, SFontName& out) {
    if (!name || name[0] != '-') return false;
    std::vector<std::string> fields;
    std::string field;
    for (const char* at = name + 1;; ++at) {
        if (*at == '-' || *at == 0) {
            fields.push_back(field);
            field.clear();
            if (!*at) break;
        } else {
            field += static_cast<char>(tolower(static_cast<unsigned char>(*at)));
        }
    }
    if (fields.size() != kFields || fields[kSpacing].size() != 1) return false;
    SFontName f;
    if (!Number(fields[kPixels], f.pixels) || !Number(fields[kAverage], f.averageWidth))
        return false;
    f.name = name;
    f.foundryFamily = fields[kFoundry] + "-" + fields[kFamily];
    f.weight = fields[kWeight];
    f.style = fields[kStyle];
    f.spacing = fields[kSpacing][0];
    out = f;
    return true;
}

std::vector<std::string> FallbackOrder(const std::vector<std::string>& sameSize,
                                       const std::vector<std::string>& miscFixed, int pixels,
                                       bool bold) {
    std::vector<SFontName> families = Parsed(sameSize);
    std::erase_if(families, [&](const SFontName& f) {
        return f.pixels != pixels || IsBold(f.weight) != bold || f.foundryFamily == "misc-fixed";
    });
    auto familyRank = [](const SFontName& f) {
        const bool sans = f.style.find("sans") != std::string::npos;
        return std::tuple(f.spacing == 'p' ? 0 : 1, sans ? 0 : 1, f.name);
    };
    std::stable_sort(families.begin(), families.end(),
                     [&](const auto& a, const auto& b) { return familyRank(a) < familyRank(b); });

    std::vector<SFontName> fixed = Parsed(miscFixed);
    std::erase_if(fixed, [](const SFontName& f) { return f.foundryFamily != "misc-fixed"; });
    auto fixedRank = [&](const SFontName& f) {
        return std::tuple(IsBold(f.weight) != bold, std::abs(f.pixels - pixels), f.pixels,
                          f.averageWidth, f.name);
    };
    std::stable_sort(fixed.begin(), fixed.end(),
                     [&](const auto& a, const auto& b) { return fixedRank(a) < fixedRank(b); });

    std::vector<std::string> order;
    for (const auto* list : {&families, &fixed})
        for (const SFontName& f : *list)
            if (std::find(order.begin(), order.end(), f.name) == order.end())
                order.push_back(f.name);
    order.emplace_back(kLastResort);
    return order;
}

std::vector<std::string> FallbackListings(int pixels) {
    return {"-*-*-*-r-*-*-" + std::to_string(pixels) + "-*-*-*-*-*-iso8859-1",
            "-misc-fixed-*-r-*-*-*-*-*-*-*-*-iso8859-1"};
}

std::vector<std::string> FallbackFonts(Display* display, int pixels, bool bold) {
    if (!display) return {};
    const std::vector<std::string> listings = FallbackListings(pixels);
    return FallbackOrder(SFontLookup::Listing(display, listings[0]),
                         SFontLookup::Listing(display, listings[1]), pixels, bold);
}

std::string NearestHeld(const std::vector<std::string>& names, int pixels) {
    const std::vector<SFontName> held = Parsed(names);
    auto rank = [&](const SFontName& f) {
        return std::tuple(std::abs(f.pixels - pixels), f.pixels, f.averageWidth, f.name);
    };
    auto best = std::min_element(held.begin(), held.end(),
                                 [&](const auto& a, const auto& b) { return rank(a) < rank(b); });
    return best == held.end() ? std::string() : best->name;
}

} // namespace zell::gui::context
