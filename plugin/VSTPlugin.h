// The plugin proper: a bank of 128 routing programs, five host parameters, and the MIDI engine
// that routes each block's events through the current program.
#pragma once

#include "MidiEventQueue.h"
#include "NoteTable.h"
#include "Relaxed.h"
#include "RowScan.h"
#include "SMutexID.h"
#include "SPlugin.h"
#include "VSTPluginProgram.h"

namespace ferrovane {

// The block handed to the host: VstEvents with room for every routed event.
struct OutputEvents {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[MidiEventQueue::kCapacity];
};
static_assert(offsetof(OutputEvents, events) == offsetof(VstEvents, events));

class VSTPlugin : public SPlugin {
  public:
    VSTPlugin(audioMasterCallback audioMaster, int& loadError);
    ~VSTPlugin() override;

    // Host GUI thread: programs and parameters.
    void setProgram(VstIntPtr index) override;
    void setProgramName(char* name) override;
    void getProgramName(char* text) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    void setSampleRate(float rate) override { sampleRate = rate; }
    void setBlockSize(VstInt32 size) override { blockSize = size; }
    VstInt32 getChunk(void** data, bool isPreset) override;
    VstInt32 setChunk(void* data, VstIntPtr byteSize, bool isPreset) override;

    // Editor: direct operations on the current program.
    void copySelProgram();
    void pasteSelProgram();
    bool ClipboardFilled() const { return clipboardFilled; }
    VSTPluginProgram& CurrentProgram() { return programs[CurrentIndex()]; }
    // The node whose sounding notes the next editpoint silences; -1 for none.
    void SetEditNode(int in, int out);
    // Silences the notes sounding through the edit node.
    void editpoint();

    // Host processing thread: never allocates. The locks it takes are the note table's (brief)
    // and, when a program change arrives with preset switching on, the plugin mutex, held for one
    // read while the editor is told of the new program.
    VstInt32 processEvents(VstEvents* events) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void process(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void suspend() override;

    bool ProgramChanged() const;

  private:
    int CurrentIndex() const {
        return zell::threading::LoadRelaxed(curProgram) & (kNumPrograms - 1);
    }
    void midiInProcess();
    // Where routing has got to in the block's outgoing slots: how many are filled, and the frame
    // of the last one.
    struct Routed {
        int count;
        VstInt32 frame;
    };
    Routed RouteEvent(const VstMidiEvent& e, Routed routed);
    Routed RouteByRow(const VstMidiEvent& e, Routed routed, int bit);
    Routed RouteProgramChange(const VstMidiEvent& e, Routed routed);
    bool SwitchesPrograms();
    void RouteNote(const VstMidiEvent& e, Routed& routed);
    Routed Emit(Routed to, const VstMidiEvent& e, uint32_t midi);
    void MoveNoteOffs(Routed& routed);
    void HoldNoteLock();
    void midiPostProcess();
    void FlushAllNotes();

    VSTPluginProgram programs[kNumPrograms];
    VSTPluginProgram clipboard;
    bool clipboardFilled = false;
    int editIn = 0; // relaxed: set by the editor, cleared by editpoint
    int editOut = 0;
    bool notesFlushed = false;          // processing thread only
    bool programChanged = false;        // relaxed: raised by any thread, lowered by processing
    zell::threading::SMutexID noteLock; // guards noteTable and noteOffQueue
    bool holdingNoteLock = false;       // processing thread only: within a block
    bool noteOffsQueued = false;        // relaxed: raised under noteLock by the flushes
    NoteTable noteTable;
    bool resetFlag = false;
    bool clearFlag = false;
    OutputEvents outputEvents{};
    VstMidiEvent outputSlots[MidiEventQueue::kCapacity]; // the routed events of this block
    int routedCount = 0;
    RowScan rows; // processing thread only
    MidiEventQueue inputQueue;
    MidiEventQueue noteOffQueue;
};

} // namespace ferrovane
