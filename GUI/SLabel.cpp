#include "SLabel.h"

#include "SDrawFont.h"
#include "SDrawing.h"
#include "SInput.h"
#include "SStaticData.h"
#include "STextBlock.h"

namespace zell::gui {

using context::SDrawing;

SLabel<false>::SLabel(SGlobals* g, SControl* p, unsigned i, const char* t, int f, int x, int y,
                      int w, int h, int pw, bool unused)
    : SWindow(g, p, i, t, f, x, y, w, h, pw, unused) {}

void SLabel<false>::SetLabelColours(int enabled, int disabled) {
    labelColour = enabled;
    labelColourDisabled = disabled;
}

int SLabel<false>::GetLabelColour() {
    return Enabled() ? labelColour : labelColourDisabled;
}

void SLabel<false>::SetLabel(const char* text, context::SDrawFont* f, int align) {
    font = f;
    alignment = align;
    SetLabel(text);
}

void SLabel<false>::SetLabel(const char* text) {
    if (!font) return;
    label = text;
    lines.clear();
    lineRects.clear();
    if (!strchr(label.Text(), '\n')) {
        lines.push_back(label);
        lineRects.push_back({0, 0, clientRect.Width(), clientRect.Height()});
        return;
    }
    context::STextBlock block = context::MeasureLines(label.Text(), font, Scale());
    textWidth = block.width;
    textHeight = block.height;
    lines = context::SplitLines(label.Text());
    RedrawLabel();
}

void SLabel<false>::RedrawLabel() {
    if (lines.size() <= 1) {
        lineRects.assign(lines.size(), Rect2{0, 0, clientRect.Width(), clientRect.Height()});
        return;
    }
    lineRects = LayoutLines(static_cast<int>(lines.size()), textWidth, textHeight,
                            clientRect.Width(), clientRect.Height(), alignment);
}

std::vector<Rect2> SLabel<false>::LayoutLines(int count, int tw, int th, int w, int h, int align) {
    std::vector<Rect2> rects;
    if (count <= 0) return rects;
    const int x = (align & kAlignRight) ? w - tw : (align & kAlignLeft) ? 0 : (w - tw) / 2;
    // Top wins over kept alignment, and right over left when both are set.
    const bool keep = align & kAlignKeep;
    int y = (h - th) / 2;
    if (!(align & kAlignTop) && keep && (align & kAlignRight))
        y = h - th;
    else if ((align & kAlignTop) || (keep && (align & kAlignLeft)))
        y = 0;
    const int step = th / count;
    for (int i = 0; i < count; ++i)
        rects.push_back({x, y + i * step, x + tw, i + 1 == count ? y + th : y + (i + 1) * step});
    return rects;
}

void SLabel<false>::SetSize(int w, int h) {
    SWindow::SetSize(w, h);
    RedrawLabel();
}

void SLabel<false>::Draw(const Rect2&) {
    if (!drawing) return;
    const Rect2 r{0, 0, clientRect.Width(), clientRect.Height()};
    if (!(flags & kFlagRounded)) {
        SControl::Draw(r);
        DrawLabel();
        return;
    }
    drawing->DrawBackground(r, true);
    const int colour = drawing->GetBackgroundColour();
    drawing->SetPen(statdata.FindPen(colour));
    drawing->SetBrush(statdata.FindBrush(colour));
    drawing->FillRoundedRect(r, rounding, rounding);
    DrawLabel();
    DrawOutlines(r);
}

void SLabel<false>::DrawLabel() {
    if (!drawing || !font || lines.empty()) return;
    drawing->SetFont(font);
    drawing->SetPen(statdata.FindPen(Enabled() ? labelColour : labelColourDisabled));
    for (size_t i = 0; i < lines.size() && i < lineRects.size(); ++i)
        drawing->DrawLabelFitted(lines[i].Text(), lineRects[i], alignment, labelOffset, TextBox());
}

Rect2 SLabel<false>::TextBox() const {
    constexpr int kInset = 2;
    return {kInset, kInset, clientRect.Width() - kInset, clientRect.Height() - kInset};
}

std::optional<int> SLabel<false>::OutlineColour() {
    if (highlighted) return highlightColour;
    if (flags & kFlagOutline) return GetFrameColour(Enabled(), false);
    return std::nullopt;
}

void SLabel<false>::DrawOutlines(const Rect2& r) {
    if (!drawing) return;
    if (std::optional<int> colour = OutlineColour()) StrokeFrame(r, *colour);
}

void SLabel<false>::StrokeFrame(const Rect2& r, int colour) {
    drawing->SetPen(statdata.FindPen(colour));
    if (flags & kFlagRounded)
        drawing->DrawRoundedRect(r, rounding, rounding);
    else
        drawing->DrawRect(r);
}

void SLabel<false>::Highlight(bool on, int colour, int, int) {
    highlightColour = colour;
    if (on == highlighted) return;
    highlighted = on;
    RefreshOutlines();
}

void SLabel<false>::SendClick(int code) {
    SendEvent(kEventValue, kKindValue, code, 0.0f, nullptr, this, nullptr);
}

// Presses and double clicks of a button report the same click.
int ClickOf(int code) {
    using namespace context;
    if (code == kMouseLeftDown || code == kMouseLeftDouble) return kClickLeft;
    if (code == kMouseRightDown || code == kMouseRightDouble) return kClickRight;
    if (code == kMouseMiddleDown || code == kMouseMiddleDouble) return kClickMiddle;
    return 0;
}

void SLabel<false>::MouseStateChanged(bool*, int code) {
    if (int click = ClickOf(code)) SendClick(click);
}

} // namespace zell::gui
