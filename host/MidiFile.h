// Standard MIDI Files: reading formats 0 and 1 (running status, meta and sysex events) and writing
// format 0, with the tempo map that turns ticks into seconds and back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ferrovane::host {

struct MidiFileEvent {
    uint64_t tick = 0;
    std::vector<uint8_t> bytes; // the whole message; meta events as FF type data
};

struct MidiFile {
    int format = 0;
    int division = 480; // ticks per quarter note, or SMPTE when negative in the file
    std::vector<std::vector<MidiFileEvent>> tracks;

    // Every event of every track in time order (stable: track order breaks ties).
    std::vector<MidiFileEvent> Merged() const;
    // One conversion; for many, build a MidiClock once.
    double Seconds(uint64_t tick) const;
    uint64_t Ticks(double seconds) const;
};

// The file's tempo map, read once, turning ticks into seconds and back.
class MidiClock {
  public:
    explicit MidiClock(const MidiFile& file);
    double Seconds(uint64_t tick) const;
    uint64_t Ticks(double seconds) const;

  private:
    struct TempoChange {
        uint64_t tick;
        double seconds; // time at that tick
        uint32_t tempo;
    };

    int division;
    std::vector<TempoChange> changes;
};

[[nodiscard]] bool ReadMidiFile(const std::string& path, MidiFile& file, std::string& error);
[[nodiscard]] bool ParseMidiFile(const std::vector<unsigned char>& data, MidiFile& file,
                                 std::string& error);
[[nodiscard]] bool WriteMidiFile(const std::string& path, const MidiFile& file, std::string& error);
std::vector<unsigned char> SerializeMidiFile(const MidiFile& file);

} // namespace ferrovane::host
