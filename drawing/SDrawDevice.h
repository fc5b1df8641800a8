// Drawing targets: a drawable with a GC. SDrawDevice draws into a window it does not own;
// SDrawMemoryDevice draws into the pixmap of a bitmap it does not own, through a GC of its own.
// A GC is used and freed on the display it was created on.
#pragma once

#include <X11/Xlib.h>

namespace zell::gui::context {

class SDrawBitmap;

class SDrawDevice {
  public:
    SDrawDevice() = default;
    // Creates a GC on the drawable; no GC for drawable 0 or without a display.
    explicit SDrawDevice(Drawable drawable);
    SDrawDevice(const SDrawDevice&) = delete;
    SDrawDevice& operator=(const SDrawDevice&) = delete;
    // Flushes, then frees the GC.
    virtual ~SDrawDevice();

    virtual GC Get() { return gc; }
    virtual Drawable GetDrawable() { return drawable; }
    // The display the device's GC belongs to; null when it has none.
    virtual Display* GetDisplay() { return display; }

  protected:
    Drawable drawable = 0;
    GC gc = nullptr;
    Display* display = nullptr;
};

class SDrawMemoryDevice : public SDrawDevice {
  public:
    // parent is only kept. A null bitmap, or one without a pixmap, gives a device that draws
    // nothing until Select.
    SDrawMemoryDevice(SDrawDevice* parent, SDrawBitmap* bitmap);
    ~SDrawMemoryDevice() override;

    // Switches to another bitmap with a fresh GC; a null bitmap is ignored.
    void Select(SDrawBitmap* bitmap);

    GC Get() override { return memoryGC; }
    Drawable GetDrawable() override;
    Display* GetDisplay() override { return memoryDisplay; }
    SDrawDevice* Parent() const { return parent; }
    SDrawBitmap* Bitmap() const { return bitmap; }

  private:
    void FreeGC();

    SDrawDevice* parent;
    SDrawBitmap* bitmap = nullptr;
    GC memoryGC = nullptr;
    Display* memoryDisplay = nullptr;
};

} // namespace zell::gui::context
