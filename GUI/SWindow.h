// A control that owns child controls and can run an event loop of its own. Its operations run
// where SControl's do; the overrides below widen them to the children.
#pragma once

#include "SControl.h"

#include <memory>
#include <vector>

namespace zell::gui {

class SMenu;

struct SWindowID {
    std::unique_ptr<SControl> control;
    unsigned id;
};

class SWindow : public SControl {
  public:
    using SControl::SControl;
    ~SWindow() override;

    void CleanRessources() override;
    void EnableChildren(bool enable) override;
    void Minimized() override;
    // The design's close of a stand-alone window: deletes the top window (the parent, else this
    // one) and ends the process. Nothing in this program calls it.
    void WindowClose() override;
    void WindowMinimize(bool normal) override;
    void WindowMaximize(bool) override {}
    void UpdateModifiers(int state, bool) override;
    void Run() override { running = true; }
    void Stop() override { running = false; }
    void ShowMenu(const Point2& at) override;
    void CloseMenu() override;
    bool IsSubcontrol(unsigned window) override;

    // The window owns what it adds; the child is not told. On the thread that builds or takes
    // the window apart (the host's GUI thread for the panel).
    virtual void Add(SControl* child);
    virtual void Remove(SControl* child, bool destroy);
    // Adds a child made for this window and answers it, for the caller to reach it by.
    template <class Child> Child* Adopt(std::unique_ptr<Child> child) {
        Child* kept = child.get();
        Add(child.release());
        return kept;
    }
    // Kept for the design's slot order; nothing calls or overrides these. Loop dispatches the
    // display's events until Stop; then, unless this is a popup, cleans up and ends the
    // process.
    virtual bool IsSubcontrol(int window) { return IsSubcontrol(static_cast<unsigned>(window)); }
    virtual void Loop();
    // The attached menu; none is ever attached here, so a menu button only changes its value.
    virtual SMenu* GetMenu() { return menu; }
    // Kept for the design's slot order; nothing calls or overrides these.
    virtual void SetMenu(SMenu*) {}
    virtual void TooltipEnable(bool) {}

    const std::vector<SWindowID>& Children() const { return children; }
    int MinChildId() const { return minChildId; }
    int MaxChildId() const { return maxChildId; }
    bool Running() const { return running; }
    // One step of Loop without its ending: for loops that must also do other work.
    [[nodiscard]] bool DispatchOne();

  protected:
    void QuiesceChildren() override;
    void ChildWindowsGone() override;

  private:
    void DeleteChildren();

    std::vector<SWindowID> children;
    int minChildId = -1;
    int maxChildId = -1;
    bool running = false;
    SMenu* menu = nullptr; // no menu is ever attached in this program
    bool menuShown = false;
};

} // namespace zell::gui
