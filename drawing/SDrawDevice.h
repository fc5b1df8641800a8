// Drawing targets: a drawable with a GC. SDrawDevice draws into a window it does not own;
// SDrawMemoryDevice draws into the pixmap of a bitmap it does not own, through a GC of its own.
// A GC is used and freed on the display it was created on.
//
// Devices are made while their control is set up (the host's GUI thread in effEditOpen, under
// the interface lock, for the editor's controls) and deleted with it. In between only a
// drawing context uses them, on the threads and under the lock that SDrawing.h names.
#pragma once

#include "XHandles.h"

namespace zell::gui::context {

class SDrawBitmap;

class SDrawDevice {
  public:
    SDrawDevice() = default;
    // Creates a GC on the drawable; no GC for drawable 0 or without a display.
    explicit SDrawDevice(XId drawable);
    SDrawDevice(const SDrawDevice&) = delete;
    SDrawDevice& operator=(const SDrawDevice&) = delete;
    // Flushes, then frees the GC.
    virtual ~SDrawDevice();

    // The context asks these before every operation, of its target and of a DrawMemory source;
    // a memory device answers its own GC, its bitmap's pixmap and its own display.
    virtual _XGC* Get() { return gc; }
    virtual XId GetDrawable() { return drawable; }
    // The display the device's GC belongs to; null when it has none.
    virtual _XDisplay* GetDisplay() { return display; }

  protected:
    XId drawable = 0;
    _XGC* gc = nullptr;
    _XDisplay* display = nullptr;
};

class SDrawMemoryDevice : public SDrawDevice {
  public:
    // parent is only kept. A null bitmap, or one without a pixmap, gives a device that draws
    // nothing until Select.
    SDrawMemoryDevice(SDrawDevice* parent, SDrawBitmap* bitmap);
    ~SDrawMemoryDevice() override;

    // Switches to another bitmap with a fresh GC; a null bitmap is ignored.
    void Select(SDrawBitmap* bitmap);

    _XGC* Get() override { return memoryGC; }
    XId GetDrawable() override;
    _XDisplay* GetDisplay() override { return memoryDisplay; }
    SDrawDevice* Parent() const { return parent; }
    SDrawBitmap* Bitmap() const { return bitmap; }

  private:
    void FreeGC();

    SDrawDevice* parent;
    SDrawBitmap* bitmap = nullptr;
    _XGC* memoryGC = nullptr;
    _XDisplay* memoryDisplay = nullptr;
};

} // namespace zell::gui::context
