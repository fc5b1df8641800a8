#include "SToolTip.h"

#include "SColour.h"
#include "SDisplay.h"
#include "SDrawFont.h"
#include "SDrawObject.h"
#include "SDrawing.h"
#include "SGlobals.h"
#include "SInput.h"
#include "SStaticData.h"
#include "SToolTipData.h"
#include "SWindow.h"

#include <algorithm>

namespace zell::gui {

using context::SDrawing;

namespace {

constexpr int kFlags = kFlagPopup | kFlagPopupInRoot;
constexpr int kPaletteRed = 4;
constexpr int kPaletteBlue = 10;
constexpr int kPaletteBlack = 20;

data::datastring<32, char> TipTitle(SWindow* parent) {
    return data::datastring<32, char>(64, "%s (Tooltip)", parent ? parent->GetLabel().Text() : "");
}

} // namespace

SToolTip::SToolTip(SWindow* parent, bool)
    : textColour(SCOL(0, 0, 0)), highlightColour(SCOL(255, 0, 0)),
      pointerColour(SCOL(255, 128, 0)) {
    SGlobals* g = parent ? parent->GetGlobals() : nullptr;
    Create(g, parent, g ? g->NewId() : 0, TipTitle(parent).Text(), kFlags, 100, 100, 200, 32,
           parent ? static_cast<int>(parent->GetWindow()) : 0, false);
    const int white = SCOL(255, 255, 255), black = SCOL(0, 0, 0);
    SetColours(white, white, white, black, black, white, white);
    regularFont = std::make_unique<context::SDrawFont>(10, false, false, false, nullptr);
    boldFont = std::make_unique<context::SDrawFont>(10, true, false, false, nullptr);
    // Tips start switched off, and the mark says so from its first paint.
    indicatorColour = statdata.Colour(kPaletteBlue);
}

SToolTip::~SToolTip() {
    Destroy();
}

void SToolTip::SizeTo(SToolTipData* d) {
    data = d;
    SetSize(d->Rect().Width() + 48, d->Rect().Height() + 16);
    if (rounded) {
        SetRoundShape(false);
        SetRoundShape(true);
    }
}

void SToolTip::SetRounded(bool on) {
    rounded = on;
    if (!on) return;
    PrepareRoundShape();
    SDisplay::Instance();
}

void SToolTip::Open(SIToolTipSource* source, const Point2& where) {
    auto* d = dynamic_cast<SToolTipData*>(source);
    if (!d) return;
    Close();
    SizeTo(d);
    // The tip's place in its own pixels, as near the screen's as the scale allows.
    SetPosition(math::geom::FloorDiv(where.x, Scale()), math::geom::FloorDiv(where.y, Scale()));
    Show();
    shown = true;
}

bool SToolTip::SetData(SToolTipData* d) {
    if (!d) return false;
    SizeTo(d);
    return true;
}

void SToolTip::Close() {
    if (!shown) return;
    Hide();
    shown = false;
}

SToolTipData* SToolTip::Attach(SControl* control, const char* text, int side) {
    if (!control) return nullptr;
    auto data = std::make_unique<SToolTipData>(this, control, side);
    data->AddLabel(text, 0);
    SToolTipData* d = data.get();
    control->SetTooltip(this, data.release(), side);
    Register(control);
    return d;
}

void SToolTip::Register(SControl* control) {
    if (control && std::find(registered.begin(), registered.end(), control) == registered.end())
        registered.push_back(control);
}

void SToolTip::Unregister(SControl* control) {
    registered.erase(std::remove(registered.begin(), registered.end(), control), registered.end());
    if (data && data->Control() == control) {
        Close();
        data = nullptr;
    }
}

// NOLINTNEXTLINE(bugprone-virtual-near-miss): not an override; it switches every control's tip.
void SToolTip::EnableTooltips(bool on) {
    enabled = on;
    for (SControl* c : registered)
        c->EnableTooltip(on);
    indicatorColour = statdata.Colour(on ? kPaletteRed : kPaletteBlue);
}

void SToolTip::ToggleTooltips() {
    EnableTooltips(!enabled);
}

void SToolTip::DrawTiprect(SDrawing* d) {
    if (!d) return;
    d->SetPen(statdata.FindPen(indicatorColour));
    d->SetBrush(statdata.FindBrush(indicatorColour));
    d->FillRect(indicatorRect);
}

void SToolTip::MouseStateChanged(bool* state, int code) {
    SControl::MouseStateChanged(state, code);
    if (code == context::kMouseLeft || (state && !state[context::kMouseInside])) Close();
}

void SToolTip::Draw(const Rect2&) {
    if (!drawing) return;
    const int w = clientRect.Width(), h = clientRect.Height();
    const Rect2 all{0, 0, w, h};
    const int black = statdata.Colour(kPaletteBlack);
    if (rounded) {
        const int background = drawing->GetBackgroundColour();
        drawing->SetPen(statdata.FindPen(background));
        drawing->SetBrush(statdata.FindBrush(background));
        drawing->FillRoundedRect(all, 7, 7);
        drawing->SetPen(statdata.FindPen(black));
        drawing->DrawRoundedRect(all, 7, 7);
    } else {
        drawing->DrawBackground(all, false);
        drawing->SetPen(statdata.FindPen(black));
        drawing->DrawRect(all);
    }
    if (data)
        for (const std::unique_ptr<context::SDrawObject>& o : data->Objects())
            o->Draw(drawing.get());
    DrawPointer(w, h);
}

// The triangle points at the control: from the edge of the tip that faces it.
void SToolTip::DrawPointer(int w, int h) {
    const int side = data ? data->Side() : -1;
    const int cx = w >> 1, cy = h >> 1;
    const bool above = (side == kTipAbove && !flipped) || (side == kTipBelow && flipped);
    const bool below = (side == kTipBelow && !flipped) || (side == kTipAbove && flipped);
    const bool right = (side == kTipRight && !flipped) || (side == kTipLeft && flipped);
    SDrawing::Point p[4];
    if (above)
        p[0] = {cx, h - 1}, p[1] = {cx + 3, h - 5}, p[2] = {cx - 3, h - 5};
    else if (below)
        p[0] = {cx, 1}, p[1] = {cx + 3, 5}, p[2] = {cx - 3, 5};
    else if (right)
        p[0] = {1, cy}, p[1] = {5, cy - 3}, p[2] = {5, cy + 3};
    else
        p[0] = {w - 1, cy}, p[1] = {w - 5, cy - 3}, p[2] = {w - 5, cy + 3};
    p[3] = p[0];
    drawing->SetPen(statdata.FindPen(pointerColour));
    drawing->SetBrush(statdata.FindBrush(pointerColour));
    drawing->FillPoly(p, 4);
}

} // namespace zell::gui
