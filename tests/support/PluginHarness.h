// Ways to drive the plugin in tests: the built shared object through the stand-in host, or the
// plugin object linked in directly for the operations only the editor reaches.
#pragma once

#include "LoadedPlugin.h"
#include "SIEditorFactory.h"
#include "VSTPlugin.h"
#include "VSTPluginProgram.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace ferrovane::test {

// The plugin object linked into the test, driven through its record like the real one; with an
// editor when the test gives the editor factory.
struct DirectPlugin {
    explicit DirectPlugin(SIEditorFactory* editor = nullptr) {
        SetEditorFactory(editor);
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
