#include "MidiFile.h"

#include "BinaryFile.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace ferrovane::host {

namespace {

constexpr uint32_t kDefaultTempo = 500000; // microseconds per quarter note

class Reader {
  public:
    Reader(const uint8_t* data, size_t size) : p(data), end(data + size) {}
    bool Has(size_t n) const { return static_cast<size_t>(end - p) >= n; }
    uint8_t U8() { return Has(1) ? *p++ : (bad = true, 0); }
    uint32_t Be(int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i)
            v = v << 8 | U8();
        return v;
    }
    uint32_t Vlq() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            uint8_t b = U8();
            v = v << 7 | (b & 0x7F);
            if (!(b & 0x80)) return v;
        }
        bad = true;
        return v;
    }
    std::vector<uint8_t> Bytes(size_t n) {
        if (!Has(n)) {
            bad = true;
            n = static_cast<size_t>(end - p);
        }
        std::vector<uint8_t> v(p, p + n);
        p += n;
        return v;
    }
    const uint8_t* p;
    const uint8_t* end;
    bool bad = false;
};

int DataBytes(uint8_t status) {
    switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
        return 1;
    default:
        return 2;
    }
}

bool ParseTrack(Reader& r, std::vector<MidiFileEvent>& track) {
    uint64_t tick = 0;
    uint8_t running = 0;
    while (r.Has(1) && !r.bad) {
        tick += r.Vlq();
        MidiFileEvent e;
        e.tick = tick;
        uint8_t first = r.U8();
        if (first == 0xFF) {
            uint8_t type = r.U8();
            std::vector<uint8_t> data = r.Bytes(r.Vlq());
            e.bytes = {0xFF, type};
            e.bytes.insert(e.bytes.end(), data.begin(), data.end());
            track.push_back(std::move(e));
            if (type == 0x2F) return !r.bad;
            continue;
        }
        if (first == 0xF0 || first == 0xF7) {
            std::vector<uint8_t> data = r.Bytes(r.Vlq());
            e.bytes = {first};
            e.bytes.insert(e.bytes.end(), data.begin(), data.end());
            track.push_back(std::move(e));
            running = 0;
            continue;
        }
        uint8_t status = first;
        if (first < 0x80) {
            if (!running) return false;
            status = running;
            e.bytes = {status, first};
        } else {
            if (first > 0xEF) return false; // system common messages have no place in a file
            running = status;
            e.bytes = {status, r.U8()};
        }
        if (DataBytes(status) == 2) e.bytes.push_back(r.U8());
        track.push_back(std::move(e));
    }
    return !r.bad;
}

void PutBe(std::vector<uint8_t>& out, uint32_t v, int n) {
    for (int i = n - 1; i >= 0; --i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutVlq(std::vector<uint8_t>& out, uint32_t v) {
    uint8_t groups[5];
    int n = 0;
    do {
        groups[n++] = v & 0x7F;
        v >>= 7;
    } while (v);
    while (n--)
        out.push_back(groups[n] | (n ? 0x80 : 0));
}

// Ticks per second for SMPTE divisions: frames per second times ticks per frame.
double SmpteRate(int division) {
    int fps = -static_cast<int8_t>((division >> 8) & 0xFF);
    return (fps == 29 ? 29.97 : fps) * (division & 0xFF);
}

} // namespace

std::vector<MidiFileEvent> MidiFile::Merged() const {
    std::vector<MidiFileEvent> all;
    for (const auto& track : tracks)
        all.insert(all.end(), track.begin(), track.end());
    std::stable_sort(all.begin(), all.end(), [](const MidiFileEvent& a, const MidiFileEvent& b) {
        return a.tick < b.tick;
    });
    return all;
}

double MidiFile::Seconds(uint64_t tick) const {
    return MidiClock(*this).Seconds(tick);
}

uint64_t MidiFile::Ticks(double seconds) const {
    return MidiClock(*this).Ticks(seconds);
}

MidiClock::MidiClock(const MidiFile& file)
    : division(file.division), changes{{0, 0.0, kDefaultTempo}} {
    if (division <= 0) return;
    for (const MidiFileEvent& e : file.Merged()) {
        if (e.bytes.size() != 5 || e.bytes[0] != 0xFF || e.bytes[1] != 0x51) continue;
        uint32_t tempo = e.bytes[2] << 16 | e.bytes[3] << 8 | e.bytes[4];
        if (tempo == 0) continue;
        const TempoChange& last = changes.back();
        double at =
            last.seconds + static_cast<double>(e.tick - last.tick) * last.tempo / 1e6 / division;
        changes.push_back({e.tick, at, tempo});
    }
}

double MidiClock::Seconds(uint64_t tick) const {
    if (division < 0) return static_cast<double>(tick) / SmpteRate(division);
    auto at =
        std::prev(std::upper_bound(changes.begin(), changes.end(), tick,
                                   [](uint64_t t, const TempoChange& c) { return t < c.tick; }));
    return at->seconds + static_cast<double>(tick - at->tick) * at->tempo / 1e6 / division;
}

uint64_t MidiClock::Ticks(double seconds) const {
    if (division < 0) return static_cast<uint64_t>(std::llround(seconds * SmpteRate(division)));
    auto at =
        std::prev(std::upper_bound(changes.begin(), changes.end(), seconds,
                                   [](double s, const TempoChange& c) { return s < c.seconds; }));
    return at->tick + static_cast<uint64_t>(
                          std::llround((seconds - at->seconds) * 1e6 * division / at->tempo));
}

bool ParseMidiFile(const std::vector<unsigned char>& data, MidiFile& file, std::string& error) {
    Reader r(data.data(), data.size());
    if (r.Be(4) != 0x4D546864 || r.Be(4) != 6) {
        error = "not a Standard MIDI File";
        return false;
    }
    file.format = static_cast<int>(r.Be(2));
    uint32_t tracks = r.Be(2);
    file.division = static_cast<int16_t>(r.Be(2));
    file.tracks.clear();
    if (file.division == 0 || file.format > 1) {
        error = "unsupported MIDI file (format 0 and 1 only)";
        return false;
    }
    for (uint32_t t = 0; t < tracks && r.Has(8); ++t) {
        uint32_t id = r.Be(4), length = r.Be(4);
        if (!r.Has(length)) {
            error = "truncated MIDI track";
            return false;
        }
        Reader chunk(r.p, length);
        r.p += length;
        if (id != 0x4D54726B) continue; // unknown chunks are skipped
        file.tracks.emplace_back();
        if (!ParseTrack(chunk, file.tracks.back())) {
            error = "malformed MIDI track";
            return false;
        }
    }
    return true;
}

bool ReadMidiFile(const std::string& path, MidiFile& file, std::string& error) {
    std::vector<unsigned char> data;
    return ReadFile(path, data, error) && ParseMidiFile(data, file, error);
}

std::vector<unsigned char> SerializeMidiFile(const MidiFile& file) {
    std::vector<uint8_t> out;
    PutBe(out, 0x4D546864, 4);
    PutBe(out, 6, 4);
    PutBe(out, file.format, 2);
    PutBe(out, static_cast<uint32_t>(file.tracks.size()), 2);
    PutBe(out, static_cast<uint16_t>(file.division), 2);
    for (const auto& track : file.tracks) {
        std::vector<uint8_t> body;
        uint64_t last = 0;
        bool ended = false;
        for (const MidiFileEvent& e : track) {
            if (e.bytes.empty()) continue;
            PutVlq(body, static_cast<uint32_t>(e.tick - last));
            last = e.tick;
            if (e.bytes[0] == 0xFF && e.bytes.size() >= 2) {
                body.push_back(0xFF);
                body.push_back(e.bytes[1]);
                PutVlq(body, static_cast<uint32_t>(e.bytes.size() - 2));
                body.insert(body.end(), e.bytes.begin() + 2, e.bytes.end());
                ended = e.bytes[1] == 0x2F;
            } else if (e.bytes[0] == 0xF0 || e.bytes[0] == 0xF7) {
                body.push_back(e.bytes[0]);
                PutVlq(body, static_cast<uint32_t>(e.bytes.size() - 1));
                body.insert(body.end(), e.bytes.begin() + 1, e.bytes.end());
            } else {
                body.insert(body.end(), e.bytes.begin(), e.bytes.end());
            }
        }
        if (!ended) body.insert(body.end(), {0x00, 0xFF, 0x2F, 0x00});
        PutBe(out, 0x4D54726B, 4);
        PutBe(out, static_cast<uint32_t>(body.size()), 4);
        out.insert(out.end(), body.begin(), body.end());
    }
    return out;
}

bool WriteMidiFile(const std::string& path, const MidiFile& file, std::string& error) {
    return WriteFile(path, SerializeMidiFile(file), error);
}

} // namespace ferrovane::host
