// The stand-in host's files and its route command: MIDI files and presets in and out, and a file
// routed through the real plugin coming out as the matrix says.
#include "BinaryFile.h"
#include "Commands.h"
#include "FxPreset.h"
#include "MidiFile.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <unistd.h>

namespace ferrovane::host {
namespace {

std::string OutputPath(const char* name) {
    return std::string(FERROVANE_TEST_OUTPUT) + "/" + name + "-" + std::to_string(getpid());
}

TEST(MidiFiles, RunningStatusMetaAndSysexAreRead) {
    // Format 1, two tracks, 96 ticks per quarter; running status on the second note.
    std::vector<unsigned char> data = {
        'M',  'T',  'h', 'd', 0,    0,   0,    6,    0,    1,    0,  2,    0,    96,   'M',
        'T',  'r',  'k', 0,   0,    0,   11,   0,    0xFF, 0x51, 3,  0x0F, 0x42, 0x40, 0,
        0xFF, 0x2F, 0,   'M', 'T',  'r', 'k',  0,    0,    0,    17, 0,    0x92, 60,   100,
        0x60, 61,   90,  0,   0xF0, 2,   0x7E, 0xF7, 0,    0xC3, 5,  0xFF, 0x2F, 0,
    };
    data.resize(data.size() - 2); // the last track ends without its end-of-track meta
    data[40] = 15;
    MidiFile f;
    std::string error;
    ASSERT_TRUE(ParseMidiFile(data, f, error)) << error;
    ASSERT_EQ(f.tracks.size(), 2u);
    ASSERT_EQ(f.tracks[1].size(), 4u);
    EXPECT_EQ(f.tracks[1][1].bytes, (std::vector<uint8_t>{0x92, 61, 90}));
    EXPECT_EQ(f.tracks[1][1].tick, 96u);
    EXPECT_EQ(f.tracks[1][2].bytes, (std::vector<uint8_t>{0xF0, 0x7E, 0xF7}));
    EXPECT_EQ(f.tracks[1][3].bytes, (std::vector<uint8_t>{0xC3, 5}));
    // One second per quarter note.
    EXPECT_DOUBLE_EQ(f.Seconds(96), 1.0);
    EXPECT_EQ(f.Ticks(1.5), 144u);

    MidiFile again;
    ASSERT_TRUE(ParseMidiFile(SerializeMidiFile(f), again, error)) << error;
    EXPECT_EQ(again.Merged().size(), f.Merged().size() + 1); // the missing end-of-track is added
}

TEST(MidiFiles, MalformedInputIsRefused) {
    MidiFile f;
    std::string error;
    EXPECT_FALSE(ParseMidiFile({}, f, error));
    EXPECT_FALSE(ParseMidiFile({'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 2, 0, 1, 0, 96}, f, error));
    // A track that claims more bytes than the file has.
    EXPECT_FALSE(ParseMidiFile({'M', 'T', 'h', 'd', 0,   0,   0, 6, 0, 0, 0, 1,
                                0,   96,  'M', 'T', 'r', 'k', 0, 0, 1, 0, 0, 0x90},
                               f, error));
    // A data byte with no running status before it.
    EXPECT_FALSE(ParseMidiFile({'M', 'T', 'h', 'd', 0,   0, 0, 6, 0, 0, 0,  1,  0,
                                96,  'M', 'T', 'r', 'k', 0, 0, 0, 3, 0, 60, 100},
                               f, error));
}

TEST(Presets, ProgramAndBankFilesRoundTrip) {
    FxPreset p;
    p.bank = false;
    p.pluginId = 0x46525661;
    p.pluginVersion = 1;
    p.numPrograms = 5;
    p.name = "A name that is longer than the field allows";
    p.chunk.assign(598, 0x42);
    std::vector<unsigned char> file = SerializeFxPreset(p);
    ASSERT_EQ(file.size(), 60u + 598u);
    EXPECT_EQ(std::string(file.begin() + 8, file.begin() + 12), "FPCh");
    EXPECT_EQ(file[7], static_cast<unsigned char>(file.size() - 8) & 0xFF);
    FxPreset back;
    std::string error;
    ASSERT_TRUE(ParseFxPreset(file, back, error)) << error;
    EXPECT_EQ(back.name, p.name.substr(0, 27));
    EXPECT_EQ(back.chunk, p.chunk);
    EXPECT_FALSE(back.bank);

    p.bank = true;
    p.currentProgram = 12;
    p.chunk.assign(76544, 7);
    ASSERT_TRUE(ParseFxPreset(SerializeFxPreset(p), back, error)) << error;
    EXPECT_TRUE(back.bank);
    EXPECT_EQ(back.currentProgram, 12);
    EXPECT_EQ(back.chunk.size(), 76544u);

    file = SerializeFxPreset(p);
    file.resize(file.size() - 1);
    EXPECT_FALSE(ParseFxPreset(file, back, error)) << "truncated chunk";
    file[8] = 'F', file[9] = 'x', file[10] = 'C', file[11] = 'k';
    EXPECT_FALSE(ParseFxPreset(file, back, error)) << "parameter presets are not ours";
    EXPECT_FALSE(ParseFxPreset({1, 2, 3}, back, error));
}

// What came out, counted by (status, note).
std::map<std::pair<int, int>, int> Count(const MidiFile& f) {
    std::map<std::pair<int, int>, int> n;
    for (const MidiFileEvent& e : f.Merged())
        if (!e.bytes.empty() && e.bytes[0] < 0xF0)
            ++n[{e.bytes[0], e.bytes.size() > 1 ? e.bytes[1] : 0}];
    return n;
}

TEST(Route, DemoFileComesOutAsTheMatrixSays) {
    std::string out = OutputPath("demo-routed.mid"), fxp = OutputPath("program.fxp");
    std::string demo = std::string(FERROVANE_SOURCE_DIR) + "/examples/demo.mid";
    ASSERT_EQ(RouteCommand({FERROVANE_PLUGIN_PATH, demo, out, "--connect", "1:5", "--disconnect",
                            "2:2", "--block", "100", "--save-program", fxp, "--quiet"}),
              0);
    MidiFile in, routed;
    std::string error;
    ASSERT_TRUE(ReadMidiFile(demo, in, error)) << error;
    ASSERT_TRUE(ReadMidiFile(out, routed, error)) << error;
    auto want = Count(in), got = Count(routed);
    for (auto [key, n] : want) {
        int status = key.first, channel = status & 15, type = status & 0xF0;
        if (channel == 0) {
            EXPECT_EQ(got[std::make_pair(status, key.second)], n) << "channel 1 stays";
            EXPECT_EQ(got[std::make_pair(type | 4, key.second)], n) << "and reaches channel 5";
        } else if (channel == 1) {
            EXPECT_EQ(got.count(std::make_pair(status, key.second)), 0u) << "channel 2 is cut off";
        }
    }
    // Timing survives the trip: the first note off of the melody is 200 ticks in.
    for (const MidiFileEvent& e : routed.Merged())
        if (e.bytes[0] == 0x80) {
            EXPECT_NEAR(static_cast<double>(e.tick), 200.0, 1.0);
            break;
        }
    // The saved program brings the same matrix back in another run.
    std::string again = OutputPath("demo-again.mid");
    ASSERT_EQ(RouteCommand({FERROVANE_PLUGIN_PATH, demo, again, "--program", fxp, "--quiet"}), 0);
    MidiFile second;
    ASSERT_TRUE(ReadMidiFile(again, second, error));
    EXPECT_EQ(Count(second), got);
    unlink(out.c_str());
    unlink(again.c_str());
    unlink(fxp.c_str());
}

TEST(Route, BadArgumentsAndFilesAreReported) {
    std::string demo = std::string(FERROVANE_SOURCE_DIR) + "/examples/demo.mid";
    std::string out = OutputPath("unused.mid");
    EXPECT_EQ(RouteCommand({}), 2);
    EXPECT_EQ(RouteCommand({FERROVANE_PLUGIN_PATH}), 2);
    EXPECT_EQ(RouteCommand({FERROVANE_PLUGIN_PATH, demo, out, out}), 2);
    EXPECT_EQ(RouteCommand({FERROVANE_PLUGIN_PATH, demo, out, "--no-editor"}), 2);
    EXPECT_EQ(RouteCommand({FERROVANE_PLUGIN_PATH, demo, out, "--rate"}), 2);
    EXPECT_EQ(RouteCommand({FERROVANE_PLUGIN_PATH, demo, out, "--connect", "0:17"}), 2);
    EXPECT_EQ(RouteCommand({FERROVANE_PLUGIN_PATH, demo, out, "--block", "0"}), 2);
    EXPECT_NE(RouteCommand({FERROVANE_PLUGIN_PATH, "/nonexistent.mid", out}), 0);
    EXPECT_NE(RouteCommand({"/nonexistent.so", demo, out}), 0);
    EXPECT_NE(RouteCommand({FERROVANE_PLUGIN_PATH, demo, out, "--bank", demo}), 0);
    std::vector<unsigned char> small(10, 0);
    std::string bad = OutputPath("bad.chunk");
    std::string error;
    ASSERT_TRUE(WriteFile(bad, small, error));
    EXPECT_NE(RouteCommand({FERROVANE_PLUGIN_PATH, demo, out, "--program", bad}), 0);
    unlink(bad.c_str());
    unlink(out.c_str());
}

} // namespace
} // namespace ferrovane::host
