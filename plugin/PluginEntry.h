#pragma once

#include "aeffect.h"

namespace ferrovane {

// What the exported entry does: asks the host for VST 2, creates the plugin, and on a refusal
// tells the user why and returns null.
AEffect* CreatePlugin(audioMasterCallback audioMaster);

// "Failed to load plugin\n(Reason: ...)" for a load-error code.
void LoadFailureText(char* out, size_t size, int code, bool haveObject, const char* hostName);

} // namespace ferrovane
