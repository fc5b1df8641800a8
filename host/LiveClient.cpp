#include "LiveClient.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace ferrovane::host {

namespace {

// libjack's own messages would only repeat ours, a line at a time through the status line.
void Quiet(const char*) {}

int Process(jack_nframes_t frames, void* cycle) {
    static_cast<LiveCycle*>(cycle)->Process(frames);
    return 0;
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

} // namespace

LiveClient::~LiveClient() {
    Stop();
    Close();
}

bool LiveClient::Open(const std::string& name, std::string& error) {
    jack_set_error_function(Quiet);
    jack_set_info_function(Quiet);
    if (name.empty() || name.size() >= static_cast<size_t>(jack_client_name_size())) {
        error = "a JACK client name has 1 to " + std::to_string(jack_client_name_size() - 1) +
                " characters";
        return false;
    }
    jack_status_t status{};
    client = jack_client_open(name.c_str(), JackNoStartServer, &status);
    if (!client) {
        char code[16];
        snprintf(code, sizeof code, "0x%x", static_cast<unsigned>(status));
        error =
            status & JackServerFailed
                ? "no JACK server running: start one, e.g. `jackd -d dummy` or PipeWire's JACK"
                : "the JACK server refused the client " + Quoted(name) + " (status " + code + ")";
        return false;
    }
    period.store(jack_get_buffer_size(client), std::memory_order_relaxed);
    jack_set_buffer_size_callback(
        client,
        [](jack_nframes_t frames, void* self) {
            static_cast<LiveClient*>(self)->period.store(frames, std::memory_order_relaxed);
            return 0;
        },
        this);
    return true;
}

bool LiveClient::RegisterPorts(std::string& error) {
    struct Port {
        jack_port_t** slot;
        const char* name;
        const char* type;
        unsigned long flags;
    };
    const Port wanted[] = {
        {&ports.midiIn, "midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput},
        {&ports.midiOut, "midi_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput},
        {&ports.audioIn[0], "audio_in_1", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput},
        {&ports.audioIn[1], "audio_in_2", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput},
        {&ports.audioOut[0], "audio_out_1", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput},
        {&ports.audioOut[1], "audio_out_2", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput},
    };
    for (const Port& p : wanted)
        if (!(*p.slot = jack_port_register(client, p.name, p.type, p.flags, 0))) {
            error = std::string("JACK gave no port ") + p.name;
            return false;
        }
    return true;
}

const char* LiveClient::Name() const {
    return client ? jack_get_client_name(client) : "";
}

jack_nframes_t LiveClient::SampleRate() const {
    return client ? jack_get_sample_rate(client) : 0;
}

bool LiveClient::PlanConnections(const std::vector<std::string>& sources,
                                 const std::vector<std::string>& sinks, std::string& error) {
    connections.clear();
    int audioIn = 0, audioOut = 0;
    for (const std::string& port : sources)
        if (!Plan(port, true, audioIn, error)) return false;
    for (const std::string& port : sinks)
        if (!Plan(port, false, audioOut, error)) return false;
    return true;
}

bool LiveClient::Plan(const std::string& other, bool toUs, int& audioUsed, std::string& error) {
    jack_port_t* port = jack_port_by_name(client, other.c_str());
    if (!port) {
        error = "no JACK port named " + Quoted(other) + " (jack_lsp lists them)";
        return false;
    }
    if (!(jack_port_flags(port) & (toUs ? JackPortIsOutput : JackPortIsInput))) {
        error = Quoted(other) + (toUs ? " is an input: --connect-in takes a port that sends"
                                      : " is an output: --connect-out takes a port that receives");
        return false;
    }
    const char* type = jack_port_type(port);
    jack_port_t* ours = nullptr;
    if (strcmp(type, JACK_DEFAULT_MIDI_TYPE) == 0) {
        ours = toUs ? ports.midiIn : ports.midiOut;
    } else if (strcmp(type, JACK_DEFAULT_AUDIO_TYPE) == 0 && audioUsed < 2) {
        ours = toUs ? ports.audioIn[audioUsed] : ports.audioOut[audioUsed];
        ++audioUsed;
    } else {
        error = "no port of ours left for " + Quoted(other);
        return false;
    }
    const std::string mine = jack_port_name(ours);
    connections.emplace_back(toUs ? other : mine, toUs ? mine : other);
    return true;
}

bool LiveClient::Start(LiveCycle& cycle, std::string& error) {
    jack_set_process_callback(client, Process, &cycle);
    jack_set_xrun_callback(
        client,
        [](void* self) {
            static_cast<LiveClient*>(self)->xruns.fetch_add(1, std::memory_order_relaxed);
            return 0;
        },
        this);
    // JACK's last word to a client: copy the reason, then raise the flag others read.
    jack_on_info_shutdown(
        client,
        [](jack_status_t, const char* reason, void* arg) {
            auto* self = static_cast<LiveClient*>(arg);
            snprintf(self->goneReason, sizeof self->goneReason, "%s", reason ? reason : "");
            self->gone.store(true, std::memory_order_release);
        },
        this);
    if (jack_activate(client) != 0) {
        error = "the JACK server would not start the client";
        return false;
    }
    active = true;
    for (const auto& [source, destination] : connections) {
        const int result = jack_connect(client, source.c_str(), destination.c_str());
        if (result != 0 && result != EEXIST) {
            error.assign("cannot connect ").append(source).append(" to ").append(destination);
            return false;
        }
    }
    return true;
}

// Also after the server has gone: deactivating is what stops and joins JACK's processing thread.
void LiveClient::Stop() {
    if (active) jack_deactivate(client);
    active = false;
}

void LiveClient::Close() {
    if (client) jack_client_close(client);
    client = nullptr;
    ports = {};
}

bool LiveClient::ServerGone(std::string* reason) const {
    if (!gone.load(std::memory_order_acquire)) return false;
    if (reason) *reason = goneReason;
    return true;
}

} // namespace ferrovane::host
