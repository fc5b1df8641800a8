// A live session from start to end: the bank it loads, the edits made in its editor written back,
// where the bank lives without --bank, the ways it ends (signals, the window, the server going
// away), and the errors that stop it before it starts.
#include "LiveHarness.h"
#include "XUser.h"

#include <csignal>
#include <sys/stat.h>

namespace ferrovane::test {
namespace {

constexpr uint32_t kSettled = 4 * 256;

bool HasStatus(const std::vector<PeerEvent>& events, uint8_t status) {
    for (const PeerEvent& e : events)
        if (e.bytes[0] == status) return true;
    return false;
}

// Clear and the preset-switching option, clicked in the editor, reach the bank file. That the
// clicks took effect shows in the MIDI: program changes then switch to a program that sends
// channel 1 to channel 9. Closing the window ends the run.
TEST_F(Live, EditsMadeInTheEditorAreWrittenBackToTheBank) {
    std::vector<unsigned char> bank = DefaultBank();
    SetCell(bank, 0, 0, 4, 0xFFFF); // program 1: channel 1 also to 5
    SetCell(bank, 1, 0, 0, 0);      // program 2: channel 1 to 9 only
    SetCell(bank, 1, 0, 8, 0xFFFF);
    const std::string path = OutputPath("live-edits", ".fxb");
    WriteBank(path, bank);

    MidiPeer before(server->Name(), "before", true), after(server->Name(), "after", true),
        receiver(server->Name(), "receiver", false);
    const std::string name = JackClientName("ferrovane-edits");
    LiveRun live({FERROVANE_PLUGIN_PATH, "--bank", path, "--name", name, "--connect-in",
                  before.Port(), "--connect-in", after.Port(), "--connect-out", receiver.Port(),
                  "--seconds", "600"});
    ASSERT_TRUE(Within(60, [&] { return receiver.Connected() && after.Connected(); }));
    before.Play({Message(kSettled, 0xB0, 7, 100)});
    ASSERT_TRUE(Within(60, [&] { return receiver.Count() >= 2; }));
    EXPECT_TRUE(HasStatus(receiver.Received(), 0xB0) && HasStatus(receiver.Received(), 0xB4))
        << "the bank was loaded";

    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);
    Window w = 0;
    ASSERT_TRUE(Within(60, [&] { return (w = NamedWindow(d, name.c_str())) != 0; }));
    ASSERT_TRUE(Within(60, [&] { return MappedChildren(d, w) == 1; })) << "the editor is in it";
    Click(d, w, 247 + 20, 15 + 10); // Clear
    Click(d, w, 242 + 21, 67 + 8);  // Presets: program changes switch programs
    std::vector<PeerEvent> changes;
    for (uint32_t k = 0; k < 600; ++k) {
        changes.push_back(Message(kSettled + k * 2400, 0xC0, 1));
        changes.push_back(Message(kSettled + k * 2400 + 10, 0xB0, 7, k & 0x7F));
    }
    after.Play(changes);
    EXPECT_TRUE(Within(60, [&] { return HasStatus(receiver.Received(), 0xB8); }));
    RequestClose(d, w);
    XCloseDisplay(d);
    EXPECT_EQ(live.Wait(), 0);

    const host::FxPreset saved = ReadBankFile(path);
    ASSERT_EQ(saved.chunk.size(), kBankSize);
    int connected = 0;
    for (int in = 0; in < 16; ++in)
        for (int out = 0; out < 16; ++out)
            connected += Cell(saved.chunk, 0, in, out) != 0;
    EXPECT_EQ(connected, 0) << "program 1 was cleared";
    EXPECT_EQ(Cell(saved.chunk, 1, 0, 8), 0xFFFF) << "program 2 kept its routing";
    std::vector<unsigned char> chunk = saved.chunk;
    EXPECT_EQ(Switching(chunk, 0), 1);
    EXPECT_EQ(saved.currentProgram, 1);
    unlink(path.c_str());
}

// Runs the command without an editor until it has connected to a receiver, then sends `signal`.
int RunUntilSignal(const std::string& server, std::vector<std::string> args, int signal) {
    MidiPeer receiver(server, "receiver", false);
    for (const char* a : {"--no-editor", "--seconds", "600", "--connect-out"})
        args.push_back(a);
    args.push_back(receiver.Port());
    LiveRun live(std::move(args));
    EXPECT_TRUE(Within(60, [&] { return live.Finished() || receiver.Connected(); }));
    if (!live.Finished()) kill(getpid(), signal);
    return live.Wait();
}

size_t FileSize(const std::string& path) {
    struct stat s;
    return stat(path.c_str(), &s) == 0 ? static_cast<size_t>(s.st_size) : 0;
}

TEST_F(Live, WithoutABankFileTheConfigFolderKeepsItAndSignalsEndTheRun) {
    const std::string root = OutputPath("live-config");
    const std::string home = getenv("HOME") ? getenv("HOME") : "";
    setenv("XDG_CONFIG_HOME", (root + "/xdg").c_str(), 1);
    EXPECT_EQ(RunUntilSignal(server->Name(), {FERROVANE_PLUGIN_PATH}, SIGINT), 0);
    EXPECT_EQ(FileSize(root + "/xdg/ferrovane/bank.fxb"), 160 + kBankSize);
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", (root + "/home").c_str(), 1);
    EXPECT_EQ(RunUntilSignal(server->Name(), {FERROVANE_PLUGIN_PATH}, SIGTERM), 0);
    EXPECT_EQ(FileSize(root + "/home/.config/ferrovane/bank.fxb"), 160 + kBankSize);
    setenv("HOME", home.c_str(), 1);
    EXPECT_EQ(system(("rm -rf '" + root + "'").c_str()), 0);
}

TEST_F(Live, TheServerGoingAwayEndsTheRunWithTheBankSaved) {
    const std::string folder = OutputPath("live-gone");
    const std::string path = folder + "/bank.fxb";
    MidiPeer receiver(server->Name(), "receiver", false);
    LiveRun live({FERROVANE_PLUGIN_PATH, "--bank", path, "--no-editor", "--seconds", "600",
                  "--connect-out", receiver.Port()});
    ASSERT_TRUE(Within(60, [&] { return receiver.Connected(); }));
    testing::internal::CaptureStderr();
    server->Stop();
    EXPECT_EQ(live.Wait(), 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("the JACK server went away"),
              std::string::npos);
    EXPECT_EQ(ReadBankFile(path).chunk.size(), kBankSize);
    EXPECT_EQ(system(("rm -rf '" + folder + "'").c_str()), 0);
}

TEST_F(Live, ABankThatCannotBeSavedIsAnErrorAtTheEnd) {
    const std::string folder = OutputPath("live-saveless");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    MidiPeer receiver(server->Name(), "receiver", false);
    LiveRun live({FERROVANE_PLUGIN_PATH, "--bank", folder + "/bank.fxb", "--no-editor", "--seconds",
                  "600", "--connect-out", receiver.Port()});
    ASSERT_TRUE(Within(60, [&] { return receiver.Connected(); }));
    // The folder becomes a file, so neither it nor the bank in it can be made.
    ASSERT_EQ(rmdir(folder.c_str()), 0);
    std::string error;
    ASSERT_TRUE(host::WriteFile(folder, {1}, error));
    testing::internal::CaptureStderr();
    kill(getpid(), SIGTERM);
    EXPECT_EQ(live.Wait(), 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("the bank was not saved"),
              std::string::npos);
    unlink(folder.c_str());
}

// Each error is one line, with a non-zero exit and nothing started.
int Refused(std::vector<std::string> args, std::string& said) {
    testing::internal::CaptureStderr();
    const int result = host::LiveCommand(Named(std::move(args)));
    said = testing::internal::GetCapturedStderr();
    return result;
}

TEST_F(Live, NoServerABadBankOrAnUnknownPortStopsItBeforeItStarts) {
    const std::string plugin = FERROVANE_PLUGIN_PATH;
    const std::string bank = OutputPath("live-errors", ".fxb");
    unlink(bank.c_str());
    std::string said;

    setenv("JACK_DEFAULT_SERVER", (server->Name() + "-none").c_str(), 1);
    EXPECT_EQ(Refused({plugin, "--no-editor", "--bank", bank}, said), 1);
    EXPECT_EQ(said, "ferrovane-host: no JACK server running: start one, e.g. `jackd -d dummy` "
                    "or PipeWire's JACK\n");
    setenv("JACK_DEFAULT_SERVER", server->Name().c_str(), 1);

    std::string error;
    const std::vector<unsigned char> junk = {1, 2, 3};
    ASSERT_TRUE(host::WriteFile(bank, junk, error));
    EXPECT_EQ(Refused({plugin, "--no-editor", "--bank", bank}, said), 1);
    EXPECT_NE(said.find(bank), std::string::npos) << said;
    std::vector<unsigned char> kept;
    ASSERT_TRUE(host::ReadFile(bank, kept, error));
    EXPECT_EQ(kept, junk) << "never silently replaced";
    const std::string raw = OutputPath("live-errors", ".bank");
    ASSERT_TRUE(host::WriteFile(raw, junk, error));
    EXPECT_EQ(Refused({plugin, "--no-editor", "--bank", raw}, said), 1);
    EXPECT_NE(said.find("refused the chunk"), std::string::npos) << said;
    EXPECT_EQ(Refused({plugin, "--no-editor", "--bank", FERROVANE_TEST_OUTPUT}, said), 1);

    EXPECT_EQ(Refused({plugin, "--no-editor", "--connect-in", "nobody:out"}, said), 1);
    EXPECT_NE(said.find("no JACK port named \"nobody:out\""), std::string::npos) << said;
    MidiPeer receiver(server->Name(), "receiver", false);
    EXPECT_EQ(Refused({plugin, "--no-editor", "--connect-in", receiver.Port()}, said), 1);
    EXPECT_NE(said.find("is an input"), std::string::npos) << said;

    EXPECT_EQ(host::LiveCommand({plugin, plugin}), 2);
    EXPECT_EQ(host::LiveCommand({plugin, "--program", "0"}), 2);
    EXPECT_EQ(host::LiveCommand({plugin, "--bogus", "1"}), 2);
    unlink(bank.c_str());
    unlink(raw.c_str());
}

} // namespace
} // namespace ferrovane::test
