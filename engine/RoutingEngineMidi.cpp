// The MIDI engine around the routing (RoutingEngineRoute.h): the routing into the engine's own
// slots, the program-change handshake at a block's end, and the flushes that silence sounding
// notes.
#include "RoutingEngine.h"

#include "PluginParameters.h"
#include "Relaxed.h"
#include "RoutingEngineRoute.h"

#include <cstdint>
#include <cstring>

namespace ferrovane {

using zell::threading::LoadRelaxed;
using zell::threading::StoreRelaxed;

namespace {

inline MidiEvent NoteOff(uint8_t channel, uint8_t note) {
    MidiEvent e;
    e.midi[0] = static_cast<uint8_t>(0x80 | channel);
    e.midi[1] = note;
    return e;
}

// The engine's own outgoing slots, which a VST 2.x host reads where they lie: whole events, so
// that what the front end's record carries beyond the MIDI bytes travels with every copy.
struct SlotSink {
    MidiEvent* slots;
    static constexpr int Room() { return MidiEventQueue::kCapacity; }
    void Put(int i, const MidiEvent& e, int32_t frame, uint32_t midi) const {
        MidiEvent& slot = slots[i];
        slot = e;
        memcpy(slot.midi, &midi, sizeof midi);
        slot.frame = frame;
    }
};

} // namespace

// ---- Host processing thread ----

int RoutingEngine::Route() {
    return Route(SlotSink{outputSlots});
}

bool RoutingEngine::SwitchesPrograms() {
    return getParameter(kParamPresetSwitching) >= 1e-10f;
}

void RoutingEngine::EndBlock() {
    if (!LoadRelaxed(programChanged)) return;
    if (notesFlushed) {
        notesFlushed = false;
        StoreRelaxed(programChanged, false);
        return;
    }
    FlushAllNotes();
    notesFlushed = true;
}

void RoutingEngine::FlushAllNotes() {
    noteLock.Lock();
    noteTable.ReleaseAll(
        [&](const NoteRoute& r) { noteOffQueue.Push(NoteOff(r.outChannel, r.outNote)); });
    if (!noteOffQueue.Empty()) StoreRelaxed(noteOffsQueued, true);
    noteLock.Unlock();
}

// ---- Editor thread ----

void RoutingEngine::editpoint() {
    noteLock.Lock();
    int in = LoadRelaxed(editIn);
    int out = LoadRelaxed(editOut);
    if (in != -1 && out != -1) {
        noteTable.ReleaseNode(in, out, [&](const NoteRoute& r) {
            noteOffQueue.Push(NoteOff(r.outChannel, r.outNote));
        });
        if (!noteOffQueue.Empty()) StoreRelaxed(noteOffsQueued, true);
        StoreRelaxed(editIn, -1);
        StoreRelaxed(editOut, -1);
    }
    noteLock.Unlock();
}

} // namespace ferrovane
