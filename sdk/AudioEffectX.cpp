#include "AudioEffectX.h"

#include "AEffEditor.h"

struct AudioEffectX::Opcodes {
    using Handler = VstIntPtr (*)(AudioEffectX&, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt);
    static char* text(void* ptr) { return static_cast<char*>(ptr); }

    static VstIntPtr processEvents(AudioEffectX& a, VstInt32, VstIntPtr, void* ptr, float) {
        return ptr ? a.processEvents(static_cast<VstEvents*>(ptr)) : 0;
    }
    static VstIntPtr canBeAutomated(AudioEffectX& a, VstInt32 index, VstIntPtr, void*, float) {
        return a.canParameterBeAutomated(index) ? 1 : 0;
    }
    static VstIntPtr string2Parameter(AudioEffectX& a, VstInt32 index, VstIntPtr, void* ptr,
                                      float) {
        return a.string2parameter(index, text(ptr)) ? 1 : 0;
    }
    static VstIntPtr numProgramCategories(AudioEffectX& a, VstInt32, VstIntPtr, void*, float) {
        return a.getNumCategories();
    }
    static VstIntPtr programNameIndexed(AudioEffectX& a, VstInt32 index, VstIntPtr value, void* ptr,
                                        float) {
        if (!ptr) return 0;
        return a.getProgramNameIndexed(static_cast<VstInt32>(value), index, text(ptr)) ? 1 : 0;
    }
    static VstIntPtr copyProgram(AudioEffectX& a, VstInt32 index, VstIntPtr, void*, float) {
        return a.copyProgram(index) ? 1 : 0;
    }
    static VstIntPtr connectInput(AudioEffectX& a, VstInt32 index, VstIntPtr value, void*, float) {
        a.inputConnected(index, value != 0);
        return 1;
    }
    static VstIntPtr connectOutput(AudioEffectX& a, VstInt32 index, VstIntPtr value, void*, float) {
        a.outputConnected(index, value != 0);
        return 1;
    }
    static VstIntPtr inputProperties(AudioEffectX& a, VstInt32 index, VstIntPtr, void* ptr, float) {
        return ptr && a.getInputProperties(index, ptr) ? 1 : 0;
    }
    static VstIntPtr outputProperties(AudioEffectX& a, VstInt32 index, VstIntPtr, void* ptr,
                                      float) {
        return ptr && a.getOutputProperties(index, ptr) ? 1 : 0;
    }
    static VstIntPtr plugCategory(AudioEffectX& a, VstInt32, VstIntPtr, void*, float) {
        return a.getPlugCategory();
    }
    static VstIntPtr blockSizeAndSampleRate(AudioEffectX& a, VstInt32, VstIntPtr value, void*,
                                            float opt) {
        a.setBlockSizeAndSampleRate(static_cast<VstInt32>(value), opt);
        return 1;
    }
    static VstIntPtr bypass(AudioEffectX& a, VstInt32, VstIntPtr value, void*, float) {
        return a.setBypass(value != 0) ? 1 : 0;
    }
    static VstIntPtr effectName(AudioEffectX& a, VstInt32, VstIntPtr, void* ptr, float) {
        return ptr && a.getEffectName(text(ptr)) ? 1 : 0;
    }
    static VstIntPtr errorText(AudioEffectX& a, VstInt32, VstIntPtr, void* ptr, float) {
        return ptr && a.getErrorText(text(ptr)) ? 1 : 0;
    }
    static VstIntPtr vendorString(AudioEffectX& a, VstInt32, VstIntPtr, void* ptr, float) {
        return ptr && a.getVendorString(text(ptr)) ? 1 : 0;
    }
    static VstIntPtr productString(AudioEffectX& a, VstInt32, VstIntPtr, void* ptr, float) {
        return ptr && a.getProductString(text(ptr)) ? 1 : 0;
    }
    static VstIntPtr vendorVersion(AudioEffectX& a, VstInt32, VstIntPtr, void*, float) {
        return a.getVendorVersion();
    }
    static VstIntPtr vendorSpecific(AudioEffectX& a, VstInt32 index, VstIntPtr value, void* ptr,
                                    float opt) {
        return a.vendorSpecific(index, value, ptr, opt);
    }
    static VstIntPtr canDo(AudioEffectX& a, VstInt32, VstIntPtr, void* ptr, float) {
        return ptr ? a.canDo(text(ptr)) : 0;
    }
    static VstIntPtr tailSize(AudioEffectX& a, VstInt32, VstIntPtr, void*, float) {
        return a.getGetTailSize();
    }
    static VstIntPtr parameterProperties(AudioEffectX& a, VstInt32 index, VstIntPtr, void* ptr,
                                         float) {
        return ptr && a.getParameterProperties(index, ptr) ? 1 : 0;
    }
    // The answer means "the plugin needs no keys".
    static VstIntPtr keysRequired(AudioEffectX&, VstInt32, VstIntPtr, void*, float) { return 1; }
    static VstIntPtr vstVersion(AudioEffectX& a, VstInt32, VstIntPtr, void*, float) {
        return a.getVstVersion();
    }
    static VstIntPtr editKeyDown(AudioEffectX& a, VstInt32 index, VstIntPtr value, void*,
                                 float opt) {
        if (!a.editor) return 0;
        VstKeyCode key{index, static_cast<unsigned char>(value), static_cast<unsigned char>(opt)};
        return a.editor->onKeyDown(key);
    }
    static VstIntPtr editKeyUp(AudioEffectX& a, VstInt32 index, VstIntPtr value, void*, float opt) {
        if (!a.editor) return 0;
        VstKeyCode key{index, static_cast<unsigned char>(value), static_cast<unsigned char>(opt)};
        return a.editor->onKeyUp(key);
    }
    static VstIntPtr editKnobMode(AudioEffectX& a, VstInt32, VstIntPtr value, void*, float) {
        return a.editor ? a.editor->setKnobMode(static_cast<VstInt32>(value)) : 0;
    }
    static VstIntPtr midiProgramName(AudioEffectX& a, VstInt32 index, VstIntPtr, void* ptr, float) {
        return ptr ? a.getMidiProgramName(index, ptr) : 0;
    }
    static VstIntPtr currentMidiProgram(AudioEffectX& a, VstInt32 index, VstIntPtr, void* ptr,
                                        float) {
        return ptr ? a.getCurrentMidiProgram(index, ptr) : -1;
    }
    static VstIntPtr midiProgramCategory(AudioEffectX& a, VstInt32 index, VstIntPtr, void* ptr,
                                         float) {
        return ptr ? a.getMidiProgramCategory(index, ptr) : 0;
    }
    static VstIntPtr midiProgramsChanged(AudioEffectX& a, VstInt32 index, VstIntPtr, void*, float) {
        return a.hasMidiProgramsChanged(index) ? 1 : 0;
    }
    static VstIntPtr midiKeyName(AudioEffectX& a, VstInt32 index, VstIntPtr, void* ptr, float) {
        return ptr && a.getMidiKeyName(index, ptr) ? 1 : 0;
    }
    static VstIntPtr beginSetProgram(AudioEffectX& a, VstInt32, VstIntPtr, void*, float) {
        return a.beginSetProgram() ? 1 : 0;
    }
    static VstIntPtr endSetProgram(AudioEffectX& a, VstInt32, VstIntPtr, void*, float) {
        return a.endSetProgram() ? 1 : 0;
    }
    static VstIntPtr startProcess(AudioEffectX& a, VstInt32, VstIntPtr, void*, float) {
        return a.startProcess();
    }
    static VstIntPtr stopProcess(AudioEffectX& a, VstInt32, VstIntPtr, void*, float) {
        return a.stopProcess();
    }
    static VstIntPtr totalSamples(AudioEffectX& a, VstInt32, VstIntPtr value, void*, float) {
        return a.setTotalSampleToProcess(static_cast<VstInt32>(value));
    }
    static VstIntPtr panLaw(AudioEffectX& a, VstInt32, VstIntPtr value, void*, float opt) {
        return a.setPanLaw(static_cast<VstInt32>(value), opt) ? 1 : 0;
    }
    static VstIntPtr loadBank(AudioEffectX& a, VstInt32, VstIntPtr, void* ptr, float) {
        return ptr ? a.beginLoadBank(ptr) : 0;
    }
    static VstIntPtr loadProgram(AudioEffectX& a, VstInt32, VstIntPtr, void* ptr, float) {
        return ptr ? a.beginLoadProgram(ptr) : 0;
    }
    static VstIntPtr processPrecision(AudioEffectX& a, VstInt32, VstIntPtr value, void*, float) {
        return a.setProcessPrecision(static_cast<VstInt32>(value)) ? 1 : 0;
    }

    // Opcodes 25 to 77; null entries (offline, variable io, speaker arrangements, shells,
    // icons) get the default answer 0.
    static constexpr Handler table[effNumOpcodes - effProcessEvents] = {
        processEvents,          // 25
        canBeAutomated,         // 26
        string2Parameter,       // 27
        numProgramCategories,   // 28
        programNameIndexed,     // 29
        copyProgram,            // 30
        connectInput,           // 31
        connectOutput,          // 32
        inputProperties,        // 33
        outputProperties,       // 34
        plugCategory,           // 35
        nullptr,                // 36 GetCurrentPosition
        nullptr,                // 37 GetDestinationBuffer
        nullptr,                // 38 OfflineNotify
        nullptr,                // 39 OfflinePrepare
        nullptr,                // 40 OfflineRun
        nullptr,                // 41 ProcessVarIo
        nullptr,                // 42 SetSpeakerArrangement
        blockSizeAndSampleRate, // 43
        bypass,                 // 44
        effectName,             // 45
        errorText,              // 46
        vendorString,           // 47
        productString,          // 48
        vendorVersion,          // 49
        vendorSpecific,         // 50
        canDo,                  // 51
        tailSize,               // 52
        nullptr,                // 53 Idle
        nullptr,                // 54 GetIcon
        nullptr,                // 55 SetViewPosition
        parameterProperties,    // 56
        keysRequired,           // 57
        vstVersion,             // 58
        editKeyDown,            // 59
        editKeyUp,              // 60
        editKnobMode,           // 61
        midiProgramName,        // 62
        currentMidiProgram,     // 63
        midiProgramCategory,    // 64
        midiProgramsChanged,    // 65
        midiKeyName,            // 66
        beginSetProgram,        // 67
        endSetProgram,          // 68
        nullptr,                // 69 GetSpeakerArrangement
        nullptr,                // 70 ShellGetNextPlugin
        startProcess,           // 71
        stopProcess,            // 72
        totalSamples,           // 73
        panLaw,                 // 74
        loadBank,               // 75
        loadProgram,            // 76
        processPrecision,       // 77
    };
};

AudioEffectX::AudioEffectX(audioMasterCallback audioMaster, VstInt32 numPrograms,
                           VstInt32 numParams)
    : AudioEffect(audioMaster, numPrograms, numParams) {}

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) {
    if (opcode < effProcessEvents || opcode >= effNumOpcodes)
        return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    Opcodes::Handler handler = Opcodes::table[opcode - effProcessEvents];
    return handler ? handler(*this, index, value, ptr, opt) : 0;
}

bool AudioEffectX::getProgramNameIndexed(VstInt32, VstInt32, char*) {
    return false;
}

VstPlugCategory AudioEffectX::getPlugCategory() {
    return (cEffect.flags & effFlagsIsSynth) ? kPlugCategSynth : kPlugCategUnknown;
}

bool AudioEffectX::wantEvents(VstInt32 filter) {
    return callHost(audioMasterWantMidi, 0, filter) == 1;
}

bool AudioEffectX::sendVstEventsToHost(VstEvents* events) {
    return callHost(audioMasterProcessEvents, 0, 0, events) == 1;
}

bool AudioEffectX::sizeWindow(VstInt32 width, VstInt32 height) {
    return callHost(audioMasterSizeWindow, width, height) != 0;
}

bool AudioEffectX::getHostVendorString(char* text) {
    return callHost(audioMasterGetVendorString, 0, 0, text) != 0;
}

bool AudioEffectX::getHostProductString(char* text) {
    return callHost(audioMasterGetProductString, 0, 0, text) != 0;
}

VstInt32 AudioEffectX::getHostVendorVersion() {
    return static_cast<VstInt32>(callHost(audioMasterGetVendorVersion));
}

VstInt32 AudioEffectX::canHostDo(char* text) {
    return static_cast<VstInt32>(callHost(audioMasterCanDo, 0, 0, text));
}

void* AudioEffectX::getDirectory() {
    return reinterpret_cast<void*>(callHost(audioMasterGetDirectory));
}

void* AudioEffectX::getTimeInfo(VstInt32 filter) {
    return reinterpret_cast<void*>(callHost(audioMasterGetTime, 0, filter));
}

VstInt32 AudioEffectX::getHostLanguage() {
    return static_cast<VstInt32>(callHost(audioMasterGetLanguage));
}

bool AudioEffectX::ioChanged() {
    return callHost(audioMasterIOChanged) != 0;
}

bool AudioEffectX::updateDisplay() {
    return callHost(audioMasterUpdateDisplay) != 0;
}

bool AudioEffectX::beginEdit(VstInt32 index) {
    return callHost(audioMasterBeginEdit, index) != 0;
}

bool AudioEffectX::endEdit(VstInt32 index) {
    return callHost(audioMasterEndEdit, index) != 0;
}
