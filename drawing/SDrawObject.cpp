#include "SDrawObject.h"

#include "SDrawing.h"
#include "SStaticData.h"

namespace zell::gui::context {

void SDrawObject::Draw(SDrawing* d) {
    if (!d) return;
    const int saved = d->GetBackgroundColour();
    d->SetBackground(background, false);
    d->DrawBackground(rect.Moved(offset), false);
    d->SetBackgroundColour(saved);
}

void SDrawRect::Draw(SDrawing* d) {
    if (!d) return;
    const Rect at = rect.Moved(offset);
    if (filled) {
        d->SetBrush(statdata.FindBrush(background));
        d->FillRect(at);
    }
    d->SetPen(statdata.FindPen(frame));
    d->DrawRect(at);
}

void STextObject::Draw(SDrawing* d) {
    if (!d) return;
    SDrawObject::Draw(d);
    d->SetTextColour(textColour, false);
    d->DrawLabel(text, rect.Moved(textOffset), align, Point{0, 0});
}

void STextObjectX::Draw(SDrawing* d) {
    if (!d) return;
    d->SetFont(font);
    STextObject::Draw(d);
}

} // namespace zell::gui::context
