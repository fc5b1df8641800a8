// Asks the X server of a local display name, before Xlib connects, how it would answer: with a
// connection set-up of its own that presents what Xlib would present. Xlib itself cannot say
// why a connection failed, and it waits for ever for a server that takes a connection and never
// answers. Free of X headers.
#pragma once

#include <chrono>

namespace zell::gui {

class SXServerProbe {
  public:
    enum Answer {
        kAccepted, // the server took the set-up: Xlib's connection will be taken too
        kRefused,  // it answered and refused (authorization, too many clients, access control)
        kBusy,     // it is there but did not answer this time: its queue of new connections was
                   // full, or it dropped the connection before answering (a server resetting)
        kSilent,   // it took the connection and said nothing before the deadline
        kUnknown,  // not a local display with a listening socket, or an authorization only Xlib
                   // can compute: only Xlib can tell
    };

    SXServerProbe() = default;
    // An accepted probe's connection stays open until then: a server resets when its last
    // client leaves, and must not do so between the probe and Xlib's connection.
    ~SXServerProbe();
    SXServerProbe(const SXServerProbe&) = delete;
    SXServerProbe& operator=(const SXServerProbe&) = delete;

    using Deadline = std::chrono::steady_clock::time_point;

    // `name` as XOpenDisplay reads it (null or empty: DISPLAY); waits for the answer until the
    // deadline. Once per probe.
    [[nodiscard]] Answer Ask(const char* name, Deadline deadline);

  private:
    int fd = -1;
};

} // namespace zell::gui
