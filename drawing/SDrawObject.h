// Things a tooltip is made of: a filled rectangle, a framed rectangle and text, each drawn into
// a drawing context at its rectangle moved by its offset. Colours are X pixel values.
//
// The panel's tooltip makes an STextObjectX for each line of a tip while the panel attaches its
// tips (the host's GUI thread in effEditOpen, under the interface lock); nothing here makes the
// other kinds. Draw runs on the dispatching thread when the tooltip paints (SToolTip::Draw),
// under the interface lock with the display locked.
#pragma once

#include "Geometry.h"
#include "datastring.h"

namespace zell::gui::context {

class SDrawing;
class SDrawFont;

class SDrawObject {
  public:
    using Point = math::geom::Point<int, 2>;
    using Rect = math::geom::Rectangle<int, 2>;

    SDrawObject(const Rect& rect, const Point& offset, int background)
        : rect(rect), offset(offset), background(background) {}
    SDrawObject(const SDrawObject&) = delete;
    SDrawObject& operator=(const SDrawObject&) = delete;
    virtual ~SDrawObject() = default;

    // Fills the rectangle in the background colour; the context keeps its own colour. A text
    // object starts its Draw with it.
    virtual void Draw(SDrawing* d);

    Rect rect;
    Point offset;
    int background;
};

class SDrawRect : public SDrawObject {
  public:
    SDrawRect(const Rect& rect, const Point& offset, int background, int frame, bool filled)
        : SDrawObject(rect, offset, background), frame(frame), filled(filled) {}

    // Filled in the background colour when asked, then outlined in the frame colour. Nothing
    // here makes an SDrawRect.
    void Draw(SDrawing* d) override;

    int frame;
    bool filled;
};

class STextObject : public SDrawObject {
  public:
    using Text = data::datastring<32, char>;

    STextObject(const Rect& rect, const Point& offset, int background, int frame, const char* text,
                const Point& textOffset, int textColour, int align)
        : SDrawObject(rect, offset, background), frame(frame), text(text), textOffset(textOffset),
          textColour(textColour), align(align) {}

    // The background, then the text aligned in the rectangle moved by the text offset, in the
    // context's current font.
    void Draw(SDrawing* d) override;

    int frame; // kept, not drawn
    Text text;
    Point textOffset;
    int textColour;
    int align;
};

class STextObjectX : public STextObject {
  public:
    STextObjectX(const Rect& rect, const Point& offset, int background, int frame, const char* text,
                 const Point& textOffset, int textColour, int align, SDrawFont* font)
        : STextObject(rect, offset, background, frame, text, textOffset, textColour, align),
          font(font) {}

    // As STextObject, in its own font.
    void Draw(SDrawing* d) override;

    SDrawFont* font; // not owned
};

} // namespace zell::gui::context
