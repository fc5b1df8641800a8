#include "VSTPlugin.h"

#include "PluginParameters.h"
#include "Relaxed.h"
#include "VSTPluginProgramBank.h"

#include <cmath>
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

uint8_t VSTPluginProgram::*OptionField(VstInt32 index) {
    return index >= kParamPresetSwitching && index <= kParamHighlight
               ? kOptionFields[index - kParamPresetSwitching]
               : nullptr;
}

} // namespace

VSTPlugin::VSTPlugin(audioMasterCallback audioMaster, int& loadError)
    : SPlugin(audioMaster, loadError) {
    for (int i = 0; i < kNumPrograms; ++i) {
        char name[kNameLength];
        snprintf(name, sizeof name, "%03i - empty preset", i + 1);
        SetProgramDefaults(programs[i], name);
    }
    SetProgramDefaults(clipboard, "(default)");
    for (int i = 0; i < MidiEventQueue::kCapacity; ++i) {
        outputSlots[i] = VstMidiEvent{kVstMidiType, 24, 0, 0, 0, 0, {}, 0, 0, 0, 0};
        outputEvents.events[i] = reinterpret_cast<VstEvent*>(&outputSlots[i]);
    }
}

// The editor works on the programs: it stops before they go.
VSTPlugin::~VSTPlugin() {
    ShutdownEditor();
}

bool VSTPlugin::ProgramChanged() const {
    return LoadRelaxed(programChanged);
}

// ---- Host GUI thread (and processing, for program changes received as MIDI) ----

void VSTPlugin::setProgram(VstIntPtr index) {
    if (static_cast<uintptr_t>(index) > kNumPrograms - 1) return;
    StoreRelaxed(curProgram, static_cast<VstInt32>(index));
    StoreRelaxed(programChanged, true);
    NotifyEditor();
}

// Keeps the first 47 characters; the host's buffer is never written.
void VSTPlugin::setProgramName(char* name) {
    if (!name) return;
    StoreName(CurrentProgram(), name);
    NotifyEditor();
}

void VSTPlugin::getProgramName(char* text) {
    if (text) LoadName(CurrentProgram(), text);
}

bool VSTPlugin::getProgramNameIndexed(VstInt32, VstInt32 index, char* text) {
    if (!text || index < 0 || index >= kNumPrograms) return false;
    LoadName(programs[index], text);
    return true;
}

float VSTPlugin::getParameter(VstInt32 index) {
    switch (index) {
    case 0:
        return resetFlag ? 1.0f : 0.0f;
    case 1:
        return clearFlag ? 1.0f : 0.0f;
    default:
        if (auto field = OptionField(index))
            return LoadRelaxed(CurrentProgram().*field) > 0 ? 1.0f : 0.0f;
        return 0.0f;
    }
}

void VSTPlugin::setParameter(VstInt32 index, float value) {
    if (!(value >= 0.0f && value <= 1.0f)) return; // out of range, or not a number
    bool on = value > 0.5f;
    if (index == kParamReset || index == kParamClear) {
        bool& flag = index == kParamReset ? resetFlag : clearFlag;
        if (on == flag) return;
        flag = on;
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

void VSTPlugin::getParameterLabel(VstInt32, char* label) {
    if (label) *label = 0;
}

void VSTPlugin::getParameterDisplay(VstInt32 index, char* text) {
    if (!text) return;
    if (index < 0 || index >= kNumParams)
        strcpy(text, "empty");
    else
        strcpy(text, getParameter(index) > 0.5f ? "On" : "Off");
}

void VSTPlugin::getParameterName(VstInt32 index, char* text) {
    if (!text) return;
    strcpy(text, index >= 0 && index < kNumParams ? kParameterNames[index] : "empty");
}

VstInt32 VSTPlugin::getChunk(void** data, bool isPreset) {
    if (!data) return 0;
    // No copy: the host reads the live records.
    *data = isPreset ? static_cast<void*>(&CurrentProgram()) : static_cast<void*>(programs);
    return isPreset ? kProgramSize : kBankSize;
}

VstInt32 VSTPlugin::setChunk(void* data, VstIntPtr byteSize, bool isPreset) {
    VSTPluginProgramBank bank(programs);
    int result =
        isPreset ? bank.readProgram(data, byteSize, CurrentIndex()) : bank.readBank(data, byteSize);
    if (result != 1) return result;
    setProgram(CurrentIndex());
    return 1;
}

// ---- Editor ----

void VSTPlugin::copySelProgram() {
    StoreBody(clipboard, CurrentProgram());
    clipboardFilled = true;
}

void VSTPlugin::pasteSelProgram() {
    if (!clipboardFilled) return;
    StoreRelaxed(programChanged, true);
    StoreBody(CurrentProgram(), clipboard);
    NotifyEditor();
}

void VSTPlugin::SetEditNode(int in, int out) {
    StoreRelaxed(editIn, in);
    StoreRelaxed(editOut, out);
}

} // namespace ferrovane
