#include "SImageLabel.h"

#include "SDrawBitmap.h"
#include "SDrawDevice.h"
#include "SDrawing.h"
#include "SLabel.h"

namespace zell::gui {

using namespace context;

SImageLabel::SImageLabel(SGlobals* g, SControl* p, int i, const char* t, int f, int x, int y, int w,
                         int h, int pw)
    : SWindow(g, p, static_cast<unsigned>(i), t, f, x, y, w, h, pw, false) {}

SImageLabel::~SImageLabel() {
    DeletePicture();
}

void SImageLabel::LoadBackground(void* xpm, int w, int h) {
    DeletePicture();
    if (!xpm) return;
    bitmap =
        std::make_unique<SDrawBitmap>(static_cast<const char* const*>(xpm), w, h, false, Scale());
    if (bitmap->GetPixmap()) {
        device = std::make_unique<SDrawMemoryDevice>(GetDevice(), bitmap.get());
        return;
    }
    bitmap.reset();
}

void SImageLabel::DeletePicture() {
    device.reset();
    bitmap.reset();
}

void SImageLabel::Draw(const Rect2&) {
    if (drawing && device)
        drawing->DrawMemory(device.get(), 0, 0, 0, 0, clientRect.Width(), clientRect.Height());
}

void SImageLabel::MouseStateChanged(bool*, int code) {
    if (int click = ClickOf(code))
        SendEvent(kEventValue, kKindValue, click, 0.0f, nullptr, this, nullptr);
}

} // namespace zell::gui
