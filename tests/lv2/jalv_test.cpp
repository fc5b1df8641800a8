// The LV2 plugin in jalv, a real LV2 host, as a JACK client of a `jackd -d dummy` server of the
// test's own, between two JACK clients of the test's: what goes into its MIDI input comes out of
// its MIDI output in the same cycle, at the same frame, routed as the state jalv loaded says.
#include "Lv2Router.h"

#include "JalvProcess.h"
#include "MidiPeer.h"

namespace ferrovane::test {
namespace {

TEST(Lv2Jalv, RoutesMidiBetweenJackClientsAsTheLoadedStateSays) {
    // The state jalv loads: channel 1 to 1 and 3 (notes and controllers), channel 2 cut off,
    // channel 5's program changes and channel pressure to 9.
    Lv2Router saver;
    ASSERT_EQ(saver.Load(Bank(Matrix({{0, 0, 0xFFFF},
                                      {0, 2, kRouteNote | kRouteCC},
                                      {4, 8, kRouteProgramChange | kRouteAftertouch}}))),
              LV2_STATE_SUCCESS);
    const std::string folder = saver.world.Scratch() + "/jalv-state";
    saver.plugin.Save(folder);

    JackServer server;
    ASSERT_TRUE(server.Ok());
    MidiPeer sender(server.Name(), "sender", true), receiver(server.Name(), "receiver", false);
    ASSERT_TRUE(sender.Ok() && receiver.Ok());
    const std::string name = JackClientName("ferrovane-jalv");
    Jalv jalv("jalv", server.Name(), name, saver.world.Scratch() + "/path:/usr/lib/lv2",
              {"-l", folder});
    jack_client_t* patchbay = OpenJackClient(server.Name(), "patchbay");
    ASSERT_NE(patchbay, nullptr);
    EXPECT_TRUE(Within(60, [&] {
        return jack_connect(patchbay, sender.Port().c_str(), (name + ":midi_in").c_str()) == 0;
    })) << "jalv's client and its ports";
    EXPECT_EQ(jack_connect(patchbay, (name + ":midi_out").c_str(), receiver.Port().c_str()), 0);

    const uint32_t t = 4 * 256;
    const std::vector<PeerEvent> in = {
        Message(t + 10, 0x90, 60, 100), Message(t + 20, 0xB0, 7, 90), Message(t + 30, 0x91, 1, 1),
        Message(t + 40, 0xC4, 5),       Message(t + 300, 0xD4, 30),   Message(t + 600, 0xE0, 0, 64),
        Message(t + 900, 0x80, 60, 0),
    };
    const std::vector<PeerEvent> want = {
        Message(t + 10, 0x90, 60, 100), Message(t + 10, 0x92, 60, 100),
        Message(t + 20, 0xB0, 7, 90),   Message(t + 20, 0xB2, 7, 90),
        Message(t + 40, 0xC8, 5),       Message(t + 300, 0xD8, 30),
        Message(t + 600, 0xE0, 0, 64),  Message(t + 900, 0x80, 60, 0),
        Message(t + 900, 0x82, 60, 0),
    };
    sender.Play(in);
    EXPECT_TRUE(Within(60, [&] { return receiver.Count() >= want.size(); }))
        << receiver.Count() << " of " << want.size() << " events came out";
    const uint64_t cycles = receiver.Cycles();
    EXPECT_TRUE(Within(60, [&] { return receiver.Cycles() >= cycles + 10; }));
    std::vector<PeerEvent> out = receiver.Received();
    for (PeerEvent& e : out)
        e.frame -= sender.Start();
    EXPECT_EQ(out, want);
    jack_client_close(patchbay);
    EXPECT_EQ(jalv.Quit(), 0);
}

} // namespace
} // namespace ferrovane::test
