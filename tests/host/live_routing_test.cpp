// The live host between two real JACK clients of the test's own: what goes into Ferrovane's
// input comes out of its output in the same cycle, at the same frame, routed as the bank says.
#include "LiveHarness.h"

#include <csignal>
#include <cstdio>

namespace ferrovane::test {
namespace {

constexpr uint32_t kSettled = 4 * 256; // the first cycles settle the program chosen at start

// Runs the live command between a sender and a receiver until `expected` events have come out,
// then stops it with SIGINT; returns what came out, with frames counted from the schedule's start.
std::vector<PeerEvent> RouteLive(const std::string& server, std::vector<std::string> args,
                                 const std::vector<PeerEvent>& schedule, size_t expected,
                                 int& result, int seconds = 60) {
    MidiPeer sender(server, "sender", true), receiver(server, "receiver", false);
    EXPECT_TRUE(sender.Ok() && receiver.Ok());
    for (const std::string& a :
         {std::string("--connect-in"), sender.Port(), std::string("--connect-out"), receiver.Port(),
          std::string("--no-editor"), std::string("--seconds"), std::string("600")})
        args.push_back(a);
    LiveRun live(std::move(args));
    EXPECT_TRUE(Within(
        60, [&] { return live.Finished() || (sender.Connected() && receiver.Connected()); }));
    sender.Play(schedule);
    EXPECT_TRUE(Within(seconds, [&] { return live.Finished() || receiver.Count() >= expected; }))
        << receiver.Count() << " of " << expected << " events came out";
    EXPECT_TRUE(Within(seconds, [&] { return live.Finished() || sender.Played(); }));
    // Ten more cycles, for anything that should not have come out.
    const uint64_t cycles = receiver.Cycles();
    EXPECT_TRUE(
        Within(seconds, [&] { return live.Finished() || receiver.Cycles() >= cycles + 10; }));
    if (!live.Finished()) kill(getpid(), SIGINT);
    result = live.Wait();
    if (receiver.Xruns() > 0) {
        testing::Test::RecordProperty("xruns", static_cast<int>(receiver.Xruns()));
        printf("note: the server reported %llu xruns\n",
               static_cast<unsigned long long>(receiver.Xruns()));
    }
    std::vector<PeerEvent> out = receiver.Received();
    for (PeerEvent& e : out)
        e.frame -= sender.Start();
    return out;
}

TEST_F(Live, NotesControllersBendAndProgramsAreRoutedAsTheBankSays) {
    std::vector<unsigned char> bank = DefaultBank();
    SetCell(bank, 0, 0, 0, 0x01); // 1 to 1: notes only
    SetCell(bank, 0, 0, 2, 0x03); // 1 to 3: notes and controllers
    SetCell(bank, 0, 1, 1, 0);    // 2 to 2: nothing
    SetCell(bank, 0, 1, 3, 0x20); // 2 to 4: pitch bend only
    SetCell(bank, 0, 4, 4, 0x08); // 5 to 5: program changes only
    const std::string path = OutputPath("live-routing", ".bank");
    WriteBank(path, bank);

    const uint32_t t = kSettled;
    const std::vector<PeerEvent> in = {
        Message(t + 10, 0x90, 60, 100), Message(t + 20, 0xB0, 7, 90),  Message(t + 30, 0xE1, 0, 64),
        Message(t + 40, 0xC4, 5),       Message(t + 50, 0xB1, 1, 1),   Message(t + 60, 0xD0, 30),
        Message(t + 70, 0xB4, 2, 3),    Message(t + 80, 0xB6, 10, 20), Message(t + 90, 0x80, 60, 0),
    };
    const std::vector<PeerEvent> want = {
        Message(t + 10, 0x90, 60, 100), Message(t + 10, 0x92, 60, 100),
        Message(t + 20, 0xB2, 7, 90),   Message(t + 30, 0xE3, 0, 64),
        Message(t + 40, 0xC4, 5),       Message(t + 80, 0xB6, 10, 20),
        Message(t + 90, 0x80, 60, 0),   Message(t + 90, 0x82, 60, 0),
    };
    int result = -1;
    EXPECT_EQ(
        RouteLive(server->Name(), {FERROVANE_PLUGIN_PATH, "--bank", path}, in, want.size(), result),
        want);
    EXPECT_EQ(result, 0);
    unlink(path.c_str());
}

TEST_F(Live, AProgramChangeSwitchesProgramsWhenSwitchingIsOn) {
    std::vector<unsigned char> bank = DefaultBank();
    for (int p = 0; p < 128; ++p)
        Switching(bank, p) = 1;
    SetCell(bank, 1, 0, 0, 0); // program 2: channel 1 to 2
    SetCell(bank, 1, 0, 1, 0xFFFF);
    SetCell(bank, 2, 0, 0, 0); // program 3: channel 1 to 3
    SetCell(bank, 2, 0, 2, 0xFFFF);
    const std::string path = OutputPath("live-switching", ".fxb");
    WriteBank(path, bank);

    const uint32_t t = kSettled;
    const std::vector<PeerEvent> in = {
        Message(t + 10, 0x90, 60, 100),  Message(t + 20, 0x80, 60, 0),
        Message(t + 300, 0xC0, 2), // to program 3; the next two cycles let sounding notes end
        Message(t + 1100, 0x90, 61, 90), Message(t + 1110, 0x80, 61, 0),
    };
    const std::vector<PeerEvent> want = {
        Message(t + 10, 0x91, 60, 100),
        Message(t + 20, 0x81, 60, 0),
        Message(t + 1100, 0x92, 61, 90),
        Message(t + 1110, 0x82, 61, 0),
    };
    int result = -1;
    EXPECT_EQ(RouteLive(server->Name(), {FERROVANE_PLUGIN_PATH, "--bank", path, "--program", "2"},
                        in, want.size(), result),
              want);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadBankFile(path).currentProgram, 2) << "the program it ended on is kept";
    unlink(path.c_str());
}

// 10,000 events a second for ten seconds through the identity routing of a new bank: every one
// comes out in order, at its frame. On a loaded machine the server waits for a late cycle
// (synchronous mode), so xruns are reported, never taken for lost events.
TEST_F(Live, TenThousandEventsASecondPassForTenSecondsInOrder) {
    constexpr uint32_t kEvents = 100000;
    std::vector<PeerEvent> in;
    in.reserve(kEvents);
    for (uint32_t i = 0; i < kEvents; ++i)
        in.push_back(Message(kSettled + static_cast<uint32_t>(uint64_t{i} * 48000 / 10000),
                             static_cast<uint8_t>(0xB0 | (i & 15)), (i >> 7) & 0x7F, i & 0x7F));
    const std::string path = OutputPath("live-throughput", ".fxb");
    unlink(path.c_str());
    testing::internal::CaptureStdout();
    int result = -1;
    const std::vector<PeerEvent> out = RouteLive(
        server->Name(), {FERROVANE_PLUGIN_PATH, "--bank", path}, in, kEvents, result, 300);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(result, 0);
    ASSERT_EQ(out.size(), in.size());
    size_t first = 0;
    while (first < in.size() && out[first] == in[first])
        ++first;
    EXPECT_EQ(first, in.size()) << "the first event out of place";
    EXPECT_NE(printed.find("in 100000  out 100000  lost 0"), std::string::npos) << printed;
    unlink(path.c_str());
}

} // namespace
} // namespace ferrovane::test
