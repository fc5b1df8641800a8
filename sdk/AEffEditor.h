// The editor side of the VST 2.x interface. The plugin owns one editor for its whole life; the host
// opens and closes its window through the dispatcher.
#pragma once

#include "aeffect.h"

class AudioEffect;

struct VstKeyCode {
    VstInt32 character;
    unsigned char virt;
    unsigned char modifier;
};

class AEffEditor {
  public:
    explicit AEffEditor(AudioEffect* effect = nullptr) : effect(effect) {}
    virtual ~AEffEditor() = default;
    AEffEditor(const AEffEditor&) = delete;
    AEffEditor& operator=(const AEffEditor&) = delete;

    // Host GUI thread.
    virtual VstIntPtr getRect(ERect** rect) {
        if (rect) *rect = nullptr;
        return 0;
    }
    virtual VstIntPtr open(void* ptr) {
        systemWindow = ptr;
        return 0;
    }
    virtual void close() {}
    virtual void idle() {}
    virtual void update() {}
    // Any thread: these only raise flags for the next idle pass.
    virtual void postUpdate() { updateFlag = 1; }
    virtual void updateIndexed() {}
    virtual void postUpdateIndexed(VstIntPtr) {}
    virtual void updateAtIndex(VstIntPtr) {}
    virtual VstInt32 onKeyDown(VstKeyCode&) { return -1; }
    virtual VstInt32 onKeyUp(VstKeyCode&) { return -1; }
    virtual VstInt32 setKnobMode(VstInt32) { return 0; }
    virtual bool onWheel(float) { return false; }

    AudioEffect* getEffect() const { return effect; }

  protected:
    void* systemWindow = nullptr;
    AudioEffect* effect = nullptr;
    VstInt32 updateFlag = 0;
};
