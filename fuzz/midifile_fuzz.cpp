// Any bytes read as a Standard MIDI File, as the host's route command reads one: the parser
// stays within the data, the tempo map answers for every event, and what the host would write
// back reads again with the same channel events at the same ticks.
#include "MidiFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using ferrovane::host::MidiFile;
using ferrovane::host::MidiFileEvent;

std::vector<MidiFileEvent> ChannelEvents(const MidiFile& file) {
    std::vector<MidiFileEvent> events;
    for (MidiFileEvent& e : file.Merged())
        if (!e.bytes.empty() && e.bytes[0] >= 0x80 && e.bytes[0] < 0xF0) events.push_back(e);
    return events;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<unsigned char> bytes(data, data + size);
    MidiFile file;
    std::string error;
    if (!ferrovane::host::ParseMidiFile(bytes, file, error)) return 0;
    const ferrovane::host::MidiClock clock(file);
    for (const MidiFileEvent& e : file.Merged())
        (void)clock.Ticks(clock.Seconds(e.tick));

    MidiFile again;
    if (!ferrovane::host::ParseMidiFile(ferrovane::host::SerializeMidiFile(file), again, error))
        abort();
    const std::vector<MidiFileEvent> before = ChannelEvents(file), after = ChannelEvents(again);
    if (before.size() != after.size()) abort();
    for (size_t i = 0; i < before.size(); ++i)
        if (before[i].tick != after[i].tick || before[i].bytes != after[i].bytes) abort();
    return 0;
}
