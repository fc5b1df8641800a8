// A display of the test's own in front of a real X server (one that asks no authorization, as
// an Xvfb started without -auth). It drops its first connections the moment they arrive, as a
// server does while it resets after its last client left, and relays those after them. Like a
// server where abstract sockets are not allowed, it binds only the socket file, so Xlib's first try
// (the abstract name) is refused.
#pragma once

#include "DisplaySocket.h"

#include <atomic>
#include <cstdlib>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

class DroppingXRelay {
  public:
    // server: the real server's display name, ":N".
    DroppingXRelay(const std::string& server, int drops) : drops(drops), own(4000) {
        if (server.size() < 2 || server[0] != ':' || !own.Ok()) return;
        upstream = DisplaySocket::Address(atoi(server.c_str() + 1));
        if (listen(own.Fd(), 8) != 0) return;
        listening = true;
        worker = std::thread([this] { Serve(); });
    }
    ~DroppingXRelay() {
        stop = true;
        if (worker.joinable()) worker.join();
    }
    DroppingXRelay(const DroppingXRelay&) = delete;
    DroppingXRelay& operator=(const DroppingXRelay&) = delete;

    bool Ok() const { return listening; }
    // ":N", a display name for Xlib.
    const std::string& Name() const { return own.Name(); }
    // Connections taken so far, dropped ones included.
    int Accepted() const { return accepted.load(); }

  private:
    // A relayed connection: the client's end and the server's.
    struct Pair {
        int client;
        int server;
    };
    static constexpr int kPairs = 8;

    // Accepts, drops or relays until stopped.
    void Serve() {
        Pair pairs[kPairs];
        int count = 0;
        while (!stop) {
            pollfd fds[1 + 2 * kPairs] = {{own.Fd(), POLLIN, 0}};
            for (int i = 0; i < count; ++i) {
                fds[1 + 2 * i] = {pairs[i].client, POLLIN, 0};
                fds[2 + 2 * i] = {pairs[i].server, POLLIN, 0};
            }
            if (poll(fds, static_cast<nfds_t>(1 + 2 * count), 20) <= 0) continue;
            for (int i = count - 1; i >= 0; --i)
                if (!Copy(fds[1 + 2 * i], pairs[i].server) ||
                    !Copy(fds[2 + 2 * i], pairs[i].client)) {
                    close(pairs[i].client);
                    close(pairs[i].server);
                    pairs[i] = pairs[--count];
                }
            if ((fds[0].revents & POLLIN) && Accept(&pairs[count], count < kPairs)) ++count;
        }
        for (int i = 0; i < count; ++i) {
            close(pairs[i].client);
            close(pairs[i].server);
        }
    }

    // True when the connection is relayed from now on.
    bool Accept(Pair* pair, bool room) {
        const int fd = accept4(own.Fd(), nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) return false;
        if (accepted.fetch_add(1) < drops || !room) {
            close(fd);
            return false;
        }
        const int up = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (up < 0 ||
            connect(up, reinterpret_cast<const sockaddr*>(&upstream), sizeof upstream) != 0) {
            if (up >= 0) close(up);
            close(fd);
            return false;
        }
        *pair = {fd, up};
        return true;
    }

    // Moves what arrived on one end to the other; false once either end has closed.
    static bool Copy(const pollfd& from, int to) {
        if (from.fd < 0 || !(from.revents & (POLLIN | POLLHUP | POLLERR))) return true;
        char buffer[4096];
        const ssize_t n = read(from.fd, buffer, sizeof buffer);
        if (n <= 0) return false;
        for (ssize_t done = 0; done < n;) {
            const ssize_t written =
                send(to, buffer + done, static_cast<size_t>(n - done), MSG_NOSIGNAL);
            if (written <= 0) return false;
            done += written;
        }
        return true;
    }

    const int drops;
    DisplaySocket own; // where clients connect
    sockaddr_un upstream{};
    bool listening = false;
    std::atomic<int> accepted{0};
    std::atomic<bool> stop{false};
    std::thread worker;
};
