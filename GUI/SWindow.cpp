#include "SWindow.h"

#include "SAtoms.h"
#include "SXConnection.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdlib>

namespace zell::gui {

SWindow::~SWindow() {
    CleanUp();
    DeleteChildren();
}

void SWindow::DeleteChildren() {
    while (!children.empty()) {
        std::unique_ptr<SControl> child = std::move(children.back().control);
        children.pop_back();
        child.reset();
    }
    flags &= ~kFlagHasChildren;
}

void SWindow::QuiesceChildren() {
    for (const SWindowID& c : children)
        c.control->Quiesce();
}

void SWindow::ChildWindowsGone() {
    for (const SWindowID& c : children)
        c.control->WindowGone();
}

void SWindow::CleanRessources() {
    cleaningUp = true;
    if (!(flags & (kFlagTopLevel | kFlagPopup))) return;
    CleanUp();
    DeleteChildren();
    Destroy();
}

void SWindow::Add(SControl* child) {
    if (!child) return;
    flags |= kFlagHasChildren;
    children.push_back({std::unique_ptr<SControl>(child), child->GetId()});
    int childId = static_cast<int>(child->GetId());
    if (minChildId < 0 || childId < minChildId) minChildId = childId;
    if (maxChildId < 0 || childId > maxChildId) maxChildId = childId;
}

void SWindow::Remove(SControl* child, bool destroy) {
    if (!child) return;
    auto at = std::find_if(children.begin(), children.end(),
                           [&](const SWindowID& c) { return c.id == child->GetId(); });
    if (at == children.end()) return;
    std::unique_ptr<SControl> found = std::move(at->control);
    children.erase(at);
    if (destroy)
        found.reset();
    else
        static_cast<void>(found.release()); // detached: the caller has it
    if (children.empty()) flags &= ~kFlagHasChildren;
}

bool SWindow::IsSubcontrol(unsigned w) {
    if (w == window) return true;
    return std::any_of(children.begin(), children.end(),
                       [&](const SWindowID& c) { return c.control->IsSubcontrol(w); });
}

void SWindow::EnableChildren(bool enable) {
    for (const SWindowID& c : children)
        c.control->Enable(enable);
}

void SWindow::Minimized() {
    for (const SWindowID& c : children)
        c.control->Minimized();
}

void SWindow::UpdateModifiers(int state, bool pressed) {
    SControl::UpdateModifiers(state, pressed);
    if (!input) return;
    for (const SWindowID& c : children)
        if (context::SInput* in = c.control->Input()) {
            in->keyState = input->keyState;
            in->shift = input->shift;
            in->control = input->control;
            in->alt = input->alt;
        }
}

bool SWindow::DispatchOne() {
    XEvent e;
    if (!display || !SXConnection::NextEvent(display, &e)) return false;
    eventProc(&e);
    return true;
}

void SWindow::Loop() {
    running = true;
    while (running && DispatchOne()) {
    }
    if (flags & kFlagPopup) return;
    CleanRessources();
    // NOLINTNEXTLINE(concurrency-mt-unsafe): a stand-alone window's event thread ends its program.
    exit(0);
}

void SWindow::WindowClose() {
    running = false;
    if (parent)
        delete parent;
    else
        delete this;
    // NOLINTNEXTLINE(concurrency-mt-unsafe): a stand-alone window's event thread ends its program.
    exit(0);
}

void SWindow::WindowMinimize(bool normal) {
    if (!display) return;
    const Atom change = SAtoms::Of(display).changeState;
    if (change == None) return;
    SControl* top = parent ? parent : this;
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = top->GetWindow();
    e.xclient.message_type = change;
    e.xclient.format = 32;
    e.xclient.data.l[0] = normal ? NormalState : IconicState;
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &e);
}

void SWindow::ShowMenu(const Point2&) {}

void SWindow::CloseMenu() {
    menuShown = false;
}

} // namespace zell::gui
