// A MIDI event as the engine queues and routes it: 32 bytes, of which the engine reads and writes
// only the frame and the MIDI bytes. The rest travels unchanged with every routed copy, for the
// front end that made the event (a VST 2.x host's event record has this layout, so its events
// pass whole). An event the engine makes itself (the note offs of a flush) carries the defaults.
#pragma once

#include <cstdint>

namespace ferrovane {

struct MidiEvent {
    int32_t kind = 1;  // a MIDI event
    int32_t size = 24; // the bytes after the first two fields
    int32_t frame = 0; // within the processing block
    int32_t carried[3] = {};
    uint8_t midi[4] = {}; // status, data 1, data 2, 0
    uint8_t carriedBytes[4] = {};
};

static_assert(sizeof(MidiEvent) == 32);

// The MIDI bytes a channel message of this status byte has: 2 for program changes and channel
// pressure, 3 for the others; 0 for system messages and data bytes, which the engine drops.
inline constexpr int8_t kChannelMessageSizes[16] = {0, 0, 0, 0, 0, 0, 0, 0, 3, 3, 3, 3, 2, 2, 3, 0};
constexpr int ChannelMessageSize(uint8_t status) {
    return kChannelMessageSizes[status >> 4];
}

} // namespace ferrovane
