#include "FxPreset.h"

#include <cstddef>
#include <cstring>

namespace ferrovane::host {

namespace {

constexpr size_t kProgramHeader = 60; // up to and including the chunk size
constexpr size_t kBankHeader = 160;
constexpr size_t kNameField = 28;

void PutBe(std::vector<unsigned char>& out, uint32_t v) {
    for (int i = 3; i >= 0; --i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

uint32_t GetBe(const std::vector<unsigned char>& in, size_t at) {
    return uint32_t(in[at]) << 24 | uint32_t(in[at + 1]) << 16 | uint32_t(in[at + 2]) << 8 |
           uint32_t(in[at + 3]);
}

} // namespace

std::vector<unsigned char> SerializeFxPreset(const FxPreset& p) {
    std::vector<unsigned char> out;
    PutBe(out, static_cast<uint32_t>(vstFourCC("CcnK")));
    PutBe(out, 0); // size of what follows, filled in below
    PutBe(out, static_cast<uint32_t>(vstFourCC(p.bank ? "FBCh" : "FPCh")));
    PutBe(out, p.bank ? 2 : 1);
    PutBe(out, static_cast<uint32_t>(p.pluginId));
    PutBe(out, static_cast<uint32_t>(p.pluginVersion));
    PutBe(out, static_cast<uint32_t>(p.numPrograms));
    if (p.bank) {
        PutBe(out, static_cast<uint32_t>(p.currentProgram));
        out.resize(out.size() + 124, 0);
    } else {
        std::string name = p.name.substr(0, kNameField - 1);
        out.insert(out.end(), name.begin(), name.end());
        out.resize(out.size() + kNameField - name.size(), 0);
    }
    PutBe(out, static_cast<uint32_t>(p.chunk.size()));
    out.insert(out.end(), p.chunk.begin(), p.chunk.end());
    uint32_t rest = static_cast<uint32_t>(out.size() - 8);
    for (int i = 0; i < 4; ++i)
        out[4 + i] = static_cast<unsigned char>(rest >> (8 * (3 - i)));
    return out;
}

bool ParseFxPreset(const std::vector<unsigned char>& data, FxPreset& p, std::string& error) {
    if (data.size() < kProgramHeader || GetBe(data, 0) != uint32_t(vstFourCC("CcnK"))) {
        error = "not a VST preset file";
        return false;
    }
    uint32_t magic = GetBe(data, 8);
    if (magic == uint32_t(vstFourCC("FxCk")) || magic == uint32_t(vstFourCC("FxBk"))) {
        error = "a preset of parameter values; this plugin keeps its presets as chunks";
        return false;
    }
    if (magic != uint32_t(vstFourCC("FPCh")) && magic != uint32_t(vstFourCC("FBCh"))) {
        error = "unknown kind of VST preset";
        return false;
    }
    p.bank = magic == uint32_t(vstFourCC("FBCh"));
    size_t header = p.bank ? kBankHeader : kProgramHeader;
    if (data.size() < header) {
        error = "truncated VST preset file";
        return false;
    }
    p.pluginId = static_cast<VstInt32>(GetBe(data, 16));
    p.pluginVersion = static_cast<VstInt32>(GetBe(data, 20));
    p.numPrograms = static_cast<VstInt32>(GetBe(data, 24));
    if (p.bank) {
        p.currentProgram = GetBe(data, 12) >= 2 ? static_cast<VstInt32>(GetBe(data, 28)) : 0;
        p.name.clear();
    } else {
        const char* name = reinterpret_cast<const char*>(&data[28]);
        p.name.assign(name, strnlen(name, kNameField));
    }
    uint32_t size = GetBe(data, header - 4);
    if (size > data.size() - header) {
        error = "the preset's chunk is longer than the file";
        return false;
    }
    const auto chunk = data.begin() + static_cast<std::ptrdiff_t>(header);
    p.chunk.assign(chunk, chunk + size);
    return true;
}

} // namespace ferrovane::host
