// A display of the test's own in front of a real X server (one that asks no authorization, as
// an Xvfb started without -auth) that relays every connection made to it, reading the protocol
// as it passes (XStreamReader): replies, and the replies the client waited for, are counted
// for the phase the test has set. It may hold everything for a while in each direction, as a
// remote display does (the order is kept; nothing waits for what is held), and it may drop its
// first connections the moment they arrive, as a server does while it resets after its last
// client left. Like a server where abstract sockets are not allowed, it binds only the socket
// file, so Xlib's first try (the abstract name) is refused.
#pragma once

#include "DisplaySocket.h"
#include "XStreamReader.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <memory>
#include <mutex>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

class XRelay {
  public:
    static constexpr int kPhases = 16;

    struct Tally {
        int replies = 0;
        int waits = 0;               // replies the client waited for
        std::vector<uint8_t> waited; // the requests of those, in order
    };

    // server: the real server's display name, ":N"; delay: held in each direction; drops: the
    // connections closed at once before the first relayed one.
    explicit XRelay(const std::string& server,
                    std::chrono::milliseconds delay = std::chrono::milliseconds(0), int drops = 0)
        : delay(delay), drops(drops), own(4100) {
        if (server.size() < 2 || server[0] != ':' || !own.Ok()) return;
        upstream = DisplaySocket::Address(atoi(server.c_str() + 1));
        if (listen(own.Fd(), 16) != 0) return;
        listening = true;
        worker = std::thread([this] { Serve(); });
    }
    ~XRelay() {
        stop = true;
        if (worker.joinable()) worker.join();
    }
    XRelay(const XRelay&) = delete;
    XRelay& operator=(const XRelay&) = delete;

    bool Ok() const { return listening; }
    // ":N", a display name for Xlib.
    const std::string& Name() const { return own.Name(); }

    // Replies from now on count for this phase (0 to kPhases - 1).
    void SetPhase(int phase) { current = phase; }
    Tally Count(int phase) const {
        std::lock_guard<std::mutex> hold(tallyLock);
        return tallies[phase];
    }
    // Bytes relayed so far, both ways: it stands still once the clients are quiet.
    unsigned long Moved() const { return moved.load(); }
    // Connections taken so far, dropped ones included.
    int Accepted() const { return accepted.load(); }

  private:
    using Clock = std::chrono::steady_clock;

    struct Held {
        Clock::time_point due;
        std::vector<unsigned char> bytes;
    };
    struct Link {
        int client = -1, server = -1;
        XStreamReader reader;
        std::deque<Held> toServer, toClient;
        bool closing = false;
        ~Link() {
            if (client >= 0) close(client);
            if (server >= 0) close(server);
        }
    };

    void Serve() {
        std::vector<std::unique_ptr<Link>> links;
        while (!stop) {
            std::vector<pollfd> fds{{own.Fd(), POLLIN, 0}};
            for (auto& l : links) {
                fds.push_back({l->client, POLLIN, 0});
                fds.push_back({l->server, POLLIN, 0});
            }
            poll(fds.data(), fds.size(), WaitMs(links));
            const size_t polled = links.size();
            if (fds[0].revents & POLLIN) Accept(links);
            for (size_t i = 0; i < polled; ++i) {
                Link& l = *links[i];
                // The client's side first: what it wrote before an answer arrived was not
                // written after waiting for it.
                if (!Read(fds[1 + 2 * i], l, true) || !Read(fds[2 + 2 * i], l, false))
                    l.closing = true;
            }
            for (auto& l : links)
                if (!Flush(l->toServer, l->server) || !Flush(l->toClient, l->client))
                    l->closing = true;
            std::erase_if(links, [](const std::unique_ptr<Link>& l) {
                return l->closing && l->toServer.empty() && l->toClient.empty();
            });
        }
    }

    int WaitMs(const std::vector<std::unique_ptr<Link>>& links) const {
        auto next = Clock::now() + std::chrono::milliseconds(20);
        for (auto& l : links)
            for (auto* q : {&l->toServer, &l->toClient})
                if (!q->empty() && q->front().due < next) next = q->front().due;
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now());
        return ms.count() > 0 ? static_cast<int>(ms.count()) : 0;
    }

    void Accept(std::vector<std::unique_ptr<Link>>& links) {
        const int fd = accept4(own.Fd(), nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) return;
        if (accepted.fetch_add(1) < drops) {
            close(fd);
            return;
        }
        auto link = std::make_unique<Link>();
        link->client = fd;
        link->server = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (link->server < 0 || connect(link->server, reinterpret_cast<const sockaddr*>(&upstream),
                                        sizeof upstream) != 0)
            return;
        links.push_back(std::move(link));
    }

    // Takes what arrived on one end, reads it, and holds it for the other; false at its end.
    bool Read(const pollfd& from, Link& l, bool fromClient) {
        if (l.closing || !(from.revents & (POLLIN | POLLHUP | POLLERR))) return true;
        std::vector<unsigned char> buffer(1 << 16);
        const ssize_t n = read(from.fd, buffer.data(), buffer.size());
        if (n <= 0) return false;
        buffer.resize(static_cast<size_t>(n));
        moved += static_cast<unsigned long>(n);
        if (fromClient) {
            l.reader.FromClient(buffer.data(), buffer.size());
        } else {
            std::lock_guard<std::mutex> hold(tallyLock);
            Tally& t = tallies[current.load()];
            l.reader.FromServer(buffer.data(), buffer.size(), [&](XStreamReader::Reply r) {
                ++t.replies;
                if (!r.waited) return;
                ++t.waits;
                t.waited.push_back(r.opcode);
            });
        }
        (fromClient ? l.toServer : l.toClient).push_back({Clock::now() + delay, buffer});
        return true;
    }

    static bool Flush(std::deque<Held>& queue, int to) {
        while (!queue.empty() && queue.front().due <= Clock::now()) {
            const std::vector<unsigned char>& b = queue.front().bytes;
            for (size_t done = 0; done < b.size();) {
                const ssize_t written = send(to, b.data() + done, b.size() - done, MSG_NOSIGNAL);
                if (written <= 0) return false;
                done += static_cast<size_t>(written);
            }
            queue.pop_front();
        }
        return true;
    }

    const Clock::duration delay;
    const int drops;
    DisplaySocket own; // where clients connect
    sockaddr_un upstream{};
    bool listening = false;
    std::atomic<bool> stop{false};
    std::atomic<int> current{0};
    std::atomic<unsigned long> moved{0};
    std::atomic<int> accepted{0};
    mutable std::mutex tallyLock;
    Tally tallies[kPhases];
    std::thread worker;
};
