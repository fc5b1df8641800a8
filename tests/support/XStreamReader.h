// Reads one X connection as it passes a relay, chunk by chunk as the relay receives it: the
// client's set-up and requests one way, the server's set-up reply, replies, errors and events
// the other. It tells which replies the client waited for: Xlib sends a request whose reply it
// needs and then waits, so such a request ends the client's write, while requests written
// before the wait was over were not waited for one by one (an Xlib call that asks several
// questions at once waits for its last answer only). A chunk the relay reads may hold several
// of the client's writes but never splits one it waited after.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <vector>

class XStreamReader {
  public:
    // What one reply was.
    struct Reply {
        uint8_t opcode; // of the request it answers
        bool waited;
    };

    // The client's bytes of one chunk, in order.
    void FromClient(const unsigned char* data, size_t n) {
        for (size_t i = 0; i < n; ++i)
            ClientByte(data[i]);
        if (clientNeed == 0 && clientHave == 0 && requestsInChunk > 0) chunkEnds.insert(sent);
        requestsInChunk = 0;
    }

    // The server's bytes; each reply completed is handed to `reply`, each error and event counted.
    template <typename F> void FromServer(const unsigned char* data, size_t n, F reply) {
        for (size_t i = 0; i < n; ++i)
            if (ServerByte(data[i])) reply(Answered());
    }

    int Errors() const { return errors; }
    int Events() const { return events; }

  private:
    static constexpr size_t kSetupHead = 12, kRequestHead = 4, kBigHead = 8;
    static constexpr size_t kReplyHead = 8, kUnit = 32;

    uint32_t Number(const unsigned char* p, int bytes) const {
        uint32_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v |= static_cast<uint32_t>(p[bigEndian ? bytes - 1 - i : i]) << (8 * i);
        return v;
    }
    static size_t Pad(size_t n) { return (n + 3) & ~size_t{3}; }

    // The set-up (12 bytes, then the authorization name and data), then requests: a length in
    // 4-byte units at bytes 2-3, or 0 there and a 32-bit length after (BIG-REQUESTS).
    void ClientByte(unsigned char b) {
        if (clientNeed > 0) {
            --clientNeed;
            return;
        }
        clientHead[clientHave++] = b;
        if (!setUp) {
            if (clientHave < kSetupHead) return;
            bigEndian = clientHead[0] == 'B';
            clientNeed = Pad(Number(clientHead + 6, 2)) + Pad(Number(clientHead + 8, 2));
            clientHave = 0;
            setUp = true;
            return;
        }
        if (clientHave < kRequestHead) return;
        size_t units = Number(clientHead + 2, 2);
        if (units == 0) {
            if (clientHave < kBigHead) return;
            units = Number(clientHead + 4, 4);
        }
        const size_t head = units == Number(clientHead + 2, 2) ? kRequestHead : kBigHead;
        ++sent;
        ++requestsInChunk;
        opcodes[sent & 0xFFFF] = clientHead[0];
        clientNeed = units * 4 > head ? units * 4 - head : 0;
        clientHave = 0;
    }

    // True when a reply's head is complete.
    bool ServerByte(unsigned char b) {
        if (serverNeed > 0) {
            --serverNeed;
            return false;
        }
        serverHead[serverHave++] = b;
        if (!answered) {
            if (serverHave < kReplyHead) return false;
            serverNeed = Number(serverHead + 6, 2) * 4;
            serverHave = 0;
            answered = true;
            return false;
        }
        if (serverHave < kUnit) return false;
        serverHave = 0;
        const uint8_t type = serverHead[0] & 0x7F;
        constexpr uint8_t kError = 0, kReplyType = 1, kGenericEvent = 35;
        if (type == kError) ++errors;
        if (type != kError && type != kReplyType) ++events;
        if (type == kReplyType || type == kGenericEvent) serverNeed = Number(serverHead + 4, 4) * 4;
        return type == kReplyType;
    }

    Reply Answered() {
        const uint32_t low = Number(serverHead + 2, 2);
        const uint64_t sequence = sent - ((sent - low) & 0xFFFF);
        const bool waited = chunkEnds.count(sequence) > 0;
        // Replies come in order: a write that ended before this one can wait for nothing more.
        chunkEnds.erase(chunkEnds.begin(), chunkEnds.upper_bound(sequence));
        return Reply{opcodes[sequence & 0xFFFF], waited};
    }

    bool bigEndian = false;
    bool setUp = false, answered = false;
    unsigned char clientHead[kSetupHead] = {};
    size_t clientHave = 0, clientNeed = 0;
    unsigned char serverHead[kUnit] = {};
    size_t serverHave = 0, serverNeed = 0;
    uint64_t sent = 0; // requests so far: the sequence number of the last one
    int requestsInChunk = 0;
    std::set<uint64_t> chunkEnds;
    std::vector<uint8_t> opcodes = std::vector<uint8_t>(0x10000);
    int errors = 0, events = 0;
};
