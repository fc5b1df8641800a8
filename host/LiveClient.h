// The live host's JACK client: one MIDI input, one MIDI output and two audio ports each way,
// connections to other clients' ports, and word of xruns and of the server going away.
#pragma once

#include "LiveCycle.h"

#include <jack/jack.h>

#include <atomic>
#include <string>
#include <utility>
#include <vector>

namespace ferrovane::host {

class LiveClient {
  public:
    LiveClient() = default;
    ~LiveClient();
    LiveClient(const LiveClient&) = delete;
    LiveClient& operator=(const LiveClient&) = delete;

    // Opens a client on the default server (JACK_DEFAULT_SERVER, else "default") without
    // starting one; false with a one-line reason.
    [[nodiscard]] bool Open(const std::string& name, std::string& error);
    // Our ports, which other clients see from now on.
    [[nodiscard]] bool RegisterPorts(std::string& error);
    // The name JACK gave the client (the one asked for, or it with a number when that was taken).
    const char* Name() const;
    jack_nframes_t SampleRate() const;
    // The period: frames a cycle, as JACK last announced it.
    jack_nframes_t BufferSize() const { return period.load(std::memory_order_relaxed); }
    const LivePorts& Ports() const { return ports; }

    // Finds the ports to connect before anything runs: `sources` feed our inputs, `sinks` take
    // our outputs. A MIDI port pairs with our MIDI port, audio ports with our audio ports in turn.
    [[nodiscard]] bool PlanConnections(const std::vector<std::string>& sources,
                                       const std::vector<std::string>& sinks, std::string& error);
    // Runs `cycle` on every JACK cycle, then makes the planned connections.
    [[nodiscard]] bool Start(LiveCycle& cycle, std::string& error);
    // Stops the cycles; nothing of ours runs on JACK's threads afterwards.
    void Stop();

    uint64_t Xruns() const { return xruns.load(std::memory_order_relaxed); }
    // True once the server has shut down or thrown us out; `reason` says why.
    bool ServerGone(std::string* reason = nullptr) const;

  private:
    [[nodiscard]] bool Plan(const std::string& other, bool toUs, int& audioUsed,
                            std::string& error);
    void Close();

    jack_client_t* client = nullptr;
    LivePorts ports;
    std::vector<std::pair<std::string, std::string>> connections; // source, destination
    bool active = false;
    std::atomic<uint64_t> xruns{0};
    std::atomic<jack_nframes_t> period{0};
    std::atomic<bool> gone{false};
    char goneReason[256] = {};
};

} // namespace ferrovane::host
