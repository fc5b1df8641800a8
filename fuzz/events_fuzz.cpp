// Any MIDI bytes, delta frames, byte sizes and block lengths through processEvents and processing,
// with parameter and program changes in between.
#include "VSTPlugin.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

unsigned checksum; // what the host read, so the reads are not optimised away

VstIntPtr Host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
    if (opcode == audioMasterVersion) return 2400;
    if (opcode == audioMasterProcessEvents) {
        // Read every event the plugin sends, as a host would.
        auto* events = static_cast<VstEvents*>(ptr);
        VstEvent* const* list = events->events;
        for (VstInt32 i = 0; i < events->numEvents; ++i)
            checksum += static_cast<unsigned>(list[i]->deltaFrames);
        return 1;
    }
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int loadError = 0;
    ferrovane::VSTPlugin plugin(Host, loadError);
    AEffect* e = plugin.getAeffect();
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
    static float buffer[2][4096];
    float* io[2] = {buffer[0], buffer[1]};
    // Each record of 12 bytes: 4 MIDI/flag bytes, delta frames, byte size, and a control byte that
    // ends the block, switches options or edits the matrix.
    std::vector<VstMidiEvent> events;
    for (size_t at = 0; at + 12 <= size; at += 12) {
        const uint8_t* r = data + at;
        VstMidiEvent ev{};
        ev.type = r[11] & 0x40 ? kVstSysExType : kVstMidiType;
        memcpy(ev.midiData, r, 4);
        memcpy(&ev.deltaFrames, r + 4, 4);
        ev.byteSize = static_cast<int8_t>(r[8]) * 1000;
        events.push_back(ev);
        const uint8_t control = r[11];
        if (control & 0x01) e->setParameter(e, 2, (control & 0x02) ? 1.0f : 0.0f);
        if (control & 0x04) {
            plugin.Engine().CurrentProgram().routing[r[9] & 15][r[10] & 15] =
                control & 0x08 ? 0xFFFF : 0;
            plugin.Engine().SetEditNode(r[9] & 15, r[10] & 15);
            e->setParameter(e, 6, 0.0f);
        }
        if (control & 0x10)
            e->dispatcher(e, effMainsChanged, 0, (control & 0x20) != 0, nullptr, 0.0f);
        if (control & 0x80 || at + 24 > size) {
            std::vector<VstEvent*> pointers;
            for (VstMidiEvent& m : events)
                pointers.push_back(reinterpret_cast<VstEvent*>(&m));
            std::vector<VstIntPtr> block(2 + pointers.size() + 2);
            auto* list = reinterpret_cast<VstEvents*>(block.data());
            list->numEvents = static_cast<VstInt32>(pointers.size());
            VstEvent** slots = list->events;
            memcpy(slots, pointers.data(), pointers.size() * sizeof(VstEvent*));
            e->dispatcher(e, effProcessEvents, 0, 0, list, 0.0f);
            VstInt32 frames = (r[9] | r[10] << 8) & 4095;
            if (r[10] & 0x80)
                e->process(e, io, io, frames);
            else
                e->processReplacing(e, io, io, frames);
            events.clear();
        }
    }
    return 0;
}
