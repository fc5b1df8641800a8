// A window shown as a dialog, with or without a modal loop. Closing it hides it.
#pragma once

#include "SWindow.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace zell::gui {

class SDialog : public SWindow {
  public:
    using SWindow::SWindow;

    // Hides the dialog and ends a modal call waiting for it. Runs on the dispatching thread.
    void CloseDialog() override;
    // Shows and raises it; returns at once.
    virtual void ShowDialog();
    // Shows it and returns when it is closed, or at once when the window manager asks to close
    // any window. On a connection the toolkit's event pump serves, the pump goes on dispatching
    // and the caller only waits; elsewhere the caller dispatches the connection's events itself.
    // On the pump's own thread nothing can dispatch while it waits: the dialog is shown and the
    // call returns at once.
    virtual void ShowModal();

    bool IsShown() const { return shown.load(); }
    bool IsModal() const { return modal.load(); }

  protected:
    void RunModal();

  private:
    void DispatchUntilClosed();
    void WaitUntilClosed();

    std::atomic<bool> shown{false};
    std::atomic<bool> modal{false};
    std::mutex closeLock;
    std::condition_variable closed;
};

} // namespace zell::gui
