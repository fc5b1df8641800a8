// The stand-in host's edit command and the window it shows the editor in.
#include <gtest/gtest.h> // before Xlib, which defines None and Bool

#include "BinaryFile.h"
#include "Commands.h"
#include "HostWindow.h"
#include "XUser.h"

#include <thread>
#include <unistd.h>

namespace ferrovane::host {
namespace {

// The extension tells the command the file's format.
std::string OutputPath(const char* stem, const char* extension) {
    return std::string(FERROVANE_TEST_OUTPUT) + "/" + stem + "-" + std::to_string(getpid()) +
           extension;
}

void RequestClose(Window w) {
    Display* d = HostWindow::Connect();
    ASSERT_NE(d, nullptr);
    ::RequestClose(d, w);
    XCloseDisplay(d);
}

TEST(HostWindowClose, TheUsersCloseRequestEndsTheWait) {
    HostWindow window(100, 80, false);
    ASSERT_TRUE(window.Ok());
    window.Start();
    EXPECT_FALSE(window.WaitForClose(0.05));
    std::thread user([&] { RequestClose(window.GetWindow()); });
    EXPECT_TRUE(window.WaitForClose(-1));
    user.join();
    window.Stop();
}

// The bank goes through the open editor untouched; a bank file the plugin refuses is an error.
TEST(EditCommand, LoadsShowsAndSavesTheBank) {
    const std::string first = OutputPath("edit-first", ".fxb"),
                      second = OutputPath("edit-second", ".fxb");
    ASSERT_EQ(EditCommand({FERROVANE_PLUGIN_PATH, "--seconds", "0.3", "--save-bank", first}), 0);
    ASSERT_EQ(EditCommand({FERROVANE_PLUGIN_PATH, "--bank", first, "--seconds", "0.3",
                           "--save-bank", second}),
              0);
    std::vector<unsigned char> a, b;
    std::string error;
    ASSERT_TRUE(ReadFile(first, a, error)) << error;
    ASSERT_TRUE(ReadFile(second, b, error)) << error;
    EXPECT_EQ(a.size(), 160u + 76544u);
    EXPECT_EQ(a, b);
    const std::string junk = OutputPath("edit-junk", ".bin");
    ASSERT_TRUE(WriteFile(junk, {1, 2, 3}, error));
    testing::internal::CaptureStderr();
    EXPECT_EQ(EditCommand({FERROVANE_PLUGIN_PATH, "--bank", junk, "--seconds", "0"}), 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("refused the chunk"), std::string::npos);
    EXPECT_EQ(EditCommand({FERROVANE_PLUGIN_PATH, "--seconds"}), 2) << "usage";
    for (const std::string& path : {first, second, junk})
        unlink(path.c_str());
}

} // namespace
} // namespace ferrovane::host
