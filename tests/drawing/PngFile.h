// Writes 8-bit RGB pictures as PNG files with stored (uncompressed) deflate blocks, so the
// tests need no image library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ferrovane::test {

// rgb holds width x height pixels, three bytes each, row by row. False when the file cannot be
// written or the sizes do not match.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

} // namespace ferrovane::test
