// Off-screen pictures: a server pixmap made from XPM data or left blank as a back buffer. A
// bitmap belongs to the control that creates it and frees its pixmap on the display that made it.
// The editor's bitmaps are made while the panel sets up its controls, on the host's GUI thread
// in effEditOpen under the interface lock, and deleted with their control; memory devices draw
// into them from then on (SDrawDevice.h).
#pragma once

#include "XHandles.h"

namespace zell::gui::context {

class SDrawBitmap {
  public:
    SDrawBitmap() = default;
    // XPM data gives the picture's own size; without data a blank width x height pixmap of the
    // screen's depth is made. Both at the scale of the context that draws into or from it: the
    // pixmap is that many times as wide and high, the picture's pixels replicated.
    SDrawBitmap(const char* const* xpm, int width, int height, bool flag, int scale = 1);
    SDrawBitmap(const SDrawBitmap&) = delete;
    SDrawBitmap& operator=(const SDrawBitmap&) = delete;
    virtual ~SDrawBitmap();

    // Kept for the design's slot order; nothing calls it. A mask answers its use flag.
    virtual int Use() { return 0; }

    // Does nothing while a pixmap exists. XPM data that cannot be converted leaves a 1 x 1
    // bitmap without a pixmap; so does a blank pixmap's side outside 1..32767 or no display.
    void Create(const char* const* xpm, int width, int height, bool flag, int scale = 1);

    // In the layout's pixels; 0 while there is no pixmap.
    int Width() const { return pixmap ? width : 0; }
    int Height() const { return pixmap ? height : 0; }
    XId GetPixmap() const { return pixmap; }
    bool Flag() const { return flag; }

  protected:
    int width = 0;
    int height = 0;
    bool flag = false;
    XId pixmap = 0;

  private:
    [[nodiscard]] bool CreateFromXpm(_XDisplay* display, const char* const* xpm);
    void CreateBlank(_XDisplay* display);

    _XDisplay* display = nullptr;
    int scale = 1;
};

// A bitmap that can act as a mask. Drawing with masks does nothing in this system; the mask
// value and use flag are only kept.
class SDrawBitmapMask : public SDrawBitmap {
  public:
    SDrawBitmapMask(const char* const* xpm, int width, int height) {
        Create(xpm, width, height, false);
    }

    int Use() override { return use; }
    // The bitmap argument is not kept.
    void SetMask(SDrawBitmap*, int value) {
        mask = value;
        use = false;
    }
    int Mask() const { return mask; }

  private:
    int mask = 0;
    bool use = false;
};

} // namespace zell::gui::context
