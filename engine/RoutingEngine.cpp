// The engine's programs, parameters and chunks, and what it tells the editor.
#include "RoutingEngine.h"

#include "PluginParameters.h"
#include "Relaxed.h"
#include "SIPluginEditor.h"
#include "VSTPluginProgramBank.h"

#include <cstdio>
#include <cstring>

namespace ferrovane {

using zell::threading::LoadRelaxed;
using zell::threading::StoreRelaxed;

namespace {

const char* const kParameterNames[kNumParams] = {
    "AC: Reset", "AC: Clear", "OP: Presetchange", "OP: Grid", "OP: Highlight",
};

// Parameters 2 to 4 are option bytes that travel in every program.
uint8_t VSTPluginProgram::*const kOptionFields[] = {
    &VSTPluginProgram::presetSwitching,
    &VSTPluginProgram::grid,
    &VSTPluginProgram::highlight,
};

uint8_t VSTPluginProgram::*OptionField(int32_t index) {
    return index >= kParamPresetSwitching && index <= kParamHighlight
               ? kOptionFields[index - kParamPresetSwitching]
               : nullptr;
}

} // namespace

RoutingEngine::RoutingEngine() {
    for (int i = 0; i < kNumPrograms; ++i) {
        char name[kNameLength];
        snprintf(name, sizeof name, "%03i - empty preset", i + 1);
        SetProgramDefaults(programs[i], name);
    }
    SetProgramDefaults(clipboard, "(default)");
}

RoutingEngine::~RoutingEngine() {
    if (noteLock.IsLocked()) noteLock.Unlock();
}

int32_t RoutingEngine::getProgram() const {
    return LoadRelaxed(curProgram);
}

bool RoutingEngine::ProgramChanged() const {
    return LoadRelaxed(programChanged);
}

// ---- Host GUI thread (and processing, for program changes received as MIDI) ----

void RoutingEngine::setProgram(intptr_t index) {
    if (static_cast<uintptr_t>(index) > kNumPrograms - 1) return;
    StoreRelaxed(curProgram, static_cast<int32_t>(index));
    StoreRelaxed(programChanged, true);
    NotifyEditor();
}

void RoutingEngine::setProgramName(const char* name) {
    if (!name) return;
    StoreName(CurrentProgram(), name);
    NotifyEditor();
}

void RoutingEngine::getProgramName(char* text) {
    if (text) LoadName(CurrentProgram(), text);
}

bool RoutingEngine::getProgramNameIndexed(int32_t index, char* text) {
    if (!text || index < 0 || index >= kNumPrograms) return false;
    LoadName(programs[index], text);
    return true;
}

float RoutingEngine::getParameter(int32_t index) {
    switch (index) {
    case kParamReset:
        return LoadRelaxed(resetFlag) ? 1.0f : 0.0f;
    case kParamClear:
        return LoadRelaxed(clearFlag) ? 1.0f : 0.0f;
    default:
        if (auto field = OptionField(index))
            return LoadRelaxed(CurrentProgram().*field) > 0 ? 1.0f : 0.0f;
        return 0.0f;
    }
}

void RoutingEngine::setParameter(int32_t index, float value) {
    if (!(value >= 0.0f && value <= 1.0f)) return; // out of range, or not a number
    bool on = value > 0.5f;
    if (index == kParamReset || index == kParamClear) {
        bool& flag = index == kParamReset ? resetFlag : clearFlag;
        if (on == LoadRelaxed(flag)) return;
        StoreRelaxed(flag, on);
        if (on) {
            VSTPluginProgram& p = CurrentProgram();
            if (index == kParamReset)
                SetIdentityRouting(p);
            else
                ClearRouting(p);
            StoreRelaxed(p.selectedIn, -1);
            StoreRelaxed(p.selectedOut, -1);
            StoreRelaxed(programChanged, true);
        }
    } else if (auto field = OptionField(index)) {
        // The options are global settings kept in every program; program 0 decides.
        if (on == (LoadRelaxed(programs[0].*field) > 0)) return;
        for (VSTPluginProgram& p : programs)
            StoreRelaxed(p.*field, on ? 1 : 0);
    } else if (index == kParamEditNode || index == kParamConnection) {
        editpoint();
    } else {
        return;
    }
    NotifyEditorIndexed(index);
}

void RoutingEngine::getParameterLabel(int32_t, char* label) {
    if (label) *label = 0;
}

void RoutingEngine::getParameterDisplay(int32_t index, char* text) {
    if (!text) return;
    if (index < 0 || index >= kNumParams)
        strcpy(text, "empty");
    else
        strcpy(text, getParameter(index) > 0.5f ? "On" : "Off");
}

void RoutingEngine::getParameterName(int32_t index, char* text) {
    if (!text) return;
    strcpy(text, index >= 0 && index < kNumParams ? kParameterNames[index] : "empty");
}

int32_t RoutingEngine::getChunk(void** data, bool isPreset) {
    if (!data) return 0;
    *data = isPreset ? static_cast<void*>(&CurrentProgram()) : static_cast<void*>(programs);
    return isPreset ? kProgramSize : kBankSize;
}

int32_t RoutingEngine::setChunk(const void* data, intptr_t byteSize, bool isPreset) {
    VSTPluginProgramBank bank(programs);
    int result =
        isPreset ? bank.readProgram(data, byteSize, CurrentIndex()) : bank.readBank(data, byteSize);
    if (result != 1) return result;
    setProgram(CurrentIndex());
    return 1;
}

// ---- Editor ----

void RoutingEngine::copySelProgram() {
    StoreBody(clipboard, CurrentProgram());
    clipboardFilled = true;
}

void RoutingEngine::pasteSelProgram() {
    if (!clipboardFilled) return;
    StoreRelaxed(programChanged, true);
    StoreBody(CurrentProgram(), clipboard);
    NotifyEditor();
}

void RoutingEngine::SetEditNode(int in, int out) {
    StoreRelaxed(editIn, in);
    StoreRelaxed(editOut, out);
}

void RoutingEngine::AttachEditor(SIPluginEditor* e) {
    editorLock.Lock();
    editor.store(e);
    editorLock.Unlock();
}

void RoutingEngine::DetachEditor(SIPluginEditor* e) {
    editorLock.Lock();
    if (editor.load() == e) editor.store(nullptr);
    editorLock.Unlock();
}

void RoutingEngine::SetEditorClosed(bool closed) {
    editorLock.Lock();
    editorClosed = closed;
    editorLock.Unlock();
}

// The updates only raise the editor's flags, so they are posted under the lock: an editor being
// taken away (an LV2 UI closing while its plugin runs) waits for the one in progress.
void RoutingEngine::NotifyEditor() {
    if (!editor.load(std::memory_order_relaxed)) return;
    editorLock.Lock();
    if (SIPluginEditor* e = editor.load(); e && !editorClosed) e->postUpdate();
    editorLock.Unlock();
}

void RoutingEngine::NotifyEditorIndexed(int32_t index) {
    if (!editor.load(std::memory_order_relaxed)) return;
    editorLock.Lock();
    if (SIPluginEditor* e = editor.load(); e && !editorClosed) e->postUpdateIndexed(index);
    editorLock.Unlock();
}

void RoutingEngine::UserChangedParameter(int32_t index) {
    if (index >= 0 && index < kNumParams) userChanges.fetch_or(1u << index);
}

void RoutingEngine::UserChangedState() {
    userChanges.fetch_or(kStateChanged);
}

uint32_t RoutingEngine::TakeUserChanges(uint32_t mask) {
    return userChanges.fetch_and(~mask) & mask;
}

} // namespace ferrovane
