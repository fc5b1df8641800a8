#include "SToolTipData.h"

#include "SDrawObject.h"
#include "STextBlock.h"
#include "SToolTip.h"

namespace zell::gui {

using context::SDrawObject;
using context::STextObjectX;

SToolTipData::SToolTipData(SToolTip* tooltip, SControl* control, int side)
    : tooltip(tooltip), control(control), side(side) {}

SToolTipData::~SToolTipData() = default;

void SToolTipData::AddObject(SDrawObject* object, unsigned int) {
    if (!object) return;
    objects.emplace_back(object);
    Calculate();
}

void SToolTipData::AddText(const char* text, Rect2& r, unsigned int flag) {
    AddText(text, static_cast<const Rect2&>(r), flag);
}

void SToolTipData::AddText(const char* text, const Rect2& r, unsigned int) {
    if (!tooltip) return;
    objects.push_back(std::make_unique<STextObjectX>(
        r, Point2{0, 0}, tooltip->GetBackgroundColour(), tooltip->GetForegroundColour(), text,
        Point2{0, 0}, tooltip->TextColour(), tooltip->TextAlign(), tooltip->RegularFont()));
    Calculate();
}

// The box leaves 24 pixels left and right and room below for the pointer; a tip beside the
// control moves its text away from the pointer's side.
void SToolTipData::AddLabel(const char* text, unsigned int flag) {
    if (!tooltip || !tooltip->RegularFont()) return;
    lines.clear();
    lineRects.clear();
    Text all(text);
    if (all.Length() > 0) {
        if (strchr(all.Text(), '\n'))
            all.Tokenize(lines, "\n\t\r");
        else
            lines.push_back(all);
    }
    context::STextBlock block =
        context::MeasureLines(lines, tooltip->RegularFont(), tooltip->Scale());
    boxWidth = block.width + 48;
    boxHeight = block.height + 20;
    int x1 = (boxWidth - block.width) >> 1;
    const int y1 = (boxHeight - (block.height + 4) - 4) >> 1;
    if (side == kTipRight) x1 += 4;
    if (side == kTipLeft) x1 -= 4;
    const Rect2 area{x1, y1, x1 + block.width, y1 + block.height + 4};
    const int n = static_cast<int>(lines.size());
    const int step = n > 0 ? area.Height() / n : 0;
    for (int i = 0; i < n; ++i)
        lineRects.push_back({area.x1, area.y1 + i * step, area.x2,
                             i + 1 == n ? area.y2 : area.y1 + (i + 1) * step});
    for (int i = 0; i < n; ++i)
        AddText(lines[i].Text(), lineRects[i], flag);
    Calculate();
}

void SToolTipData::Calculate() {
    const int before = rect.Width();
    Rect2 r{1000000, 1000000, -100000, -100000};
    for (const std::unique_ptr<SDrawObject>& o : objects) {
        if (o->rect.x1 < r.x1) r.x1 = o->rect.x1;
        if (o->rect.y1 < r.y1) r.y1 = o->rect.y1;
        if (o->rect.x2 > r.x2) r.x2 = o->rect.x2;
        if (o->rect.y2 > r.y2) r.y2 = o->rect.y2;
    }
    if (objects.empty()) r = {};
    rect = r;
    if (before < rect.Width())
        for (const std::unique_ptr<SDrawObject>& o : objects)
            o->rect.x2 = o->rect.x1 + rect.Width();
}

void SToolTipData::SetOffset(const Point2& point, bool) {
    (tooltip && tooltip->Flipped() ? flippedOffset : offset) = point;
}

Point2 SToolTipData::GetOffset() const {
    return tooltip && tooltip->Flipped() ? flippedOffset : offset;
}

void SToolTipData::SetFlipped(bool flipped) {
    if (tooltip) tooltip->SetFlipped(flipped);
}

void SToolTipData::Close() {
    if (tooltip) tooltip->Close();
}

} // namespace zell::gui
