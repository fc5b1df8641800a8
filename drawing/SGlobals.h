// The resources of one plugin instance (a message dialog makes its own): the control-id
// counter, the plugin's name and directory, the editor's parent window and cursor, the display
// the host handed over, the scale its windows are drawn at, a lock and a random-number
// generator. Free of X headers: the plugin core creates it.
#pragma once

#include "SMutexOS.h"
#include "SRandomMarsaglia.h"
#include "datastring.h"

#include <atomic>
#include <mutex>

struct _XDisplay;

namespace zell::gui {

class SCursor;

class SGlobals {
  public:
    using Text = data::datastring<32, char>;

    // Seeds the generator from the processor's time-stamp counter after a 3 ms sleep, so two
    // instances made one after the other draw different numbers.
    SGlobals();
    SGlobals(const SGlobals&) = delete;
    SGlobals& operator=(const SGlobals&) = delete;
    ~SGlobals() = default;

    // The next control, timer or idle id: 1 for the first call. Safe from any thread.
    unsigned int NewId() { return static_cast<unsigned int>(++idCounter); }

    // How many screen pixels stand for one of the layout's (1, 2 or 3). Every position and size
    // the toolkit keeps is in the layout's pixels; windows, drawing and the pointer are turned
    // into the screen's where they meet the server. 1 until the scale is settled (SScale.h),
    // which happens before the instance's first window is made and stays for its life. Read by
    // every thread that draws for the instance.
    int Scale() const {
        const int s = scale.load(std::memory_order_relaxed);
        return s > 0 ? s : 1;
    }
    bool ScaleSettled() const { return scale.load(std::memory_order_relaxed) > 0; }
    void SettleScale(int s) { scale.store(s, std::memory_order_relaxed); }

    // Splits binaryPath into the file name (with "." and its extension when it has one) and
    // the directory with its trailing separator. Does nothing without a path.
    void SetBinaryData();

    std::atomic<int> idCounter{0};
    Text name;
    Text directory;
    void* reserved = nullptr;
    Text* binaryPath = nullptr;     // not owned
    unsigned long parentWindow = 0; // the editor's host window while it is open
    void* reservedToo = nullptr;
    SCursor* cursor = nullptr; // not owned; the editor sets it with parentWindow
    // The display the host handed the editor, where the toolkit works on the host's display
    // (see SHostDisplay.h); null until then and where it keeps to its own connection. Written
    // on the host's GUI thread, read by every thread that works for the instance.
    std::atomic<_XDisplay*> dp{nullptr};
    // The host's own wish for the editor's scale, as its format lets it say (LV2's
    // ui:scaleFactor); 0 for none. Set before the editor opens, on the host's GUI thread.
    float scaleHint = 0.0f;
    threading::SMutexOS lock;
    // Held while an event is dispatched to one of the instance's controls and while the editor
    // refreshes them from another thread, so that their drawing never interleaves. Recursive:
    // a handler may dispatch again (a modal loop).
    std::recursive_mutex uiLock;
    math::random::generator::SRandomMarsaglia random;

  private:
    std::atomic<int> scale{0}; // 0 until settled
};

} // namespace zell::gui
