#include "BrokenPipe.h"

#include <csignal>
#include <mutex>

namespace ferrovane::host {

void IgnoreBrokenPipes() {
    static std::once_flag once;
    std::call_once(once, [] { signal(SIGPIPE, SIG_IGN); });
}

} // namespace ferrovane::host
