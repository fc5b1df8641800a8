// Any bytes as the LV2 plugin's MIDI input sequence, with control values and saved states in
// between: the walk must stay within the sequence, the output within the host's room, and the
// plugin must still route.
#include "Lv2Plugin.h"

#include <lv2/midi/midi.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using ferrovane::lv2::Lv2Plugin;

std::vector<std::string> uris;

LV2_URID Map(LV2_URID_Map_Handle, const char* uri) {
    for (size_t i = 0; i < uris.size(); ++i)
        if (uris[i] == uri) return static_cast<LV2_URID>(i + 1);
    uris.emplace_back(uri);
    return static_cast<LV2_URID>(uris.size());
}

// The state a restore is given: one bank of the record's bytes, one program.
struct Saved {
    const uint8_t* bank;
    size_t size;
    int32_t program;
};

const void* Retrieve(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type,
                     uint32_t* flags) {
    const auto* saved = static_cast<const Saved*>(handle);
    *flags = LV2_STATE_IS_POD;
    if (key == Map(nullptr, ferrovane::lv2::kBankKey)) {
        *size = saved->size;
        *type = Map(nullptr, LV2_ATOM__Chunk);
        return saved->bank;
    }
    *size = sizeof saved->program;
    *type = Map(nullptr, LV2_ATOM__Int);
    return &saved->program;
}

} // namespace

// First byte: what happens besides the run (a restore from the rest, a control moved); then the
// block's length; the rest is the input sequence's body.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    static LV2_URID_Map map{nullptr, Map};
    static Lv2Plugin* plugin = new Lv2Plugin(map);
    static uint64_t in[4096], out[64], notify[8];
    static float controls[6];
    const uint8_t how = data[0];
    const uint32_t frames = data[1] * 4u;
    const size_t body = size - 2 < sizeof in - sizeof(LV2_Atom) ? size - 2 : sizeof in - 8;
    auto* seq = reinterpret_cast<LV2_Atom_Sequence*>(in);
    seq->atom = LV2_Atom{static_cast<uint32_t>(body), Map(nullptr, LV2_ATOM__Sequence)};
    memcpy(&seq->body, data + 2, body);
    if (how & 0x80) {
        const Saved saved{data + 2, size - 2, static_cast<int32_t>(how & 0x7F)};
        plugin->Restore(Retrieve, const_cast<Saved*>(&saved));
    }
    controls[how % 6] = static_cast<float>(how & 0x0F) / 8.0f;
    plugin->ConnectPort(ferrovane::lv2::kMidiIn, in);
    plugin->ConnectPort(ferrovane::lv2::kMidiOut, out);
    plugin->ConnectPort(ferrovane::lv2::kNotify, how & 0x40 ? nullptr : notify);
    for (uint32_t port = 0; port < 6; ++port)
        plugin->ConnectPort(ferrovane::lv2::kFirstParameter + port, &controls[port]);
    for (uint64_t* room : {out, notify})
        reinterpret_cast<LV2_Atom*>(room)->size = static_cast<uint32_t>(
            (room == out ? sizeof out : sizeof notify) - sizeof(LV2_Atom));
    plugin->Run(frames);
    if (how & 0x20) plugin->Deactivate();
    return 0;
}
