// The LV2 UI's descriptor: one function per entry, each a thin call into the UI.
#pragma once

#include <lv2/ui/ui.h>

namespace ferrovane::lv2 {

const LV2UI_Descriptor& UiDescriptor();

} // namespace ferrovane::lv2
