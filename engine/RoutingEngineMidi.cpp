// The MIDI engine: routing each queued event through the current program, the note table that
// sends every note off where its note on went, and the flushes that silence sounding notes.
#include "RoutingEngine.h"

#include "PluginParameters.h"
#include "Relaxed.h"
#include "RowScan.h"

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

// The four MIDI bytes of an event as one word, status in the low byte.
uint32_t MidiBytes(const MidiEvent& e) {
    uint32_t bytes;
    memcpy(&bytes, e.midi, sizeof bytes);
    return bytes;
}

constexpr int8_t BitIndex(uint16_t bit) {
    return static_cast<int8_t>(__builtin_ctz(bit));
}

// What each status nibble asks for: the type bit through which the matrix routes it like a
// controller, or one of these.
enum : int8_t { kDropped = -1, kNote = -2, kProgramChange = -3 };
// Indexed by the status nibble; below 8 a data byte without status.
constexpr int8_t kRouteOf[16] = {
    kDropped,
    kDropped,
    kDropped,
    kDropped,
    kDropped,
    kDropped,
    kDropped,
    kDropped,
    kNote,                          // 0x80 note off: routed through the note table
    kNote,                          // 0x90 note on: routed through the note table
    BitIndex(kRoutePolyAftertouch), // 0xA0
    BitIndex(kRouteCC),             // 0xB0
    kProgramChange,                 // 0xC0: switches programs or is routed
    BitIndex(kRouteAftertouch),     // 0xD0
    BitIndex(kRoutePitchBend),      // 0xE0
    kDropped,                       // 0xF0 system messages
};

} // namespace

// ---- Host processing thread ----

// The routing functions below fill the block's outgoing slots and answer where they have got
// to; the cursor stays in registers for the whole block. A routed copy gets its MIDI bytes in one
// store: a byte store into the event just before the copy reads it would stall the copy.
//
// Hosts that pass the block on to a JACK port lose every event earlier than the one before it
// (a lost flush note off is a stuck note), so the block goes out in time order: an event keeps
// its place and, when it is earlier than the one before it, takes that one's frame.
inline RoutingEngine::Routed RoutingEngine::Emit(Routed to, const MidiEvent& e, uint32_t midi) {
    if (to.count >= MidiEventQueue::kCapacity) return to;
    MidiEvent& slot = outputSlots[to.count];
    slot = e;
    memcpy(slot.midi, &midi, sizeof midi);
    const int32_t frame = e.frame < to.frame ? to.frame : e.frame;
    slot.frame = frame;
    return Routed{to.count + 1, frame};
}

// noteLock is taken at most once a block, at its first note or for the flushes' note offs, and
// held to its end: editpoint waits for the block instead of every note waiting for the lock. A
// block of controllers alone does not take it.
int RoutingEngine::Route() {
    rows.Begin();
    Routed routed{0, INT32_MIN};
    inputQueue.Drain([&](const MidiEvent& e) { routed = RouteEvent(e, routed); });
    if (LoadRelaxed(noteOffsQueued)) {
        HoldNoteLock();
        MoveNoteOffs(routed);
    }
    if (holdingNoteLock) {
        holdingNoteLock = false;
        noteLock.Unlock();
    }
    return routed.count;
}

inline void RoutingEngine::HoldNoteLock() {
    if (holdingNoteLock) return;
    noteLock.Lock();
    holdingNoteLock = true;
}

// Every event of the block passes here: controllers and notes are routed inline, program
// changes out of line (a call on the way of every event would leave fewer registers to it).
inline RoutingEngine::Routed RoutingEngine::RouteEvent(const MidiEvent& e, Routed routed) {
    const int route = kRouteOf[(MidiBytes(e) & 0xFF) >> 4];
    if (route >= 0) return RouteByRow(e, routed, route);
    if (route == kNote) RouteNote(e, routed);
    if (route == kProgramChange) return RouteProgramChange(e, routed);
    return routed;
}

// A copy for every output channel whose cell has type bit `bit`, data bytes unchanged.
inline RoutingEngine::Routed RoutingEngine::RouteByRow(const MidiEvent& e, Routed routed, int bit) {
    const uint32_t midi = MidiBytes(e);
    const int program = CurrentIndex();
    unsigned mask = rows.Mask(program, programs[program].routing, midi & 0x0F, bit);
    for (const uint32_t type = midi & ~0x0Fu; mask; mask &= mask - 1)
        routed = Emit(routed, e, type | __builtin_ctz(mask));
    return routed;
}

RoutingEngine::Routed RoutingEngine::RouteProgramChange(const MidiEvent& e, Routed routed) {
    if (!SwitchesPrograms()) return RouteByRow(e, routed, BitIndex(kRouteProgramChange));
    setProgram(MidiBytes(e) >> 8 & 0x7F);
    return routed;
}

bool RoutingEngine::SwitchesPrograms() {
    return getParameter(kParamPresetSwitching) >= 1e-10f;
}

inline void RoutingEngine::RouteNote(const MidiEvent& e, Routed& routed) {
    if (LoadRelaxed(programChanged)) return;
    HoldNoteLock();
    const uint32_t midi = MidiBytes(e);
    const uint8_t channel = midi & 0x0F;
    const uint8_t note = midi >> 8 & 0x7F;
    if ((midi & 0xF0) == 0x90 && (midi >> 16 & 0x7F) != 0) {
        const int program = CurrentIndex();
        unsigned mask =
            rows.Mask(program, programs[program].routing, channel, BitIndex(kRouteNote));
        const uint32_t on = (midi & 0xFFFF0000u) | note << 8 | 0x90; // velocity unchanged
        for (; mask; mask &= mask - 1) {
            const uint8_t out = static_cast<uint8_t>(__builtin_ctz(mask));
            routed = Emit(routed, e, on | out);
            noteTable.Add(channel, note, out);
        }
    } else {
        const uint32_t off = (midi & 0xFF000000u) | note << 8 | 0x80; // velocity 0
        noteTable.ReleaseNote(channel, note, [&](const NoteRoute& r) {
            routed = Emit(routed, e, off | r.outChannel);
        });
    }
}

// Under noteLock.
void RoutingEngine::MoveNoteOffs(Routed& routed) {
    StoreRelaxed(noteOffsQueued, false);
    while (!noteOffQueue.Empty()) {
        const MidiEvent& e = noteOffQueue.Take();
        routed = Emit(routed, e, MidiBytes(e));
    }
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
