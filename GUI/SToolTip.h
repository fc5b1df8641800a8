// The pop-up that one window shares among its controls to show their tips. It opens at a root
// position with a control's data and closes when the pointer leaves that control; the owner
// switches all its controls' tips on and off. Runs where the controls' crossing events are
// handled. The owner deletes it after the controls that use it.
#pragma once

#include "SControl.h"
#include "SToolTipLink.h"

#include <memory>
#include <vector>

namespace zell::gui {

namespace context {
class SDrawFont;
class SDrawing;
} // namespace context

class SToolTipData;
class SWindow;

class SToolTip : public SControl, public SIToolTip {
  public:
    SToolTip(SWindow* parent, bool);
    ~SToolTip() override;

    // Closes the tip shown, sizes the window to the data and shows it at `where`. Null data
    // and data of another kind are ignored.
    void Open(SIToolTipSource* data, const Point2& where) override;
    void Close() override;
    // As Open without moving or showing; false for null data.
    [[nodiscard]] bool SetData(SToolTipData* data);

    // Gives the control a tip with this text on the given side (replacing its old one) and
    // registers it for EnableTooltips.
    SToolTipData* Attach(SControl* control, const char* text, int side);
    void Register(SControl* control);
    void Unregister(SControl* control);
    // Every registered control's tip on or off at once (each control's EnableTooltip), and the
    // on/off mark's colour with it.
    // NOLINTNEXTLINE(bugprone-virtual-near-miss): not an override; it switches every control's tip.
    void EnableTooltips(bool on);
    void ToggleTooltips();
    // The on/off mark: the indicator rectangle in the indicator colour.
    void DrawTiprect(context::SDrawing* d);

    void Draw(const Rect2& rect) override;
    void MouseStateChanged(bool* state, int code) override;

    context::SDrawFont* RegularFont() const { return regularFont.get(); }
    context::SDrawFont* BoldFont() const { return boldFont.get(); }
    int TextColour() const { return textColour; }
    int TextAlign() const { return textAlign; }
    bool Flipped() const { return flipped; }
    void SetFlipped(bool on) { flipped = on; }
    // A rounded tip asks now what it needs to place and shape itself (the monitors, whether
    // the server shapes windows), not when it first opens.
    void SetRounded(bool on);
    void SetTipColours(int text, int highlight, int pointer) {
        textColour = text;
        highlightColour = highlight;
        pointerColour = pointer;
    }
    bool TipsEnabled() const { return enabled; }
    bool IsOpen() const { return shown; }
    int HighlightColour() const { return highlightColour; }
    SToolTipData* Data() const { return data; }
    const Rect2& IndicatorRect() const { return indicatorRect; }
    int IndicatorColour() const { return indicatorColour; }

  private:
    void SizeTo(SToolTipData* d);
    void DrawPointer(int w, int h);

    SToolTipData* data = nullptr; // not owned
    std::unique_ptr<context::SDrawFont> regularFont;
    std::unique_ptr<context::SDrawFont> boldFont;
    int textColour;
    int textAlign = 0;
    int highlightColour;
    int pointerColour;
    bool rounded = false;
    bool flipped = false;
    std::vector<SControl*> registered;
    Rect2 indicatorRect{1, 1, 10, 10};
    int indicatorColour = 0;
    bool shown = false;
    bool enabled = false;
};

} // namespace zell::gui
