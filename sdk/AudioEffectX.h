// The VST 2.x extensions: opcodes 25 to 77 as virtual calls, and the host callback wrappers that
// came with them.
#pragma once

#include "AudioEffect.h"

class AudioEffectX : public AudioEffect {
  public:
    AudioEffectX(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);

    VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                         float opt) override;

    // Host processing thread.
    virtual VstInt32 processEvents(VstEvents*) { return 0; }
    virtual bool setBypass(bool) { return false; }
    virtual VstInt32 startProcess() { return 0; }
    virtual VstInt32 stopProcess() { return 0; }
    virtual bool setProcessPrecision(VstInt32) { return false; }

    // Host GUI thread.
    virtual bool canParameterBeAutomated(VstInt32) { return true; }
    virtual bool string2parameter(VstInt32, char*) { return false; }
    virtual VstInt32 getNumCategories() { return 1; }
    virtual bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text);
    virtual bool copyProgram(VstInt32) { return false; }
    virtual void inputConnected(VstInt32, bool) {}
    virtual void outputConnected(VstInt32, bool) {}
    virtual bool getInputProperties(VstInt32, void*) { return false; }
    virtual bool getOutputProperties(VstInt32, void*) { return false; }
    virtual VstPlugCategory getPlugCategory();
    virtual void setBlockSizeAndSampleRate(VstInt32 size, float rate) {
        blockSize = size;
        sampleRate = rate;
    }
    virtual bool getEffectName(char*) { return false; }
    virtual bool getErrorText(char*) { return false; }
    virtual bool getVendorString(char*) { return false; }
    virtual bool getProductString(char*) { return false; }
    virtual VstInt32 getVendorVersion() { return 0; }
    virtual VstIntPtr vendorSpecific(VstInt32, VstIntPtr, void*, float) { return 0; }
    virtual VstInt32 canDo(char*) { return 0; }
    virtual VstInt32 getGetTailSize() { return 0; }
    virtual bool getParameterProperties(VstInt32, void*) { return false; }
    virtual VstInt32 getVstVersion() { return 2400; }
    virtual VstInt32 getMidiProgramName(VstInt32, void*) { return 0; }
    virtual VstInt32 getCurrentMidiProgram(VstInt32, void*) { return -1; }
    virtual VstInt32 getMidiProgramCategory(VstInt32, void*) { return 0; }
    virtual bool hasMidiProgramsChanged(VstInt32) { return false; }
    virtual bool getMidiKeyName(VstInt32, void*) { return false; }
    virtual bool beginSetProgram() { return false; }
    virtual bool endSetProgram() { return false; }
    virtual VstInt32 setTotalSampleToProcess(VstInt32 value) { return value; }
    virtual bool setPanLaw(VstInt32, float) { return false; }
    virtual VstInt32 beginLoadBank(void*) { return 0; }
    virtual VstInt32 beginLoadProgram(void*) { return 0; }

    // Record set-up.
    void isSynth(bool state) { setFlag(effFlagsIsSynth, state); }
    void noTail(bool state) { setFlag(effFlagsNoSoundInStop, state); }

    // Host callback wrappers; each answers 0 (or false, or null) without a callback.
    bool wantEvents(VstInt32 filter = 1);
    bool sendVstEventsToHost(VstEvents* events);
    bool sizeWindow(VstInt32 width, VstInt32 height);
    bool getHostVendorString(char* text);
    bool getHostProductString(char* text);
    VstInt32 getHostVendorVersion();
    VstInt32 canHostDo(char* text);
    void* getDirectory();
    void* getTimeInfo(VstInt32 filter);
    VstInt32 getHostLanguage();
    bool ioChanged();
    bool updateDisplay();
    bool beginEdit(VstInt32 index);
    bool endEdit(VstInt32 index);

  private:
    struct Opcodes;
};
