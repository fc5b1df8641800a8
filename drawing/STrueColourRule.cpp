#include "STrueColourRule.h"

namespace zell::gui {

namespace {

int LowestBit(unsigned long mask) {
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// One component: the index of the nearest colormap entry, and that entry's value.
struct Component {
    unsigned index;
    unsigned short value;
};

// The value of the component's colormap entry i, as the server sets the entries up.
unsigned Entry(unsigned i, unsigned long mask, int bits) {
    const unsigned limit = static_cast<unsigned>(mask >> LowestBit(mask));
    const unsigned shift = 16u - static_cast<unsigned>(bits);
    return (((i * 65535u) / limit) >> shift) * 65535u / ((1u << bits) - 1u);
}

Component Nearest(unsigned short asked, unsigned long mask, int bits) {
    const unsigned limit = static_cast<unsigned>(mask >> LowestBit(mask));
    const unsigned shift = 16u - static_cast<unsigned>(bits);
    const unsigned range = (1u << bits) - 1u;
    auto entry = [&](unsigned i) { return Entry(i, mask, bits); };
    const long wanted = static_cast<long>(((asked >> shift) * 65535u) / range);
    Component best{0, 0};
    unsigned long bestDistance = ~0ul;
    // The entries rise with the index: the nearest is found where they pass the wanted value.
    for (unsigned i = 0; i <= limit; ++i) {
        const long d = static_cast<long>(entry(i)) - wanted;
        const auto distance = static_cast<unsigned long>(d * d);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = {i, static_cast<unsigned short>(entry(i))};
        } else if (d > 0) {
            break;
        }
    }
    return best;
}

bool Contiguous(unsigned long mask) {
    const unsigned long low = mask >> LowestBit(mask);
    return mask && (low & (low + 1)) == 0;
}

} // namespace

bool STrueColourVisual::Usable() const {
    return Contiguous(redMask) && Contiguous(greenMask) && Contiguous(blueMask) &&
           bitsPerRgb >= 1 && bitsPerRgb <= 16 && (redMask >> LowestBit(redMask)) <= 0xFFFF &&
           (greenMask >> LowestBit(greenMask)) <= 0xFFFF &&
           (blueMask >> LowestBit(blueMask)) <= 0xFFFF;
}

void STrueColourVisual::WorkOut(SColourCell& cell) const {
    const Component r = Nearest(cell.red, redMask, bitsPerRgb);
    const Component g = Nearest(cell.green, greenMask, bitsPerRgb);
    const Component b = Nearest(cell.blue, blueMask, bitsPerRgb);
    unsigned long pixel = (static_cast<unsigned long>(r.index) << LowestBit(redMask)) |
                          (static_cast<unsigned long>(g.index) << LowestBit(greenMask)) |
                          (static_cast<unsigned long>(b.index) << LowestBit(blueMask));
    if (depth == 32) pixel |= ~(redMask | greenMask | blueMask) & 0xFFFFFFFFul;
    cell.pixel = pixel;
    cell.red = r.value;
    cell.green = g.value;
    cell.blue = b.value;
    cell.found = true;
}

void STrueColourVisual::Held(SColourCell& cell) const {
    auto component = [&](unsigned long mask) {
        const auto index = static_cast<unsigned>((cell.pixel & mask) >> LowestBit(mask));
        return static_cast<unsigned short>(Entry(index, mask, bitsPerRgb));
    };
    cell.red = component(redMask);
    cell.green = component(greenMask);
    cell.blue = component(blueMask);
    cell.found = true;
}

} // namespace zell::gui
