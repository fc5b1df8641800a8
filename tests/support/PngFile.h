// Writes 8-bit RGB pictures as PNG files with stored (uncompressed) deflate blocks, so the
// tests need no image library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct _XDisplay;

namespace ferrovane::test {

// rgb holds width x height pixels, three bytes each, row by row. False when the file cannot be
// written or the sizes do not match.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

// The area (x, y, width, height) of a drawable as a PNG file in the test output folder, in the
// colours its pixels show on the screen's default colormap; false when the area cannot be read
// or the file written.
bool WriteDrawablePng(_XDisplay* display, unsigned long drawable, int x, int y, int width,
                      int height, const std::string& name);

} // namespace ferrovane::test
