// Where ferrovane-host finds the plugin it was not given, in scratch trees laid out as the
// package, a tarball and a developer's install lay them out, with the real built plugin.
#include "PluginSearch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace ferrovane::host {
namespace {

namespace fs = std::filesystem;

// A fresh folder of this test's own, removed at the end.
class Scratch {
  public:
    Scratch()
        : root(fs::path(FERROVANE_TEST_OUTPUT) /
               ("plugin-search-" + std::to_string(getpid()) + "-" +
                testing::UnitTest::GetInstance()->current_test_info()->name())) {
        fs::remove_all(root);
        fs::create_directories(root);
    }
    ~Scratch() { fs::remove_all(root); }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    // Puts a copy of `from` at `path` under the root; answers the full path.
    std::string Copy(const std::string& from, const std::string& path) const {
        fs::create_directories((root / path).parent_path());
        fs::copy_file(from, root / path, fs::copy_options::overwrite_existing);
        return (root / path).string();
    }
    std::string Path(const std::string& path) const { return (root / path).string(); }

  private:
    fs::path root;
};

// The plugin with the ELF class byte flipped: 32 bits for 64 and back, as a plugin of the other
// architecture has it.
void FlipClass(const std::string& path) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekg(4);
    const char bits = static_cast<char>(file.get() == 1 ? 2 : 1);
    file.seekp(4);
    file.put(bits);
}

// A machine that already has a plugin of ours installed for all users finds it before ~/.lxvst.
bool InstalledForAllUsers() {
    const std::string self = ProgramPath();
    return SameMachine("/usr/lib/lxvst/ferrovane.so", self) ||
           SameMachine("/usr/local/lib/lxvst/ferrovane.so", self);
}

TEST(PluginSearch, OnlyAPluginOfTheProgramsOwnArchitectureFits) {
    const std::string self = ProgramPath();
    ASSERT_FALSE(self.empty());
    EXPECT_TRUE(SameMachine(FERROVANE_PLUGIN_PATH, self));
    Scratch scratch;
    const std::string other = scratch.Copy(FERROVANE_PLUGIN_PATH, "other.so");
    FlipClass(other);
    EXPECT_FALSE(SameMachine(other, self));
    const std::string text = scratch.Copy(FERROVANE_SOURCE_DIR "/README.md", "text.so");
    EXPECT_FALSE(SameMachine(text, self));
    EXPECT_FALSE(SameMachine(scratch.Path("missing.so"), self));
}

// The program's own tree comes before the folders every program looks in and before ~/.lxvst.
TEST(PluginSearch, TheTreeTheProgramIsInComesFirst) {
    Scratch scratch;
    const std::string program = scratch.Copy(ProgramPath(), "usr/bin/ferrovane-host");
    const std::string plugin = scratch.Copy(FERROVANE_PLUGIN_PATH, "usr/lib/lxvst/ferrovane.so");
    scratch.Copy(FERROVANE_PLUGIN_PATH, "home/.lxvst/ferrovane.so");
    std::string error;
    EXPECT_EQ(FindPlugin(program, scratch.Path("home"), error), plugin) << error;

    const std::string built = scratch.Copy(ProgramPath(), "build/host/ferrovane-host");
    EXPECT_EQ(FindPlugin(built, "", error), "") << "a build tree without its plugin";
    const std::string own = scratch.Copy(FERROVANE_PLUGIN_PATH, "build/ferrovane.so");
    EXPECT_EQ(FindPlugin(built, "", error), own) << error;
}

TEST(PluginSearch, TheHomeFolderIsLastAndAPluginOfTheOtherArchitectureIsPassedOver) {
    if (InstalledForAllUsers()) GTEST_SKIP() << "a plugin is installed in /usr or /usr/local";
    Scratch scratch;
    const std::string program = scratch.Copy(ProgramPath(), "opt/bin/ferrovane-host");
    const std::string home = scratch.Path("home");
    const std::string mine = scratch.Copy(FERROVANE_PLUGIN_PATH, "home/.lxvst/ferrovane.so");
    std::string error;
    EXPECT_EQ(FindPlugin(program, home, error), mine) << error;

    const std::string other = scratch.Copy(FERROVANE_PLUGIN_PATH, "opt/lib/lxvst/ferrovane.so");
    FlipClass(other);
    FlipClass(mine);
    EXPECT_EQ(FindPlugin(program, home, error), "");
    EXPECT_EQ(error, "no plugin found (looked for " + other + ", " +
                         scratch.Path("opt/ferrovane.so") +
                         ", /usr/lib/lxvst/ferrovane.so, /usr/local/lib/lxvst/ferrovane.so, " +
                         mine + "); not a plugin of this program's architecture: " + other + " " +
                         mine + "; give its path as PLUGIN");
}

} // namespace
} // namespace ferrovane::host
