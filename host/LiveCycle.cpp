#include "LiveCycle.h"

#include <jack/midiport.h>

#include <algorithm>

namespace ferrovane::host {

namespace {

// Bytes of a channel message with this status; 0 for anything else (system messages, data bytes),
// which the plugin never routes.
size_t ChannelMessageSize(unsigned char status) {
    if (status < 0x80 || status >= 0xF0) return 0;
    const unsigned char type = status & 0xF0;
    return type == 0xC0 || type == 0xD0 ? 2 : 3;
}

void Add(std::atomic<uint64_t>& counter, uint64_t n) {
    if (n) counter.store(counter.load(std::memory_order_relaxed) + n, std::memory_order_relaxed);
}

} // namespace

LiveCycle::LiveCycle(VstHost& h, const LivePorts& p) : host(h), ports(p) {
    host.SendEventsTo(this);
}

LiveCycle::~LiveCycle() {
    host.SendEventsTo(nullptr);
}

// ---- JACK processing thread ----

void LiveCycle::Process(jack_nframes_t frames) {
    void* input = jack_port_get_buffer(ports.midiIn, frames);
    output = jack_port_get_buffer(ports.midiOut, frames);
    jack_midi_clear_buffer(output);
    cycleFrames = frames;
    written = refused = 0;
    const size_t taken = ReadInput(input);
    float* in[2];
    float* out[2];
    for (int c = 0; c < 2; ++c) {
        in[c] = static_cast<float*>(jack_port_get_buffer(ports.audioIn[c], frames));
        out[c] = static_cast<float*>(jack_port_get_buffer(ports.audioOut[c], frames));
    }
    host.ProcessBlock(block.Get(), in, out, static_cast<VstInt32>(frames));
    output = nullptr;
    Add(counters.in, taken);
    Add(counters.out, written);
    Add(counters.lost, refused);
}

// Copies the cycle's channel messages into the block, each at its frame in the cycle.
size_t LiveCycle::ReadInput(void* buffer) {
    const uint32_t count = jack_midi_get_event_count(buffer);
    size_t taken = 0;
    for (uint32_t i = 0; i < count; ++i) {
        jack_midi_event_t e;
        if (jack_midi_event_get(&e, buffer, i) != 0 || e.size == 0) continue;
        const size_t size = ChannelMessageSize(e.buffer[0]);
        if (size == 0 || e.size != size) continue;
        if (taken == kCapacity) {
            ++refused;
            continue;
        }
        block.Slot(taken++) = MidiEvent(e.buffer[0], e.buffer[1], size == 3 ? e.buffer[2] : 0,
                                        static_cast<VstInt32>(e.time));
    }
    block.SetCount(taken);
    return taken;
}

// The plugin's events, in the order it sends them, each at its frame clamped into the cycle.
// JACK takes a port's events only in time order: one that would go back in time is refused
// and counted as lost.
void LiveCycle::Receive(const VstEvents& events) {
    if (!output || cycleFrames == 0) return;
    VstEvent* const* list = events.events; // longer than its declared two entries
    for (VstInt32 i = 0; i < events.numEvents; ++i) {
        if (!list[i] || list[i]->type != kVstMidiType) continue;
        const auto& e = *reinterpret_cast<const VstMidiEvent*>(list[i]);
        const jack_midi_data_t bytes[3] = {static_cast<jack_midi_data_t>(e.midiData[0]),
                                           static_cast<jack_midi_data_t>(e.midiData[1] & 0x7F),
                                           static_cast<jack_midi_data_t>(e.midiData[2] & 0x7F)};
        const size_t size = ChannelMessageSize(bytes[0]);
        if (size == 0) continue;
        const auto frame = static_cast<jack_nframes_t>(
            std::clamp<VstInt32>(e.deltaFrames, 0, static_cast<VstInt32>(cycleFrames - 1)));
        if (jack_midi_event_write(output, frame, bytes, size) == 0)
            ++written;
        else
            ++refused;
    }
}

} // namespace ferrovane::host
