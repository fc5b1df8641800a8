// A host's scanner loads the shared object in whatever DISPLAY it runs with. The load opens the
// display once; only a server that listens and failed that one connection is worth a second
// attempt. XOpenDisplay is interposed for the whole process and counted (the plugin, loaded with
// RTLD_LOCAL, still binds to the executable's definition, which calls libX11's).
#include "AuthorityFile.h"
#include "DisplaySocket.h"
#include "EnvironmentVariable.h"
#include "OwnXServer.h"
#include "StderrCapture.h"
#include "VstHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <dlfcn.h>
#include <string>

namespace {
std::atomic<int> opens{0};
} // namespace

struct _XDisplay;

extern "C" __attribute__((visibility("default"))) _XDisplay* XOpenDisplay(const char* name) {
    using Open = _XDisplay* (*)(const char*);
    static void* const x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    static const Open real = reinterpret_cast<Open>(dlsym(x11, "XOpenDisplay"));
    opens.fetch_add(1);
    return real(name);
}

namespace {

VstIntPtr Host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

// What a scanner does with one plugin; answers how often the display was opened meanwhile.
int Scan(const char* display) {
    if (display)
        setenv("DISPLAY", display, 1);
    else
        unsetenv("DISPLAY");
    opens = 0;
    void* lib = dlopen(FERROVANE_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    EXPECT_NE(lib, nullptr) << dlerror();
    if (!lib) return -1;
    auto entry = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(dlsym(lib, "VSTPluginMain"));
    AEffect* e = entry(Host);
    EXPECT_NE(e, nullptr) << "DISPLAY " << (display ? display : "unset");
    if (e) {
        e->dispatcher(e, effOpen, 0, 0, nullptr, 0.0f);
        e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
    }
    dlclose(lib);
    return opens.load();
}

TEST(ScanDisplay, EveryDisplayStateIsTriedOnce) {
    const char* server = getenv("DISPLAY");
    ASSERT_NE(server, nullptr) << "the test runs with an X server";
    const std::string running = server;
    // Set but empty, malformed, no server there, a remote name that does not resolve.
    for (const char* display : {"", "garbage", ":", ":0.", "unix/", ":4711", ":4711.0", "unix:4711",
                                "no-such-host.invalid:0"})
        EXPECT_EQ(Scan(display), 1) << "DISPLAY \"" << display << "\"";
    EXPECT_EQ(Scan(running.c_str()), 1) << "a running server";
    setenv("DISPLAY", running.c_str(), 1);
}

// A server that ended without cleaning up leaves its socket file behind: nothing listens on it,
// and that is as final as no file at all.
TEST(ScanDisplay, ASocketLeftByAServerThatEndedIsTriedOnce) {
    const std::string running = getenv("DISPLAY") ? getenv("DISPLAY") : "";
    {
        DisplaySocket left(4100); // bound, never listening
        ASSERT_TRUE(left.Ok()) << "no display number free";
        EXPECT_EQ(Scan(left.Name().c_str()), 1);
    }
    setenv("DISPLAY", running.c_str(), 1);
}

// A server that refuses the host's scanner (no cookie for it, as under sudo or in a sandbox):
// the load asks once, reports in a few lines, and costs no more than a load without a server.
TEST(ScanDisplay, ARefusingServerIsAskedOnceAndReportedBriefly) {
    AuthorityFile auth;
    ASSERT_TRUE(auth.Write({AuthorityFile::AnyDisplayCookie()}));
    OwnXServer server({"-auth", auth.Path()});
    ASSERT_TRUE(server.Ok()) << "no Xvfb";
    const std::string running = getenv("DISPLAY") ? getenv("DISPLAY") : "";
    EnvironmentVariable noCookie("XAUTHORITY", "/nonexistent/authority");
    // Each measured as the fastest of a few loads: the machine's other work only adds.
    auto fastest = [](const char* display, std::string* written) {
        auto best = std::chrono::steady_clock::duration::max();
        for (int i = 0; i < 3; ++i) {
            StderrCapture capture;
            const auto start = std::chrono::steady_clock::now();
            EXPECT_EQ(Scan(display), 1) << display;
            best = std::min(best, std::chrono::steady_clock::now() - start);
            *written = capture.Finish();
        }
        return best;
    };
    std::string nothing, refused;
    const auto withoutServer = fastest(":4711", &nothing);
    const auto withRefusal = fastest(server.Name().c_str(), &refused);
    EXPECT_LT(withRefusal - withoutServer, std::chrono::seconds(1));
    EXPECT_LE(std::count(refused.begin(), refused.end(), '\n'), 3) << refused;
    EXPECT_NE(refused.find("Error: XOpenDisplay failed.\n"), std::string::npos) << refused;
    setenv("DISPLAY", running.c_str(), 1);
}

} // namespace
