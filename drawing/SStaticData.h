// The process-wide drawing resources: the 29-colour palette and the caches of pens, brushes and
// fonts that every control of every plugin instance shares. Lookups may come from any GUI
// thread of any instance (the host's, the idle thread, the event pump); they take a lock.
#pragma once

#include "SResourceLists.h"

#include <initializer_list>
#include <mutex>

struct _XDisplay;

namespace zell::gui {

// A fixed ring of 29 pixel values. Entry i is the i-th value pushed.
struct SColourRing {
    static constexpr int kCapacity = 29;

    // Stores at the write position while there is room; false when full.
    bool Push(int value);
    // The entry, or 0 when index is outside the pushed entries.
    int At(int index) const;
    void Clear();

    int write = 0;
    int read = 0;
    int capacity = kCapacity;
    int count = 0;
    int slots[kCapacity] = {};
};

class SStaticData {
  public:
    // Palette indices the drawing layer itself relies on.
    static constexpr int kWhite = 0;
    static constexpr int kBlack = 20;
    static constexpr int kSteel = 23;
    static constexpr int kSlate = 24;

    SStaticData();
    SStaticData(const SStaticData&) = delete;
    SStaticData& operator=(const SStaticData&) = delete;
    ~SStaticData();

    // Pushes the 29 palette colours in index order. Without a display nothing is pushed.
    void AddColours();
    // Palette entry index; allocates the palette first when it is empty and a display exists
    // now (the host's display may arrive after the load found none).
    int Colour(int index);

    // The first pen of that colour, or a new solid 1-pixel pen; never null.
    context::SDrawPen* FindPen(int colour);
    // The first brush whose effective colour is that colour, or a new solid brush; never null.
    context::SDrawBrush* FindBrush(int colour);
    // The first font of that size, weight and slant on the toolkit's display of the moment, or
    // a new one; never null. A font made while there was no display, or released with its
    // display, is loaded again once there is one.
    context::SDrawFont* FindFont(int size, bool bold, bool italic);
    // Asks the server about every font of the list at once (SFontLookup.h), so that the fonts
    // made afterwards, cached here or not, load without waiting on it; at a larger scale, their
    // faces for it too (SDrawFont::At).
    struct Wanted {
        int size;
        bool bold;
    };
    void PrefetchFonts(std::initializer_list<Wanted> fonts, int scale);
    // Frees every cached font loaded on that display before it goes, and forgets its colours;
    // they load again on their next use.
    void ReleaseDisplay(_XDisplay* display);

    bool flag = false;
    context::SPenListOwned pens;
    context::SBrushListOwned brushes;
    context::SFontListOwned fonts;
    SColourRing palette;

  private:
    std::mutex findLock;
};

// Built by the load-time set-up after the display connection; emptied at unload before the
// connection closes.
extern SStaticData statdata;

} // namespace zell::gui
