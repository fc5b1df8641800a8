// MIDI through the built plugin: what the matrix does to each kind of event.
#include "PluginHarness.h"

namespace ferrovane::test {
namespace {

using Events = std::vector<VstMidiEvent>;
using B = std::vector<std::vector<int>>;

// A started plugin whose current program is `program`.
struct Router : LoadedPlugin {
    explicit Router(const VSTPluginProgram& program = DefaultProgram()) {
        host.Start();
        EXPECT_EQ(LoadProgramChunk(host, &program, kProgramSize), 1);
        Settle();
    }
    // A chunk load is a program change: let its two-block handshake finish.
    void Settle() {
        host.Process({}, 32);
        host.Process({}, 32);
    }
    Events Play(const Events& in, VstInt32 frames = 64) { return host.Process(in, frames); }
};

VSTPluginProgram Matrix(std::initializer_list<std::tuple<int, int, uint16_t>> cells) {
    VSTPluginProgram p = DefaultProgram();
    ClearRouting(p);
    for (auto [in, out, mask] : cells)
        p.routing[in][out] = mask;
    return p;
}

TEST(Routing, IdentityKeepsEverythingButTheNoteOffVelocity) {
    Router r;
    VstMidiEvent on = MidiEvent(0x93, 60, 100, 17);
    on.noteLength = 5;
    on.detune = 3;
    Events out = r.Play({on});
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(Bytes(out), (B{{0x93, 60, 100}}));
    EXPECT_EQ(out[0].deltaFrames, 17);
    EXPECT_EQ(out[0].noteLength, 5);
    EXPECT_EQ(out[0].detune, 3);
    EXPECT_EQ(Bytes(r.Play({MidiEvent(0x83, 60, 64, 3)})), (B{{0x83, 60, 0}}));
    // Controllers, aftertouch, pitch bend and program changes keep their data bytes.
    Events other = r.Play({MidiEvent(0xB5, 7, 99), MidiEvent(0xA1, 60, 30), MidiEvent(0xD2, 44, 0),
                           MidiEvent(0xEF, 0x7F, 0x40), MidiEvent(0xC4, 12, 0)});
    EXPECT_EQ(Bytes(other),
              (B{{0xB5, 7, 99}, {0xA1, 60, 30}, {0xD2, 44, 0}, {0xEF, 0x7F, 0x40}, {0xC4, 12, 0}}));
}

TEST(Routing, FanOutInAscendingOutputOrder) {
    Router r(Matrix({{0, 9, 0xFFFF}, {0, 2, 0xFFFF}, {0, 15, kRouteCC}}));
    EXPECT_EQ(Bytes(r.Play({MidiEvent(0x90, 64, 90)})), (B{{0x92, 64, 90}, {0x99, 64, 90}}));
    EXPECT_EQ(Bytes(r.Play({MidiEvent(0xB0, 1, 2)})),
              (B{{0xB2, 1, 2}, {0xB9, 1, 2}, {0xBF, 1, 2}}));
    EXPECT_EQ(Bytes(r.Play({MidiEvent(0x80, 64, 0)})), (B{{0x82, 64, 0}, {0x89, 64, 0}}));
}

TEST(Routing, EachFilterBitPassesOnlyItsType) {
    const struct {
        uint16_t bit;
        unsigned char status;
    } kinds[] = {{kRouteNote, 0x90},           {kRouteCC, 0xB0},
                 {kRoutePolyAftertouch, 0xA0}, {kRouteProgramChange, 0xC0},
                 {kRouteAftertouch, 0xD0},     {kRoutePitchBend, 0xE0}};
    for (const auto& only : kinds) {
        Router r(Matrix({{4, 6, only.bit}}));
        for (const auto& kind : kinds) {
            Events out = r.Play({MidiEvent(kind.status | 4, 10, 20)});
            if (kind.bit == only.bit) {
                ASSERT_EQ(out.size(), 1u);
                EXPECT_EQ(Status(out[0]), kind.status | 6);
            } else {
                EXPECT_TRUE(out.empty()) << std::hex << int(kind.status) << " via " << only.bit;
            }
        }
    }
}

TEST(Routing, BitsAboveTheTypesDoNotConnect) {
    Router r(Matrix({{0, 0, 0xFFC0}}));
    EXPECT_TRUE(r.Play({MidiEvent(0x90, 60, 1), MidiEvent(0xB0, 1, 1)}).empty());
}

TEST(Routing, RepeatedNotesAndVelocityZero) {
    Router r(Matrix({{0, 1, kRouteNote}}));
    Events ons = r.Play({MidiEvent(0x90, 50, 80), MidiEvent(0x90, 50, 81)});
    EXPECT_EQ(Bytes(ons), (B{{0x91, 50, 80}, {0x91, 50, 81}}));
    // One table entry per route: one note off.
    EXPECT_EQ(Bytes(r.Play({MidiEvent(0x90, 50, 0)})), (B{{0x81, 50, 0}}));
    EXPECT_TRUE(r.Play({MidiEvent(0x80, 50, 0)}).empty());
    EXPECT_TRUE(r.Play({MidiEvent(0x80, 51, 0)}).empty()); // never routed
}

TEST(Routing, DataBytesAreMaskedForNotesOnly) {
    Router r;
    EXPECT_EQ(Bytes(r.Play({MidiEvent(0x90, 0xBC, 0x90)})), (B{{0x90, 0x3C, 0x90}}));
    EXPECT_EQ(Bytes(r.Play({MidiEvent(0x80, 0x3C, 0)})), (B{{0x80, 0x3C, 0}}));
    EXPECT_EQ(Bytes(r.Play({MidiEvent(0xB0, 0xFF, 0xFF)})), (B{{0xB0, 0xFF, 0xFF}}));
}

TEST(Routing, SystemMessagesAndSysexAreDropped) {
    Router r;
    Events in;
    for (int s = 0xF0; s <= 0xFF; ++s)
        in.push_back(MidiEvent(s, 1, 2));
    in.push_back(MidiEvent(0x40, 1, 2)); // a data byte without status
    EXPECT_TRUE(r.Play(in).empty());

    // Where a MIDI event keeps its status byte, a sysex record keeps its first reserved field
    // (x86_64) or the low byte of the dump's address (i386). Both read as a controller change
    // here, so the record would be routed if it were taken for a MIDI event.
    alignas(256) static char storage[512];
    char* dump = storage + 0xB0;
    dump[0] = char(0xF0);
    dump[1] = 0x7E;
    dump[2] = char(0xF7);
    VstMidiSysexEvent sysex{};
    sysex.type = kVstSysExType;
    sysex.byteSize = sizeof sysex;
    sysex.dumpBytes = 3;
    sysex.sysexDump = dump;
    if (offsetof(VstMidiSysexEvent, resvd1) == offsetof(VstMidiEvent, midiData))
        sysex.resvd1 = 0xB0;
    VstMidiEvent misread;
    memcpy(&misread, &sysex, sizeof misread);
    ASSERT_EQ(Status(misread), 0xB0);
    VstMidiEvent note = MidiEvent(0x90, 70, 70);
    struct {
        VstInt32 numEvents;
        VstIntPtr reserved;
        VstEvent* events[2];
    } block{2, 0, {reinterpret_cast<VstEvent*>(&sysex), reinterpret_cast<VstEvent*>(&note)}};
    // Everything the plugin sends, of any type: a host may keep only its MIDI events.
    struct : host::EventSink {
        void Receive(const VstEvents& events) override {
            for (VstInt32 i = 0; i < events.numEvents; ++i) {
                const auto* e = reinterpret_cast<const VstMidiEvent*>(events.events[i]);
                sent.push_back({e->type, Status(*e), Data1(*e), Data2(*e)});
            }
        }
        B sent;
    } sink;
    r.host.SendEventsTo(&sink);
    r.host.Dispatch(effProcessEvents, 0, 0, &block);
    r.Play({});
    EXPECT_EQ(sink.sent, (B{{kVstMidiType, 0x90, 70, 70}}));
}

TEST(Routing, NoteOffsFollowTheirNoteOnsAcrossAProgramChange) {
    Router r(Matrix({{0, 3, 0xFFFF}}));
    r.Play({MidiEvent(0x90, 40, 90)});
    // Program 2 routes channel 0 elsewhere; its note off still belongs to output 3.
    r.host.Dispatch(effSetProgram, 0, 2);
    Events first = r.Play({MidiEvent(0x90, 41, 90), MidiEvent(0xB0, 7, 1)});
    EXPECT_EQ(Bytes(first), (B{{0xB0, 7, 1}})) << "notes are dropped while the change settles";
    Events second = r.Play({MidiEvent(0x80, 40, 0), MidiEvent(0x90, 42, 1)});
    EXPECT_EQ(Bytes(second), (B{{0x83, 40, 0}})) << "the flush's note off, nothing routed";
    EXPECT_EQ(Bytes(r.Play({MidiEvent(0x90, 43, 5)})), (B{{0x90, 43, 5}}));
}

TEST(Routing, PresetSwitchingSelectsProgramsAndSilences) {
    VSTPluginProgram p = Matrix({{0, 0, 0xFFFF}, {1, 5, 0xFFFF}});
    Router r(p);
    r.effect->setParameter(r.effect, 2, 1.0f);
    r.Play({MidiEvent(0x90, 60, 100), MidiEvent(0x91, 61, 100)});
    Events block1 = r.Play({MidiEvent(0xCA, 7, 0), MidiEvent(0x90, 62, 1), MidiEvent(0xB3, 1, 1)});
    EXPECT_EQ(r.host.Dispatch(effGetProgram), 7);
    EXPECT_EQ(Text(r.host, effGetProgramName), "008 - empty preset");
    EXPECT_EQ(Bytes(block1), (B{{0xB3, 1, 1}})) << "the change is consumed, the note dropped";
    Events block2 = r.Play({MidiEvent(0x90, 63, 1), MidiEvent(0xB4, 2, 2)});
    EXPECT_EQ(Bytes(block2), (B{{0xB4, 2, 2}, {0x80, 60, 0}, {0x85, 61, 0}}));
    EXPECT_EQ(Bytes(r.Play({MidiEvent(0x92, 64, 3)})), (B{{0x92, 64, 3}}));
}

TEST(Routing, ProgramChangeRoutedWhenSwitchingIsOff) {
    Router r(Matrix({{2, 11, kRouteProgramChange}}));
    EXPECT_EQ(Bytes(r.Play({MidiEvent(0xC2, 9, 0)})), (B{{0xCB, 9, 0}}));
    EXPECT_EQ(r.host.Dispatch(effGetProgram), 0);
}

TEST(Routing, SuspendSilencesAndQueuesUntilResume) {
    Router r(Matrix({{0, 0, 0xFFFF}, {0, 1, 0xFFFF}}));
    r.Play({MidiEvent(0x90, 60, 100)});
    r.host.Dispatch(effMainsChanged, 0, 0);
    r.host.Input(0).assign(8, 0.5f);
    std::vector<float>& out = r.host.Output(0);
    out.assign(8, -1.0f);
    float* ins[2] = {r.host.Input(0).data(), r.host.Input(0).data()};
    float* outs[2] = {out.data(), out.data()};
    std::vector<VstMidiEvent> waiting = {MidiEvent(0xB0, 1, 1)};
    host::EventBlock block(waiting);
    r.host.Dispatch(effProcessEvents, 0, 0, block.Get());
    r.effect->processReplacing(r.effect, ins, outs, 8);
    EXPECT_EQ(out, std::vector<float>(8, -1.0f)) << "suspended: outputs untouched";
    r.host.Dispatch(effMainsChanged, 0, 1);
    EXPECT_EQ(Bytes(r.Play({})), (B{{0xB0, 1, 1}, {0xB1, 1, 1}, {0x80, 60, 0}, {0x81, 60, 0}}));
}

// A JACK port drops an event earlier than the one before it, so every block goes out in time
// order; events already in order keep their frames.
TEST(Routing, BlocksGoOutInTimeOrder) {
    auto frames = [](const Events& events) {
        std::vector<int> out;
        for (const VstMidiEvent& e : events)
            out.push_back(e.deltaFrames);
        return out;
    };
    Router r(Matrix({{0, 0, 0xFFFF}, {0, 1, 0xFFFF}}));
    EXPECT_EQ(frames(r.Play({MidiEvent(0x90, 60, 9, 3), MidiEvent(0xB0, 1, 1, 17)})),
              (std::vector<int>{3, 3, 17, 17}));
    // The flush note offs of a program change come after routed events with later frames.
    r.host.Dispatch(effSetProgram, 0, 0);
    r.Play({MidiEvent(0xB0, 2, 2, 40)});
    Events flushed = r.Play({MidiEvent(0xB0, 3, 3, 25)});
    EXPECT_EQ(Bytes(flushed), (B{{0xB0, 3, 3}, {0xB1, 3, 3}, {0x80, 60, 0}, {0x81, 60, 0}}));
    EXPECT_EQ(frames(flushed), (std::vector<int>{25, 25, 25, 25}));
    // Two event blocks before one processing block, the second starting earlier.
    std::vector<VstMidiEvent> late = {MidiEvent(0xB0, 4, 4, 30)};
    std::vector<VstMidiEvent> early = {MidiEvent(0xB0, 5, 5, -7), MidiEvent(0xB0, 6, 6, 50)};
    host::EventBlock first(late), second(early);
    r.host.Dispatch(effProcessEvents, 0, 0, first.Get());
    r.host.Dispatch(effProcessEvents, 0, 0, second.Get());
    EXPECT_EQ(frames(r.Play({})), (std::vector<int>{30, 30, 30, 30, 50, 50}));
}

TEST(Routing, QueueLimits) {
    Router r;
    Events many;
    for (int i = 0; i < 600; ++i)
        many.push_back(MidiEvent(0xB0, i & 0x7F, i & 0x7F, i));
    Events out = r.Play(many);
    ASSERT_EQ(out.size(), 512u);
    EXPECT_EQ(out[511].deltaFrames, 511);
    // Fan-out past the outgoing block drops what does not fit.
    Router wide(Matrix({}));
    VSTPluginProgram all = DefaultProgram();
    for (auto& row : all.routing)
        for (auto& cell : row)
            cell = 0xFFFF;
    ASSERT_EQ(LoadProgramChunk(wide.host, &all, kProgramSize), 1);
    wide.Settle();
    Events cc(40, MidiEvent(0xB0, 1, 1));
    EXPECT_EQ(wide.Play(cc).size(), 512u);
}

TEST(Audio, ReplacingCopiesAndProcessAdds) {
    Router r;
    r.host.Input(0).assign(4, 0.25f);
    r.host.Input(1).assign(4, -0.5f);
    float* ins[2] = {r.host.Input(0).data(), r.host.Input(1).data()};
    std::vector<float> o0(4, 1.0f), o1(4, 1.0f);
    float* outs[2] = {o0.data(), o1.data()};
    r.effect->processReplacing(r.effect, ins, outs, 4);
    EXPECT_EQ(o0, std::vector<float>(4, 0.25f));
    EXPECT_EQ(o1, std::vector<float>(4, -0.5f));
    r.effect->process(r.effect, ins, outs, 4);
    EXPECT_EQ(o0, std::vector<float>(4, 0.5f));
    EXPECT_EQ(o1, std::vector<float>(4, -1.0f));
    r.effect->process(r.effect, ins, outs, 0);
    EXPECT_EQ(o0, std::vector<float>(4, 0.5f));
    // Null buffers, in-place buffers and odd lengths are survived.
    r.effect->processReplacing(r.effect, nullptr, nullptr, 4);
    r.effect->processReplacing(r.effect, outs, outs, 4);
    r.effect->processReplacing(r.effect, ins, outs, -5);
    float* none[2] = {nullptr, nullptr};
    r.effect->process(r.effect, none, outs, 4);
    EXPECT_EQ(o0, std::vector<float>(4, 0.5f));
}

TEST(Events, GarbageBlocksAreSurvived) {
    Router r;
    r.host.Dispatch(effProcessEvents, 0, 0, nullptr);
    struct {
        VstInt32 numEvents;
        VstIntPtr reserved;
        VstEvent* events[3];
    } block{3, 0, {nullptr, nullptr, nullptr}};
    r.host.Dispatch(effProcessEvents, 0, 0, &block);
    block.numEvents = -7;
    r.host.Dispatch(effProcessEvents, 0, 0, &block);
    VstMidiEvent odd = MidiEvent(0x90, 1, 1, -1000);
    odd.byteSize = 1 << 30;
    odd.flags = -1;
    Events out = r.Play({odd}, 0);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].deltaFrames, -1000);
    EXPECT_EQ(out[0].byteSize, 1 << 30);
}

} // namespace
} // namespace ferrovane::test
