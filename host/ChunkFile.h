// The plugin's chunks in files: VST preset files (.fxb for a bank, .fxp for a program), LV2
// states (a .ttl file, or a bundle folder ending in .lv2: banks only) or the raw chunk bytes in
// any other file. A bank moves between the two formats through these.
#pragma once

#include "aeffect.h"

#include <string>

namespace ferrovane::host {

class VstHost;

// Hands the file's chunk to the plugin; false with a reason when the file or the plugin refuses.
// A bank file that names its current program reports it in `currentProgram`.
[[nodiscard]] bool LoadChunk(VstHost& host, const std::string& path, bool bank, std::string& error,
                             VstInt32* currentProgram = nullptr);
// Writes the plugin's current bank or program.
[[nodiscard]] bool SaveChunk(VstHost& host, const std::string& path, bool bank, std::string& error);

} // namespace ferrovane::host
