#include "SBrokenPipeScope.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace zell::threading {

namespace {

sigset_t PipeSignal() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGPIPE);
    return set;
}

// Pending for this thread or for the whole process.
bool PipeSignalPending() {
    sigset_t pending;
    sigemptyset(&pending);
    return sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;
}

// Pending for this thread itself, where a write of its own raises it: the kernel reports the
// thread's own pending signals apart from the process's. Where that cannot be read, a pending
// signal counts as the thread's.
bool PipeSignalPendingInThisThread() {
    if (!PipeSignalPending()) return false;
    char path[64];
    snprintf(path, sizeof path, "/proc/self/task/%ld/status", syscall(SYS_gettid));
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return true;
    char text[2048];
    const ssize_t n = read(fd, text, sizeof text - 1);
    close(fd);
    if (n <= 0) return true;
    text[n] = 0;
    const char* line = strstr(text, "\nSigPnd:");
    if (!line) return true;
    const unsigned long long mask = strtoull(line + 8, nullptr, 16);
    return (mask >> (SIGPIPE - 1)) & 1;
}

} // namespace

SBrokenPipeScope::SBrokenPipeScope() {
    sigemptyset(&previous);
    pendingBefore = PipeSignalPendingInThisThread();
    const sigset_t pipe = PipeSignal();
    blocked = pthread_sigmask(SIG_BLOCK, &pipe, &previous) == 0;
}

SBrokenPipeScope::~SBrokenPipeScope() {
    if (!blocked) return;
    const int error = errno; // the caller may still want what its last call left there
    // sigtimedwait takes the thread's own signal before the process's.
    if (!pendingBefore && PipeSignalPendingInThisThread()) {
        const sigset_t pipe = PipeSignal();
        const timespec now{0, 0};
        while (sigtimedwait(&pipe, nullptr, &now) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    errno = error;
}

void BlockBrokenPipesInThisThread() {
    const sigset_t pipe = PipeSignal();
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
}

} // namespace zell::threading
