// Opening an X connection whatever the server does: waits out one that is busy or drops the
// connection, takes a refusal as final, gives up on one that never answers, and asks Xlib at
// most once. XOpenDisplay is interposed for the test program and counted.
#include "AuthorityFile.h"
#include "DisplaySocket.h"
#include "EnvironmentVariable.h"
#include "OwnXServer.h"
#include "SXServerProbe.h"
#include "ToolkitDisplay.h"
#include "XRelay.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <dlfcn.h>

namespace {
std::atomic<int> xlibOpens{0};
} // namespace

extern "C" __attribute__((visibility("default"))) Display* XOpenDisplay(const char* name) {
    using Open = Display* (*)(const char*);
    static const Open real = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "XOpenDisplay"));
    xlibOpens.fetch_add(1);
    return real(name);
}

namespace zell::gui {
namespace {

using Clock = std::chrono::steady_clock;

// A server that asks for the cookie in `auth`.
std::vector<std::string> Requiring(const AuthorityFile& auth) {
    return {"-auth", auth.Path()};
}

// Opening connections faster than the server accepts them fills its queue for a moment; every
// open still succeeds, each with one connection of Xlib's.
TEST(OpenDisplay, BurstsOfConnectionsAreWaitedOut) {
    xlibOpens = 0;
    for (int i = 0; i < 300; ++i) {
        Display* d = OpenDisplay(nullptr);
        ASSERT_NE(d, nullptr) << "connection " << i;
        XCloseDisplay(d);
    }
    EXPECT_EQ(xlibOpens.load(), 300);
    xlibOpens = 0;
    EXPECT_EQ(OpenDisplay(":4711"), nullptr) << "no server there: no waiting either";
    EXPECT_EQ(xlibOpens.load(), 1);
}

// A server that drops new connections during the handshake (it resets when its last client
// leaves) and has no abstract socket: it is asked until it answers, and Xlib connects once.
TEST(OpenDisplay, ConnectionsDroppedBeforeAnAnswerAreTriedAgain) {
    OwnXServer server;
    ASSERT_TRUE(server.Ok()) << "no Xvfb";
    XRelay relay(server.Name(), std::chrono::milliseconds(0), 3);
    ASSERT_TRUE(relay.Ok()) << "no display number free for the relay";
    xlibOpens = 0;
    Display* d = OpenDisplay(relay.Name().c_str());
    ASSERT_NE(d, nullptr) << relay.Accepted() << " connections taken";
    EXPECT_GT(relay.Accepted(), 3);
    EXPECT_EQ(xlibOpens.load(), 1);
    EXPECT_NE(XSync(d, False), 0);
    XCloseDisplay(d);
}

// Without the cookie the server answers with a refusal: Xlib is asked once (it says why), and
// the open ends at once. With it, the server takes the connection.
TEST(OpenDisplay, ARefusalIsFinalAndTheCookieIsPresented) {
    AuthorityFile auth;
    ASSERT_TRUE(auth.Write({AuthorityFile::AnyDisplayCookie()}));
    OwnXServer server(Requiring(auth));
    ASSERT_TRUE(server.Ok()) << "no Xvfb";
    {
        EnvironmentVariable none("XAUTHORITY", "/nonexistent/authority");
        SXServerProbe probe;
        EXPECT_EQ(probe.Ask(server.Name().c_str(), Clock::now() + std::chrono::seconds(10)),
                  SXServerProbe::kRefused);
        xlibOpens = 0;
        const auto start = Clock::now();
        EXPECT_EQ(OpenDisplay(server.Name().c_str()), nullptr);
        EXPECT_EQ(xlibOpens.load(), 1);
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(1)) << "nothing waited for";
    }
    EnvironmentVariable cookie("XAUTHORITY", auth.Path().c_str());
    SXServerProbe probe;
    EXPECT_EQ(probe.Ask(server.Name().c_str(), Clock::now() + std::chrono::seconds(10)),
              SXServerProbe::kAccepted);
    Display* d = OpenDisplay(server.Name().c_str());
    ASSERT_NE(d, nullptr);
    XCloseDisplay(d);
}

// Something listens on the display's socket and never answers (a stopped server): Xlib would
// wait for ever. The open gives up once its second is spent, without asking Xlib.
TEST(OpenDisplay, AServerThatNeverAnswersIsGivenUpOn) {
    DisplaySocket silent(4200);
    ASSERT_TRUE(silent.Ok()) << "no display number free";
    ASSERT_EQ(listen(silent.Fd(), 8), 0);
    xlibOpens = 0;
    const auto start = Clock::now();
    EXPECT_EQ(OpenDisplay(silent.Name().c_str()), nullptr);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(900)) << "it waited its second";
    EXPECT_EQ(xlibOpens.load(), 0);
}

} // namespace
} // namespace zell::gui
