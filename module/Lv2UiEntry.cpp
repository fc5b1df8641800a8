// The LV2 UI's exported entry: its one descriptor. The module wires the editor into the UI here.
#include "Lv2UiDescriptor.h"

extern "C" __attribute__((visibility("default"))) const LV2UI_Descriptor*
lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &ferrovane::lv2::UiDescriptor() : nullptr;
}
