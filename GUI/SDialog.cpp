#include "SDialog.h"

#include "SAtoms.h"
#include "SEventPump.h"
#include "SXConnection.h"

#include <X11/Xlib.h>

#include <chrono>
#include <cstring>

namespace zell::gui {

void SDialog::CloseDialog() {
    Hide();
    std::lock_guard<std::mutex> hold(closeLock);
    shown = false;
    modal = false;
    closed.notify_all();
}

void SDialog::ShowDialog() {
    Show();
    Foreground(true);
    shown = true;
}

bool SDialog::OffDispatcher() const {
    return display && SEventPump::Serves(display) && !SEventPump::OnPumpThread();
}

void SDialog::RequestShow() {
    if (!OffDispatcher()) {
        ShowRequested();
        return;
    }
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = SAtoms::Of(display).paintArea;
    e.xclient.format = 32;
    e.xclient.data.l[1] = static_cast<long>(kAreaShow);
    XSendEvent(display, window, False, NoEventMask, &e);
    XFlush(display);
}

void SDialog::DrawArea(unsigned area) {
    if (area == kAreaShow) ShowRequested();
}

void SDialog::ShowModal() {
    shown = true;
    modal = true;
    RequestShow();
    if (!display) return;
    XFlush(display);
    if (OffDispatcher())
        WaitUntilClosed();
    else if (!SEventPump::Serves(display))
        DispatchUntilClosed();
}

// Two readers of one connection would take events from each other, so this loop runs only
// where no pump reads.
void SDialog::DispatchUntilClosed() {
    XEvent e;
    while (modal.load() && SXConnection::NextEvent(display, &e)) {
        if (e.type == ClientMessage &&
            static_cast<Atom>(e.xclient.message_type) == SAtoms::Of(display).protocols)
            return;
        eventProc(&e);
    }
    modal = false;
}

// The pump may stop (the library is being unloaded) while the dialog is still open.
void SDialog::WaitUntilClosed() {
    std::unique_lock<std::mutex> hold(closeLock);
    while (modal.load() && SEventPump::Running())
        closed.wait_for(hold, std::chrono::milliseconds(50));
    modal = false;
}

} // namespace zell::gui
