// The notes the engine has switched on, one entry per (input channel, note, output channel).
// Entries keep their table order, which is the order note offs go out in. A bitmap of used entries
// and a count per input note let lookups skip the table when nothing can match. Callers hold
// noteLock.
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
        memset(sounding, 0, sizeof sounding);
    }

    // Records the route unless it is already there; a full table leaves it unrecorded.
    void Add(uint8_t channel, uint8_t note, uint8_t out) {
        if (sounding[channel][note] && Contains(channel, note, out)) return;
        for (int w = 0; w < kWords; ++w) {
            uint64_t freeBits = ~used[w];
            if (!freeBits) continue;
            int i = w * 64 + __builtin_ctzll(freeBits);
            entries[i] = NoteRoute{channel, note, out, note};
            used[w] |= uint64_t(1) << (i & 63);
            ++sounding[channel][note];
            return;
        }
    }

    bool Sounding(uint8_t channel, uint8_t note) const { return sounding[channel][note] != 0; }
    bool Empty() const { return !(used[0] | used[1] | used[2] | used[3]); }

    // Calls f for every matching entry in table order, then frees it.
    template <typename F> void ReleaseNote(uint8_t channel, uint8_t note, F f) {
        if (!sounding[channel][note]) return;
        ReleaseWhere([&](const NoteRoute& r) { return r.inChannel == channel && r.inNote == note; },
                     f);
    }
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

    bool Contains(uint8_t channel, uint8_t note, uint8_t out) const {
        for (int w = 0; w < kWords; ++w)
            for (uint64_t bits = used[w]; bits; bits &= bits - 1) {
                const NoteRoute& r = entries[w * 64 + __builtin_ctzll(bits)];
                if (r.inChannel == channel && r.inNote == note && r.outChannel == out) return true;
            }
        return false;
    }

    template <typename Match, typename F> void ReleaseWhere(Match match, F f) {
        for (int w = 0; w < kWords; ++w)
            for (uint64_t bits = used[w]; bits; bits &= bits - 1) {
                int i = w * 64 + __builtin_ctzll(bits);
                NoteRoute& r = entries[i];
                if (!match(r)) continue;
                f(r);
                --sounding[r.inChannel][r.inNote];
                used[w] &= ~(uint64_t(1) << (i & 63));
                r = NoteRoute{0xFF, 0xFF, 0xFF, 0xFF};
            }
    }

    NoteRoute entries[kEntries];
    uint64_t used[kWords];
    uint16_t sounding[16][128]; // used entries per input channel and note
};

} // namespace ferrovane
