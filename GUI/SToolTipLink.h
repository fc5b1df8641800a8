// What the control side needs of a tooltip: where its data wants it, and a tooltip window that
// opens at a root position. Both are used on the dispatching thread, as the pointer crosses a
// control.
#pragma once

#include "GeometryOps.h"

namespace zell::gui {

// Which side of the control the tooltip sits on.
enum STipSide { kTipAbove = 0, kTipRight = 1, kTipBelow = 2, kTipLeft = 3 };

class SIToolTipSource {
  public:
    virtual ~SIToolTipSource() = default;
    // The side of the control (STipSide) and the offset of the placement in force.
    virtual int Side() const = 0;
    virtual Point2 Offset() const = 0;
    // The text's size; the tooltip box adds 48 x 16 to it.
    virtual int TextWidth() const = 0;
    virtual int TextHeight() const = 0;
    // PlaceToolTip tells which placement it chose: the flipped one when the tip would leave
    // the screen.
    virtual void SetFlipped(bool flipped) = 0;
};

class SIToolTip {
  public:
    virtual ~SIToolTip() = default;
    // Shows the data's tip at a root position (in the screen's pixels), closing the one shown;
    // Close hides it.
    virtual void Open(SIToolTipSource* data, const Point2& where) = 0;
    virtual void Close() = 0;
};

// The root position of a tooltip for a control of size (w, h) whose window origin lies at
// `origin` on the screen, kept on the screen area by flipping to the other side. The sizes and
// the data's offset are the layout's, drawn at the scale; the positions are the screen's.
Point2 PlaceToolTip(SIToolTipSource& data, int w, int h, const Point2& origin, const Rect2& screen,
                    int scale);

} // namespace zell::gui
