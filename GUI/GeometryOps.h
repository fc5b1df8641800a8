// The toolkit's shorthands for points and rectangles, and the few operations it needs on them.
#pragma once

#include "Geometry.h"

namespace zell::gui {

using Point2 = math::geom::Point<int, 2>;
using Rect2 = math::geom::Rectangle<int, 2>;

inline Point2 Add(const Point2& a, const Point2& b) {
    return {a.x + b.x, a.y + b.y};
}

inline bool SameRect(const Rect2& a, const Rect2& b) {
    return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2;
}

// Edges inclusive, as the monitor and pointer tests use it.
inline bool Contains(const Rect2& r, const Point2& p) {
    return p.x >= r.x1 && p.x <= r.x2 && p.y >= r.y1 && p.y <= r.y2;
}

// Grows r to include o; an all-zero r takes o as it is.
inline void Unite(Rect2& r, const Rect2& o) {
    if (SameRect(r, Rect2{})) {
        r = o;
        return;
    }
    r = {o.x1 < r.x1 ? o.x1 : r.x1, o.y1 < r.y1 ? o.y1 : r.y1, o.x2 > r.x2 ? o.x2 : r.x2,
         o.y2 > r.y2 ? o.y2 : r.y2};
}

} // namespace zell::gui
