// The built shared object in the stand-in host, and what a test reads of its answers and its
// MIDI. Nothing of the plugin is linked in.
#pragma once

#include "VstHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ferrovane::test {

using host::HostAnswers;
using host::MidiEvent;
using host::VstHost;

// The shared object, loaded and instantiated the way a host does it.
struct LoadedPlugin {
    explicit LoadedPlugin(HostAnswers answers = {}) : host(std::move(answers)) {
        EXPECT_TRUE(host.Load(FERROVANE_PLUGIN_PATH)) << host.Error();
        effect = host.Instantiate();
        EXPECT_NE(effect, nullptr);
    }
    VstHost host;
    AEffect* effect = nullptr;
};

inline std::string Text(VstHost& host, VstInt32 opcode, VstInt32 index = 0) {
    char buffer[256] = {};
    host.Dispatch(opcode, index, 0, buffer);
    return buffer;
}

inline unsigned char Status(const VstMidiEvent& e) {
    return static_cast<unsigned char>(e.midiData[0]);
}
inline unsigned char Data1(const VstMidiEvent& e) {
    return static_cast<unsigned char>(e.midiData[1]);
}
inline unsigned char Data2(const VstMidiEvent& e) {
    return static_cast<unsigned char>(e.midiData[2]);
}

// (status, data 1, data 2) of each event, for compact expectations.
inline std::vector<std::vector<int>> Bytes(const std::vector<VstMidiEvent>& events) {
    std::vector<std::vector<int>> out;
    for (const VstMidiEvent& e : events)
        out.push_back({Status(e), Data1(e), Data2(e)});
    return out;
}

} // namespace ferrovane::test
