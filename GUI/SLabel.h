// A control that shows one or more lines of text in its own colours, aligned by the align bits,
// optionally in a rounded frame, and reports clicks to its listeners as value events (1 left,
// 3 right, 2 middle). The setters run where the label is built (the host's GUI thread under the
// interface lock for the editor's labels) or on the dispatching thread; they only store and lay
// out, the caller refreshes. Painting and the mouse run on the dispatching thread.
#pragma once

#include "SWindow.h"

#include <optional>
#include <vector>

namespace zell::gui {

namespace context {
class SDrawFont;
}

// Align bits of a text of several lines; a single line is aligned by the drawing context with
// the same word.
enum SLabelAlign {
    kAlignLeft = 0x1,
    kAlignTop = 0x2,
    kAlignRight = 0x4,
    kAlignKeep = 0x8, // bottom with right, top with left, else centred
};

// The click codes of value events.
enum SClickCode { kClickLeft = 1, kClickMiddle = 2, kClickRight = 3 };

// The click a mouse code reports (a press or double click), or 0.
int ClickOf(int mouseCode);

template <bool> class SLabel;

template <> class SLabel<false> : public SWindow {
  public:
    using Text = data::datastring<32, char>;

    SLabel(SGlobals* globals, SControl* parent, unsigned id, const char* title, int flags, int x,
           int y, int w, int h, int parentWindow, bool unused);
    ~SLabel() override = default;

    virtual void SetLabelColours(int enabled, int disabled);
    virtual int GetLabelColour();
    // Without a font the text is ignored. Lays out, never repaints.
    virtual void SetLabel(const char* text);
    virtual void SetLabel(const Text& text) { SetLabel(text.Text()); }
    virtual void SetLabel(const char* text, context::SDrawFont* font, int align);
    virtual void SetLabel(const Text& text, context::SDrawFont* font, int align) {
        SetLabel(text.Text(), font, align);
    }
    // Places the measured lines again for the current size and align bits.
    virtual void RedrawLabel();
    // Kept for the design's slot order; nothing calls or overrides it.
    virtual void SetLabelRounding(int radius) { rounding = radius; }
    // Paints the lines in the label's colours; Draw calls it.
    virtual void DrawLabel();

    void Draw(const Rect2& rect) override;
    void DrawOutlines(const Rect2& rect) override;
    void MouseStateChanged(bool* state, int code) override;
    const Text& GetLabel() override { return label; }
    void SetAlignment(int align) override { alignment = align; }
    void SetOffset(Point2 offset) override { labelOffset = offset; }
    void SetLabelOffset(Point2& offset) override { labelOffset = offset; }
    void Highlight(bool on, int colour, int, int) override;
    void SetSize(int w, int h) override;

    // The rectangles of `count` lines of a block of textWidth x textHeight placed by the align
    // bits in a w x h control: equal heights, the last line takes the remainder.
    static std::vector<Rect2> LayoutLines(int count, int textWidth, int textHeight, int w, int h,
                                          int align);

    const std::vector<Text>& Lines() const { return lines; }
    const std::vector<Rect2>& LineRects() const { return lineRects; }
    int TextWidth() const { return textWidth; }
    int TextHeight() const { return textHeight; }
    bool Highlighted() const { return highlighted; }

  protected:
    // The frame colour of DrawOutlines; none draws no frame.
    virtual std::optional<int> OutlineColour();
    void StrokeFrame(const Rect2& rect, int colour);
    // Where a line's ink keeps to: the client area less a frame and a pixel of room beside it,
    // so that a font wider than the one the control was sized for never clips or touches it.
    Rect2 TextBox() const;
    void SendClick(int code);

    context::SDrawFont* font = nullptr; // not owned
    Text label;
    std::vector<Text> lines;
    std::vector<Rect2> lineRects;
    int textWidth = 1;
    int textHeight = 1;
    int labelColour = 0;
    int labelColourDisabled = 0;
    Point2 labelOffset{};
    int alignment = 0;
    int rounding = 7;
    bool highlighted = false;
    int highlightColour = 0;
};

} // namespace zell::gui
