#pragma once

#include <signal.h>

namespace zell::threading {

// A write on a socket whose peer has gone raises SIGPIPE in the writing thread, and a host that
// keeps the signal's default action dies of it. Xlib writes its connection set-up before it
// reads a word back, so an X server that drops a new connection can do that to whoever opens
// it. For one scope the signal is blocked in this thread; one raised meanwhile is taken back
// before the thread's mask is restored. A SIGPIPE that was pending already is left alone.
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

} // namespace zell::threading
