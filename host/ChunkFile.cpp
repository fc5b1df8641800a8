#include "ChunkFile.h"

#include "BinaryFile.h"
#include "FxPreset.h"
#include "VstHost.h"

#include <cstring>
#include <vector>

namespace ferrovane::host {

namespace {

bool EndsWith(const std::string& s, const char* tail) {
    size_t n = strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

} // namespace

bool LoadChunk(VstHost& host, const std::string& path, bool bank, std::string& error,
               VstInt32* currentProgram) {
    std::vector<unsigned char> data;
    if (!ReadFile(path, data, error)) return false;
    if (EndsWith(path, ".fxb") || EndsWith(path, ".fxp")) {
        FxPreset preset;
        if (!ParseFxPreset(data, preset, error)) {
            error = path + ": " + error;
            return false;
        }
        if (preset.bank != bank || preset.pluginId != host.Effect()->uniqueID) {
            error = path + " is not a " + (bank ? "bank" : "program") + " of this plugin";
            return false;
        }
        data = preset.chunk;
        if (bank && currentProgram) *currentProgram = preset.currentProgram;
    }
    if (host.Dispatch(effSetChunk, bank ? 0 : 1, static_cast<VstIntPtr>(data.size()),
                      data.data()) != 1) {
        error = "the plugin refused the chunk in " + path;
        return false;
    }
    return true;
}

bool SaveChunk(VstHost& host, const std::string& path, bool bank, std::string& error) {
    void* data = nullptr;
    VstIntPtr size = host.Dispatch(effGetChunk, bank ? 0 : 1, 0, &data);
    if (size <= 0 || !data) {
        error = "the plugin gave no chunk";
        return false;
    }
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::vector<unsigned char> chunk(bytes, bytes + size);
    if (EndsWith(path, ".fxb") || EndsWith(path, ".fxp")) {
        FxPreset preset;
        preset.bank = bank;
        preset.pluginId = host.Effect()->uniqueID;
        preset.pluginVersion = host.Effect()->version;
        preset.numPrograms = bank ? host.Effect()->numPrograms : host.Effect()->numParams;
        preset.currentProgram = static_cast<VstInt32>(host.Dispatch(effGetProgram));
        char name[256] = {};
        host.Dispatch(effGetProgramName, 0, 0, name);
        preset.name = name;
        preset.chunk = std::move(chunk);
        chunk = SerializeFxPreset(preset);
    }
    return WriteFile(path, chunk, error);
}

} // namespace ferrovane::host
