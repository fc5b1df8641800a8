#include "SInfo.h"

#include "SDisplay.h"
#include "SEventPump.h"
#include "SMessageDialog.h"
#include "ToolkitDisplay.h"

#include <mutex>

namespace zell::gui {

namespace {

// The message box of SInfo. A message given on another thread than the dispatcher's waits in
// the box and travels to the dispatcher as an area refresh, the one client message the
// dispatcher hands to a control, so that only the dispatcher ever touches the box's controls.
class SInfoBox : public SMessageDialog {
  public:
    void Present(const char* message, const char* title) {
        {
            std::lock_guard<std::mutex> hold(pendingLock);
            pendingMessage = message;
            pendingTitle = title;
        }
        if (display && SEventPump::Serves(display) && !SEventPump::OnPumpThread())
            PostPending();
        else
            ShowPending();
    }

    void DrawArea(unsigned area) override {
        if (area == kAreaPending) ShowPending();
    }

  private:
    static constexpr unsigned kAreaPending = 1;

    void PostPending() {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = window;
        e.xclient.message_type = XInternAtom(display, "WM_PAINT_AREA", False);
        e.xclient.format = 32;
        e.xclient.data.l[1] = kAreaPending;
        XSendEvent(display, window, False, NoEventMask, &e);
        XFlush(display);
    }

    void ShowPending() {
        Text message, title;
        {
            std::lock_guard<std::mutex> hold(pendingLock);
            message = pendingMessage;
            title = pendingTitle;
        }
        SetMessage(message.Text(), title.Text());
        SDisplay::Instance().CenterOnWindow(this);
        ShowDialog();
    }

    std::mutex pendingLock;
    Text pendingMessage;
    Text pendingTitle;
};

// Trivially destructible, so they outlive every static the unload runs into.
std::mutex infoLock;
SInfoBox* infoBox = nullptr;

// The dispatcher may be inside the box right now: the box leaves dispatch first.
void DestroyInfoBox() {
    SInfoBox* box = nullptr;
    {
        std::lock_guard<std::mutex> hold(infoLock);
        box = infoBox;
        infoBox = nullptr;
    }
    if (!box) return;
    box->Retire();
    delete box;
}

} // namespace

void SInfo(const char* message, const char* title) {
    SInfoBox* box = nullptr;
    {
        std::lock_guard<std::mutex> hold(infoLock);
        if (!infoBox) {
            if (!ToolkitDisplay()) return;
            infoBox = new SInfoBox;
            AtToolkitUnload(&DestroyInfoBox);
        }
        box = infoBox;
    }
    box->Present(message, title);
}

SMessageDialog* SInfoDialog() {
    std::lock_guard<std::mutex> hold(infoLock);
    return infoBox;
}

} // namespace zell::gui
