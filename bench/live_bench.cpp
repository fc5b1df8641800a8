// Cost of one cycle of the live host's JACK process callback, beside the plugin's own processing
// of the same events. The callback runs on real JACK port buffers: those of a client of the
// benchmark's own on a server of its own, left inactive so that only the benchmark calls it.
#include "JackBuffers.h"
#include "LiveCycle.h"
#include "VSTPlugin.h"
#include "VstHost.h"

#include <benchmark/benchmark.h>
#include <jack/midiport.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using ferrovane::VSTPlugin;
using ferrovane::host::EventBlock;
using ferrovane::host::EventSink;
using ferrovane::host::LiveCycle;
using ferrovane::host::VstHost;

JackBuffers& Buffers() {
    static JackBuffers buffers;
    if (!buffers.Ok()) {
        fprintf(stderr, "live_bench: no JACK server (is jackd installed?)\n");
        exit(1);
    }
    return buffers;
}

// Controllers on every channel, spread evenly over the cycle.
std::vector<VstMidiEvent> Controllers(int count, int frames) {
    std::vector<VstMidiEvent> v;
    for (int i = 0; i < count; ++i)
        v.push_back(ferrovane::host::MidiEvent(static_cast<unsigned char>(0xB0 | (i & 15)),
                                               1 + (i & 31), i & 127, i * frames / count));
    return v;
}

void StartPlugin(VstHost& host) {
    host.Create(
        [](audioMasterCallback callback, void*) {
            int error = 0;
            return (new VSTPlugin(callback, error))->getAeffect();
        },
        nullptr);
    host.Start();
}

void PerCycle(benchmark::State& state) {
    state.counters["ns/cycle"] =
        benchmark::Counter(static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The whole callback: JACK buffers in and out, the block built, the plugin, the writes.
void LiveCallback(benchmark::State& state) {
    const auto frames = static_cast<int>(state.range(0));
    JackBuffers& buffers = Buffers();
    void* input = buffers.ClearedInput();
    for (const VstMidiEvent& e : Controllers(static_cast<int>(state.range(1)), frames)) {
        const jack_midi_data_t bytes[3] = {static_cast<jack_midi_data_t>(e.midiData[0]),
                                           static_cast<jack_midi_data_t>(e.midiData[1]),
                                           static_cast<jack_midi_data_t>(e.midiData[2])};
        jack_midi_event_write(input, static_cast<jack_nframes_t>(e.deltaFrames), bytes, 3);
    }
    VstHost host;
    StartPlugin(host);
    LiveCycle cycle(host, buffers.Ports());
    for (auto _ : state)
        cycle.Process(static_cast<jack_nframes_t>(frames));
    PerCycle(state);
    if (cycle.Counters().out.load() != cycle.Counters().in.load())
        state.SkipWithError("events went missing");
}

struct Discard : EventSink {
    void Receive(const VstEvents& events) override { benchmark::DoNotOptimize(events.numEvents); }
};

// The plugin alone on the same events: effProcessEvents and processReplacing.
void PluginOnly(benchmark::State& state) {
    const auto frames = static_cast<int>(state.range(0));
    EventBlock block(Controllers(static_cast<int>(state.range(1)), frames));
    // A buffer of its own for each channel each way, as JACK gives the callback.
    std::vector<float> audio[4];
    for (std::vector<float>& channel : audio)
        channel.assign(static_cast<size_t>(frames), 0.0f);
    float* ins[2] = {audio[0].data(), audio[1].data()};
    float* outs[2] = {audio[2].data(), audio[3].data()};
    VstHost host;
    StartPlugin(host);
    Discard discard;
    host.SendEventsTo(&discard);
    for (auto _ : state)
        host.ProcessBlock(block.Get(), ins, outs, frames);
    PerCycle(state);
}

void Cases(benchmark::internal::Benchmark* b) {
    for (int frames : {64, 256, 1024})
        for (int events : {0, 16, 256})
            b->Args({frames, events});
}

} // namespace

BENCHMARK(LiveCallback)->Apply(Cases);
BENCHMARK(PluginOnly)->Apply(Cases);
BENCHMARK_MAIN();
