// route: plays a MIDI file through the plugin block by block and writes what comes back.
#include "ChunkFile.h"
#include "Commands.h"

#include "BinaryFile.h"
#include "FxPreset.h"
#include "MidiFile.h"
#include "VstHost.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace ferrovane::host {

namespace {

// Where a routing cell lies in the plugin's 598-byte program record.
constexpr size_t kRecordSize = 598;
size_t CellOffset(int in, int out) {
    return 48 + 32 * static_cast<size_t>(in) + 2 * static_cast<size_t>(out);
}

struct Options {
    std::string plugin, input, output;
    VstInt32 block = 512;
    float rate = 44100.0f;
    std::string loadBank, loadProgram, saveBank, saveProgram;
    std::vector<std::pair<int, int>> connect, disconnect;
    bool quiet = false;
};

bool Channel(const char* text, int& channel) {
    char* end = nullptr;
    long n = strtol(text, &end, 10);
    channel = static_cast<int>(n) - 1;
    return end != text && n >= 1 && n <= 16;
}

bool Node(const std::string& text, std::pair<int, int>& node) {
    size_t colon = text.find(':');
    return colon != std::string::npos && Channel(text.substr(0, colon).c_str(), node.first) &&
           Channel(text.substr(colon + 1).c_str(), node.second);
}

bool Parse(const Arguments& a, Options& o, std::string& error) {
    o.plugin = a.plugin;
    o.input = a.operands[0];
    o.output = a.operands[1];
    if (a.Has("--block")) o.block = std::atoi(a.Value("--block").c_str());
    if (a.Has("--rate")) o.rate = static_cast<float>(std::atof(a.Value("--rate").c_str()));
    o.loadBank = a.Value("--bank");
    o.loadProgram = a.Value("--program");
    o.saveBank = a.Value("--save-bank");
    o.saveProgram = a.Value("--save-program");
    o.quiet = a.Has("--quiet");
    const std::pair<const char*, std::vector<std::pair<int, int>>*> edits[] = {
        {"--connect", &o.connect}, {"--disconnect", &o.disconnect}};
    for (const auto& [name, nodes] : edits)
        for (const std::string& text : a.Values(name)) {
            if (!Node(text, nodes->emplace_back())) {
                error = std::string(name) + " takes IN:OUT, channels 1 to 16";
                return false;
            }
        }
    if (o.block < 1 || o.block > 65536) error = "--block takes 1 to 65536 frames";
    if (!(o.rate > 0)) error = "--rate takes a rate above 0";
    return error.empty();
}

// Edits the current program's matrix through its own chunk, as a preset editor would.
bool EditMatrix(VstHost& host, const Options& o, std::string& error) {
    if (o.connect.empty() && o.disconnect.empty()) return true;
    void* data = nullptr;
    if (host.Dispatch(effGetChunk, 1, 0, &data) != static_cast<VstIntPtr>(kRecordSize) || !data) {
        error = "unexpected program chunk";
        return false;
    }
    std::vector<unsigned char> record(static_cast<unsigned char*>(data),
                                      static_cast<unsigned char*>(data) + kRecordSize);
    for (auto [in, out] : o.disconnect)
        record[CellOffset(in, out)] = record[CellOffset(in, out) + 1] = 0;
    for (auto [in, out] : o.connect)
        record[CellOffset(in, out)] = record[CellOffset(in, out) + 1] = 0xFF;
    return host.Dispatch(effSetChunk, 1, kRecordSize, record.data()) == 1;
}

struct Timed {
    uint64_t frame;
    VstMidiEvent event;
};

std::vector<Timed> Play(VstHost& host, const MidiFile& in, const Options& o) {
    std::vector<Timed> queued;
    const MidiClock clock(in);
    for (const MidiFileEvent& e : in.Merged()) {
        if (e.bytes.empty() || e.bytes[0] < 0x80 || e.bytes[0] >= 0xF0) continue;
        auto frame = static_cast<uint64_t>(std::llround(clock.Seconds(e.tick) * o.rate));
        queued.push_back({frame, MidiEvent(e.bytes[0], e.bytes.size() > 1 ? e.bytes[1] : 0,
                                           e.bytes.size() > 2 ? e.bytes[2] : 0)});
    }
    std::vector<Timed> played;
    size_t next = 0;
    uint64_t last = queued.empty() ? 0 : queued.back().frame;
    // Two more blocks after the last event let a program change's note offs come out.
    for (uint64_t start = 0; start <= last + 2 * static_cast<uint64_t>(o.block); start += o.block) {
        std::vector<VstMidiEvent> block;
        for (; next < queued.size() && queued[next].frame < start + o.block; ++next) {
            queued[next].event.deltaFrames = static_cast<VstInt32>(queued[next].frame - start);
            block.push_back(queued[next].event);
        }
        for (const VstMidiEvent& e : host.Process(block, o.block))
            played.push_back({start + static_cast<uint64_t>(std::max(0, e.deltaFrames)), e});
    }
    std::stable_sort(played.begin(), played.end(),
                     [](const Timed& a, const Timed& b) { return a.frame < b.frame; });
    return played;
}

MidiFile Recording(const MidiFile& in, const std::vector<Timed>& played, float rate) {
    const MidiClock clock(in);
    MidiFile out;
    out.format = 0;
    out.division = in.division;
    out.tracks.resize(1);
    for (const MidiFileEvent& e : in.Merged())
        if (e.bytes.size() >= 2 && e.bytes[0] == 0xFF && (e.bytes[1] == 0x51 || e.bytes[1] == 0x58))
            out.tracks[0].push_back(e); // tempo and metre, so the ticks mean the same time
    for (const Timed& t : played) {
        MidiFileEvent e;
        e.tick = clock.Ticks(static_cast<double>(t.frame) / rate);
        unsigned char status = static_cast<unsigned char>(t.event.midiData[0]);
        e.bytes = {status, static_cast<unsigned char>(t.event.midiData[1] & 0x7F)};
        if ((status & 0xE0) != 0xC0) e.bytes.push_back(t.event.midiData[2] & 0x7F);
        out.tracks[0].push_back(e);
    }
    std::stable_sort(
        out.tracks[0].begin(), out.tracks[0].end(),
        [](const MidiFileEvent& a, const MidiFileEvent& b) { return a.tick < b.tick; });
    return out;
}

const char* Kind(unsigned char status) {
    static const char* const kinds[8] = {"note off", "note on",    "poly aftertouch", "control",
                                         "program",  "aftertouch", "pitch bend",      "system"};
    return kinds[(status >> 4) & 7];
}

} // namespace

constexpr OptionSpec kRouteOptions[] = {
    {"--block", "FRAMES", false},   {"--rate", "HZ", false},
    {"--bank", "FILE", false},      {"--program", "FILE", false},
    {"--save-bank", "FILE", false}, {"--save-program", "FILE", false},
    {"--connect", "IN:OUT", true},  {"--disconnect", "IN:OUT", true},
    {"--quiet", nullptr, false},
};

const CommandSpec kRouteCommand = {
    "route", "IN.mid OUT.mid", kRouteOptions,
    "Chunk files ending in .fxb/.fxp are VST preset files; others hold the raw chunk.\n"
    "Channels are numbered 1 to 16.\n",
    RouteCommand};

int RouteCommand(const std::vector<std::string>& args) {
    Arguments a;
    if (const int status = ReadArguments(kRouteCommand, args, a)) return status;
    Options o;
    std::string error;
    if (!Parse(a, o, error)) return BadArguments(kRouteCommand, error);
    MidiFile in;
    if (!ReadMidiFile(o.input, in, error)) {
        fprintf(stderr, "route: %s\n", error.c_str());
        return 1;
    }
    HostAnswers answers;
    answers.sampleRate = o.rate;
    answers.blockSize = o.block;
    VstHost host(answers);
    if (!host.Load(o.plugin) || !host.Instantiate()) {
        fprintf(stderr, "route: cannot load %s %s\n", o.plugin.c_str(), host.Error().c_str());
        return 1;
    }
    host.Start();
    if ((!o.loadBank.empty() && !LoadChunk(host, o.loadBank, true, error)) ||
        (!o.loadProgram.empty() && !LoadChunk(host, o.loadProgram, false, error)) ||
        !EditMatrix(host, o, error)) {
        fprintf(stderr, "route: %s\n", error.c_str());
        return 1;
    }
    // Settle the program change that loading raised, before the first note.
    host.Process({}, o.block);
    host.Process({}, o.block);
    std::vector<Timed> played = Play(host, in, o);
    if (!WriteMidiFile(o.output, Recording(in, played, o.rate), error) ||
        (!o.saveBank.empty() && !SaveChunk(host, o.saveBank, true, error)) ||
        (!o.saveProgram.empty() && !SaveChunk(host, o.saveProgram, false, error))) {
        fprintf(stderr, "route: %s\n", error.c_str());
        return 1;
    }
    if (!o.quiet)
        for (const Timed& t : played) {
            unsigned char status = static_cast<unsigned char>(t.event.midiData[0]);
            printf("%9.4f s  ch %2d  %-15s %3d %3d\n", static_cast<double>(t.frame) / o.rate,
                   (status & 15) + 1, Kind(status), t.event.midiData[1] & 0x7F,
                   t.event.midiData[2] & 0x7F);
        }
    printf("%zu events routed into %s\n", played.size(), o.output.c_str());
    return 0;
}

} // namespace ferrovane::host
