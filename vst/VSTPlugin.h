// The VST 2.x plugin proper: the host's program, parameter, chunk and processing calls, answered
// by the engine, and the host's MIDI events handed to it and back.
#pragma once

#include "SPlugin.h"

namespace ferrovane {

// The block handed to the host: VstEvents with room for every routed event.
struct OutputEvents {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[MidiEventQueue::kCapacity];
};
static_assert(offsetof(OutputEvents, events) == offsetof(VstEvents, events));

// A host's MIDI event record is the engine's, byte for byte: the engine routes the host's events
// as they are and hands its own slots back.
static_assert(sizeof(MidiEvent) == sizeof(VstMidiEvent));
static_assert(offsetof(MidiEvent, kind) == offsetof(VstMidiEvent, type));
static_assert(offsetof(MidiEvent, size) == offsetof(VstMidiEvent, byteSize));
static_assert(offsetof(MidiEvent, frame) == offsetof(VstMidiEvent, deltaFrames));
static_assert(offsetof(MidiEvent, midi) == offsetof(VstMidiEvent, midiData));

class VSTPlugin : public SPlugin {
  public:
    VSTPlugin(audioMasterCallback audioMaster, int& loadError);

    // Host GUI thread: programs and parameters.
    void setProgram(VstIntPtr index) override { engine.setProgram(index); }
    VstInt32 getProgram() override { return engine.getProgram(); }
    void setProgramName(char* name) override { engine.setProgramName(name); }
    void getProgramName(char* text) override { engine.getProgramName(text); }
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    void setParameter(VstInt32 index, float value) override { engine.setParameter(index, value); }
    float getParameter(VstInt32 index) override { return engine.getParameter(index); }
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    void setSampleRate(float rate) override { sampleRate = rate; }
    void setBlockSize(VstInt32 size) override { blockSize = size; }
    VstInt32 getChunk(void** data, bool isPreset) override;
    VstInt32 setChunk(void* data, VstIntPtr byteSize, bool isPreset) override;

    // Host processing thread: never allocates; the engine's locks only.
    VstInt32 processEvents(VstEvents* events) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void process(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void suspend() override;

  private:
    void SendRouted(int count);

    OutputEvents outputEvents{};
};

} // namespace ferrovane
