// The VST 2.x binary interface: the plugin record, the event records, the opcode numbers.
// Every layout is pinned by static_asserts for i386 and x86_64.
#pragma once

#include <cstddef>
#include <cstdint>

using VstInt16 = int16_t;
using VstInt32 = int32_t;
using VstIntPtr = intptr_t;

struct AEffect;

extern "C" {
using audioMasterCallback = VstIntPtr (*)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                          VstIntPtr value, void* ptr, float opt);
using AEffectDispatcherProc = VstIntPtr (*)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                            VstIntPtr value, void* ptr, float opt);
using AEffectProcessProc = void (*)(AEffect* effect, float** inputs, float** outputs,
                                    VstInt32 sampleFrames);
using AEffectProcessDoubleProc = void (*)(AEffect* effect, double** inputs, double** outputs,
                                          VstInt32 sampleFrames);
using AEffectSetParameterProc = void (*)(AEffect* effect, VstInt32 index, float value);
using AEffectGetParameterProc = float (*)(AEffect* effect, VstInt32 index);
}

// Four-character codes keep the first character in the most significant byte.
constexpr VstInt32 vstFourCC(const char (&c)[5]) {
    return static_cast<VstInt32>((static_cast<uint32_t>(static_cast<unsigned char>(c[0])) << 24) |
                                 (static_cast<uint32_t>(static_cast<unsigned char>(c[1])) << 16) |
                                 (static_cast<uint32_t>(static_cast<unsigned char>(c[2])) << 8) |
                                 static_cast<uint32_t>(static_cast<unsigned char>(c[3])));
}

constexpr VstInt32 kEffectMagic = vstFourCC("VstP");
static_assert(kEffectMagic == 0x56737450);
static_assert(vstFourCC("NvEf") == 0x4E764566);

struct AEffect {
    VstInt32 magic;
    AEffectDispatcherProc dispatcher;
    AEffectProcessProc process;
    AEffectSetParameterProc setParameter;
    AEffectGetParameterProc getParameter;
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 numInputs;
    VstInt32 numOutputs;
    VstInt32 flags;
    VstIntPtr resvd1; // the host's
    VstIntPtr resvd2; // the host's
    VstInt32 initialDelay;
    VstInt32 realQualities;
    VstInt32 offQualities;
    float ioRatio;
    void* object;
    void* user; // the host's
    VstInt32 uniqueID;
    VstInt32 version;
    AEffectProcessProc processReplacing;
    AEffectProcessDoubleProc processDoubleReplacing;
    char future[56];
};

enum VstAEffectFlags : VstInt32 {
    effFlagsHasEditor = 1 << 0,
    effFlagsHasClip = 1 << 1,
    effFlagsHasVu = 1 << 2,
    effFlagsCanMono = 1 << 3,
    effFlagsCanReplacing = 1 << 4,
    effFlagsProgramChunks = 1 << 5,
    effFlagsIsSynth = 1 << 8,
    effFlagsNoSoundInStop = 1 << 9,
    effFlagsCanDoubleReplacing = 1 << 12,
};

enum VstPlugCategory : VstInt32 {
    kPlugCategUnknown = 0,
    kPlugCategEffect,
    kPlugCategSynth,
    kPlugCategAnalysis,
    kPlugCategMastering,
    kPlugCategSpacializer,
    kPlugCategRoomFx,
    kPlugSurroundFx,
    kPlugCategRestoration,
    kPlugCategOfflineProcess,
    kPlugCategShell,
    kPlugCategGenerator,
};

// Dispatcher opcodes, host to plugin.
enum AEffectOpcodes : VstInt32 {
    effOpen = 0,
    effClose,
    effSetProgram,
    effGetProgram,
    effSetProgramName,
    effGetProgramName,
    effGetParamLabel,
    effGetParamDisplay,
    effGetParamName,
    effGetVu,
    effSetSampleRate,
    effSetBlockSize,
    effMainsChanged,
    effEditGetRect,
    effEditOpen,
    effEditClose,
    effEditDraw,
    effEditMouse,
    effEditKey,
    effEditIdle,
    effEditTop,
    effEditSleep,
    effIdentify,
    effGetChunk,
    effSetChunk,
    effProcessEvents,
    effCanBeAutomated,
    effString2Parameter,
    effGetNumProgramCategories,
    effGetProgramNameIndexed,
    effCopyProgram,
    effConnectInput,
    effConnectOutput,
    effGetInputProperties,
    effGetOutputProperties,
    effGetPlugCategory,
    effGetCurrentPosition,
    effGetDestinationBuffer,
    effOfflineNotify,
    effOfflinePrepare,
    effOfflineRun,
    effProcessVarIo,
    effSetSpeakerArrangement,
    effSetBlockSizeAndSampleRate,
    effSetBypass,
    effGetEffectName,
    effGetErrorText,
    effGetVendorString,
    effGetProductString,
    effGetVendorVersion,
    effVendorSpecific,
    effCanDo,
    effGetTailSize,
    effIdle,
    effGetIcon,
    effSetViewPosition,
    effGetParameterProperties,
    effKeysRequired,
    effGetVstVersion,
    effEditKeyDown,
    effEditKeyUp,
    effSetEditKnobMode,
    effGetMidiProgramName,
    effGetCurrentMidiProgram,
    effGetMidiProgramCategory,
    effHasMidiProgramsChanged,
    effGetMidiKeyName,
    effBeginSetProgram,
    effEndSetProgram,
    effGetSpeakerArrangement,
    effShellGetNextPlugin,
    effStartProcess,
    effStopProcess,
    effSetTotalSampleToProcess,
    effSetPanLaw,
    effBeginLoadBank,
    effBeginLoadProgram,
    effSetProcessPrecision,
    effNumOpcodes
};
static_assert(effEditIdle == 19 && effIdentify == 22 && effProcessEvents == 25);
static_assert(effGetPlugCategory == 35 && effSetBlockSizeAndSampleRate == 43);
static_assert(effCanDo == 51 && effGetVstVersion == 58 && effSetProcessPrecision == 77);

// Host callback opcodes, plugin to host.
enum AudioMasterOpcodes : VstInt32 {
    audioMasterAutomate = 0,
    audioMasterVersion,
    audioMasterCurrentId,
    audioMasterIdle,
    audioMasterPinConnected,
    audioMasterUnused5,
    audioMasterWantMidi,
    audioMasterGetTime,
    audioMasterProcessEvents,
    audioMasterSetTime,
    audioMasterTempoAt,
    audioMasterGetNumAutomatableParameters,
    audioMasterGetParameterQuantization,
    audioMasterIOChanged,
    audioMasterNeedIdle,
    audioMasterSizeWindow,
    audioMasterGetSampleRate,
    audioMasterGetBlockSize,
    audioMasterGetInputLatency,
    audioMasterGetOutputLatency,
    audioMasterGetPreviousPlug,
    audioMasterGetNextPlug,
    audioMasterWillReplaceOrAccumulate,
    audioMasterGetCurrentProcessLevel,
    audioMasterGetAutomationState,
    audioMasterOfflineStart,
    audioMasterOfflineRead,
    audioMasterOfflineWrite,
    audioMasterOfflineGetCurrentPass,
    audioMasterOfflineGetCurrentMetaPass,
    audioMasterSetOutputSampleRate,
    audioMasterGetOutputSpeakerArrangement,
    audioMasterGetVendorString,
    audioMasterGetProductString,
    audioMasterGetVendorVersion,
    audioMasterVendorSpecific,
    audioMasterSetIcon,
    audioMasterCanDo,
    audioMasterGetLanguage,
    audioMasterOpenWindow,
    audioMasterCloseWindow,
    audioMasterGetDirectory,
    audioMasterUpdateDisplay,
    audioMasterBeginEdit,
    audioMasterEndEdit
};
static_assert(audioMasterProcessEvents == 8 && audioMasterSizeWindow == 15);
static_assert(audioMasterGetVendorString == 32 && audioMasterCanDo == 37);
static_assert(audioMasterGetDirectory == 41 && audioMasterEndEdit == 44);

enum VstEventTypes : VstInt32 { kVstMidiType = 1, kVstSysExType = 6 };

struct VstEvent {
    VstInt32 type;
    VstInt32 byteSize;
    VstInt32 deltaFrames;
    VstInt32 flags;
    char data[16];
};

struct VstMidiEvent {
    VstInt32 type;
    VstInt32 byteSize;
    VstInt32 deltaFrames;
    VstInt32 flags;
    VstInt32 noteLength;
    VstInt32 noteOffset;
    char midiData[4];
    char detune;
    char noteOffVelocity;
    char reserved1;
    char reserved2;
};

struct VstMidiSysexEvent {
    VstInt32 type;
    VstInt32 byteSize;
    VstInt32 deltaFrames;
    VstInt32 flags;
    VstInt32 dumpBytes;
    VstIntPtr resvd1;
    char* sysexDump;
    VstIntPtr resvd2;
};

struct VstEvents {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[2]; // hosts hand longer blocks
};

struct ERect {
    VstInt16 top;
    VstInt16 left;
    VstInt16 bottom;
    VstInt16 right;
};

constexpr bool kIs32 = sizeof(void*) == 4;
constexpr size_t vstOffset(size_t i386, size_t x86_64) {
    return kIs32 ? i386 : x86_64;
}

static_assert(sizeof(VstInt32) == 4 && sizeof(VstIntPtr) == sizeof(void*));
static_assert(offsetof(AEffect, magic) == 0);
static_assert(offsetof(AEffect, dispatcher) == vstOffset(4, 8));
static_assert(offsetof(AEffect, process) == vstOffset(8, 16));
static_assert(offsetof(AEffect, setParameter) == vstOffset(12, 24));
static_assert(offsetof(AEffect, getParameter) == vstOffset(16, 32));
static_assert(offsetof(AEffect, numPrograms) == vstOffset(20, 40));
static_assert(offsetof(AEffect, numParams) == vstOffset(24, 44));
static_assert(offsetof(AEffect, numInputs) == vstOffset(28, 48));
static_assert(offsetof(AEffect, numOutputs) == vstOffset(32, 52));
static_assert(offsetof(AEffect, flags) == vstOffset(36, 56));
static_assert(offsetof(AEffect, resvd1) == vstOffset(40, 64));
static_assert(offsetof(AEffect, resvd2) == vstOffset(44, 72));
static_assert(offsetof(AEffect, initialDelay) == vstOffset(48, 80));
static_assert(offsetof(AEffect, realQualities) == vstOffset(52, 84));
static_assert(offsetof(AEffect, offQualities) == vstOffset(56, 88));
static_assert(offsetof(AEffect, ioRatio) == vstOffset(60, 92));
static_assert(offsetof(AEffect, object) == vstOffset(64, 96));
static_assert(offsetof(AEffect, user) == vstOffset(68, 104));
static_assert(offsetof(AEffect, uniqueID) == vstOffset(72, 112));
static_assert(offsetof(AEffect, version) == vstOffset(76, 116));
static_assert(offsetof(AEffect, processReplacing) == vstOffset(80, 120));
static_assert(offsetof(AEffect, processDoubleReplacing) == vstOffset(84, 128));
static_assert(offsetof(AEffect, future) == vstOffset(88, 136));
static_assert(sizeof(AEffect) == vstOffset(144, 192));

static_assert(sizeof(VstEvent) == 32);
static_assert(sizeof(VstMidiEvent) == 32);
static_assert(offsetof(VstMidiEvent, noteLength) == 16);
static_assert(offsetof(VstMidiEvent, noteOffset) == 20);
static_assert(offsetof(VstMidiEvent, midiData) == 24);
static_assert(offsetof(VstMidiEvent, detune) == 28);
static_assert(offsetof(VstMidiEvent, noteOffVelocity) == 29);
static_assert(offsetof(VstMidiEvent, reserved1) == 30);
static_assert(offsetof(VstMidiEvent, reserved2) == 31);
static_assert(offsetof(VstMidiSysexEvent, dumpBytes) == 16);
static_assert(offsetof(VstMidiSysexEvent, resvd1) == vstOffset(20, 24));
static_assert(offsetof(VstMidiSysexEvent, sysexDump) == vstOffset(24, 32));
static_assert(offsetof(VstMidiSysexEvent, resvd2) == vstOffset(28, 40));
static_assert(sizeof(VstMidiSysexEvent) == vstOffset(32, 48));
static_assert(offsetof(VstEvents, reserved) == vstOffset(4, 8));
static_assert(offsetof(VstEvents, events) == vstOffset(8, 16));
static_assert(sizeof(ERect) == 8);
