#include "SInfo.h"

#include "SMessageDialog.h"
#include "ToolkitDisplay.h"

#include <mutex>

namespace zell::gui {

namespace {

// Trivially destructible, so they outlive every static the unload runs into.
std::mutex infoLock;
SMessageDialog* infoBox = nullptr;

// The dispatcher may be inside the box right now: the box leaves dispatch first.
void DestroyInfoBox() {
    SMessageDialog* box = nullptr;
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
    SMessageDialog* box = nullptr;
    {
        std::lock_guard<std::mutex> hold(infoLock);
        if (!infoBox) {
            if (!ToolkitDisplay()) return;
            infoBox = new SMessageDialog;
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
