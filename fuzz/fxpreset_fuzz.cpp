// Any bytes read as a VST preset file (.fxp, .fxb), as the host reads a bank or a program: the
// parser stays within the data, and a preset it took is written back and read again the same.
#include "FxPreset.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using ferrovane::host::FxPreset;
    FxPreset preset, again;
    std::string error;
    if (!ferrovane::host::ParseFxPreset(std::vector<unsigned char>(data, data + size), preset,
                                        error))
        return 0;
    if (!ferrovane::host::ParseFxPreset(ferrovane::host::SerializeFxPreset(preset), again, error))
        abort();
    // The file's name field holds 28 bytes, the last of them the terminating zero.
    const std::string name = preset.name.substr(0, 27);
    if (again.bank != preset.bank || again.pluginId != preset.pluginId ||
        again.pluginVersion != preset.pluginVersion || again.numPrograms != preset.numPrograms ||
        again.currentProgram != preset.currentProgram || again.name != name ||
        again.chunk != preset.chunk)
        abort();
    return 0;
}
