#include "SToolTipLink.h"

namespace zell::gui {

Point2 PlaceToolTip(SIToolTipSource& data, int w, int h, const Point2& origin,
                    const Rect2& screen) {
    const int boxW = data.TextWidth() + 48;
    const int boxH = data.TextHeight() + 16;
    const int textW = data.TextWidth();
    const int textH = data.TextHeight();
    data.SetFlipped(false);
    Point2 at;
    switch (data.Side()) {
    case kTipAbove:
        at = {(w - boxW) / 2, -boxH - 3};
        if (origin.y + at.y < screen.y1) at.y = h + 3, data.SetFlipped(true);
        break;
    case kTipRight:
        at = {w + 3, (h - boxH) / 2};
        if (origin.x + at.x + textW > screen.x2) at.x = -3 - boxW, data.SetFlipped(true);
        break;
    case kTipBelow:
        at = {(w - boxW) / 2, h + 3};
        if (origin.y + at.y + textH > screen.y2) at.y = -boxH - 3, data.SetFlipped(true);
        break;
    case kTipLeft:
        at = {-3 - boxW, (h - boxH) / 2};
        if (origin.x + at.x < screen.x1) at.x = w + 3, data.SetFlipped(true);
        break;
    default:
        return {0, 0};
    }
    return Add(Add(origin, at), data.Offset());
}

} // namespace zell::gui
