#include "SInfo.h"

#include "Owner.h"
#include "SMessageDialog.h"
#include "SScale.h"
#include "SXConnection.h"
#include "ToolkitDisplay.h"

#include <mutex>

namespace zell::gui {

namespace {

// Trivially destructible, so they outlive every static the unload runs into.
std::mutex infoLock;
gsl::owner<SMessageDialog*> infoBox = nullptr;

// The dispatcher may be inside the box right now: the box leaves dispatch first. With a
// display given, only a box on that display goes.
void DestroyInfoBox(_XDisplay* on) {
    gsl::owner<SMessageDialog*> box = nullptr;
    {
        std::lock_guard<std::mutex> hold(infoLock);
        if (!infoBox || (on && infoBox->GetDisplay() != on)) return;
        box = infoBox;
        infoBox = nullptr;
    }
    SXRequestScope scope(box->GetDisplay());
    box->Retire();
    delete box;
}

void DestroyInfoBoxAtUnload() {
    DestroyInfoBox(nullptr);
}

} // namespace

void SInfo(const char* message, const char* title) {
    SMessageDialog* box = nullptr;
    {
        std::lock_guard<std::mutex> hold(infoLock);
        if (!infoBox) {
            if (!ToolkitDisplay()) return;
            // The box belongs to no instance: the desktop's scale.
            infoBox = new SMessageDialog(DesktopScale(ToolkitDisplay(), 0.0f));
            AtToolkitUnload(&DestroyInfoBoxAtUnload);
        }
        box = infoBox;
    }
    if (SXConnection::Lost(box->GetDisplay())) return; // the text went to standard error
    SXRequestScope scope(box->GetDisplay());
    box->Present(message, title);
}

void ReleaseToolkitDialogs(_XDisplay* display) {
    if (display) DestroyInfoBox(display);
}

SMessageDialog* SInfoDialog() {
    std::lock_guard<std::mutex> hold(infoLock);
    SMessageDialog* shown = infoBox;
    return shown;
}

} // namespace zell::gui
