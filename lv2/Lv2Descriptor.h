// The LV2 plugin's descriptor: one function per entry, each a thin call into the instance.
#pragma once

#include <lv2/core/lv2.h>

namespace ferrovane::lv2 {

const LV2_Descriptor& PluginDescriptor();

} // namespace ferrovane::lv2
