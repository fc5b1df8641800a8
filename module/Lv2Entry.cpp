// The LV2 plugin's exported entry: its one descriptor.
#include "Lv2Descriptor.h"

extern "C" __attribute__((visibility("default"))) const LV2_Descriptor*
lv2_descriptor(uint32_t index) {
    return index == 0 ? &ferrovane::lv2::PluginDescriptor() : nullptr;
}
