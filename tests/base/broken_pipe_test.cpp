// Writes to a socket whose peer has gone, made inside the scope that keeps SIGPIPE from the
// process, and what the thread's signal state is afterwards.
#include "SBrokenPipeScope.h"
#include "SThread.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

using zell::threading::SBrokenPipeScope;
using zell::threading::SThread;

namespace {

sigset_t PipeOnly() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGPIPE);
    return set;
}

bool Pending() {
    sigset_t set;
    sigemptyset(&set);
    return sigpending(&set) == 0 && sigismember(&set, SIGPIPE) == 1;
}

bool Blocked() {
    sigset_t set;
    sigemptyset(&set);
    return pthread_sigmask(SIG_BLOCK, nullptr, &set) == 0 && sigismember(&set, SIGPIPE) == 1;
}

// A write to a socket whose other end is closed: -1 with EPIPE, and the thread's SIGPIPE.
int WriteToClosedPeer() {
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return 0;
    close(ends[1]);
    const ssize_t n = write(ends[0], "x", 1);
    const int error = errno;
    close(ends[0]);
    errno = error;
    return static_cast<int>(n);
}

void SetPipeBlocked(bool block) {
    const sigset_t pipe = PipeOnly();
    pthread_sigmask(block ? SIG_BLOCK : SIG_UNBLOCK, &pipe, nullptr);
}

void TakePending() {
    const sigset_t pipe = PipeOnly();
    const timespec now{0, 0};
    sigtimedwait(&pipe, nullptr, &now);
}

TEST(BrokenPipeScope, TheSignalOfAWriteToAGonePeerIsTakenBackAndTheMaskRestored) {
    signal(SIGPIPE, SIG_DFL); // as a host that keeps the default: a signal that got through ends it
    ASSERT_FALSE(Blocked());
    for (int round = 0; round < 3; ++round) { // the signals of many writes in one scope, then again
        SBrokenPipeScope scope;
        EXPECT_TRUE(Blocked());
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(WriteToClosedPeer(), -1);
            EXPECT_EQ(errno, EPIPE);
        }
        EXPECT_TRUE(Pending());
    }
    EXPECT_EQ(errno, EPIPE) << "the caller's errno survives the scope";
    EXPECT_FALSE(Pending());
    EXPECT_FALSE(Blocked());
}

TEST(BrokenPipeScope, ASignalPendingBeforeAndACallersOwnBlockAreLeftAlone) {
    SetPipeBlocked(true);
    {
        SBrokenPipeScope scope;
        EXPECT_EQ(WriteToClosedPeer(), -1);
    }
    EXPECT_TRUE(Blocked()) << "the caller blocked it: still blocked";
    EXPECT_FALSE(Pending());

    pthread_kill(pthread_self(), SIGPIPE); // someone else's, raised before the scope
    ASSERT_TRUE(Pending());
    {
        SBrokenPipeScope scope;
        EXPECT_EQ(WriteToClosedPeer(), -1);
    }
    EXPECT_TRUE(Pending()) << "not ours to take";
    TakePending();
    EXPECT_FALSE(Pending());
    SetPipeBlocked(false);
}

// A SIGPIPE sent to the whole process while a scope is open (every thread blocks it here, so it
// stays pending for the process) is not the scope's to take, with or without one of its own.
TEST(BrokenPipeScope, TheProcesssOwnSignalIsLeftForIt) {
    SetPipeBlocked(true);
    for (bool ownWrite : {false, true}) {
        {
            SBrokenPipeScope scope;
            kill(getpid(), SIGPIPE);
            if (ownWrite) {
                EXPECT_EQ(WriteToClosedPeer(), -1);
            }
        }
        EXPECT_TRUE(Pending()) << (ownWrite ? "beside one of its own" : "alone");
        TakePending();
        EXPECT_FALSE(Pending()) << "the scope took its own";
    }
    SetPipeBlocked(false);
}

// The toolkit's threads write to the X server whenever they like; one that finds it gone must
// not end the process either.
TEST(BrokenPipeScope, OurOwnThreadsKeepTheirSignalToThemselves) {
    signal(SIGPIPE, SIG_DFL);
    std::atomic<int> result{0};
    SThread thread(0);
    thread.Start(
        [](void* r) -> void* {
            static_cast<std::atomic<int>*>(r)->store(WriteToClosedPeer() == -1 ? errno : -1);
            return nullptr;
        },
        &result);
    thread.Cancel(); // waits for the function to return
    EXPECT_EQ(result.load(), EPIPE);
    EXPECT_FALSE(Pending());
}

} // namespace
