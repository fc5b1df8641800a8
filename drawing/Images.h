// The pictures built into the program, as XPM text for SDrawBitmap: the product's logo shown at
// the top of the editor, and an arrow cursor's mask and picture.
#pragma once

namespace zell::images {

extern const char* const* const text_logo;
extern const char* const* const cursor_arrow_AND;
extern const char* const* const cursor_arrow_XOR;

constexpr int kTextLogoWidth = 190;
constexpr int kTextLogoHeight = 52;
constexpr int kCursorArrowSize = 24;

} // namespace zell::images
