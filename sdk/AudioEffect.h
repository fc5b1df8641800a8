// The VST 2.0 plugin base: fills the AEffect record, turns opcodes 0 to 24 into virtual calls and
// wraps the host callback. The static trampolines in the record find the object through `object`.
//
// Ownership crosses to the host here: the object is made for the host, whose record the entry
// returns, and from then on only the host ends it, with effClose, after which the dispatcher
// trampoline deletes it.
#pragma once

#include "aeffect.h"

class AEffEditor;

class AudioEffect {
  public:
    AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);
    virtual ~AudioEffect();
    AudioEffect(const AudioEffect&) = delete;
    AudioEffect& operator=(const AudioEffect&) = delete;

    AEffect* getAeffect() { return &cEffect; }
    AEffEditor* getEditor() const { return editor; }

    // Host GUI thread (any thread that is not processing).
    virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt);
    virtual void open() {}
    virtual void close() {}
    virtual void setProgram(VstIntPtr program) { curProgram = static_cast<VstInt32>(program); }
    virtual VstInt32 getProgram() { return curProgram; }
    virtual void setProgramName(char*) {}
    virtual void getProgramName(char* name) {
        if (name) *name = 0;
    }
    virtual void getParameterLabel(VstInt32, char* label) {
        if (label) *label = 0;
    }
    virtual void getParameterDisplay(VstInt32, char* text) {
        if (text) *text = 0;
    }
    virtual void getParameterName(VstInt32, char* text) {
        if (text) *text = 0;
    }
    virtual float getVu() { return 0.0f; }
    virtual VstInt32 getChunk(void** data, bool isPreset);
    virtual VstInt32 setChunk(void* data, VstIntPtr byteSize, bool isPreset);
    virtual void setSampleRate(float rate) { sampleRate = rate; }
    virtual void setBlockSize(VstInt32 size) { blockSize = size; }
    virtual void setParameter(VstInt32, float) {}
    virtual float getParameter(VstInt32) { return 0.0f; }

    // Host processing thread: never blocks, never allocates.
    virtual void suspend() {}
    virtual void resume() {}
    virtual void process(float**, float**, VstInt32) {}
    virtual void processReplacing(float**, float**, VstInt32) {}
    virtual void processDoubleReplacing(double**, double**, VstInt32) {}

    // Record set-up, called from constructors.
    void setUniqueID(VstInt32 id) { cEffect.uniqueID = id; }
    void setNumInputs(VstInt32 n) { cEffect.numInputs = n; }
    void setNumOutputs(VstInt32 n) { cEffect.numOutputs = n; }
    void setInitialDelay(VstInt32 delay) { cEffect.initialDelay = delay; }
    void hasVu(bool state) { setFlag(effFlagsHasVu, state); }
    void hasClip(bool state) { setFlag(effFlagsHasClip, state); }
    void canMono(bool state) { setFlag(effFlagsCanMono, state); }
    void canProcessReplacing(bool state) { setFlag(effFlagsCanReplacing, state); }
    void canDoubleReplacing(bool state);
    void programsAreChunks(bool state) { setFlag(effFlagsProgramChunks, state); }
    void setEditor(AEffEditor* e);

    // Host callback wrappers; each answers 0 when the host gave no callback.
    VstInt32 getMasterVersion();
    VstInt32 getCurrentUniqueId();
    void masterIdle();
    void setParameterAutomated(VstInt32 index, float value);

    float getSampleRate() const { return sampleRate; }
    VstInt32 getBlockSize() const { return blockSize; }

  protected:
    VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f);
    void setFlag(VstInt32 flag, bool state);

    float sampleRate = 44100.0f;
    AEffEditor* editor = nullptr; // what the editor opcodes reach; the plugin that sets it keeps it
    audioMasterCallback audioMaster = nullptr;
    VstInt32 numPrograms = 0;
    VstInt32 numParams = 0;
    VstInt32 curProgram = 0;
    VstInt32 blockSize = 1024;
    AEffect cEffect{};

  private:
    struct Opcodes;
};
