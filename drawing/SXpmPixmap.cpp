#include "SXpmPixmap.h"

#include "Owner.h"
#include "SColourCache.h"

#include <X11/Xlib.h>
#include <X11/xpm.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace zell::gui::context {

namespace {

constexpr long kCloseness = 40000;

// What libXpm asks for, in its order, and the answers.
struct Colours {
    std::vector<SColourCell> cells;
    size_t next = 0;
};

int Learn(Display* d, Colormap map, char* name, XColor* colour, void* closure) {
    if (name && !XParseColor(d, map, name, colour)) return -1;
    SColourCell cell;
    cell.red = colour->red;
    cell.green = colour->green;
    cell.blue = colour->blue;
    static_cast<Colours*>(closure)->cells.push_back(cell);
    colour->pixel = 0;
    return 1;
}

int Answer(Display*, Colormap, char*, XColor* colour, void* closure) {
    auto* colours = static_cast<Colours*>(closure);
    if (colours->next >= colours->cells.size()) return -1;
    const SColourCell& cell = colours->cells[colours->next++];
    if (!cell.found) return 0;
    colour->pixel = cell.pixel;
    colour->red = cell.red;
    colour->green = cell.green;
    colour->blue = cell.blue;
    return 1;
}

// The cache keeps what was found for the connection's life.
int Keep(Display*, Colormap, Pixel*, int, void*) {
    return 0;
}

XpmAttributes Attributes(XpmAllocColorFunc allocate, Colours* colours) {
    XpmAttributes a{};
    a.valuemask = XpmAllocColor | XpmFreeColors | XpmColorClosure;
    a.alloc_color = allocate;
    a.free_colors = Keep;
    a.color_closure = colours;
    return a;
}

// Every cell of the default colormap as it is before the picture's colours are allocated.
std::vector<SColourCell> CellsBefore(Display* d) {
    const int entries = DefaultVisual(d, 0)->map_entries;
    std::vector<SColourCell> cells(static_cast<size_t>(entries > 0 ? entries : 0));
    for (size_t p = 0; p < cells.size(); ++p)
        cells[p].pixel = p;
    QueryColours(d, cells.data(), static_cast<int>(cells.size()));
    return cells;
}

long Closeness(const SColourCell& a, const SColourCell& b) {
    const long dr = std::labs(long{a.red} - b.red), dg = std::labs(long{a.green} - b.green);
    const long db = std::labs(long{a.blue} - b.blue);
    const long brightness =
        std::labs((long{a.red} + a.green + a.blue) - (long{b.red} + b.green + b.blue));
    return 3 * (dr + dg + db) + brightness;
}

bool Within(const SColourCell& a, const SColourCell& b) {
    return std::labs(long{a.red} - b.red) <= kCloseness &&
           std::labs(long{a.green} - b.green) <= kCloseness &&
           std::labs(long{a.blue} - b.blue) <= kCloseness;
}

// Each colour the colormap had no room for takes the nearest cell within closeness that can be
// shared: the candidates of all such colours are tried together, the next ones where a cell
// was not to be had.
void Substitute(Display* d, Colours& colours, const std::vector<SColourCell>& before) {
    struct Open {
        size_t index;
        std::vector<size_t> candidates;
        size_t tried = 0;
    };
    std::vector<Open> open;
    for (size_t i = 0; i < colours.cells.size(); ++i) {
        const SColourCell& wanted = colours.cells[i];
        if (wanted.found) continue;
        Open o{i, {}, 0};
        for (size_t c = 0; c < before.size(); ++c)
            o.candidates.push_back(c);
        std::stable_sort(o.candidates.begin(), o.candidates.end(), [&](size_t x, size_t y) {
            return Closeness(wanted, before[x]) < Closeness(wanted, before[y]);
        });
        auto far = std::find_if(o.candidates.begin(), o.candidates.end(),
                                [&](size_t c) { return !Within(wanted, before[c]); });
        o.candidates.erase(far, o.candidates.end());
        if (!o.candidates.empty()) open.push_back(std::move(o));
    }
    while (!open.empty()) {
        std::vector<SColourCell> tries;
        tries.reserve(open.size());
        for (const Open& o : open) {
            const SColourCell& cell = before[o.candidates[o.tried]];
            tries.push_back({cell.red, cell.green, cell.blue, 0, false});
        }
        FindColours(d, tries.data(), static_cast<int>(tries.size()));
        for (size_t k = 0; k < open.size(); ++k)
            if (tries[k].found) colours.cells[open[k].index] = tries[k];
        std::erase_if(open, [&](Open& o) {
            return colours.cells[o.index].found || ++o.tried == o.candidates.size();
        });
    }
}

// The picture's colour indices with each pixel made a square of side s; false without memory
// for them, the picture left as it was.
bool Replicate(XpmImage& image, int s) {
    if (s <= 1) return true;
    const size_t w = image.width, h = image.height, side = static_cast<size_t>(s);
    gsl::owner<unsigned int*> data =
        static_cast<unsigned int*>(malloc(w * h * side * side * sizeof(unsigned int)));
    if (!data) return false;
    for (size_t y = 0; y < h * side; ++y)
        for (size_t x = 0; x < w * side; ++x)
            data[y * w * side + x] = image.data[(y / side) * w + x / side];
    // libXpm frees the indices with free().
    free(static_cast<gsl::owner<unsigned int*>>(image.data));
    image.data = data;
    image.width = static_cast<unsigned int>(w * side);
    image.height = static_cast<unsigned int>(h * side);
    return true;
}

} // namespace

SXpmPixmap MakeXpmPixmap(Display* d, const char* const* xpm, int scale) {
    SXpmPixmap made;
    XpmImage image{};
    if (!d || XpmCreateXpmImageFromData(const_cast<char**>(xpm), &image, nullptr) != XpmSuccess)
        return made;
    if (!Replicate(image, scale)) {
        XpmFreeXpmImage(&image);
        return made;
    }
    Colours colours;
    XpmAttributes learn = Attributes(Learn, &colours);
    XImage* picture = nullptr;
    XImage* shape = nullptr;
    if (XpmCreateImageFromXpmImage(d, &image, &picture, &shape, &learn) >= XpmSuccess) {
        const bool workedOut = ColoursWorkedOut(d);
        std::vector<SColourCell> before;
        if (!workedOut) before = CellsBefore(d);
        FindColours(d, colours.cells.data(), static_cast<int>(colours.cells.size()));
        if (!workedOut) Substitute(d, colours, before);
        XpmAttributes answer = Attributes(Answer, &colours);
        Pixmap pixmap = 0, mask = 0;
        const int result =
            XpmCreatePixmapFromXpmImage(d, DefaultRootWindow(d), &image, &pixmap, &mask, &answer);
        if (mask) XFreePixmap(d, mask);
        if (result >= XpmSuccess && pixmap) {
            made = {pixmap, static_cast<int>(image.width), static_cast<int>(image.height)};
        } else if (pixmap) {
            XFreePixmap(d, pixmap);
        }
    }
    if (picture) XDestroyImage(picture);
    if (shape) XDestroyImage(shape);
    XpmFreeXpmImage(&image);
    return made;
}

} // namespace zell::gui::context
