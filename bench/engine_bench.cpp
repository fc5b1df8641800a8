// Cost of one processing block per input event, against the floor of copying the same events into
// an outgoing block with no routing at all; and the same events through the LV2 plugin's run()
// and through x42's MIDI channel map, both run by the lilv host of the tests.
#include "Lv2Host.h"
#include "VSTPlugin.h"
#include "VstHost.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

using ferrovane::VSTPlugin;

VstIntPtr Host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
    if (opcode == audioMasterVersion) return 2400;
    if (opcode == audioMasterProcessEvents) {
        benchmark::DoNotOptimize(static_cast<VstEvents*>(ptr)->numEvents);
        return 1;
    }
    return 0;
}

using ferrovane::host::EventBlock;

VstMidiEvent Event(unsigned char status, unsigned char d1, unsigned char d2, VstInt32 delta) {
    return ferrovane::host::MidiEvent(status, d1, d2, delta);
}

std::vector<VstMidiEvent> NotePairs(int n) {
    std::vector<VstMidiEvent> v;
    for (int i = 0; i < n / 2; ++i) {
        v.push_back(Event(0x90 | (i & 15), 36 + (i % 48), 100, i));
        v.push_back(Event(0x80 | (i & 15), 36 + (i % 48), 0, i));
    }
    return v;
}

std::vector<VstMidiEvent> Controllers(int n) {
    std::vector<VstMidiEvent> v;
    for (int i = 0; i < n; ++i)
        v.push_back(Event(0xB0 | (i & 15), 1 + (i & 31), i & 127, i));
    return v;
}

void Process(VSTPlugin& plugin, EventBlock& block) {
    AEffect* e = plugin.getAeffect();
    static float in[64], out[64];
    float* ins[2] = {in, in};
    float* outs[2] = {out, out};
    e->dispatcher(e, effProcessEvents, 0, 0, block.Get(), 0.0f);
    e->processReplacing(e, ins, outs, 64);
}

void RunBlocks(benchmark::State& state, VSTPlugin& plugin, EventBlock& block) {
    for (auto _ : state)
        Process(plugin, block);
    state.counters["ns/event"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * static_cast<double>(block.Get()->numEvents),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

struct Plugin {
    Plugin() {
        int error = 0;
        plugin = new VSTPlugin(Host, error);
        plugin->resume();
    }
    ~Plugin() { delete plugin; }
    VSTPlugin* plugin;
};

void IdentityNotes(benchmark::State& state) {
    Plugin p;
    EventBlock block(NotePairs(static_cast<int>(state.range(0))));
    RunBlocks(state, *p.plugin, block);
}

// The same pairs while 200 other notes sound: the note table holds 200 entries throughout.
void HeldNotes(benchmark::State& state) {
    Plugin p;
    std::vector<VstMidiEvent> held;
    for (int i = 0; i < 200; ++i)
        held.push_back(Event(0x90 | (i & 15), 84 + i / 16, 100, 0));
    EventBlock sounding(held);
    Process(*p.plugin, sounding);
    EventBlock block(NotePairs(static_cast<int>(state.range(0))));
    RunBlocks(state, *p.plugin, block);
}

void FanOutNotes(benchmark::State& state) {
    Plugin p;
    for (uint16_t& cell : p.plugin->Engine().CurrentProgram().routing[0])
        cell = 0xFFFF;
    std::vector<VstMidiEvent> v;
    for (int i = 0; i < state.range(0) / 2; ++i) {
        v.push_back(Event(0x90, 36 + (i % 48), 100, i));
        v.push_back(Event(0x80, 36 + (i % 48), 0, i));
    }
    EventBlock block(v);
    RunBlocks(state, *p.plugin, block);
}

void IdentityControllers(benchmark::State& state) {
    Plugin p;
    EventBlock block(Controllers(static_cast<int>(state.range(0))));
    RunBlocks(state, *p.plugin, block);
}

// The floor: the same events copied into an outgoing block and handed to the host.
void CopyFloor(benchmark::State& state) {
    EventBlock block(Controllers(static_cast<int>(state.range(0))));
    static VstMidiEvent slots[512];
    struct {
        VstInt32 numEvents;
        VstIntPtr reserved;
        VstEvent* events[512];
    } out{};
    for (auto _ : state) {
        VstEvent* const* in = block.Get()->events;
        int n = block.Get()->numEvents;
        for (int i = 0; i < n; ++i) {
            memcpy(&slots[i], in[i], sizeof(VstMidiEvent));
            out.events[i] = reinterpret_cast<VstEvent*>(&slots[i]);
        }
        out.numEvents = n;
        Host(nullptr, audioMasterProcessEvents, 0, 0, &out, 0.0f);
        benchmark::ClobberMemory();
    }
    state.counters["ns/event"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * static_cast<double>(block.Get()->numEvents),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The VST events as an LV2 host hands them over, at the same frames.
std::vector<ferrovane::test::Lv2Event> AsLv2(const std::vector<VstMidiEvent>& events) {
    std::vector<ferrovane::test::Lv2Event> out;
    for (const VstMidiEvent& e : events)
        out.push_back({static_cast<uint32_t>(e.deltaFrames),
                       {static_cast<uint8_t>(e.midiData[0]), static_cast<uint8_t>(e.midiData[1]),
                        static_cast<uint8_t>(e.midiData[2])}});
    return out;
}

// One LV2 run() per iteration over the same input; the host readies the outputs before each, as
// hosts do. A block of 512 frames holds every event at its own frame.
void RunLv2(benchmark::State& state, const char* uri, const std::vector<VstMidiEvent>& events) {
    static ferrovane::test::Lv2World world;
    ferrovane::test::Lv2Instance plugin(world, uri);
    if (!plugin.Ok()) {
        state.SkipWithError("the plugin is not installed");
        return;
    }
    plugin.Feed(AsLv2(events));
    for (auto _ : state) {
        plugin.Rearm();
        plugin.RunFed(512);
        benchmark::ClobberMemory();
    }
    state.counters["ns/event"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * static_cast<double>(events.size()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

constexpr const char* kChannelMap = "http://gareus.org/oss/lv2/midifilter#channelmap";

void Lv2IdentityControllers(benchmark::State& state) {
    RunLv2(state, nullptr, Controllers(static_cast<int>(state.range(0))));
}

void Lv2IdentityNotes(benchmark::State& state) {
    RunLv2(state, nullptr, NotePairs(static_cast<int>(state.range(0))));
}

// x42's channel map at its defaults: channel n to channel n.
void X42Controllers(benchmark::State& state) {
    RunLv2(state, kChannelMap, Controllers(static_cast<int>(state.range(0))));
}

void X42Notes(benchmark::State& state) {
    RunLv2(state, kChannelMap, NotePairs(static_cast<int>(state.range(0))));
}

} // namespace

BENCHMARK(Lv2IdentityControllers)->Arg(64)->Arg(512);
BENCHMARK(Lv2IdentityNotes)->Arg(64)->Arg(512);
BENCHMARK(X42Controllers)->Arg(64)->Arg(512);
BENCHMARK(X42Notes)->Arg(64)->Arg(512);
BENCHMARK(CopyFloor)->Arg(64)->Arg(512);
BENCHMARK(IdentityNotes)->Arg(64)->Arg(512);
BENCHMARK(HeldNotes)->Arg(64)->Arg(512);
BENCHMARK(FanOutNotes)->Arg(64)->Arg(512);
BENCHMARK(IdentityControllers)->Arg(64)->Arg(512);
BENCHMARK_MAIN();
