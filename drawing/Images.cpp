#include "Images.h"

namespace zell::images {

namespace xpm {
#include "images/text_logo.xpm"
#include "images/cursor_arrow_AND.xpm"
#include "images/cursor_arrow_XOR.xpm"
} // namespace xpm

const char* const* const text_logo = xpm::text_logo;
const char* const* const cursor_arrow_AND = xpm::cursor_arrow_AND;
const char* const* const cursor_arrow_XOR = xpm::cursor_arrow_XOR;

} // namespace zell::images
