// A control that shows a picture made from XPM data and reports clicks to its listeners as
// value events (1 left, 3 right, 2 middle). The picture is loaded where the control is built (the
// host's GUI thread for the editor's logo); painting and the mouse run on the dispatching
// thread.
#pragma once

#include "SWindow.h"

#include <memory>

namespace zell::gui {

namespace context {
class SDrawBitmap;
class SDrawMemoryDevice;
} // namespace context

class SImageLabel : public SWindow {
  public:
    SImageLabel(SGlobals* globals, SControl* parent, int id, const char* title, int flags, int x,
                int y, int w, int h, int parentWindow);
    ~SImageLabel() override;

    // Replaces the picture; data that does not convert leaves none.
    virtual void LoadBackground(void* xpm, int w, int h);

    void Draw(const Rect2& rect) override;
    void MouseStateChanged(bool* state, int code) override;

    bool HasPicture() const { return device != nullptr; }

  private:
    void DeletePicture();

    std::unique_ptr<context::SDrawBitmap> bitmap;
    std::unique_ptr<context::SDrawMemoryDevice> device;
};

} // namespace zell::gui
