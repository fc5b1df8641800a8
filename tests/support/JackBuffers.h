// Real JACK port buffers for code that runs outside a JACK cycle: a client of the caller's own
// on a server of its own, never activated, whose output ports stand for every port the live
// cycle reads and writes. The "input" is a buffer the caller fills.
#pragma once

#include "JackServer.h"
#include "LiveCycle.h"

#include <jack/midiport.h>

class JackBuffers {
  public:
    JackBuffers() : server(1024) {
        if (server.Ok()) client = OpenJackClient(server.Name(), "buffers");
        if (!client) return;
        ports.midiIn = Output("midi_in", JACK_DEFAULT_MIDI_TYPE);
        ports.midiOut = Output("midi_out", JACK_DEFAULT_MIDI_TYPE);
        for (int c = 0; c < 2; ++c) {
            ports.audioIn[c] = Output(c ? "in_2" : "in_1", JACK_DEFAULT_AUDIO_TYPE);
            ports.audioOut[c] = Output(c ? "out_2" : "out_1", JACK_DEFAULT_AUDIO_TYPE);
        }
    }
    ~JackBuffers() {
        if (client) jack_client_close(client);
    }
    JackBuffers(const JackBuffers&) = delete;
    JackBuffers& operator=(const JackBuffers&) = delete;

    bool Ok() const { return client && ports.midiIn && ports.midiOut; }
    const ferrovane::host::LivePorts& Ports() const { return ports; }
    // The cycle's MIDI input, emptied, and its output as the last cycle left it.
    void* ClearedInput() {
        void* buffer = jack_port_get_buffer(ports.midiIn, 1024);
        jack_midi_clear_buffer(buffer);
        return buffer;
    }
    void* Output() { return jack_port_get_buffer(ports.midiOut, 1024); }

  private:
    jack_port_t* Output(const char* name, const char* type) {
        return jack_port_register(client, name, type, JackPortIsOutput, 0);
    }

    JackServer server;
    jack_client_t* client = nullptr;
    ferrovane::host::LivePorts ports;
};
