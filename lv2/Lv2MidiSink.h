// Where the engine routes the LV2 plugin's events: straight into the MIDI output's sequence, each
// routed message written once, as an atom event at its frame, with no copy in between.
#pragma once

#include "Lv2Sequence.h"
#include "MidiEvent.h"

#include <cstdint>

namespace ferrovane::lv2 {

class Lv2MidiSink {
  public:
    // `room` events from `first` on, as Lv2Sequence::Next and Room give them; no room for a port
    // the host left unconnected.
    Lv2MidiSink(uint8_t* first, int room, LV2_URID midiEvent)
        : first(first), room(room), midiEvent(midiEvent) {}

    // ---- Audio thread class: the engine's routing ----
    int Room() const { return room; }
    void Put(int i, const MidiEvent&, int32_t frame, uint32_t midi) const {
        // Every routed message is a channel message: program changes and channel pressure (0xC0
        // to 0xDF) have two bytes, the others three.
        const uint32_t size = 3 - ((midi & 0xE0) == 0xC0);
        Lv2Sequence::Write(first + static_cast<size_t>(i) * Lv2Sequence::kEventSize, frame,
                           midiEvent, size, midi);
    }

  private:
    uint8_t* first;
    int room;
    LV2_URID midiEvent;
};

} // namespace ferrovane::lv2
