#pragma once

#include <signal.h>

namespace zell::threading {

// A write on a socket whose peer has gone raises SIGPIPE in the writing thread, and a host that
// keeps the signal's default action dies of it. Every X request may be such a write: a server
// that drops a new connection gets Xlib's set-up written to it before a word comes back, and
// one that has just ended gets whatever is flushed before the loss is noticed. For one scope the
// signal is blocked in this thread; one that this thread's writes raised meanwhile is taken back
// before the thread's mask is restored. A SIGPIPE sent to the whole process is the process's and
// is left alone, as is one this thread had pending already.
class SBrokenPipeScope {
  public:
    SBrokenPipeScope();
    ~SBrokenPipeScope();
    SBrokenPipeScope(const SBrokenPipeScope&) = delete;
    SBrokenPipeScope& operator=(const SBrokenPipeScope&) = delete;

  private:
    sigset_t previous;
    bool pendingBefore = false;
    bool blocked = false;
};

// For the rest of the calling thread's life: SIGPIPE stays blocked, and one raised in it is
// dropped with the thread. For the threads the plugin starts, which write to the X server.
void BlockBrokenPipesInThisThread();

} // namespace zell::threading
