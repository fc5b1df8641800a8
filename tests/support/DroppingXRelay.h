// A display of the test's own in front of a real X server (one that asks no authorization, as
// an Xvfb started without -auth). It drops its first connections the moment they arrive, as a
// server does while it resets after its last client left, and relays the one after those. Like a
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
    // Accepts, drops or relays until stopped; one relayed connection at a time.
    void Serve() {
        int client = -1, server = -1;
        while (!stop) {
            pollfd fds[3] = {{own.Fd(), POLLIN, 0}, {client, POLLIN, 0}, {server, POLLIN, 0}};
            if (poll(fds, 3, 20) <= 0) continue;
            if (fds[0].revents & POLLIN) Accept(&client, &server);
            if (!Copy(fds[1], server) || !Copy(fds[2], client)) {
                close(client);
                close(server);
                client = server = -1;
            }
        }
        if (client >= 0) close(client);
        if (server >= 0) close(server);
    }

    void Accept(int* client, int* server) {
        const int fd = accept4(own.Fd(), nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) return;
        if (accepted.fetch_add(1) < drops || *client >= 0) {
            close(fd);
            return;
        }
        const int up = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (up < 0 ||
            connect(up, reinterpret_cast<const sockaddr*>(&upstream), sizeof upstream) != 0) {
            if (up >= 0) close(up);
            close(fd);
            return;
        }
        *client = fd;
        *server = up;
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
