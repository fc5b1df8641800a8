#include "SToolTipLink.h"

namespace zell::gui {

Point2 PlaceToolTip(SIToolTipSource& data, int w, int h, const Point2& origin, const Rect2& screen,
                    int scale) {
    const int boxW = data.TextWidth() + 48;
    const int boxH = data.TextHeight() + 16;
    const int textW = data.TextWidth();
    const int textH = data.TextHeight();
    auto onScreen = [&](int v) { return v * scale; };
    data.SetFlipped(false);
    Point2 at;
    switch (data.Side()) {
    case kTipAbove:
        at = {(w - boxW) / 2, -boxH - 3};
        if (origin.y + onScreen(at.y) < screen.y1) at.y = h + 3, data.SetFlipped(true);
        break;
    case kTipRight:
        at = {w + 3, (h - boxH) / 2};
        if (origin.x + onScreen(at.x + textW) > screen.x2) at.x = -3 - boxW, data.SetFlipped(true);
        break;
    case kTipBelow:
        at = {(w - boxW) / 2, h + 3};
        if (origin.y + onScreen(at.y + textH) > screen.y2) at.y = -boxH - 3, data.SetFlipped(true);
        break;
    case kTipLeft:
        at = {-3 - boxW, (h - boxH) / 2};
        if (origin.x + onScreen(at.x) < screen.x1) at.x = w + 3, data.SetFlipped(true);
        break;
    default:
        return {0, 0};
    }
    const Point2 by = Add(at, data.Offset());
    return Add(origin, Point2{onScreen(by.x), onScreen(by.y)});
}

} // namespace zell::gui
