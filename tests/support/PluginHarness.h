// Ways to drive the plugin in tests: the built shared object through the stand-in host, or the
// plugin object linked in directly for the operations only the editor reaches.
#pragma once

#include "VSTPlugin.h"
#include "VSTPluginProgram.h"
#include "VstHost.h"

#include <gtest/gtest.h>

#include <cstring>
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

// The plugin object linked into the test, driven through its record like the real one.
struct DirectPlugin {
    DirectPlugin() {
        host.Create(
            [](audioMasterCallback callback, void* self) {
                int loadError = 0;
                auto* p = new VSTPlugin(callback, loadError);
                static_cast<DirectPlugin*>(self)->plugin = p;
                return p->getAeffect();
            },
            this);
    }
    AEffect* effect() { return host.Effect(); }
    VstHost host;
    VSTPlugin* plugin = nullptr;
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

// A program record with the default contents, to edit and hand over as a chunk.
inline VSTPluginProgram DefaultProgram(const char* name = "test program") {
    VSTPluginProgram p;
    memset(&p, 0, sizeof p);
    SetProgramDefaults(p, name);
    return p;
}

inline VstIntPtr LoadProgramChunk(VstHost& host, const void* data, VstIntPtr size) {
    return host.Dispatch(effSetChunk, 1, size, const_cast<void*>(data));
}

inline VSTPluginProgram CurrentProgramChunk(VstHost& host) {
    void* data = nullptr;
    VSTPluginProgram p;
    EXPECT_EQ(host.Dispatch(effGetChunk, 1, 0, &data), kProgramSize);
    memcpy(&p, data, sizeof p);
    return p;
}

} // namespace ferrovane::test
