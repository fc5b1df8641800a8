// A window shown as a dialog, with or without a modal loop. Closing it hides it.
//
// A dialog on a connection the toolkit's event pump serves is touched only by the pump's
// thread. Asked to show from another thread, it sends the request to its own window as an area
// refresh (the one client message the dispatcher hands to a control) and the pump shows it.
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
    // Shows and raises it and returns at once; on the dispatching thread, or on the caller's
    // when no pump serves the connection.
    virtual void ShowDialog();
    // Shows it and returns when it is closed, or at once when the window manager asks to close
    // any window. On a connection the pump serves, the pump goes on dispatching and the caller
    // only waits; elsewhere the caller dispatches the connection's events itself. On the pump's
    // own thread nothing could dispatch while it waited: the dialog is shown and the call
    // returns at once. Any thread; only SMessageDialog's ShowModal calls it.
    virtual void ShowModal();

    // Handles the dialog's own requests; a derived dialog passes other areas on.
    void DrawArea(unsigned area) override;

    bool IsShown() const { return shown.load(); }
    bool IsModal() const { return modal.load(); }

  protected:
    // What a show request does on the dispatching thread.
    virtual void ShowRequested() { ShowDialog(); }
    // True when the calling thread must leave the dialog to the pump.
    bool OffDispatcher() const;
    void RequestShow();

  private:
    static constexpr unsigned kAreaShow = 0x5D1A0001;

    void DispatchUntilClosed();
    void WaitUntilClosed();

    std::atomic<bool> shown{false};
    std::atomic<bool> modal{false};
    std::mutex closeLock;
    std::condition_variable closed;
};

} // namespace zell::gui
