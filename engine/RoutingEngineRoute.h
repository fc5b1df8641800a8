// The routing of one block: each queued event through the current program, into a sink that the
// front end chooses at compile time, so that the events go straight to where its host reads them.
// Included where a sink is known: the engine's own slots (RoutingEngineMidi.cpp) and each front
// end that writes into its host's buffer itself.
//
// A sink is a small value with
//   int Room() const;  how many events it takes this block (the engine takes at most 512);
//   void Put(int i, const MidiEvent& e, int32_t frame, uint32_t midi) const;
// which writes the block's i-th routed event (i counts up from 0, one call per i): a copy of `e`
// at `frame` whose MIDI bytes are `midi`, status in the low byte. A routed message's bytes beyond
// its length are 0.
#pragma once

#include "PluginParameters.h"
#include "Relaxed.h"
#include "RoutingEngine.h"
#include "RowScan.h"

#include <cstdint>
#include <cstring>

namespace ferrovane {

namespace route {

// The four MIDI bytes of an event as one word, status in the low byte.
inline uint32_t MidiBytes(const MidiEvent& e) {
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
inline constexpr int8_t kRouteOf[16] = {
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

} // namespace route

// ---- Host processing thread ----

// The routing functions below fill the sink and answer where they have got to; the cursor stays
// in registers for the whole block. A routed copy is handed over with its MIDI bytes in one word:
// a byte store into the event just before a copy reads it would stall the copy.
//
// Hosts that pass the block on to a JACK port lose every event earlier than the one before it
// (a lost flush note off is a stuck note), so the block goes out in time order: an event keeps
// its place and, when it is earlier than the one before it, takes that one's frame.
template <typename Sink>
inline RoutingEngine::Routed RoutingEngine::Emit(Sink sink, Routed to, const MidiEvent& e,
                                                 uint32_t midi) {
    if (to.count >= MidiEventQueue::kCapacity || to.count >= sink.Room()) return to;
    const int32_t frame = e.frame < to.frame ? to.frame : e.frame;
    sink.Put(to.count, e, frame, midi);
    return Routed{to.count + 1, frame};
}

// noteLock is taken at most once a block, at its first note or for the flushes' note offs, and
// held to its end: editpoint waits for the block instead of every note waiting for the lock. A
// block of controllers alone does not take it.
template <typename Sink> [[gnu::flatten]] int RoutingEngine::Route(Sink sink) {
    rows.Begin();
    Routed routed{0, INT32_MIN};
    inputQueue.Drain([&](const MidiEvent& e) { routed = RouteEvent(sink, e, routed); });
    if (zell::threading::LoadRelaxed(noteOffsQueued)) {
        HoldNoteLock();
        MoveNoteOffs(sink, routed);
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
template <typename Sink>
inline RoutingEngine::Routed RoutingEngine::RouteEvent(Sink sink, const MidiEvent& e,
                                                       Routed routed) {
    const int kind = route::kRouteOf[(route::MidiBytes(e) & 0xFF) >> 4];
    if (kind >= 0) return RouteByRow(sink, e, routed, kind);
    if (kind == route::kNote) RouteNote(sink, e, routed);
    if (kind == route::kProgramChange) return RouteProgramChange(sink, e, routed);
    return routed;
}

// A copy for every output channel whose cell has type bit `bit`, data bytes unchanged.
template <typename Sink>
inline RoutingEngine::Routed RoutingEngine::RouteByRow(Sink sink, const MidiEvent& e, Routed routed,
                                                       int bit) {
    const uint32_t midi = route::MidiBytes(e);
    const int program = CurrentIndex();
    unsigned mask = rows.Mask(program, programs[program].routing, midi & 0x0F, bit);
    for (const uint32_t type = midi & ~0x0Fu; mask; mask &= mask - 1)
        routed = Emit(sink, routed, e, type | __builtin_ctz(mask));
    return routed;
}

template <typename Sink>
[[gnu::noinline]] RoutingEngine::Routed
RoutingEngine::RouteProgramChange(Sink sink, const MidiEvent& e, Routed routed) {
    if (!SwitchesPrograms())
        return RouteByRow(sink, e, routed, route::BitIndex(kRouteProgramChange));
    setProgram(route::MidiBytes(e) >> 8 & 0x7F);
    return routed;
}

template <typename Sink>
inline void RoutingEngine::RouteNote(Sink sink, const MidiEvent& e, Routed& routed) {
    if (zell::threading::LoadRelaxed(programChanged)) return;
    HoldNoteLock();
    const uint32_t midi = route::MidiBytes(e);
    const uint8_t channel = midi & 0x0F;
    const uint8_t note = midi >> 8 & 0x7F;
    if ((midi & 0xF0) == 0x90 && (midi >> 16 & 0x7F) != 0) {
        const int program = CurrentIndex();
        unsigned mask =
            rows.Mask(program, programs[program].routing, channel, route::BitIndex(kRouteNote));
        const uint32_t on = (midi & 0xFFFF0000u) | note << 8 | 0x90; // velocity unchanged
        for (; mask; mask &= mask - 1) {
            const uint8_t out = static_cast<uint8_t>(__builtin_ctz(mask));
            routed = Emit(sink, routed, e, on | out);
            noteTable.Add(channel, note, out);
        }
    } else {
        const uint32_t off = (midi & 0xFF000000u) | note << 8 | 0x80; // velocity 0
        noteTable.ReleaseNote(channel, note, [&](const NoteRoute& r) {
            routed = Emit(sink, routed, e, off | r.outChannel);
        });
    }
}

// Under noteLock; once a block at most.
template <typename Sink>
[[gnu::noinline]] void RoutingEngine::MoveNoteOffs(Sink sink, Routed& routed) {
    zell::threading::StoreRelaxed(noteOffsQueued, false);
    while (!noteOffQueue.Empty()) {
        const MidiEvent& e = noteOffQueue.Take();
        routed = Emit(sink, routed, e, route::MidiBytes(e));
    }
}

} // namespace ferrovane
