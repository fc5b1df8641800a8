// A label that holds an integer value and reacts to the mouse as a push, toggle, momentary or
// menu button; it can show another text or one of two pictures while its value is set, and
// frames itself in its hover colours while the pointer is over it. Value changes are reported
// to the listeners as value events. The mouse and painting run on the dispatching thread; the
// setters run where the button is built (the host's GUI thread under the interface lock for the
// editor's buttons), and the panel's refresh sets values, without a notice, on the idle thread
// under the same lock.
#pragma once

#include "SIHoverable.h"
#include "SIValueHolder.h"
#include "SLabel.h"

#include <memory>

namespace zell::gui {

namespace context {
class SDrawBitmap;
class SDrawMemoryDevice;
} // namespace context

// Button type bits.
enum SButtonType {
    kButtonNoLeft = 0x1,    // a left press does nothing
    kButtonMomentary = 0x2, // back to 0 on release or leave
    kButtonNotifyOff = 0x4, // going back to 0 is reported
    kButtonPush = 0x8,      // every click is reported, the value rests at 0
    kButtonMenu = 0x10,     // opens and closes the attached menu
    kButtonBitmap = 0x20,   // pictures replace background and text
    kButtonNotifyOffToo = 0x40,
};

template <bool> class SButton;

template <>
class SButton<false> : public SLabel<false>, public SIHoverable, public SIValueHolder<int> {
  public:
    SButton(SGlobals* globals, SControl* parent, unsigned id, const char* title, int flags, int x,
            int y, int w, int h, int parentWindow, bool unused);
    ~SButton() override;

    void SetHoverColours(int off, int on) override { SIHoverable::SetHoverColours(off, on); }
    virtual void SetLabelColourActive(int colour) { labelColourActive = colour; }
    // Kept for the design's slot order; nothing calls or overrides these. A null text leaves
    // the alternative empty; the pictures come from XPM data, and unless both are valid the
    // button stays a text button.
    virtual void SetLabelAlternative(const char* text, bool use);
    virtual void SetBitmaps(void* xpmOff, void* xpmOn, int w, int h);
    // Stores v when it differs, switches the colour set and repaints; reports the new value
    // when notify is set. True when the value changed.
    bool SetValue(int v, bool notify) override;
    int GetValue() override { return value; }

    void SetType(int bits) override { type = bits; }
    void Reset() override;
    void Toggle() override;
    // Paints at once: only on the dispatching thread.
    void ClearState() override;
    void Draw(const Rect2& rect) override;
    // Takes both bitmaps over.
    void SetBitmaps(context::SDrawBitmap* off, context::SDrawBitmap* on) override;
    void MouseStateChanged(bool* state, int code) override;
    void Highlight(bool on, int colour, int a, int b) override {
        SLabel<false>::Highlight(on, colour, a, b);
    }
    void SetLabelColours(int enabled, int disabled) override;
    int GetLabelColour() override;
    void DrawLabel() override;

    int Type() const { return type; }
    bool ResetPending() const { return resetPending; }

  protected:
    std::optional<int> OutlineColour() override;

  private:
    bool Is(int bit) const { return (type & bit) != 0; }
    void PushClick(int code);
    void LeftPress();
    void OtherPress(int code, int click);
    // The state flag "inside" and hovering from where the pointer is now.
    void TrackPointer(bool* state);
    void DeletePictures();
    void AdoptPictures(std::unique_ptr<context::SDrawBitmap> off,
                       std::unique_ptr<context::SDrawBitmap> on);

    int type = kButtonMomentary;
    int labelColourActive;
    Text labelAlternative;
    bool useAlternative = false;
    std::unique_ptr<context::SDrawBitmap> bitmapOff;
    std::unique_ptr<context::SDrawBitmap> bitmapOn;
    std::unique_ptr<context::SDrawMemoryDevice> deviceOff;
    std::unique_ptr<context::SDrawMemoryDevice> deviceOn;
    bool resetPending = false; // the press after a reset is ignored by a menu button
};

} // namespace zell::gui
