#include "Lv2UiDescriptor.h"

#include "Lv2Ui.h"
#include "Lv2Uris.h"
#include "SBrokenPipeScope.h"

#include <cstring>
#include <memory>

namespace ferrovane::lv2 {

namespace {

// Opening and closing write to an X server that may have just gone: its SIGPIPE is ours.
LV2UI_Handle Instantiate(const LV2UI_Descriptor*, const char*, const char* bundlePath,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features) {
    zell::threading::SBrokenPipeScope quiet;
    try {
        return Lv2Ui::Create(bundlePath, write, controller, widget, features);
    } catch (...) {
        return nullptr;
    }
}

void Cleanup(LV2UI_Handle handle) {
    zell::threading::SBrokenPipeScope quiet;
    std::unique_ptr<Lv2Ui> ending(static_cast<Lv2Ui*>(handle));
}

int Idle(LV2UI_Handle handle) {
    return static_cast<Lv2Ui*>(handle)->Idle();
}

const void* ExtensionData(const char* uri) {
    static const LV2UI_Idle_Interface idle{Idle};
    return uri && strcmp(uri, LV2_UI__idleInterface) == 0 ? &idle : nullptr;
}

} // namespace

// The engine tells the editor of every change it makes, the host's port writes among them: the
// UI needs no port events.
const LV2UI_Descriptor& UiDescriptor() {
    static const LV2UI_Descriptor descriptor{kUiUri, Instantiate, Cleanup, nullptr, ExtensionData};
    return descriptor;
}

} // namespace ferrovane::lv2
