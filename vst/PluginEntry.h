#pragma once

#include "aeffect.h"

namespace zell::system {
class SSystemData;
}

namespace ferrovane {

// What the exported entry does: asks the host for VST 2, checks that the machine qualifies,
// creates the plugin, and on a refusal tells the user why and returns null.
[[nodiscard]] AEffect* CreatePlugin(audioMasterCallback audioMaster);
[[nodiscard]] AEffect* CreatePlugin(audioMasterCallback audioMaster,
                                    const zell::system::SSystemData& system);

} // namespace ferrovane
