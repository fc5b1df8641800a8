// A JACK client of the test's own with one MIDI port: a sender plays a schedule into its output,
// a receiver records what reaches its input. Frames are JACK's absolute frame times, so what two
// clients see in the same cycle at the same frame compares equal.
#pragma once

#include "JackServer.h"

#include <jack/jack.h>
#include <jack/midiport.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace ferrovane::test {

struct PeerEvent {
    uint32_t frame;
    uint8_t size;
    uint8_t bytes[3];
    bool operator==(const PeerEvent& o) const {
        return frame == o.frame && size == o.size && bytes[0] == o.bytes[0] &&
               (size < 2 || bytes[1] == o.bytes[1]) && (size < 3 || bytes[2] == o.bytes[2]);
    }
};

inline PeerEvent Message(uint32_t frame, uint8_t status, uint8_t d1, uint8_t d2 = 0) {
    const uint8_t type = status & 0xF0;
    return {frame, static_cast<uint8_t>(type == 0xC0 || type == 0xD0 ? 2 : 3), {status, d1, d2}};
}

class MidiPeer {
  public:
    // Records up to `capacity` events when receiving.
    MidiPeer(const std::string& server, const char* name, bool sends, size_t capacity = 1 << 18)
        : sends(sends), storage(sends ? 0 : capacity) {
        client = OpenJackClient(server, name);
        if (!client) return;
        port = jack_port_register(client, sends ? "out" : "in", JACK_DEFAULT_MIDI_TYPE,
                                  sends ? JackPortIsOutput : JackPortIsInput, 0);
        jack_set_process_callback(client, Process, this);
        jack_set_xrun_callback(
            client,
            [](void* self) {
                static_cast<MidiPeer*>(self)->xruns.fetch_add(1);
                return 0;
            },
            this);
        if (!port || jack_activate(client) != 0) {
            jack_client_close(client);
            client = nullptr;
        }
    }
    ~MidiPeer() {
        if (client) jack_client_close(client);
    }
    MidiPeer(const MidiPeer&) = delete;
    MidiPeer& operator=(const MidiPeer&) = delete;

    bool Ok() const { return client != nullptr; }
    std::string Port() const { return client ? jack_port_name(port) : ""; }
    bool Connected() const { return client && jack_port_connected(port) > 0; }
    uint64_t Xruns() const { return xruns.load(); }

    // Plays `events` once; their frames count from the first cycle after this call.
    void Play(std::vector<PeerEvent> events) {
        schedule = std::move(events);
        armed.store(true, std::memory_order_release);
    }
    bool Played() const { return played.load(std::memory_order_acquire); }
    // The absolute frame the schedule counted from; valid once Played.
    uint32_t Start() const { return start; }

    size_t Count() const { return stored.load(std::memory_order_acquire); }
    // Cycles this client has run.
    uint64_t Cycles() const { return cycles.load(); }
    std::vector<PeerEvent> Received() const {
        return {storage.begin(), storage.begin() + static_cast<long>(Count())};
    }

  private:
    static int Process(jack_nframes_t frames, void* arg) {
        auto* self = static_cast<MidiPeer*>(arg);
        void* buffer = jack_port_get_buffer(self->port, frames);
        const jack_nframes_t now = jack_last_frame_time(self->client);
        if (self->sends)
            self->Send(buffer, now, frames);
        else
            self->Record(buffer, now);
        self->cycles.fetch_add(1);
        return 0;
    }

    void Send(void* buffer, jack_nframes_t now, jack_nframes_t frames) {
        jack_midi_clear_buffer(buffer);
        if (!armed.load(std::memory_order_acquire) || played.load(std::memory_order_relaxed))
            return;
        if (!started) {
            start = now;
            started = true;
        }
        const uint32_t cycle = now - start;
        for (; next < schedule.size() && schedule[next].frame < cycle + frames; ++next) {
            const PeerEvent& e = schedule[next];
            const uint32_t at = e.frame > cycle ? e.frame - cycle : 0;
            jack_midi_event_write(buffer, at, e.bytes, e.size);
        }
        if (next == schedule.size()) played.store(true, std::memory_order_release);
    }

    void Record(void* buffer, jack_nframes_t now) {
        const uint32_t count = jack_midi_get_event_count(buffer);
        size_t n = stored.load(std::memory_order_relaxed);
        for (uint32_t i = 0; i < count && n < storage.size(); ++i) {
            jack_midi_event_t e;
            if (jack_midi_event_get(&e, buffer, i) != 0) continue;
            PeerEvent& slot = storage[n++];
            slot = {now + e.time, static_cast<uint8_t>(e.size < 3 ? e.size : 3), {}};
            for (size_t b = 0; b < slot.size; ++b)
                slot.bytes[b] = e.buffer[b];
        }
        stored.store(n, std::memory_order_release);
    }

    jack_client_t* client = nullptr;
    jack_port_t* port = nullptr;
    const bool sends;
    std::vector<PeerEvent> schedule;
    size_t next = 0;
    bool started = false;
    uint32_t start = 0;
    std::atomic<bool> armed{false}, played{false};
    std::vector<PeerEvent> storage;
    std::atomic<size_t> stored{0};
    std::atomic<uint64_t> xruns{0}, cycles{0};
};

} // namespace ferrovane::test
