// The notes the engine has switched on, one entry per (input channel, note, output channel), at
// most 256. Entries keep their table order, which is the order note offs go out in; a new entry
// takes the first free one. Beside the table an index finds a note's entries without walking it:
// per input note, the output channels it holds and the entry of each. Callers hold noteLock.
#pragma once

#include <cstdint>
#include <cstring>

namespace ferrovane {

struct NoteRoute {
    uint8_t inChannel; // 0xFF: the entry is free
    uint8_t inNote;
    uint8_t outChannel;
    uint8_t outNote; // always inNote
};

class NoteTable {
  public:
    static constexpr int kEntries = 256;

    NoteTable() { Clear(); }

    void Clear() {
        memset(entries, 0xFF, sizeof entries);
        memset(used, 0, sizeof used);
        memset(outs, 0, sizeof outs);
    }

    // Records the route unless it is already there; a full table leaves it unrecorded.
    void Add(uint8_t channel, uint8_t note, uint8_t out) {
        uint16_t& held = outs[channel][note];
        if (held & (1u << out)) return;
        for (int w = 0; w < kWords; ++w) {
            uint64_t freeBits = ~used[w];
            if (!freeBits) continue;
            int i = w * 64 + __builtin_ctzll(freeBits);
            entries[i] = NoteRoute{channel, note, out, note};
            used[w] |= uint64_t(1) << (i & 63);
            held = static_cast<uint16_t>(held | 1u << out);
            slot[channel][note][out] = static_cast<uint8_t>(i);
            return;
        }
    }

    bool Empty() const { return !(used[0] | used[1] | used[2] | used[3]); }

    // Calls f for every entry of the input note in table order, then frees it.
    template <typename F> void ReleaseNote(uint8_t channel, uint8_t note, F f) {
        unsigned held = outs[channel][note];
        if (!held) return;
        outs[channel][note] = 0;
        const uint8_t* at = slot[channel][note];
        if (!(held & (held - 1))) { // one output: the common case needs no ordering
            const int out = __builtin_ctz(held);
            Free(at[out], NoteRoute{channel, note, static_cast<uint8_t>(out), note}, f);
            return;
        }
        uint64_t order[kWords] = {};
        for (; held; held &= held - 1) {
            const int i = at[__builtin_ctz(held)];
            order[i >> 6] |= uint64_t(1) << (i & 63);
        }
        for (int w = 0; w < kWords; ++w)
            for (uint64_t bits = order[w]; bits; bits &= bits - 1) {
                const int i = w * 64 + __builtin_ctzll(bits);
                Free(i, entries[i], f);
            }
    }
    // The editor's and the flushes' walks: rare, so they go through the table.
    template <typename F> void ReleaseNode(int in, int out, F f) {
        ReleaseWhere([&](const NoteRoute& r) { return r.inChannel == in && r.outChannel == out; },
                     f);
    }
    template <typename F> void ReleaseAll(F f) {
        ReleaseWhere([](const NoteRoute&) { return true; }, f);
    }

    const NoteRoute& Entry(int i) const { return entries[i]; }

  private:
    static constexpr int kWords = kEntries / 64;

    // The caller has taken the entry out of the index.
    template <typename F> void Free(int i, NoteRoute r, F& f) {
        f(r);
        used[i >> 6] &= ~(uint64_t(1) << (i & 63));
        entries[i] = NoteRoute{0xFF, 0xFF, 0xFF, 0xFF};
    }

    template <typename Match, typename F> void ReleaseWhere(Match match, F& f) {
        for (int w = 0; w < kWords; ++w)
            for (uint64_t bits = used[w]; bits; bits &= bits - 1) {
                const int i = w * 64 + __builtin_ctzll(bits);
                const NoteRoute r = entries[i];
                if (!match(r)) continue;
                outs[r.inChannel][r.inNote] &= static_cast<uint16_t>(~(1u << r.outChannel));
                Free(i, r, f);
            }
    }

    NoteRoute entries[kEntries];
    uint64_t used[kWords];
    uint16_t outs[16][128];    // output channels held per input channel and note
    uint8_t slot[16][128][16]; // the entry of each held (input channel, note, output channel)
};

} // namespace ferrovane
