// The VST preset files: .fxp holds one program and .fxb a bank, here always as the plugin's own
// opaque chunk. Numbers in these files are big-endian.
#pragma once

#include "aeffect.h"

#include <string>
#include <vector>

namespace ferrovane::host {

struct FxPreset {
    bool bank = false;
    VstInt32 pluginId = 0;
    VstInt32 pluginVersion = 0;
    VstInt32 numPrograms = 0;    // the bank's program count, or the program's parameter count
    VstInt32 currentProgram = 0; // banks only
    std::string name;            // programs only, at most 27 characters
    std::vector<unsigned char> chunk;
};

std::vector<unsigned char> SerializeFxPreset(const FxPreset& preset);
[[nodiscard]] bool ParseFxPreset(const std::vector<unsigned char>& data, FxPreset& preset,
                                 std::string& error);

} // namespace ferrovane::host
