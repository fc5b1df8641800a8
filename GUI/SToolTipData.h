// What one control's tip shows and where: draw objects (owned) with their bounding rectangle,
// the side of the control it sits on, and the offsets of the normal and the flipped placement.
// Used where the control's crossing events are handled.
#pragma once

#include "SToolTipLink.h"
#include "datastring.h"

#include <memory>
#include <vector>

namespace zell::gui {

namespace context {
class SDrawObject;
}

class SControl;
class SToolTip;

class SToolTipData : public SIToolTipSource {
  public:
    using Text = data::datastring<32, char>;

    SToolTipData(SToolTip* tooltip, SControl* control, int side);
    SToolTipData(const SToolTipData&) = delete;
    SToolTipData& operator=(const SToolTipData&) = delete;
    ~SToolTipData() override;

    // Takes the object over.
    void AddObject(context::SDrawObject* object, unsigned int);
    // One line of text in the tooltip's colours and regular font.
    void AddText(const char* text, Rect2& rect, unsigned int flag);
    void AddText(const char* text, const Rect2& rect, unsigned int);
    // Lays the text out in lines (at newlines, tabs and carriage returns) centred in the box;
    // nothing without a tooltip that has its regular font.
    void AddLabel(const char* text, unsigned int);
    void AddLabel(const Text& text, unsigned int flag) { AddLabel(text.Text(), flag); }
    void AddLabel(Text& text, unsigned int flag) { AddLabel(text.Text(), flag); }
    // The objects' bounding rectangle; a wider text stretches every object to its width.
    void Calculate();
    // The offset of the placement in force: the flipped one after a flip.
    void SetOffset(const Point2& point, bool);
    Point2 GetOffset() const;
    void Close();

    int Side() const override { return side; }
    Point2 Offset() const override { return GetOffset(); }
    int TextWidth() const override { return rect.Width(); }
    int TextHeight() const override { return rect.Height(); }
    void SetFlipped(bool flipped) override;

    SToolTip* Tooltip() const { return tooltip; }
    SControl* Control() const { return control; }
    const std::vector<std::unique_ptr<context::SDrawObject>>& Objects() const { return objects; }
    const Rect2& Rect() const { return rect; }
    const std::vector<Rect2>& LineRects() const { return lineRects; }
    int BoxWidth() const { return boxWidth; }
    int BoxHeight() const { return boxHeight; }

  private:
    SToolTip* tooltip; // not owned
    SControl* control; // the owner
    std::vector<std::unique_ptr<context::SDrawObject>> objects;
    Rect2 rect{};
    Point2 offset{};
    Point2 flippedOffset{};
    std::vector<Text> lines;
    std::vector<Rect2> lineRects;
    int side;
    int boxWidth = 16;
    int boxHeight = 16;
};

} // namespace zell::gui
