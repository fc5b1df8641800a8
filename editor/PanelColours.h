// The panel's named colours as entries of the toolkit's palette; cyan and lime are not in the
// palette the panel uses and are allocated where they are needed.
#pragma once

namespace ferrovane::colours {

enum Palette {
    kWhite = 0,
    kYellow = 1,
    kOrange = 2,
    kBrown = 3,
    kRed = 4,
    kWine = 5,
    kMaroon = 6,
    kMagenta = 7,
    kLimeGreen = 17,
    kGrey = 19,
    kBlack = 20,
    kSteel = 23,
    kSlate = 24,
    kCharcoal = 26,
    // Not palette entries: Pixel allocates them.
    kCyan = 100,
    kLime = 101,
};

// The pixel value of a named colour.
int Pixel(int name);

} // namespace ferrovane::colours
