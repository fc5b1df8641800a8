#include "SPlugin.h"

#include "HostApp.h"
#include "PluginParameters.h"
#include "Relaxed.h"
#include "SBrokenPipeScope.h"
#include "SFilePath.h"
#include "SIEditorFactory.h"
#include "SIPluginEditor.h"

#include <cstring>
#include <vector>

namespace ferrovane {

using zell::threading::LoadRelaxed;
using zell::threading::StoreRelaxed;

// The four editor opcodes the plugin answers itself; every other opcode goes to the SDK layer.
struct SPlugin::EditorOpcodes {
    using Handler = VstIntPtr (*)(SPlugin&, VstIntPtr value, void* ptr);

    // The size at the editor's scale, which the host sizes its window by before it opens it.
    static VstIntPtr getRect(SPlugin& p, VstIntPtr, void* ptr) {
        if (!ptr) return 0;
        if (p.pluginEditor) {
            zell::threading::SBrokenPipeScope quiet; // the scale may ask the X server
            p.pluginEditor->AnnounceSize();
        }
        *static_cast<ERect**>(ptr) = &p.editorRect;
        return reinterpret_cast<VstIntPtr>(&p.editorRect);
    }
    // Opening and closing write to an X server that may have just gone: its SIGPIPE is ours.
    static VstIntPtr open(SPlugin& p, VstIntPtr value, void* ptr) {
        if (!ptr || !p.pluginEditor) return 0;
        zell::threading::SBrokenPipeScope quiet;
        // Without any X connection there is nothing to draw on.
        if (!p.editorFactory->AdoptHostDisplay(p.globals.get(), reinterpret_cast<void*>(value)))
            return 0;
        p.pluginEditor->open(ptr);
        return 1;
    }
    static VstIntPtr close(SPlugin& p, VstIntPtr, void*) {
        if (p.pluginEditor) {
            zell::threading::SBrokenPipeScope quiet;
            p.pluginEditor->close();
        }
        p.TellHost();
        return 1;
    }
    // The editor drives its own idle pass; the host's idle is where it hears of the user's
    // changes, on its own GUI thread.
    static VstIntPtr idle(SPlugin& p, VstIntPtr, void*) {
        p.TellHost();
        return 0;
    }

    struct Entry {
        VstInt32 opcode;
        Handler handler;
    };
    static constexpr Entry table[] = {
        {effEditGetRect, getRect},
        {effEditOpen, open},
        {effEditClose, close},
        {effEditIdle, idle},
    };
};

SPlugin::SPlugin(audioMasterCallback audioMaster, int& loadError)
    : AudioEffectX(audioMaster, 128, 5), editorFactory(EditorFactory()) {
    if (editorFactory) {
        globals = editorFactory->CreateGlobals();
        pluginEditor = editorFactory->CreateEditor(&engine, this, globals.get(), loadError);
    }
    if (pluginEditor) engine.AttachEditor(pluginEditor.get());
    setEditor(pluginEditor ? &sdkEditor : nullptr);
    isSynth(true);
    setUniqueID(kUniqueID);
    setNumInputs(2);
    setNumOutputs(2);
    canProcessReplacing(true);
    hasVu(false);
    hasClip(false);
    programsAreChunks(true);
    canMono(true);
}

SPlugin::~SPlugin() {
    zell::threading::SBrokenPipeScope quiet; // the editor's windows go
    ShutdownEditor();
    engine.DetachEditor(pluginEditor.get());
    effectNameString.reset();
    directoryString.reset();
    // The editor goes first: closing its window writes to the globals.
    pluginEditor.reset();
    if (editorFactory) editorFactory->ReleaseHostDisplay(globals.get());
    globals.reset();
}

VstIntPtr SPlugin::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                              float opt) {
    for (const EditorOpcodes::Entry& e : EditorOpcodes::table)
        if (e.opcode == opcode) return e.handler(*this, value, ptr);
    return AudioEffectX::dispatcher(opcode, index, value, ptr, opt);
}

bool SPlugin::getEffectName(char* text) {
    strcpy(text, kProductName);
    return true;
}

bool SPlugin::getVendorString(char* text) {
    strcpy(text, kVendorDomain);
    return true;
}

bool SPlugin::getProductString(char* text) {
    strcpy(text, kProductName);
    return true;
}

VstInt32 SPlugin::canDo(char* text) {
    static const char* const abilities[] = {
        "sendVstMidiEvent",    "sendVstEvents",      "receiveVstEvents",
        "receiveVstMidiEvent", "receiveVstTimeInfo",
    };
    if (!text) return -1;
    for (const char* ability : abilities)
        if (strcmp(text, ability) == 0) return 1;
    return -1;
}

const char* SPlugin::PluginHostName() const {
    return pluginEditor ? HostAppName(pluginEditor->HostApp()) : "";
}

void SPlugin::ShutdownEditor() {
    if (pluginEditor) pluginEditor->Shutdown();
}

// A changed parameter is announced as an edit of it (begin, automate, end); a change only the
// chunk holds as a display update. Hosts that count only automation as a modification get an
// unchanged option value with it; the actions (Reset, Clear) are never announced as
// automation, so no host records them.
void SPlugin::TellHost() {
    const uint32_t changes =
        engine.TakeUserChanges(SIEngine::kParameterChanges | SIEngine::kStateChanged);
    if (!changes) return;
    bool automated = false;
    for (VstInt32 i = 0; i < cEffect.numParams; ++i) {
        if (!(changes & (1u << i))) continue;
        beginEdit(i);
        callHost(audioMasterAutomate, i, 0, nullptr, getParameter(i));
        endEdit(i);
        automated = true;
    }
    if (!(changes & SIEngine::kStateChanged)) return;
    updateDisplay();
    if (!automated) callHost(audioMasterAutomate, kParamGrid, 0, nullptr, getParameter(kParamGrid));
}

void SPlugin::suspend() {
    StoreRelaxed(suspended, true);
}

void SPlugin::resume() {
    if (!effectNameString) {
        char name[64] = {};
        getEffectName(name);
        effectNameString = std::make_unique<zell::data::datastring<32, char>>(name);
    }
    if (!directoryString) {
        directoryString = std::make_unique<zell::data::datastring<32, char>>();
        if (const char* path = static_cast<const char*>(getDirectory())) {
            std::vector<char> dir(strlen(path) + 1, 0);
            zell::file::SFilePath::GetDir(dir.data(), path, -1);
            *directoryString = dir.data();
        }
    }
    wantEvents(1);
    StoreRelaxed(suspended, false);
}

bool SPlugin::IsSuspended() const {
    return LoadRelaxed(suspended);
}

// ---- The editor's host (host GUI thread) ----

void SPlugin::HostStrings(char* vendor, char* product) {
    getHostVendorString(vendor);
    getHostProductString(product);
}

int SPlugin::HostVersion() {
    return getHostVendorVersion();
}

bool SPlugin::HostSizesWindow() {
    char ability[] = "sizeWindow";
    return canHostDo(ability) == 1;
}

bool SPlugin::RequestWindowSize(int width, int height) {
    return sizeWindow(width, height);
}

void SPlugin::ReportEditorSize(int width, int height) {
    editorRect = ERect{0, 0, static_cast<VstInt16>(height), static_cast<VstInt16>(width)};
}

const char* SPlugin::EffectName() {
    return effectNameString ? effectNameString->Text() : nullptr;
}

const char* SPlugin::Directory() {
    return directoryString ? directoryString->Text() : nullptr;
}

// The VST 2.x licence asks for it wherever the plugin shows its name.
const char* SPlugin::FormatNotice() {
    return "VST Plugin Technology by Steinberg";
}

} // namespace ferrovane
