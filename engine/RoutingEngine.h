// The engine: a bank of 128 routing programs, the parameters that act on it, and the MIDI routing
// that sends each block's events through the current program, with note offs following their note
// ons. It knows no plugin format: each format module drives it and hands its events over.
#pragma once

#include "MidiEventQueue.h"
#include "NoteTable.h"
#include "Relaxed.h"
#include "RowScan.h"
#include "SIEngine.h"
#include "SMutexID.h"
#include "SMutexOS.h"
#include "VSTPluginProgram.h"

#include <atomic>
#include <cstdint>

namespace ferrovane {

class RoutingEngine final : public SIEngine {
  public:
    RoutingEngine();
    ~RoutingEngine() override;
    RoutingEngine(const RoutingEngine&) = delete;
    RoutingEngine& operator=(const RoutingEngine&) = delete;

    // ---- Host GUI thread (and processing, for program changes received as MIDI) ----
    // Indices outside 0 to 127 change nothing.
    void setProgram(intptr_t index);
    int32_t getProgram() const;
    // Keeps the first 47 characters; the caller's string is never written.
    void setProgramName(const char* name);
    void getProgramName(char* text) override;
    bool getProgramNameIndexed(int32_t index, char* text);
    void setParameter(int32_t index, float value) override;
    float getParameter(int32_t index) override;
    void getParameterLabel(int32_t index, char* label);
    void getParameterDisplay(int32_t index, char* text);
    void getParameterName(int32_t index, char* text);
    // The live records, no copy: the bank or the current program. Their size, or 0 without data.
    int32_t getChunk(void** data, bool isPreset);
    // 1 when loaded (all sounding notes are then silenced), 0 for a size the format refuses.
    int32_t setChunk(const void* data, intptr_t byteSize, bool isPreset);

    // ---- Editor ----
    VSTPluginProgram& CurrentProgram() override { return programs[CurrentIndex()]; }
    void copySelProgram() override;
    void pasteSelProgram() override;
    bool ClipboardFilled() const { return clipboardFilled; }
    void SetEditNode(int in, int out) override;
    // Silences the notes sounding through the edit node.
    void editpoint();
    void AttachEditor(SIPluginEditor* editor) override;
    void DetachEditor(SIPluginEditor* editor) override;
    void SetEditorClosed(bool closed) override;
    void UserChangedParameter(int32_t index) override;
    void UserChangedState() override;
    uint32_t TakeUserChanges(uint32_t mask) override;
    bool ProgramChanged() const;

    // ---- Host processing thread: never allocates. The locks it takes are the note table's
    // (brief) and, when a program change arrives with preset switching on, the editor lock,
    // held while the editor's update flag is raised.
    // Queues the 32 bytes at next(i) for i from 0 to n - 1 (null: none), up to 512 a block.
    template <typename F> void QueueEvents(int n, F next) { inputQueue.PushEach(n, next); }
    // Calls each(push) once; push(frame, midi) queues a MIDI message at `frame`, its bytes in
    // `midi` with the status in the low byte. For a front end that queues no whole events.
    template <typename F> void QueueMessages(F each) { inputQueue.PushMessages(each); }
    // Routes the queued events through the current program, then the note offs the flushes
    // queued, in time order: an event keeps its frame unless it is earlier than the one before
    // it, whose frame it then takes. Returns how many events RoutedEvents holds.
    int Route();
    // The same into a sink of the front end's (RoutingEngineRoute.h says what a sink is, and is
    // the header to include): events beyond its room are dropped. Returns how many it took.
    template <typename Sink> int Route(Sink sink);
    // The host may write to them while it reads them (a VST 2.x host owns the block it is given).
    MidiEvent* RoutedEvents() { return outputSlots; }
    // After the routed events have gone out: the program-change handshake (the next block
    // silences the notes that sounded through the old routing).
    void EndBlock();
    // Queues a note off for every sounding note, for the next block (suspend).
    void FlushAllNotes();

  private:
    int CurrentIndex() const {
        return zell::threading::LoadRelaxed(curProgram) & (kNumPrograms - 1);
    }
    // Where routing has got to in the block's outgoing slots: how many are filled, and the frame
    // of the last one.
    struct Routed {
        int count;
        int32_t frame;
    };
    template <typename Sink> Routed RouteEvent(Sink sink, const MidiEvent& e, Routed routed);
    template <typename Sink>
    Routed RouteByRow(Sink sink, const MidiEvent& e, Routed routed, int bit);
    template <typename Sink>
    Routed RouteProgramChange(Sink sink, const MidiEvent& e, Routed routed);
    bool SwitchesPrograms();
    template <typename Sink> void RouteNote(Sink sink, const MidiEvent& e, Routed& routed);
    template <typename Sink> Routed Emit(Sink sink, Routed to, const MidiEvent& e, uint32_t midi);
    template <typename Sink> void MoveNoteOffs(Sink sink, Routed& routed);
    void HoldNoteLock();
    // Tell an open editor about a program-level change, or about one parameter.
    void NotifyEditor();
    void NotifyEditorIndexed(int32_t index);

    VSTPluginProgram programs[kNumPrograms];
    VSTPluginProgram clipboard;
    bool clipboardFilled = false;
    int32_t curProgram = 0; // relaxed: written by any thread, read by processing
    int editIn = 0;         // relaxed: set by the editor, cleared by editpoint
    int editOut = 0;
    bool notesFlushed = false;          // processing thread only
    bool programChanged = false;        // relaxed: raised by any thread, lowered by processing
    zell::threading::SMutexID noteLock; // guards noteTable and noteOffQueue
    bool holdingNoteLock = false;       // processing thread only: within a block
    bool noteOffsQueued = false;        // relaxed: raised under noteLock by the flushes
    NoteTable noteTable;
    bool resetFlag = false; // relaxed: the host's and the editor's threads both set them
    bool clearFlag = false;
    MidiEvent outputSlots[MidiEventQueue::kCapacity]; // the routed events of this block
    RowScan rows;                                     // processing thread only
    MidiEventQueue inputQueue;
    MidiEventQueue noteOffQueue;

    // The editor told of changes, and whether its window is open; both written under
    // editorLock, which the updates are posted under, so a detached editor is never called.
    std::atomic<SIPluginEditor*> editor{nullptr};
    bool editorClosed = true;
    zell::threading::SMutexOS editorLock;
    // Bit i: parameter i changed; kStateChanged: the bank did. Raised by the editor, taken by
    // the format module.
    std::atomic<uint32_t> userChanges{0};
};

} // namespace ferrovane
