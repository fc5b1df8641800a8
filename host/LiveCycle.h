// One JACK cycle of the live host: the cycle's MIDI input becomes one VstEvents block, the plugin
// processes the cycle's audio, and what it sends back goes to the MIDI output port at its frame.
// Everything here runs on JACK's processing thread: it never allocates, locks or blocks.
#pragma once

#include "VstHost.h"

#include <jack/jack.h>

#include <atomic>
#include <cstdint>

namespace ferrovane::host {

struct LivePorts {
    jack_port_t* midiIn = nullptr;
    jack_port_t* midiOut = nullptr;
    jack_port_t* audioIn[2] = {};
    jack_port_t* audioOut[2] = {};
};

// Counted on the processing thread, read by anyone with relaxed loads.
struct LiveCounters {
    std::atomic<uint64_t> in{0};   // events handed to the plugin
    std::atomic<uint64_t> out{0};  // events written to the output port
    std::atomic<uint64_t> lost{0}; // input past the block's room, or output JACK refused
};
static_assert(std::atomic<uint64_t>::is_always_lock_free);

class LiveCycle : public EventSink {
  public:
    // Input events a cycle can hand to the plugin; the rest are counted as lost.
    static constexpr size_t kCapacity = 1024;

    // The plugin in `host` is started; from here on it sends its events to this cycle.
    LiveCycle(VstHost& host, const LivePorts& ports);
    ~LiveCycle() override;
    LiveCycle(const LiveCycle&) = delete;
    LiveCycle& operator=(const LiveCycle&) = delete;

    // The process callback's work for one cycle of `frames` frames.
    void Process(jack_nframes_t frames);
    const LiveCounters& Counters() const { return counters; }

  private:
    void Receive(const VstEvents& events) override;
    size_t ReadInput(void* buffer);

    VstHost& host;
    LivePorts ports;
    EventBlock block{kCapacity};
    void* output = nullptr; // the output port's buffer during the plugin's processing call
    jack_nframes_t cycleFrames = 0;
    uint64_t written = 0, refused = 0;
    LiveCounters counters;
};

} // namespace ferrovane::host
