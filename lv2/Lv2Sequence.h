// Writing an output port's atom:Sequence in place, one whole event at a time: the room is the
// size the host set in the port's atom before the run. Every event this plugin sends has a body
// of at most 8 bytes (a MIDI message, an object without properties), so an event is three stores
// straight into the port, and the sequence's size is written once, at its end: the atom forge
// would walk its frames and write four times per event, and a router writes many. (An event
// assembled elsewhere and copied whole would be read back at once, wider than it was written,
// which stalls the copy.)
#pragma once

#include <lv2/atom/atom.h>

#include <cstdint>
#include <cstring>

namespace ferrovane::lv2 {

class Lv2Sequence {
  public:
    // Every event's size in the sequence: its header and a body padded to 8 bytes.
    static constexpr uint32_t kEventSize = sizeof(LV2_Atom_Event) + sizeof(uint64_t);

    // Starts an empty sequence of frame times on the port.
    Lv2Sequence(LV2_Atom_Sequence* port, LV2_URID sequenceType)
        : port(port), room(port->atom.size) {
        port->atom.type = sequenceType;
        port->body = LV2_Atom_Sequence_Body{0, 0};
    }
    Lv2Sequence(const Lv2Sequence&) = delete;
    Lv2Sequence& operator=(const Lv2Sequence&) = delete;
    // The sequence ends with its last event.
    ~Lv2Sequence() { port->atom.size = used; }

    // How many more events fit.
    int Room() const { return room < used ? 0 : static_cast<int>((room - used) / kEventSize); }

    // An event whose body of `size` bytes (at most 8) is given padded with zeros; only where
    // Room allows one more.
    void Add(int64_t frame, LV2_URID type, uint32_t size, uint64_t body) {
        Write(Next(), frame, type, size, body);
        used += kEventSize;
    }

    // For a writer that places events itself: where the next one goes, the others following it
    // kEventSize bytes apart; Added then takes `count` of them (no more than Room) into the
    // sequence.
    uint8_t* Next() const {
        // From the port's start: the events lie beyond the body's header.
        return reinterpret_cast<uint8_t*>(port) + sizeof(LV2_Atom) + used;
    }
    void Added(int count) { used += static_cast<uint32_t>(count) * kEventSize; }

    // One event at `at`, as Add writes it.
    static void Write(uint8_t* at, int64_t frame, LV2_URID type, uint32_t size, uint64_t body) {
        const uint64_t atom = size | uint64_t(type) << 32; // the body's atom: size, then type
        memcpy(at, &frame, sizeof frame);
        memcpy(at + sizeof frame, &atom, sizeof atom);
        memcpy(at + sizeof(LV2_Atom_Event), &body, sizeof body);
    }

  private:
    LV2_Atom_Sequence* port;
    uint32_t room;
    uint32_t used = sizeof(LV2_Atom_Sequence_Body);
};

} // namespace ferrovane::lv2
