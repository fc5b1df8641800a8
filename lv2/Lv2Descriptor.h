// The LV2 plugin's descriptor: one function per entry, each a thin call into the instance.
// Ownership crosses to the host here: instantiate hands it the instance as its handle, and
// cleanup takes the instance back and ends it.
#pragma once

#include <lv2/core/lv2.h>

namespace ferrovane::lv2 {

const LV2_Descriptor& PluginDescriptor();

} // namespace ferrovane::lv2
