// The LV2 plugin in Ardour 7 headless (ardour7-lua, the dummy backend): loaded by its URI on a
// MIDI track with a preset of ours, it routes program changes and channel pressure (which
// Ardour before 8.7 drops from a VST 2.x plugin's output) through to the track's output, and
// its state survives saving the session and opening it again in a new Ardour.
#include "Lv2Router.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace ferrovane::test {
namespace {

// What the script printed as routed, and its exit status.
struct ArdourRun {
    std::vector<std::vector<int>> routed;
    int status = -1;
    std::string output;
};

ArdourRun RunArdour(const std::string& scratch, const std::string& mode) {
    const std::string command =
        "cd '" + scratch + "' && LV2_PATH='" + scratch + "/path:/usr/lib/lv2' XDG_CONFIG_HOME='" +
        scratch + "/config' HOME='" + scratch + "' timeout 300 ardour7-lua '" +
        FERROVANE_SOURCE_DIR + "/tests/lv2/ardour_session.lua' " + mode + " '" + scratch +
        "/session' Split '" + scratch + "/messages.raw' 2>&1";
    ArdourRun run;
    FILE* out = popen(command.c_str(), "r");
    if (!out) return run;
    char line[512];
    while (fgets(line, sizeof line, out)) {
        run.output += line;
        unsigned status = 0, d1 = 0, d2 = 0;
        if (sscanf(line, "routed %X %X %X", &status, &d1, &d2) == 3) {
            std::vector<int> bytes{int(status), int(d1), int(d2)};
            bytes.resize(static_cast<size_t>(ChannelMessageSize(uint8_t(status))));
            run.routed.push_back(bytes);
        }
    }
    const int result = pclose(out);
    run.status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    return run;
}

TEST(Lv2Ardour, RoutesProgramChangesAndPressureAndKeepsItsStateInTheSession) {
    if (system("command -v ardour7-lua >/dev/null") != 0) GTEST_SKIP() << "no Ardour 7";
    // The preset "Split": channel 1 to channel 5 with everything, channel 2's program changes
    // and channel pressure to channel 2. Saved into a bundle of its own beside the plugin's.
    Lv2Router r;
    ASSERT_EQ(
        r.Load(Bank(Matrix({{0, 4, 0xFFFF}, {1, 1, kRouteProgramChange | kRouteAftertouch}}))),
        LV2_STATE_SUCCESS);
    LilvState* preset = r.plugin.State();
    lilv_state_set_label(preset, "Split");
    const std::string scratch = r.world.Scratch();
    ASSERT_EQ(lilv_state_save(r.world.World(), r.world.MapFeature(), r.world.UnmapFeature(), preset,
                              nullptr, (scratch + "/path/ferrovane-split.lv2").c_str(),
                              "split.ttl"),
              0);
    lilv_state_free(preset);
    // Nine messages: two program changes, two channel pressures, a controller, a note on and
    // off, polyphonic aftertouch and pitch bend.
    const std::vector<uint8_t> messages = {0xC0, 5,   0xD0, 40,   0xB0, 7,    100, 0x90,
                                           60,   100, 0xA0, 60,   50,   0xE0, 0,   64,
                                           0x80, 60,  0,    0xC1, 9,    0xD1, 20};
    std::ofstream(scratch + "/messages.raw", std::ios::binary)
        .write(reinterpret_cast<const char*>(messages.data()),
               static_cast<std::streamsize>(messages.size()));
    const B routed = {{0xC4, 5},     {0xD4, 40},    {0xB4, 7, 100}, {0x94, 60, 100}, {0xA4, 60, 50},
                      {0xE4, 0, 64}, {0x84, 60, 0}, {0xC1, 9},      {0xD1, 20}};

    const ArdourRun created = RunArdour(scratch, "create");
    EXPECT_EQ(created.status, 0) << created.output;
    EXPECT_EQ(created.routed, routed) << created.output;
    ASSERT_TRUE(std::filesystem::exists(scratch + "/session/routing.ardour"));
    // Ardour keeps the plugin's state as lilv saves it, beside the session.
    bool bankSaved = false;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(scratch + "/session")) {
        if (entry.path().extension() != ".ttl") continue;
        std::stringstream text;
        text << std::ifstream(entry.path()).rdbuf();
        bankSaved = bankSaved || text.str().find("ferrovane#bank") != std::string::npos;
    }
    EXPECT_TRUE(bankSaved);

    const ArdourRun reopened = RunArdour(scratch, "reopen");
    EXPECT_EQ(reopened.status, 0) << reopened.output;
    EXPECT_EQ(reopened.routed, routed) << "the preset's matrix came back with the session\n"
                                       << reopened.output;
}

} // namespace
} // namespace ferrovane::test
