#include "PngFile.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <array>
#include <cstdio>
#include <map>

namespace ferrovane::test {

namespace {

uint32_t Crc(const uint8_t* data, size_t size, uint32_t crc = 0) {
    static uint32_t table[256];
    if (!table[1]) {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
    }
    crc = ~crc;
    for (size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

uint32_t Adler(const std::vector<uint8_t>& data) {
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body) {
    Put32(out, static_cast<uint32_t>(body.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    Put32(out, Crc(out.data() + start, out.size() - start));
}

// A zlib stream of stored blocks.
std::vector<uint8_t> Stored(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> z = {0x78, 0x01};
    size_t at = 0;
    do {
        size_t n = std::min<size_t>(raw.size() - at, 65535);
        bool last = at + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<uint8_t>(n));
        z.push_back(static_cast<uint8_t>(n >> 8));
        z.push_back(static_cast<uint8_t>(~n));
        z.push_back(static_cast<uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
        at += n;
    } while (at < raw.size());
    Put32(z, Adler(raw));
    return z;
}

} // namespace

bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
    if (width <= 0 || height <= 0 || rgb.size() != static_cast<size_t>(width) * height * 3)
        return false;
    std::vector<uint8_t> raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), rgb.begin() + static_cast<size_t>(y) * width * 3,
                   rgb.begin() + static_cast<size_t>(y + 1) * width * 3);
    }
    std::vector<uint8_t> header;
    Put32(header, static_cast<uint32_t>(width));
    Put32(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});
    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Chunk(file, "IHDR", header);
    Chunk(file, "IDAT", Stored(raw));
    Chunk(file, "IEND", {});
    FILE* out = fopen(path.c_str(), "wb");
    if (!out) return false;
    bool written = fwrite(file.data(), 1, file.size(), out) == file.size();
    return fclose(out) == 0 && written;
}

namespace {

// The colour each pixel shows: a pixel of a 24-bit TrueColor screen holds it; other screens'
// pixels are looked up in the default colormap.
std::map<unsigned long, std::array<uint8_t, 3>> Colours(Display* d, XImage* image, int w, int h) {
    std::map<unsigned long, std::array<uint8_t, 3>> colours;
    const Visual* v = DefaultVisual(d, DefaultScreen(d));
    const bool direct = v->c_class == TrueColor && v->red_mask == 0xFF0000 &&
                        v->green_mask == 0xFF00 && v->blue_mask == 0xFF;
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            const unsigned long p = XGetPixel(image, col, row);
            colours[p] = {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)};
        }
    if (direct) return colours;
    std::vector<XColor> cells;
    for (const auto& [pixel, rgb] : colours)
        cells.push_back(XColor{pixel, 0, 0, 0, 0, 0});
    XQueryColors(d, DefaultColormap(d, DefaultScreen(d)), cells.data(),
                 static_cast<int>(cells.size()));
    for (const XColor& c : cells)
        colours[c.pixel] = {uint8_t(c.red >> 8), uint8_t(c.green >> 8), uint8_t(c.blue >> 8)};
    return colours;
}

} // namespace

bool WriteDrawablePng(_XDisplay* display, unsigned long drawable, int x, int y, int width,
                      int height, const std::string& name) {
    XImage* image = XGetImage(display, drawable, x, y, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image) return false;
    const auto colours = Colours(display, image, width, height);
    std::vector<uint8_t> rgb;
    rgb.reserve(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col) {
            const std::array<uint8_t, 3>& c = colours.at(XGetPixel(image, col, row));
            rgb.insert(rgb.end(), c.begin(), c.end());
        }
    XDestroyImage(image);
    return WritePng(std::string(FERROVANE_TEST_OUTPUT) + "/" + name, width, height, rgb);
}

} // namespace ferrovane::test
