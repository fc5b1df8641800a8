#include "SBrokenPipeScope.h"

#include <cerrno>
#include <ctime>
#include <pthread.h>

namespace zell::threading {

namespace {

sigset_t PipeSignal() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGPIPE);
    return set;
}

bool PipeSignalPending() {
    sigset_t pending;
    sigemptyset(&pending);
    return sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;
}

} // namespace

SBrokenPipeScope::SBrokenPipeScope() {
    sigemptyset(&previous);
    pendingBefore = PipeSignalPending();
    const sigset_t pipe = PipeSignal();
    blocked = pthread_sigmask(SIG_BLOCK, &pipe, &previous) == 0;
}

SBrokenPipeScope::~SBrokenPipeScope() {
    if (!blocked) return;
    const int error = errno; // the caller may still want what its last call left there
    if (!pendingBefore && PipeSignalPending()) {
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
