// Reading the routing rows: the output channels whose cells carry a type bit.
//
// A cell the editor changes takes effect from the next processing block on, so a block scans a
// row of its program once per type bit and keeps the mask for the rest of the block; a program
// change within the block starts over.
//
// The editor stores single cells, each one relaxed 16-bit atomic store, while the engine scans
// rows. A scan reads the machine words that cover the row, each with one relaxed atomic load of
// the native width (five 64-bit loads on x86_64, nine 32-bit ones on i386, where a plain 64-bit
// load would need x87 or SSE), and picks the bit of every cell out of them. A word load is
// single-copy atomic on x86 when it is aligned, so it sees each cell it covers either before or
// after a concurrent cell store, never half of one; the engine needs nothing more than that per
// cell. Every access to these bytes is atomic, so ThreadSanitizer sees no race either.
//
// Program records are 598 bytes and lie back to back in the bank (its chunk is the records byte
// for byte), so a row starts at any even offset of a word: the scan covers it with one word more
// than the row needs. The words lie within the record (a row starts 48 bytes or more into it and
// ends 38 bytes or more before its end) and the bytes beside the row are dropped.
#pragma once

#include <cstdint>
#include <cstring>
#if defined(__x86_64__)
#include <emmintrin.h>
#endif

namespace ferrovane {

class RowScan {
  public:
    using Matrix = const uint16_t (*)[16]; // [input channel][output channel]

    // Processing thread, at the start of every block.
    void Begin() { program = -1; }

    // The mask of row `channel` (0 to 15) of program `index`, whose cells are `matrix`, for type
    // bit `bit` (0 to 7).
    unsigned Mask(int index, Matrix matrix, unsigned channel, unsigned bit) {
        if (index != program) {
            program = index;
            NextGeneration();
        }
        uint32_t& kept = masks[channel][bit];
        if (kept >> 16 != generation)
            kept = uint32_t(generation) << 16 | Scan(matrix[channel], bit);
        return kept & 0xFFFF;
    }

    // The channel mask (bit `out` for output channel `out`) of the cells in the row of 16 cells
    // at `row` that have bit `bit` (0 to 15) set.
    static unsigned Scan(const uint16_t* row, unsigned bit) {
        const uintptr_t at = reinterpret_cast<uintptr_t>(row);
        const Word* words = reinterpret_cast<const Word*>(at & ~uintptr_t(sizeof(Word) - 1));
        Word w[kWords];
#pragma GCC unroll 9
        for (int i = 0; i < kWords; ++i)
            w[i] = __atomic_load_n(&words[i], __ATOMIC_RELAXED);
        return (Lanes(w, bit) >> ((at & (sizeof(Word) - 1)) / 2)) & 0xFFFF;
    }

  private:
    typedef uintptr_t __attribute__((may_alias)) Word; // read over uint16_t cells
    static constexpr int kLanes = sizeof(Word) / 2;    // cells per word
    static constexpr int kWords = 16 / kLanes + 1;
    static_assert(__atomic_always_lock_free(sizeof(Word), 0));
    static_assert(kWords * kLanes <= 32, "the lanes fit one 32-bit mask");

#if defined(__x86_64__)
    // Bit `bit` of every 16-bit lane, lane i at bit i: each lane's bit is moved to its top, the
    // lanes are packed to bytes with signed saturation (keeping the sign) and the signs gathered.
    static uint32_t Lanes(const Word (&w)[kWords], unsigned bit) {
        const __m128i up = _mm_cvtsi32_si128(static_cast<int>(15 - bit));
        const __m128i low = _mm_sll_epi16(_mm_set_epi64x(long(w[1]), long(w[0])), up);
        const __m128i mid = _mm_sll_epi16(_mm_set_epi64x(long(w[3]), long(w[2])), up);
        const __m128i high = _mm_sll_epi16(_mm_cvtsi64_si128(long(w[4])), up);
        return static_cast<uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(low, mid))) |
               static_cast<uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(high, high)) & 0xF) << 16;
    }
#else
    // The same with plain arithmetic: two lanes a word.
    static uint32_t Lanes(const Word (&w)[kWords], unsigned bit) {
        uint32_t lanes = 0;
#pragma GCC unroll 9
        for (int i = 0; i < kWords; ++i) {
            const uint32_t picked = (w[i] >> bit) & 0x00010001u;
            lanes |= ((picked | picked >> 15) & 0x3) << (i * kLanes);
        }
        return lanes;
    }
#endif

    // A kept mask is valid while its upper half equals the generation; a new generation drops
    // them all at once, and only its wrap has to clear them.
    void NextGeneration() {
        if (++generation == 0) {
            memset(masks, 0, sizeof masks);
            generation = 1;
        }
    }

    int program = -1;           // the program whose masks are kept
    uint16_t generation = 0;    // never 0 once a mask is kept
    uint32_t masks[16][8] = {}; // per row and type bit: generation << 16 | channel mask
};

} // namespace ferrovane
