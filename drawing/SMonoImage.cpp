#include "SMonoImage.h"

#include <cmath>

namespace zell::gui::context {

namespace {

constexpr float kRadiansPerDegree = 0.01745329f;

// Rounds half away from zero, in single precision like the rest of the turn.
int Nearest(float value) {
    return static_cast<int>(std::lround(value));
}

} // namespace

SMonoImage::SMonoImage(int w, int h)
    : width(w > 0 ? w : 0), height(h > 0 ? h : 0),
      pixels(static_cast<size_t>(width) * static_cast<size_t>(height)) {}

bool SMonoImage::Get(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return false;
    return pixels[static_cast<size_t>(y) * width + x] != 0;
}

void SMonoImage::Set(int x, int y, bool on) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    pixels[static_cast<size_t>(y) * width + x] = on ? 1 : 0;
}

int SMonoImage::Count() const {
    int n = 0;
    for (uint8_t p : pixels)
        n += p;
    return n;
}

SMonoImage SMonoImage::QuarterTurn() const {
    int columns = OddSide(height);
    int rows = OddSide(width);
    SMonoImage turned(columns, rows);
    // Result row j, column i reads source column (j - (rows - 1) / 2) + width / 2 and row
    // height / 2 + (i - (columns - 1) / 2); with odd result sides and whole halves this is
    // source (j, i) exactly, and an even side leaves its extra line empty.
    for (int j = 0; j < rows; ++j) {
        int sx = j - (rows - 1) / 2 + width / 2;
        for (int i = 0; i < columns; ++i) {
            int sy = height / 2 + i - (columns - 1) / 2;
            if (Get(sx, sy)) turned.Set(i, rows - 1 - j, true);
        }
    }
    return turned;
}

SMonoImage SMonoImage::Rotated(int degrees) const {
    float angle = static_cast<float>(degrees) * kRadiansPerDegree;
    float s = std::sin(angle);
    float c = std::cos(angle);
    float w = static_cast<float>(width);
    float h = static_cast<float>(height);
    int boxWidth = OddSide(Nearest(std::fabs(s * h) + std::fabs(c * w) + 0.99999f + 2.0f));
    int boxHeight = OddSide(Nearest(std::fabs(s * w) + std::fabs(c * h) + 0.99999f + 2.0f));
    SMonoImage turned(boxWidth, boxHeight);
    int cx = (boxWidth - 1) / 2;
    int cy = (boxHeight - 1) / 2;
    int sourceX = width / 2;
    int sourceY = height / 2;
    // Screen y grows downwards, so a counter-clockwise turn maps a source offset (u, v) to
    // (u cos + v sin, v cos - u sin); each result pixel applies the inverse.
    for (int y = 0; y < boxHeight; ++y) {
        float dy = static_cast<float>(y - cy);
        for (int x = 0; x < boxWidth; ++x) {
            float dx = static_cast<float>(x - cx);
            int sx = sourceX + Nearest(dx * c - dy * s);
            int sy = sourceY + Nearest(dx * s + dy * c);
            if (Get(sx, sy)) turned.Set(x, y, true);
        }
    }
    return turned;
}

} // namespace zell::gui::context
