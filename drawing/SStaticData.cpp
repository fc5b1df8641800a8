#include "SStaticData.h"

#include "SColour.h"
#include "SDisplayLock.h"
#include "SDrawBrush.h"
#include "SDrawFont.h"
#include "SDrawPen.h"
#include "SFontLookup.h"
#include "STextPictures.h"
#include "SXExtensions.h"
#include "ToolkitDisplay.h"

namespace zell::gui {

namespace {

struct RGB {
    int r, g, b;
};

constexpr RGB kPalette[SColourRing::kCapacity] = {
    {255, 255, 255}, {255, 255, 0},   {255, 128, 0},   {128, 64, 0},    {255, 0, 0},
    {100, 0, 0},     {64, 0, 0},      {255, 0, 255},   {128, 0, 255},   {172, 128, 255},
    {0, 0, 255},     {0, 128, 255},   {0, 255, 255},   {0, 255, 0},     {0, 128, 0},
    {0, 64, 0},      {128, 255, 0},   {192, 255, 0},   {255, 236, 200}, {128, 128, 128},
    {0, 0, 0},       {247, 231, 168}, {236, 213, 123}, {138, 145, 150}, {77, 81, 84},
    {22, 22, 22},    {44, 44, 44},    {66, 66, 66},    {90, 90, 90},
};

} // namespace

bool SColourRing::Push(int value) {
    if (count >= capacity) return false;
    slots[write] = value;
    ++count;
    write = write + 1 == capacity ? 0 : write + 1;
    return true;
}

int SColourRing::At(int index) const {
    return index >= 0 && index < count ? slots[index] : 0;
}

void SColourRing::Clear() {
    write = read = count = 0;
    for (int& slot : slots)
        slot = 0;
}

SStaticData::SStaticData() {
    AddColours();
}

SStaticData::~SStaticData() = default;

// In one round trip where the colours are allocated.
void SStaticData::AddColours() {
    if (!ToolkitDisplay()) return;
    SColourCell cells[SColourRing::kCapacity];
    for (int i = 0; i < SColourRing::kCapacity; ++i)
        cells[i] = ColourCell(kPalette[i].r, kPalette[i].g, kPalette[i].b);
    FindColours(ToolkitDisplay(), cells, SColourRing::kCapacity);
    for (const SColourCell& c : cells)
        palette.Push(static_cast<int>(c.pixel));
}

int SStaticData::Colour(int index) {
    if (palette.count == 0) AddColours();
    return palette.At(index);
}

context::SDrawPen* SStaticData::FindPen(int colour) {
    std::lock_guard<std::mutex> hold(findLock);
    for (const std::unique_ptr<context::SDrawPen>& pen : pens.items)
        if (pen && pen->colour == colour) return pen.get();
    return pens.Add(std::make_unique<context::SDrawPen>(colour, 1, false));
}

context::SDrawBrush* SStaticData::FindBrush(int colour) {
    std::lock_guard<std::mutex> hold(findLock);
    for (const std::unique_ptr<context::SDrawBrush>& brush : brushes.items)
        if (brush && brush->EffectiveColour() == colour) return brush.get();
    return brushes.Add(
        std::make_unique<context::SDrawBrush>(colour, context::SDrawBrush::kSolid, nullptr));
}

// A font belongs to the connection that loaded it: each display has fonts of its own, and a
// released one serves the next display that asks. A font being made asks the server: the
// display is locked first (SDisplayLock.h).
context::SDrawFont* SStaticData::FindFont(int size, bool bold, bool italic) {
    _XDisplay* display = ToolkitDisplay();
    SDisplayLock locked(display);
    std::lock_guard<std::mutex> hold(findLock);
    for (const std::unique_ptr<context::SDrawFont>& font : fonts.items) {
        if (font && font->size == size && font->bold == bold && font->italic == italic &&
            (!font->GetDisplay() || font->GetDisplay() == display)) {
            font->Reload();
            return font.get();
        }
    }
    return fonts.Add(std::make_unique<context::SDrawFont>(size, bold, italic, false, nullptr));
}

void SStaticData::PrefetchFonts(std::initializer_list<Wanted> fonts, int scale) {
    using context::SDrawFont;
    _XDisplay* display = ToolkitDisplay();
    std::vector<std::vector<std::string>> names;
    for (const Wanted& w : fonts) {
        names.emplace_back();
        for (const auto& pattern : SDrawFont::Patterns(w.size, w.bold, false, nullptr))
            names.back().emplace_back(pattern.Text());
    }
    if (scale > 1) {
        // The listings the faces are chosen from, at once; then their names join the others.
        std::vector<std::string> listings;
        for (const Wanted& w : fonts)
            for (std::string& pattern :
                 SDrawFont::ScaledListings(w.size, w.bold, false, nullptr, scale))
                listings.push_back(std::move(pattern));
        context::SFontLookup::PrefetchListings(display, listings);
        for (const Wanted& w : fonts)
            names.push_back(SDrawFont::ScaledNames(display, w.size, w.bold, false, nullptr, scale));
    }
    context::SFontLookup::Prefetch(display, names);
}

void SStaticData::ReleaseDisplay(_XDisplay* display) {
    ForgetColours(display);
    context::SFontLookup::Forget(display);
    context::STextPictures::Forget(display);
    SXExtensions::Forget(display);
    std::lock_guard<std::mutex> hold(findLock);
    for (const std::unique_ptr<context::SDrawFont>& font : fonts.items)
        if (font) font->ReleaseOn(display);
}

} // namespace zell::gui
