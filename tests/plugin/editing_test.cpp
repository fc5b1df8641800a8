// The editor's in-place edits against the engine: cells written directly, editpoint silencing a
// node, and both running on different threads.
#include "PluginHarness.h"

#include "Relaxed.h"

#include <atomic>
#include <thread>

namespace ferrovane::test {
namespace {

using B = std::vector<std::vector<int>>;

struct Edited : DirectPlugin {
    Edited() {
        host.Start();
        host.Process({}, 8);
        host.Process({}, 8);
        VSTPluginProgram& p = plugin->Engine().CurrentProgram();
        ClearRouting(p);
        p.routing[0][2] = kRouteConnected;
        p.routing[0][5] = kRouteConnected;
    }
};

TEST(Editing, CellWrittenWithoutEditpointKeepsTheNoteOffs) {
    Edited e;
    EXPECT_EQ(Bytes(e.host.Process({MidiEvent(0x90, 60, 9)}, 8)),
              (B{{0x92, 60, 9}, {0x95, 60, 9}}));
    e.plugin->Engine().CurrentProgram().routing[0][5] = 0;
    EXPECT_EQ(Bytes(e.host.Process({MidiEvent(0x80, 60, 0)}, 8)),
              (B{{0x82, 60, 0}, {0x85, 60, 0}}));
}

TEST(Editing, EditpointSilencesTheNodeAtOnce) {
    Edited e;
    e.host.Process({MidiEvent(0x90, 60, 9), MidiEvent(0x90, 61, 9)}, 8);
    e.plugin->Engine().CurrentProgram().routing[0][5] = 0;
    e.plugin->Engine().SetEditNode(0, 5);
    e.effect()->setParameter(e.effect(), 6, 0.0f);
    EXPECT_EQ(Bytes(e.host.Process({}, 8)), (B{{0x85, 60, 0}, {0x85, 61, 0}}));
    EXPECT_EQ(Bytes(e.host.Process({MidiEvent(0x80, 60, 0)}, 8)), (B{{0x82, 60, 0}}));
    // The edit node is used up: a later editpoint without a new node silences nothing, not even
    // a note that sounds through that node again.
    e.plugin->Engine().CurrentProgram().routing[0][5] = kRouteConnected;
    EXPECT_EQ(Bytes(e.host.Process({MidiEvent(0x90, 62, 9)}, 8)),
              (B{{0x92, 62, 9}, {0x95, 62, 9}}));
    e.effect()->setParameter(e.effect(), 7, 1.0f);
    EXPECT_EQ(Bytes(e.host.Process({MidiEvent(0x80, 61, 0)}, 8)), (B{{0x82, 61, 0}}));
    EXPECT_EQ(Bytes(e.host.Process({MidiEvent(0x80, 62, 0)}, 8)),
              (B{{0x82, 62, 0}, {0x85, 62, 0}}));
}

TEST(Editing, FullNoteTableStillSendsTheNoteOn) {
    Edited e;
    std::vector<VstMidiEvent> ons;
    for (int ch = 0; ch < 2; ++ch)
        for (int n = 0; n < 128; ++n)
            ons.push_back(MidiEvent(0x90 | ch, n, 1));
    VSTPluginProgram& p = e.plugin->Engine().CurrentProgram();
    ClearRouting(p);
    p.routing[0][0] = p.routing[1][1] = kRouteNote;
    ASSERT_EQ(e.host.Process(ons, 8).size(), 256u); // the table is now full
    EXPECT_EQ(Bytes(e.host.Process({MidiEvent(0x92, 5, 5)}, 8)), B{});
    p.routing[2][3] = kRouteNote;
    EXPECT_EQ(Bytes(e.host.Process({MidiEvent(0x92, 5, 5)}, 8)), (B{{0x93, 5, 5}}));
    EXPECT_EQ(Bytes(e.host.Process({MidiEvent(0x82, 5, 0)}, 8)), B{}) << "unrecorded";
    EXPECT_EQ(Bytes(e.host.Process({MidiEvent(0x80, 7, 0)}, 8)), (B{{0x80, 7, 0}}));
}

// One thread plays notes block after block while another edits cells and silences nodes.
// Every note on must be matched by exactly one note off in the end, wherever it went.
TEST(Editing, ProcessingAndEditingOnTwoThreads) {
    Edited e;
    VSTPlugin& v = *e.plugin;
    std::atomic<bool> done{false};
    std::thread editor([&] {
        unsigned seed = 7;
        while (!done.load()) {
            seed = seed * 1103515245u + 12345u;
            int in = (seed >> 8) & 1, out = (seed >> 12) & 3;
            zell::threading::StoreRelaxed(v.Engine().CurrentProgram().routing[in][out],
                                          (seed >> 20) & 1 ? 0xFFFF : 0);
            v.Engine().SetEditNode(in, out);
            v.setParameter(6, 0.0f);
        }
    });
    int balance[16][128] = {};
    auto count = [&](const std::vector<VstMidiEvent>& events) {
        for (const VstMidiEvent& ev : events) {
            int status = Status(ev) & 0xF0, ch = Status(ev) & 0x0F;
            if (status == 0x90) ++balance[ch][Data1(ev)];
            if (status == 0x80) --balance[ch][Data1(ev)];
        }
    };
    for (int block = 0; block < 3000; ++block) {
        // Ten notes sound per channel, over at most four outputs: the table never fills.
        int note = block % 20;
        count(e.host.Process({MidiEvent(0x90, note, 1), MidiEvent(0x91, note, 1),
                              MidiEvent(0x80, (note + 10) % 20, 0),
                              MidiEvent(0x81, (note + 10) % 20, 0)},
                             16));
    }
    done = true;
    editor.join();
    e.host.Dispatch(effMainsChanged, 0, 0); // flush whatever still sounds
    e.host.Dispatch(effMainsChanged, 0, 1);
    count(e.host.Process({}, 16));
    for (auto& ch : balance)
        for (int b : ch)
            ASSERT_EQ(b, 0);
}

} // namespace
} // namespace ferrovane::test
