// Loading and unloading the built shared object with and without an X server: the load never
// fails for want of a display, reports a missing one on standard error once, and the unload
// leaves no thread and no mapping behind.
#include "EnvironmentVariable.h"
#include "StderrCapture.h"
#include "ThreadProbe.h"
#include "VstHost.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using ferrovane::host::VstHost;

namespace {

constexpr const char* kNoDisplay = "Error: XOpenDisplay failed.\n";

bool StillMapped() {
    void* handle = dlopen(FERROVANE_PLUGIN_PATH, RTLD_LAZY | RTLD_NOLOAD);
    if (handle) dlclose(handle);
    return handle != nullptr;
}

// One load, instantiation and unload; answers what the plugin wrote on standard error.
std::string Cycle() {
    int threads = BaseThreads();
    StderrCapture capture;
    {
        VstHost host;
        EXPECT_TRUE(host.Load(FERROVANE_PLUGIN_PATH)) << host.Error();
        EXPECT_NE(host.Instantiate(), nullptr);
        host.Unload();
    }
    std::string written = capture.Finish();
    EXPECT_FALSE(StillMapped());
    EXPECT_TRUE(ThreadsSettleAt(threads));
    return written;
}

bool ServerAt(const char* socket) {
    struct stat info;
    return stat(socket, &info) == 0;
}

} // namespace

TEST(LoadWithoutDisplay, AnUnsetDisplayFallsBackAndIsReportedOnce) {
    if (ServerAt("/tmp/.X11-unix/X0")) GTEST_SKIP() << "an X server answers on :0.0";
    EnvironmentVariable unset("DISPLAY", nullptr);
    EXPECT_EQ(Cycle(), kNoDisplay);
}

TEST(LoadWithoutDisplay, AnUnreachableDisplayIsReportedAndLoadingGoesOn) {
    EnvironmentVariable nowhere("DISPLAY", ":4711");
    EXPECT_EQ(Cycle(), kNoDisplay);
    // A second load sets up again: the report comes once per load.
    EXPECT_EQ(Cycle(), kNoDisplay);
}

TEST(LoadWithDisplay, TheServerGivenInDisplayIsUsedSilently) {
    const char* display = getenv("DISPLAY");
    if (!display || !*display) GTEST_SKIP() << "no X server: run under xvfb-run";
    EXPECT_EQ(Cycle(), "");
    EXPECT_EQ(Cycle(), "");
}
