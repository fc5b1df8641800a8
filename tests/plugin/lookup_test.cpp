// The engine's two lookups against the plain walks they replace: the note table's index against a
// walk of the 256 entries, and the wide row scan against reading every cell on its own; and the
// rows a block keeps, which a program change within the block must drop.
#include "NoteTable.h"
#include "PluginHarness.h"
#include "RowScan.h"
#include "VSTPluginProgram.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace ferrovane {
namespace {

// The table walked entry by entry, first to last.
struct WalkedTable {
    NoteRoute entries[NoteTable::kEntries];
    WalkedTable() { memset(entries, 0xFF, sizeof entries); }

    void Add(uint8_t ch, uint8_t note, uint8_t out) {
        for (const NoteRoute& r : entries)
            if (r.inChannel == ch && r.inNote == note && r.outChannel == out) return;
        for (NoteRoute& r : entries)
            if (r.inChannel == 0xFF) {
                r = NoteRoute{ch, note, out, note};
                return;
            }
    }
    template <typename Match> std::vector<int> Release(Match match) {
        std::vector<int> released;
        for (NoteRoute& r : entries)
            if (r.inChannel != 0xFF && match(r)) {
                released.push_back(r.inChannel << 16 | r.inNote << 8 | r.outChannel);
                r = NoteRoute{0xFF, 0xFF, 0xFF, 0xFF};
            }
        return released;
    }
};

std::vector<int>* sink;
void Keep(const NoteRoute& r) {
    EXPECT_EQ(r.outNote, r.inNote);
    sink->push_back(r.inChannel << 16 | r.inNote << 8 | r.outChannel);
}

// Random notes on few channels and notes, so entries are reused, duplicated, released out of
// order and the table fills; every release must give the same entries in the same order.
TEST(NoteTableIndex, ReleasesWhatTheWalkReleasesInTableOrder) {
    auto indexed = std::make_unique<NoteTable>();
    auto walked = std::make_unique<WalkedTable>();
    std::mt19937 random(11);
    std::vector<int> got;
    sink = &got;
    int full = 0;
    for (int step = 0; step < 200000; ++step) {
        const unsigned r = random();
        const uint8_t ch = r & 3, note = (r >> 2) % 24, out = (r >> 8) & 15;
        const unsigned what = (r >> 12) % 1000;
        got.clear();
        std::vector<int> want;
        if (what < 850) {
            indexed->Add(ch, note, out);
            walked->Add(ch, note, out);
        } else if (what < 980) {
            indexed->ReleaseNote(ch, note, Keep);
            want = walked->Release(
                [&](const NoteRoute& e) { return e.inChannel == ch && e.inNote == note; });
        } else if (what < 999) {
            indexed->ReleaseNode(ch, out, Keep);
            want = walked->Release(
                [&](const NoteRoute& e) { return e.inChannel == ch && e.outChannel == out; });
        } else {
            indexed->ReleaseAll(Keep);
            want = walked->Release([](const NoteRoute&) { return true; });
        }
        ASSERT_EQ(got, want) << "step " << step;
        int held = 0;
        for (int i = 0; i < NoteTable::kEntries; ++i) {
            const NoteRoute &a = indexed->Entry(i), &b = walked->entries[i];
            ASSERT_EQ(memcmp(&a, &b, sizeof a), 0) << "entry " << i << " at step " << step;
            held += a.inChannel != 0xFF;
        }
        ASSERT_EQ(indexed->Empty(), held == 0);
        const bool filled = held == NoteTable::kEntries;
        full += filled;
    }
    EXPECT_GT(full, 1000) << "the table must have been full often";
}

// Every cell value, every type bit, and rows at every even offset of a word, as the records of
// the bank place them; the neighbouring bytes must never leak in.
TEST(RowScanWide, MatchesTheCellByCellReading) {
    VSTPluginProgram bank[4];
    memset(bank, 0xFF, sizeof bank);
    std::mt19937 random(5);
    for (int round = 0; round < 2000; ++round)
        for (VSTPluginProgram& p : bank)
            for (int in = 0; in < kChannels; ++in) {
                uint16_t* row = p.routing[in];
                for (int out = 0; out < kChannels; ++out)
                    row[out] = round == 0 ? 0 : static_cast<uint16_t>(random());
                for (unsigned bit = 0; bit < 16; ++bit) {
                    unsigned want = 0;
                    for (int out = 0; out < kChannels; ++out)
                        want |= ((row[out] >> bit) & 1u) << out;
                    ASSERT_EQ(RowScan::Scan(row, bit), want) << "bit " << bit << " row " << in;
                }
            }
    std::vector<int> offsets;
    for (const VSTPluginProgram& p : bank)
        offsets.push_back(reinterpret_cast<uintptr_t>(p.routing) % 8);
    std::sort(offsets.begin(), offsets.end());
    EXPECT_EQ(offsets, (std::vector<int>{0, 2, 4, 6})) << "rows at every offset were scanned";
}

// A block routes a controller, switches programs and routes it again: the second goes where the
// new program sends it. The next block sees a cell written between the blocks.
TEST(RowScanWide, KeptRowsFollowTheProgramAndTheNextBlock) {
    test::DirectPlugin d;
    d.host.Start();
    VSTPlugin& plugin = *d.plugin;
    for (int program : {3, 0}) {
        d.host.Dispatch(effSetProgram, 0, program);
        ClearRouting(plugin.Engine().CurrentProgram());
        plugin.Engine().CurrentProgram().routing[0][program ? 9 : 5] = kRouteCC;
    }
    d.effect()->setParameter(d.effect(), 2, 1.0f); // program changes switch programs
    d.host.Process({}, 8);
    d.host.Process({}, 8);
    using test::MidiEvent;
    EXPECT_EQ(test::Bytes(d.host.Process(
                  {MidiEvent(0xB0, 1, 1), MidiEvent(0xC0, 3, 0), MidiEvent(0xB0, 2, 2)}, 8)),
              (std::vector<std::vector<int>>{{0xB5, 1, 1}, {0xB9, 2, 2}}));
    plugin.Engine().CurrentProgram().routing[0][9] = 0;
    plugin.Engine().CurrentProgram().routing[0][12] = kRouteCC;
    EXPECT_EQ(test::Bytes(d.host.Process({MidiEvent(0xB0, 3, 3)}, 8)),
              (std::vector<std::vector<int>>{{0xBC, 3, 3}}));
}

} // namespace
} // namespace ferrovane
