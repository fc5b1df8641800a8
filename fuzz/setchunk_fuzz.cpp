// Any bytes handed over as a bank or program chunk: loading must stay within the records and
// leave a plugin that still routes.
#include "VSTPlugin.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

VstIntPtr Host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : (opcode == audioMasterProcessEvents ? 1 : 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ferrovane::VSTPlugin* plugin = [] {
        int loadError = 0;
        auto* p = new ferrovane::VSTPlugin(Host, loadError);
        p->resume();
        return p;
    }();
    if (size < 2) return 0;
    // First byte: which chunk and which claimed size; the rest is the chunk itself. Sizes the
    // format accepts are favoured so that the loading paths are reached.
    static const VstIntPtr sizes[] = {566, 598, 600, 72484, 76544, 80000};
    const uint8_t how = data[0];
    std::vector<uint8_t> chunk(data + 1, data + size);
    VstIntPtr claimed = how & 0x80 ? static_cast<VstIntPtr>(chunk.size()) : sizes[(how & 0x7F) % 6];
    if (static_cast<size_t>(claimed) > chunk.size()) chunk.resize(claimed, how);
    AEffect* e = plugin->getAeffect();
    e->dispatcher(e, effSetProgram, 0, how & 0x7F, nullptr, 0.0f);
    e->dispatcher(e, effSetChunk, (how >> 6) & 1, claimed, chunk.data(), 0.0f);

    char name[64];
    for (int i = 0; i < ferrovane::kNumPrograms; ++i)
        e->dispatcher(e, effGetProgramNameIndexed, i, 0, name, 0.0f);
    VstMidiEvent note{
        kVstMidiType, 24, 0, 0, 0, 0, {char(0x90 | (how & 15)), 60, 100, 0}, 0, 0, 0, 0};
    struct {
        VstInt32 n;
        VstIntPtr reserved;
        VstEvent* events[2];
    } block{1, 0, {reinterpret_cast<VstEvent*>(&note), nullptr}};
    float buffer[8] = {};
    float* io[2] = {buffer, buffer};
    e->dispatcher(e, effProcessEvents, 0, 0, &block, 0.0f);
    e->processReplacing(e, io, io, 8);
    return 0;
}
