#include "Canvas.h"

#include "PngFile.h"

#include <algorithm>
#include <bit>

namespace ferrovane::test {

namespace {

int Channel(unsigned long pixel, unsigned long mask) {
    if (!mask) return 0;
    int shift = std::countr_zero(mask);
    unsigned long max = mask >> shift;
    return static_cast<int>(((pixel & mask) >> shift) * 255 / max);
}

} // namespace

RGB Decode(unsigned long pixel) {
    Display* d = zell::gui::dps;
    Visual* v = DefaultVisual(d, DefaultScreen(d));
    return {Channel(pixel, v->red_mask), Channel(pixel, v->green_mask),
            Channel(pixel, v->blue_mask)};
}

Canvas::Canvas(int w, int h)
    : width(w), height(h), bitmap(nullptr, w, h, false), device(nullptr, &bitmap) {
    drawing.SetDevice(&device);
    Clear(zell::gui::SCOL(0, 0, 0));
}

void Canvas::Clear(int colour) {
    Ink(colour);
    drawing.FillRect(0, 0, width, height);
}

void Canvas::Ink(int colour) {
    drawing.SetPen(zell::gui::statdata.FindPen(colour));
}

std::vector<unsigned long> Canvas::Pixels() const {
    std::vector<unsigned long> pixels;
    Display* d = zell::gui::dps;
    if (!d || !bitmap.GetPixmap()) return pixels;
    XSync(d, False);
    XImage* image = XGetImage(d, bitmap.GetPixmap(), 0, 0, width, height, AllPlanes, ZPixmap);
    if (!image) return pixels;
    pixels.reserve(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(XGetPixel(image, x, y));
    XDestroyImage(image);
    return pixels;
}

std::vector<int> Canvas::Marks(int background) const {
    std::vector<int> marks;
    for (unsigned long p : Pixels())
        marks.push_back(p != static_cast<unsigned long>(static_cast<unsigned>(background)));
    return marks;
}

bool Canvas::WritePng(const std::string& path) const {
    std::vector<uint8_t> rgb;
    for (unsigned long p : Pixels()) {
        RGB c = Decode(p);
        rgb.insert(rgb.end(), {static_cast<uint8_t>(c.r), static_cast<uint8_t>(c.g),
                               static_cast<uint8_t>(c.b)});
    }
    return ferrovane::test::WritePng(path, width, height, rgb);
}

zell::math::geom::Rectangle<int, 2> Bounds(const std::vector<int>& marks, int width) {
    int height = width ? static_cast<int>(marks.size()) / width : 0;
    zell::math::geom::Rectangle<int, 2> box{width, height, 0, 0};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (marks[static_cast<size_t>(y) * width + x])
                box = {std::min(box.x1, x), std::min(box.y1, y), std::max(box.x2, x + 1),
                       std::max(box.y2, y + 1)};
    return box.x2 ? box : zell::math::geom::Rectangle<int, 2>{};
}

std::vector<int> Crop(const std::vector<int>& marks, int width,
                      const zell::math::geom::Rectangle<int, 2>& box) {
    std::vector<int> out;
    for (int y = box.y1; y < box.y2; ++y)
        for (int x = box.x1; x < box.x2; ++x)
            out.push_back(marks[static_cast<size_t>(y) * width + x]);
    return out;
}

} // namespace ferrovane::test
