// MIDI through the built LV2 plugin in a lilv host: every kind of event at its frame, note offs
// after the matrix or the program changes, program changes that switch programs, and the
// control ports.
#include "Lv2Router.h"

#include "PluginParameters.h"

namespace ferrovane::test {
namespace {

using zell::threading::StoreRelaxed;

TEST(Lv2Routing, EveryKindOfEventKeepsItsFrameAndItsLength) {
    Lv2Router r;
    const Lv2Events out = r.Play({Msg(0, {0x93, 60, 100}), Msg(3, {0xB5, 7, 99}),
                                  Msg(3, {0xA1, 60, 30}), Msg(9, {0xC4, 12}), Msg(10, {0xD2, 44}),
                                  Msg(200, {0xEF, 0x7F, 0x40}), Msg(255, {0x83, 60, 64})});
    EXPECT_EQ(out, (Lv2Events{Msg(0, {0x93, 60, 100}), Msg(3, {0xB5, 7, 99}),
                              Msg(3, {0xA1, 60, 30}), Msg(9, {0xC4, 12}), Msg(10, {0xD2, 44}),
                              Msg(200, {0xEF, 0x7F, 0x40}), Msg(255, {0x83, 60, 0})}));
}

TEST(Lv2Routing, FanOutAndFiltersFromTheLoadedBank) {
    Lv2Router r;
    ASSERT_EQ(r.Load(Bank(Matrix({{0, 9, 0xFFFF}, {0, 2, 0xFFFF}, {0, 15, kRouteCC}}))),
              LV2_STATE_SUCCESS);
    r.Settle();
    EXPECT_EQ(Bytes(r.Play({Msg(5, {0x90, 64, 90})})), (B{{0x92, 64, 90}, {0x99, 64, 90}}));
    EXPECT_EQ(Bytes(r.Play({Msg(5, {0xB0, 1, 2})})), (B{{0xB2, 1, 2}, {0xB9, 1, 2}, {0xBF, 1, 2}}));
    EXPECT_EQ(Bytes(r.Play({Msg(5, {0xD0, 1})})), (B{{0xD2, 1}, {0xD9, 1}}));
    EXPECT_EQ(Bytes(r.Play({Msg(5, {0x80, 64, 0})})), (B{{0x82, 64, 0}, {0x89, 64, 0}}));
}

TEST(Lv2Routing, NoteOffsFollowTheirNoteOnsAfterTheMatrixChanges) {
    Lv2Router r;
    ASSERT_EQ(r.Load(Bank(Matrix({{0, 2, 0xFFFF}, {0, 5, 0xFFFF}}))), LV2_STATE_SUCCESS);
    r.Settle();
    EXPECT_EQ(Bytes(r.Play({Msg(0, {0x90, 60, 100})})), (B{{0x92, 60, 100}, {0x95, 60, 100}}));
    // The editor cuts (0, 5) and connects (0, 7) in place, as it does through instance access.
    VSTPluginProgram& p = r.Engine().CurrentProgram();
    StoreRelaxed(p.routing[0][5], 0);
    StoreRelaxed(p.routing[0][7], kRouteConnected);
    EXPECT_EQ(Bytes(r.Play({Msg(1, {0x80, 60, 0}), Msg(2, {0x90, 61, 1})})),
              (B{{0x82, 60, 0}, {0x85, 60, 0}, {0x92, 61, 1}, {0x97, 61, 1}}));
    // Silencing the edit node sends its note offs with the next block, after its events.
    r.Engine().SetEditNode(0, 7);
    r.Engine().setParameter(kParamEditNode, 0.0f);
    EXPECT_EQ(r.Play({Msg(4, {0xB0, 1, 1})}),
              (Lv2Events{Msg(4, {0xB2, 1, 1}), Msg(4, {0xB7, 1, 1}), Msg(4, {0x87, 61, 0})}));
    EXPECT_EQ(Bytes(r.Play({Msg(0, {0x80, 61, 0})})), (B{{0x82, 61, 0}}));
}

TEST(Lv2Routing, ProgramChangesSwitchProgramsWhenPresetChangeIsOn) {
    Lv2Router r;
    std::vector<VSTPluginProgram> bank = Bank(Matrix({{0, 0, 0xFFFF}, {1, 5, 0xFFFF}}));
    bank[7] = Matrix({{0, 12, 0xFFFF}, {3, 4, kRouteCC}});
    ASSERT_EQ(r.Load(bank), LV2_STATE_SUCCESS);
    r.Settle();
    EXPECT_EQ(Bytes(r.Play({Msg(0, {0xCA, 7})})), B{}) << "off: routed (no node passes it)";
    r.plugin.Set("preset_change", 1.0f);
    r.Play({Msg(0, {0x90, 60, 100}), Msg(0, {0x91, 61, 100})});
    const Lv2Events first =
        r.Play({Msg(2, {0xCA, 7}), Msg(3, {0x90, 62, 1}), Msg(4, {0xB3, 1, 1})});
    EXPECT_EQ(r.Engine().CurrentProgram().routing[0][12], kRouteConnected) << "program 8";
    EXPECT_EQ(Bytes(first), (B{{0xB4, 1, 1}})) << "the change consumed, the note dropped";
    EXPECT_EQ(r.Play({Msg(6, {0x90, 63, 1})}),
              (Lv2Events{Msg(0, {0x80, 60, 0}), Msg(0, {0x85, 61, 0})}))
        << "notes still dropped; the old routing's notes silenced";
    EXPECT_EQ(Bytes(r.Play({Msg(0, {0x90, 64, 3})})), (B{{0x9C, 64, 3}}));
}

TEST(Lv2Routing, TheProgramPortSwitchesOnlyWhenItNamesAnotherProgram) {
    Lv2Router r;
    std::vector<VSTPluginProgram> bank = Bank();
    bank[2] = Matrix({{0, 9, 0xFFFF}});
    ASSERT_EQ(r.Load(bank), LV2_STATE_SUCCESS);
    r.Settle();
    r.Play({Msg(0, {0x90, 60, 100})});
    r.plugin.Set("program", 1.0f); // the program it is on: no change, nothing silenced
    EXPECT_EQ(Bytes(r.Play({Msg(0, {0x80, 60, 0})})), (B{{0x80, 60, 0}}));
    r.Play({Msg(0, {0x90, 61, 100})});
    r.plugin.Set("program", 3.0f);
    EXPECT_EQ(Bytes(r.Play({Msg(0, {0x90, 62, 1})})), B{});
    EXPECT_EQ(Bytes(r.Play({})), (B{{0x80, 61, 0}}));
    EXPECT_EQ(Bytes(r.Play({Msg(0, {0x90, 63, 1})})), (B{{0x99, 63, 1}}));
    r.plugin.Set("program", 129.0f); // out of range: nothing
    r.plugin.Set("program", 0.0f);
    EXPECT_EQ(Bytes(r.Play({Msg(0, {0x90, 64, 1})})), (B{{0x99, 64, 1}}));
}

TEST(Lv2Routing, ResetAndClearArePressesAndTheOptionsReachEveryProgram) {
    Lv2Router r;
    r.plugin.Set("clear", 1.0f);
    r.Settle();
    EXPECT_TRUE(r.Play({Msg(0, {0xB0, 1, 1})}).empty());
    r.plugin.Set("clear", 0.0f);
    r.plugin.Set("reset", 1.0f);
    r.Settle();
    EXPECT_EQ(Bytes(r.Play({Msg(0, {0xB0, 1, 1})})), (B{{0xB0, 1, 1}}));
    // A press held down resets once: an edit made meanwhile stays.
    StoreRelaxed(r.Engine().CurrentProgram().routing[0][3], kRouteCC);
    r.Play({});
    EXPECT_EQ(Bytes(r.Play({Msg(0, {0xB0, 1, 1})})), (B{{0xB0, 1, 1}, {0xB3, 1, 1}}));

    r.plugin.Set("grid", 1.0f);
    r.plugin.Set("highlight", 1.0f);
    r.Play({});
    EXPECT_EQ(r.Engine().getParameter(kParamGrid), 1.0f);
    EXPECT_EQ(r.Engine().getParameter(kParamHighlight), 1.0f);
    r.plugin.Set("program", 100.0f);
    r.Play({});
    EXPECT_EQ(r.Engine().getParameter(kParamGrid), 1.0f) << "in every program";
    EXPECT_EQ(r.Engine().getParameter(kParamPresetSwitching), 0.0f);
}

TEST(Lv2Routing, OnlyWholeChannelMessagesAreRouted) {
    Lv2Router r;
    const Lv2Events out =
        r.Play({Msg(0, {}), Msg(0, {0xF0, 0x7E, 0x01, 0xF7, 0xF0, 0x7E, 0x01, 0x02, 0x03, 0xF7}),
                Msg(0, {0xF8}), Msg(0, {0xFE}), Msg(1, {0x90, 60}), Msg(1, {0xC0}),
                Msg(2, {0x40, 1, 2}), Msg(3, {0xC1, 5, 9}), Msg(4, {0x91, 62, 70})});
    EXPECT_EQ(out, (Lv2Events{Msg(3, {0xC1, 5}), Msg(4, {0x91, 62, 70})}))
        << "empty events, system messages, cut messages and data bytes are no messages to route; "
           "bytes beyond a message's length are not part of it";

    // A sequence whose last event claims more than the sequence holds ends before it.
    Lv2Instance& p = r.plugin;
    p.Feed({Msg(0, {0xB0, 1, 1}), Msg(1, {0xB1, 2, 2})});
    auto* seq = static_cast<LV2_Atom_Sequence*>(p.PortBuffer("midi_in"));
    auto* second = reinterpret_cast<LV2_Atom_Event*>(reinterpret_cast<uint8_t*>(seq + 1) + 24);
    second->body.size = 0xFFFFFFF0u;
    p.RunFed(256);
    EXPECT_EQ(Bytes(p.Collect()), (B{{0xB0, 1, 1}}));
}

TEST(Lv2Routing, AFullOutputBufferTakesWhatFitsWhole) {
    Lv2World world;
    Lv2Instance small(world, nullptr, 48000, 16 + 24 * 3 + 8); // three events and a bit more
    ASSERT_TRUE(small.Ok());
    const Lv2Events out =
        small.Run({Msg(0, {0xB0, 1, 1}), Msg(1, {0xB1, 1, 1}), Msg(2, {0xB2, 1, 1}),
                   Msg(3, {0xB3, 1, 1}), Msg(4, {0xB4, 1, 1})});
    EXPECT_EQ(Bytes(out), (B{{0xB0, 1, 1}, {0xB1, 1, 1}, {0xB2, 1, 1}}));
}

TEST(Lv2Routing, DeactivationSilencesWhatIsSounding) {
    Lv2Router r;
    r.Play({Msg(0, {0x90, 60, 100}), Msg(0, {0x95, 61, 100})});
    lilv_instance_deactivate(r.plugin.Instance());
    lilv_instance_activate(r.plugin.Instance());
    EXPECT_EQ(r.Play({Msg(7, {0xB0, 1, 1})}),
              (Lv2Events{Msg(7, {0xB0, 1, 1}), Msg(7, {0x80, 60, 0}), Msg(7, {0x85, 61, 0})}));
}

TEST(Lv2Routing, CarelessHostsCannotBreakIt) {
    Lv2World world;
    const LilvPlugin* plugin = world.Plugin(lv2::kPluginUri);
    ASSERT_NE(plugin, nullptr);
    const LV2_Feature* none[] = {nullptr};
    EXPECT_EQ(lilv_plugin_instantiate(plugin, 48000, none), nullptr) << "no URID map: refused";

    // Run before activation, with no port connected, and with ports taken away again.
    LilvInstance* bare = lilv_plugin_instantiate(plugin, 48000, world.Features());
    ASSERT_NE(bare, nullptr);
    lilv_instance_run(bare, 64);
    Lv2Instance connected(world);
    for (uint32_t port = 0; port < lv2::kPortCount; ++port)
        lilv_instance_connect_port(connected.Instance(), port, nullptr);
    lilv_instance_run(connected.Instance(), 64);
    lilv_instance_connect_port(bare, 1000, nullptr);
    lilv_instance_free(bare); // never activated, never deactivated
    SUCCEED();
}

} // namespace
} // namespace ferrovane::test
