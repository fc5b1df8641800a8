#include "SButton.h"

#include "SColour.h"
#include "SDrawBitmap.h"
#include "SDrawDevice.h"
#include "SDrawFont.h"
#include "SDrawing.h"
#include "SInput.h"
#include "SStaticData.h"

#include <X11/Xlib.h>

namespace zell::gui {

using namespace context;

SButton<false>::SButton(SGlobals* g, SControl* p, unsigned i, const char* t, int f, int x, int y,
                        int w, int h, int pw, bool unused)
    : SLabel<false>(g, p, i, t, f, x, y, w, h, pw, unused), labelColourActive(SCOL(255, 255, 255)) {
    flags |= kFlagHoverOutlines;
}

SButton<false>::~SButton() {
    DeletePictures();
}

void SButton<false>::SetLabelAlternative(const char* text, bool use) {
    labelAlternative = text;
    useAlternative = use;
}

bool SButton<false>::SetValue(int v, bool notify) {
    if (v == value) return false;
    value = v;
    SetDrawingMode(v != 0);
    Refresh();
    if (notify) SendEvent(kEventValue, kKindValue, GetValue(), 0.0f, nullptr, this, nullptr);
    return true;
}

void SButton<false>::Reset() {
    SetValue(0, true);
    resetPending = true;
}

// No menu is attached in this program: a menu button then only changes its value.
void SButton<false>::Toggle() {
    if (value != 0) {
        if (Is(kButtonMenu)) CloseMenu();
        SetValue(0, Is(kButtonNotifyOff) || Is(kButtonNotifyOffToo));
        return;
    }
    if (Is(kButtonMenu) && GetMenu()) {
        Point2 below{0, clientRect.Height()};
        GetClient2Screen(below);
        ShowMenu(below);
    }
    SetValue(1, true);
}

void SButton<false>::SetLabelColours(int enabled, int disabled) {
    SLabel<false>::SetLabelColours(enabled, disabled);
    labelColourActive = enabled;
}

int SButton<false>::GetLabelColour() {
    if (!Enabled()) return labelColourDisabled;
    return value == 1 ? labelColourActive : labelColour;
}

void SButton<false>::ClearState() {
    CloseTip();
    if (flags & kFlagGrabOnPress) MouseReleaseCapture();
    if (input) input->Reset();
    MouseTracker(false);
    hovering = false;
    if (Is(kButtonMomentary) && value != 0) {
        value = 0;
        SetDrawingMode(false);
    }
    if (!display) return;
    XLockDisplay(display);
    Draw(Rect2{0, 0, clientRect.Width(), clientRect.Height()});
    XFlush(display);
    XUnlockDisplay(display);
}

void SButton<false>::Draw(const Rect2&) {
    if (!drawing) return;
    const Rect2 r{0, 0, clientRect.Width(), clientRect.Height()};
    if (Is(kButtonBitmap)) {
        if (SDrawMemoryDevice* picture = value == 0 ? deviceOff.get() : deviceOn.get())
            drawing->DrawMemory(picture, 0, 0, r.x1, r.y1, r.x2, r.y2);
    } else {
        drawing->SetBackgroundColour(value > 0);
        if (flags & kFlagRounded) {
            drawing->DrawBackground(r, true);
            const int colour = drawing->GetBackgroundColour();
            drawing->SetPen(statdata.FindPen(colour));
            drawing->SetBrush(statdata.FindBrush(colour));
            drawing->FillRoundedRect(r, rounding, rounding);
        } else {
            drawing->DrawBackground(r, false);
        }
        DrawLabel();
    }
    DrawOutlines(r);
}

void SButton<false>::DrawLabel() {
    if (!drawing || !font || lines.empty()) return;
    drawing->SetFont(font);
    drawing->SetTextColour(GetLabelColour(), value > 0);
    if (value == 1 && useAlternative) {
        drawing->DrawLabelFitted(labelAlternative.Text(),
                                 Rect2{0, 0, clientRect.Width(), clientRect.Height()}, alignment,
                                 labelOffset, TextBox());
        return;
    }
    for (size_t i = 0; i < lines.size() && i < lineRects.size(); ++i)
        drawing->DrawLabelFitted(lines[i].Text(), lineRects[i], alignment, labelOffset, TextBox());
}

// A frame in the parent's background wipes out the hover frame of an earlier paint.
std::optional<int> SButton<false>::OutlineColour() {
    if (highlighted) return highlightColour;
    if (hovering) return value == 0 ? hoverColourOff : hoverColourOn;
    if (flags & kFlagOutline) return GetFrameColour(Enabled(), value >= 1);
    return drawing->GetParentBackgroundColour();
}

void SButton<false>::SetBitmaps(void* xpmOff, void* xpmOn, int w, int h) {
    DeletePictures();
    if (!xpmOff || !xpmOn) {
        type &= ~kButtonBitmap;
        return;
    }
    AdoptPictures(std::make_unique<SDrawBitmap>(static_cast<const char* const*>(xpmOff), w, h,
                                                false, Scale()),
                  std::make_unique<SDrawBitmap>(static_cast<const char* const*>(xpmOn), w, h, false,
                                                Scale()));
}

void SButton<false>::SetBitmaps(SDrawBitmap* off, SDrawBitmap* on) {
    DeletePictures();
    AdoptPictures(std::unique_ptr<SDrawBitmap>(off), std::unique_ptr<SDrawBitmap>(on));
}

// Pictures that did not load are dropped.
void SButton<false>::AdoptPictures(std::unique_ptr<SDrawBitmap> off,
                                   std::unique_ptr<SDrawBitmap> on) {
    if (!off || !on || !off->GetPixmap() || !on->GetPixmap()) {
        type &= ~kButtonBitmap;
        return;
    }
    deviceOff = std::make_unique<SDrawMemoryDevice>(GetDevice(), off.get());
    deviceOn = std::make_unique<SDrawMemoryDevice>(GetDevice(), on.get());
    bitmapOff = std::move(off);
    bitmapOn = std::move(on);
    type |= kButtonBitmap;
}

// The devices go before the bitmaps they draw on.
void SButton<false>::DeletePictures() {
    deviceOff.reset();
    deviceOn.reset();
    bitmapOff.reset();
    bitmapOn.reset();
}

} // namespace zell::gui
