#include "ChunkFile.h"

#include "BinaryFile.h"
#include "FxPreset.h"
#include "Lv2StateFile.h"
#include "VstHost.h"

#include <cstring>
#include <filesystem>
#include <vector>

namespace ferrovane::host {

namespace {

bool EndsWith(const std::string& s, const char* tail) {
    size_t n = strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

bool IsLv2State(const std::string& path, bool bank, std::string& error) {
    if (!EndsWith(path, ".ttl") && !EndsWith(path, ".lv2")) return false;
    if (!bank) error = path + ": an LV2 state holds the whole bank, not one program";
    return true;
}

// The parameters the LV2 plugin keeps as option ports (2 to 4).
constexpr VstInt32 kFirstOption = 2;

} // namespace

bool LoadChunk(VstHost& host, const std::string& path, bool bank, std::string& error,
               VstInt32* currentProgram) {
    std::vector<unsigned char> data;
    if (IsLv2State(path, bank, error)) {
        Lv2State state;
        if (!bank || !ReadLv2State(path, state, error)) return false;
        data = std::move(state.bank);
        if (currentProgram && state.program >= 1) *currentProgram = state.program - 1;
    } else if (!ReadFile(path, data, error)) {
        return false;
    } else if (EndsWith(path, ".fxb") || EndsWith(path, ".fxp")) {
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
    if (IsLv2State(path, bank, error)) {
        if (!bank) return false;
        Lv2State state;
        state.bank = std::move(chunk);
        state.program = static_cast<int>(host.Dispatch(effGetProgram)) + 1;
        for (int i = 0; i < 3; ++i)
            state.options[i] = host.Effect()->getParameter(host.Effect(), kFirstOption + i);
        state.label = std::filesystem::path(path).stem().string();
        return WriteLv2State(path, state, error);
    }
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
