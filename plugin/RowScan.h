// One routing row read in a few wide loads: the output channels whose cells carry a type bit.
//
// The editor stores single cells, each one relaxed 16-bit atomic store, while the engine scans
// rows. The scan reads the machine words that cover the row, each with one relaxed atomic load of
// the native width, and picks the bit of every cell out of them. A word load is single-copy atomic
// on x86 when it is aligned, so it sees each cell it covers either before or after a concurrent
// cell store, never half of one; the engine needs nothing more than that per cell. Every access
// to these bytes is atomic, so ThreadSanitizer sees no race either.
//
// Program records are 598 bytes and lie back to back in the bank (its chunk is the records byte
// for byte), so a row starts at any even offset of a word: the scan covers it with one word more
// than the row needs. The words lie within the record (a row starts 48 bytes or more into it and
// ends 38 bytes or more before its end) and the bytes beside the row are dropped.
#pragma once

#include <cstdint>

namespace ferrovane {

class RowScan {
  public:
    // The channel mask (bit `out` for output channel `out`) of the cells in the row of 16 cells
    // at `row` that have bit `bit` (0 to 15) set.
    static unsigned Mask(const uint16_t* row, unsigned bit) {
        const uintptr_t at = reinterpret_cast<uintptr_t>(row);
        const Word* words = reinterpret_cast<const Word*>(at & ~uintptr_t(sizeof(Word) - 1));
        uint32_t lanes = 0;
#pragma GCC unroll 9
        for (int w = 0; w < kWords; ++w)
            lanes |= Pick(__atomic_load_n(&words[w], __ATOMIC_RELAXED) >> bit) << (w * kLanes);
        return (lanes >> ((at & (sizeof(Word) - 1)) / 2)) & 0xFFFF;
    }

  private:
    typedef uintptr_t __attribute__((may_alias)) Word; // read over uint16_t cells
    static constexpr int kLanes = sizeof(Word) / 2;    // cells per word
    static constexpr int kWords = 16 / kLanes + 1;
    static_assert(__atomic_always_lock_free(sizeof(Word), 0));
    static_assert(kWords * kLanes <= 32, "the lanes fit one 32-bit mask");

    // Bit 0 of each 16-bit lane of w, gathered into bits 0 to kLanes - 1.
    static uint32_t Pick(uint64_t w) {
        // The multiplier moves lane j's bit to bit 45 + j; the other products land elsewhere
        // without carries (each bit position is hit at most once).
        return static_cast<uint32_t>(((w & 0x0001000100010001u) * 0x0000200040008001u) >> 45) & 0xF;
    }
    static uint32_t Pick(uint32_t w) {
        w &= 0x00010001u;
        return (w | w >> 15) & 0x3;
    }
};

} // namespace ferrovane
