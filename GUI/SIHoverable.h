// A control that frames itself in its own colours while the pointer is over it.
#pragma once

namespace zell::gui {

class SIHoverable {
  public:
    SIHoverable() = default;
    SIHoverable(const SIHoverable&) = delete;
    SIHoverable& operator=(const SIHoverable&) = delete;
    virtual ~SIHoverable() = default;

    // off frames a hovered control whose value is 0, on one whose value is 1 or more. Given
    // while the control is built; the dispatching thread reads them as it paints.
    virtual void SetHoverColours(int off, int on) {
        hoverColourOff = off;
        hoverColourOn = on;
    }
    bool Hovering() const { return hovering; }

  protected:
    int hoverColourOn = 0;
    int hoverColourOff = 0;
    bool hovering = false;
};

} // namespace zell::gui
