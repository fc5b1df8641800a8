// The LV2 UI's descriptor: one function per entry, each a thin call into the UI. Ownership
// crosses to the host here: instantiate hands it the UI as its handle, and cleanup takes the UI
// back and ends it.
#pragma once

#include <lv2/ui/ui.h>

namespace ferrovane::lv2 {

const LV2UI_Descriptor& UiDescriptor();

} // namespace ferrovane::lv2
