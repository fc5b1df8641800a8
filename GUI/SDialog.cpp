#include "SDialog.h"

#include "SEventPump.h"

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

void SDialog::ShowModal() {
    ShowDialog();
    RunModal();
}

void SDialog::RunModal() {
    shown = true;
    modal = true;
    if (!display) return;
    XFlush(display);
    if (!SEventPump::Serves(display))
        DispatchUntilClosed();
    else if (!SEventPump::OnPumpThread())
        WaitUntilClosed();
}

// Two readers of one connection would take events from each other, so this loop runs only
// where no pump reads.
void SDialog::DispatchUntilClosed() {
    while (modal.load()) {
        XEvent e;
        XNextEvent(display, &e);
        if (e.type == ClientMessage) {
            char* name = XGetAtomName(display, e.xclient.message_type);
            const bool protocols = name && strcmp(name, "WM_PROTOCOLS") == 0;
            if (name) XFree(name);
            if (protocols) return;
        }
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
